#include "imaging/kit/script_effects.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

#include "imaging/kit/image.h"

namespace vlm::kit {
namespace {

const ScriptEffect kEffects[] = {
    {kEffectRotate, "Rotate", {{{3, 0}, {4, 100}}}, rotate_effect},
};

} // namespace

std::span<const ScriptEffect> script_effects() { return kEffects; }

const ScriptEffect* find_script_effect(int number) {
    for (const ScriptEffect& e : kEffects)
        if (e.number == number) return &e;
    return nullptr;
}

bool rotate_effect(std::uint8_t* pixels, int width, int height, const EffectValues& values) {
    if (!pixels || width <= 0 || height <= 0 || width > INT32_MAX / 4) return false;
    const int angle = values[3] % 360;
    const int scale = std::clamp(values[4], 1, 1000);
    if (angle == 0 && scale == 100) return true;
    return attempt([&] {
               cv::Mat image(height, width, CV_8UC4, pixels);
               cv::Mat turned;
               const cv::Point2f centre((width - 1) * 0.5f, (height - 1) * 0.5f);
               cv::warpAffine(image, turned, cv::getRotationMatrix2D(centre, angle, scale / 100.0),
                              image.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar::all(0));
               turned.copyTo(image); // only a finished turn reaches the caller's pixels
               return 1;
           }) != 0;
}

} // namespace vlm::kit
