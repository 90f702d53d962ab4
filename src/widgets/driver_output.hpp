#pragma once

#include <string_view>
#include <vector>

namespace vx::widgets::driver {

// Writes `line` and a line end to standard output and flushes them. Lines written from several
// threads never interleave.
void writeLine(std::string_view line);
// The same for a line given in pieces, written one after the other.
void writeLine(const std::vector<std::string_view>& pieces);

// Takes standard output for good and flushes it: no other line starts after this, and none is
// left half-written. Run right before the process ends while other threads may be answering.
void holdOutput();

}  // namespace vx::widgets::driver
