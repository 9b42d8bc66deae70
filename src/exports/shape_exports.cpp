#include "brush/brush_shape.h"
#include "brush/tool_settings.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;

void VLM_SetBrushShape(const char* path, int angle) {
    exports::guarded("SetBrushShape",
                     [&] { brush::set_brush_shape(path, angle, brush::ShapeRules::Current); });
}
void VLM_SetBrushShape_ORIGINAL(const char* path, int angle) {
    exports::guarded("SetBrushShape",
                     [&] { brush::set_brush_shape(path, angle, brush::ShapeRules::Original); });
}
void VLM_UnloadBrushShape(void) {
    exports::guarded("VLM_UnloadBrushShape", [] { brush::unload_brush_shape(); });
}
void VLM_SetShapeBlur(int blur) { brush::tool().shape_blur = blur; }
