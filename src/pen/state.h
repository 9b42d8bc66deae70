#pragma once
// Data of the tablet reader.
namespace vlm::pen {

struct State {
    int reserved;
};

} // namespace vlm::pen
