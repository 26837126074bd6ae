// UTF-8, the form of every text inside the program: reading it one character at a time and
// writing a character back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zandor::text {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character of `text` at byte `pos`, moving `pos` past it. Bytes that are not UTF-8 give
// U+FFFD: a byte that starts no sequence, or a sequence cut off or broken by a byte that does
// not continue it, moves `pos` by one byte only (the next byte is read again from there); a
// whole sequence of an overlong form, a surrogate or a value beyond U+10FFFF is passed over
// as one. `pos` must be below text.size().
char32_t nextCodePoint(std::string_view text, std::size_t& pos);

// Appends the UTF-8 bytes of `c` (at most U+10FFFF) to `out`.
void appendUtf8(std::string& out, char32_t c);

}  // namespace zandor::text
