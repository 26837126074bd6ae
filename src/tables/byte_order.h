// Numbers in table files: little-endian (dBase headers, FoxPro values, Paradox headers) and
// big-endian (Paradox and dBase 7 record values, whose sign bit is flipped so that the bytes
// sort like the values).
#pragma once

#include <cstdint>

namespace zandor::tables {

inline std::uint16_t getLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t getLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline std::uint64_t getLe64(const std::uint8_t* p)
{
    return std::uint64_t{getLe32(p)} | (std::uint64_t{getLe32(p + 4)} << 32);
}

inline void putLe16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putLe64(std::uint8_t* p, std::uint64_t v)
{
    putLe32(p, static_cast<std::uint32_t>(v));
    putLe32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// The first n bytes (at most 8) as a big-endian number, and back.
inline std::uint64_t getBe(const std::uint8_t* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}
inline void putBe(std::uint8_t* p, std::uint64_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<std::uint8_t>(v);
        v >>= 8;
    }
}
inline std::uint32_t getBe32(const std::uint8_t* p) { return static_cast<std::uint32_t>(getBe(p, 4)); }
inline std::uint64_t getBe64(const std::uint8_t* p) { return getBe(p, 8); }
inline void putBe32(std::uint8_t* p, std::uint32_t v) { putBe(p, v, 4); }
inline void putBe64(std::uint8_t* p, std::uint64_t v) { putBe(p, v, 8); }

}  // namespace zandor::tables
