#pragma once

#include <cstdint>
#include <string_view>

// What the stroke font draws for a Windows-1252 character it holds no glyph for: the base
// letter of an accented one ("e" for e acute), the usual spelling of a ligature or sign ("ss",
// "AE", "(C)", "1/2"), or the nearest plain sign, all within printable ASCII. Empty for the
// codes no user can type (control codes, DEL and the five codes the code page leaves free)
// and for printable ASCII, which the font always holds.
std::string_view FontSubstitute(uint8_t code);
