#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A message that names many items stays one that fits on the screen: `heading`, then the first
// `shown` lines, each on a line of its own, then "... and N more" with `what` after it (" texts")
// for the others.
std::string ShownLines(std::string heading, const std::vector<std::string>& lines, size_t shown,
                       std::string_view what = {});
