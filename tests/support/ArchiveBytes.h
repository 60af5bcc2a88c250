#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/CArchive.h"

// Helpers for tests that check stored bytes against hand-written ones.
namespace archive_bytes {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The characters of a text, unterminated.
inline Bytes Ascii(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// What an object's Serialize writes to a fresh storing archive.
template <typename T>
Bytes Store(T& object)
{
    CArchive ar;
    object.Serialize(ar);
    return ar.TakeBuffer();
}

// Loads an object from the bytes through its Serialize.
template <typename T>
void Load(T& object, const Bytes& bytes)
{
    CArchive ar(bytes);
    object.Serialize(ar);
}

// Reading any proper prefix of a stream must end in a CArchiveException, never a crash.
template <typename ReadFn>
void ExpectEveryPrefixFails(const Bytes& whole, ReadFn read)
{
    for (size_t n = 0; n < whole.size(); ++n) {
        CArchive ar(Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n)));
        EXPECT_THROW(read(ar), CArchiveException) << "prefix of " << n << " bytes";
    }
}

} // namespace archive_bytes
