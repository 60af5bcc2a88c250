#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Small text rules shared by the netlist readers. Letters are changed in case as ASCII only,
// whatever the process's locale, so Windows-1252 bytes above 0x7F pass unchanged.

bool IsNetlistBlank(char c);
std::string TrimRight(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string Trim(std::string_view text);
// The same, seen in place: the readers look at every line of a big netlist.
std::string_view TrimRightView(std::string_view text);
std::string_view TrimView(std::string_view text);
std::string ToUpperAscii(std::string_view text);
// Whether a line holds a control byte other than a tab: no text file the DOS program wrote does.
bool HasControlBytes(std::string_view line);
// No name a netlist gives (net, reference, pin, shape, value) comes near this length: a longer
// one is a damaged or foreign file, not a name to put into the design. A line is not bounded:
// a net of many pins is one line in some dialects.
constexpr size_t maxNetlistNameLength = 1000;
// Why a line is no netlist text ("" when it is): it holds control bytes; the reason shows the
// line's start as VisibleText does.
std::string RefusedLineReason(std::string_view line);
// Why a name read from a line cannot be one ("" when it can): longer than maxNetlistNameLength;
// the reason shows the name's start as VisibleText does.
std::string RefusedNameReason(std::string_view name);
// The report's line for a refused line of a file (its name as the report shows it).
std::string RefusedLineText(const std::string& file, int32_t line, const std::string& why);
// The text as a report can show it: control bytes as "<hex>" (a NUL as "<00>"), and a text
// longer than `limit` bytes cut there with "...".
std::string VisibleText(std::string_view text, size_t limit = 80);
// A pin number as the dialects write it: leading white space, an optional sign, then the
// leading digits (held at the int32 range); text without leading digits reads as 0.
int32_t ParsePinNumber(std::string_view text);
// Seconds since 1970 of the file's last change; 0 when it cannot be read.
int64_t LastWriteSeconds(const std::filesystem::path& path);
