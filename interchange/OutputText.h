#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Small text and naming helpers shared by the Gerber and drill writers.

// Inch digits without a point as photoplotters and drills read them: two integer digits and
// `decimals` decimals with leading zeros ("01000" for one inch with 3 decimals), rounded half
// away from zero, "-" in front of a negative value that does not round to zero. Values of 100
// inch and more keep every digit.
std::string FormatInchDigits(int32_t value, int32_t decimals);
// The same appended to `out`; decimals 0..9.
void AppendInchDigits(std::string& out, int32_t value, int32_t decimals);
// The largest magnitude FormatInchDigits writes in its two integer digits (decimals 0..7): a
// file of a fixed number of digits reads a longer value as another one.
int32_t InchDigitsLimit(int32_t decimals);

// The text with every character that would end a Gerber data block or extended command ('*',
// '%') or split a path ('/', '\\'), and every control character, replaced by '_'; an empty
// name, "." and ".." become underscores.
std::string SafeName(const std::string& text);

// The text without leading and trailing blanks, upper-cased (ASCII letters only).
std::string UpperTrimmed(const std::string& text);

// `text` padded with blanks on the right to at least `width` characters, as printf "%-Ws".
std::string PadRight(const std::string& text, size_t width);
// `text` padded with blanks on the left to at least `width` characters, as printf "%Ws".
std::string PadLeft(const std::string& text, size_t width);

// The folder an output job writes into, as ResolveOutputFolder finds it, without creating it.
std::filesystem::path OutputFolderOf(const std::string& jobFolder,
                                     const std::filesystem::path& designFolder,
                                     const std::string& title);
// The folder an output job writes into, created when missing: the job's stored folder, or
// "OUTPUT" when it is empty, translated below the design's folder. A folder with a drive
// (stored as "C:\GERBER") gets a subfolder named `title`. Empty when the folder cannot be
// created.
std::filesystem::path ResolveOutputFolder(const std::string& jobFolder,
                                          const std::filesystem::path& designFolder,
                                          const std::string& title);
// The folder text to store for a folder the user gave by its full path: relative to the
// design's folder when it lies below it, so that the design takes its output along when it
// moves; `typed` itself otherwise, and wherever the relative text would read as a drive or a
// stored Windows path.
std::filesystem::path OutputFolderToStore(const std::filesystem::path& typed,
                                          const std::filesystem::path& designFolder);
