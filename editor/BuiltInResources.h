#pragma once

#include <cstdint>
#include <span>

// The English language pack and the stroke font as the build made them, linked into the
// program, for when the files beside it are missing or damaged.
std::span<const uint8_t> BuiltInLanguagePack();
std::span<const uint8_t> BuiltInStrokeFont();
