#pragma once

#include <cstdint>
#include <filesystem>

// The pages of a PDF file as Qt writes them: its page objects, not counting the page tree.
int32_t CountPdfPages(const std::filesystem::path& pdf);
