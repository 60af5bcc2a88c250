#pragma once

#include <string>
#include <string_view>
#include <vector>

class CComponentArray;
class CShapeLib;
class CTextArray;
class CWevraFont;

// A warning's line naming one text and what the font draws of it: '<what> "<text>": "<c>" as
// "<drawn>", ...'. Empty when the font draws every character of the text with its own glyph.
std::string MissingCharactersLine(const CWevraFont& font, std::string_view what,
                                  std::string_view text);

// The warning for the lines of MissingCharactersLine, at most the first 20 of them followed by
// the number of the others; empty without lines. Windows-1252, as the texts are.
std::string MissingCharactersMessage(const std::vector<std::string>& lines);

// Shows the warning for the lines that are not empty, in a message box; nothing when all are.
void ShowMissingCharacters(std::vector<std::string> lines);

// The lines for every text of a design the font cannot draw in full: the free texts, then each
// component's reference, type and shape name.
std::vector<std::string> MissingCharactersLines(const CWevraFont& font, const CTextArray& texts,
                                                const CComponentArray& components,
                                                const CShapeLib& cache);
