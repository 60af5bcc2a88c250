#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
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

// Stored numbers, least significant byte first whatever the host.
inline Bytes U8(uint8_t value)
{
    return {value};
}

inline Bytes U16(uint16_t value)
{
    return {uint8_t(value), uint8_t(value >> 8)};
}

inline Bytes U32(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

inline Bytes I32(int32_t value)
{
    return U32(uint32_t(value));
}

// The characters of a text, unterminated.
inline Bytes Ascii(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A text shorter than 255 characters as the archive stores it: its length in one byte, then
// its characters.
inline Bytes Str(const std::string& text)
{
    return Concat({U8(uint8_t(text.size())), Ascii(text)});
}

// Everything a file holds; empty when it cannot be read.
inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// What an object's Serialize writes to a fresh storing archive.
template <typename T> Bytes Store(T& object)
{
    CArchive ar;
    object.Serialize(ar);
    return ar.TakeBuffer();
}

// Loads an object from the bytes through its Serialize.
template <typename T> void Load(T& object, const Bytes& bytes)
{
    CArchive ar(bytes);
    object.Serialize(ar);
}

// Reading any proper prefix of a stream must end in a CArchiveException, never a crash.
template <typename ReadFn> void ExpectEveryPrefixFails(const Bytes& whole, ReadFn read)
{
    for (size_t n = 0; n < whole.size(); ++n) {
        CArchive ar(Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n)));
        EXPECT_THROW(read(ar), CArchiveException) << "prefix of " << n << " bytes";
    }
}

} // namespace archive_bytes
