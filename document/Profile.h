#pragma once

#include <cstdint>
#include <string>

// The user's settings as texts in the settings store of CServices: booleans as "TRUE"/"FALSE",
// whole numbers as decimal text, choices as words. A reader leaves the value as it is when the
// entry is missing.

// "YES" and "NO" in the current language, and "true" in any case, are the words understood.
bool ParseProfileBool(const std::string& text);

void ReadProfileBool(const std::string& section, const std::string& entry, bool& value);
void ReadProfileInt(const std::string& section, const std::string& entry, int32_t& value);
void ReadProfileString(const std::string& section, const std::string& entry, std::string& value);
// A grid show mode: "Invisible" or "None" 0, "Dots" 1, any other word, a missing one included,
// 2 (lines).
void ReadProfileEnum(const std::string& section, const std::string& entry, int32_t& value);

void WriteProfileBool(const std::string& section, const std::string& entry, bool value);
void WriteProfileIntString(const std::string& section, const std::string& entry, int32_t value);
void WriteProfileText(const std::string& section, const std::string& entry,
                      const std::string& value);
