// Text in table files is held in a code page (GBK, code page 936, unless the file declares
// another); inside the program every text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zandor::tables {

inline constexpr int kDefaultCodePage = 936;

// Bytes in `codePage` to UTF-8. Bytes that do not decode become U+FFFD, so a damaged name
// still shows. Pure ASCII is passed through without conversion.
std::string decodeText(std::string_view bytes, int codePage);

// UTF-8 to `codePage`. Returns nothing when a character has no form in the code page or the
// input is not valid UTF-8; callers name the field and record in their message.
std::optional<std::string> encodeText(std::string_view utf8, int codePage);

// Whether the code page can be converted on this system.
bool isSupportedCodePage(int codePage);

// Cuts `encoded` (bytes in `codePage`) to at most `maxBytes` without splitting a
// double-byte character.
std::string truncateAtCharBoundary(std::string_view encoded, std::size_t maxBytes, int codePage);

}  // namespace zandor::tables
