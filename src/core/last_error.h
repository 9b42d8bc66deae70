#pragma once
// The last-error text through which every export reports failure.
namespace vlm::core {

// Copies at most 511 characters; the text stays terminated. A null text is ignored.
void set_last_error(const char* text);
// Records "<name> Excpt".
void record_exception(const char* name);
const char* last_error();

} // namespace vlm::core
