#pragma once
// Data of the open export writers (AVI, GIF).
namespace vlm::io {

struct State {
    int reserved;
};

} // namespace vlm::io
