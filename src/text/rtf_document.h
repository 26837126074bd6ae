// Text listings as Rich Text Format documents, the form the text results window saves: one
// paragraph per line in "MS Sans Serif" with the GB2312 character set. A Chinese character is
// written as its Unicode value with its GBK bytes as the fallback for readers without
// Unicode, so that word processors old and new show it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::text {

// The GBK bytes of one character given as UTF-8, or nothing when GBK has no form for it.
using GbkBytes = std::function<std::optional<std::string>(std::string_view utf8)>;

// The document for `lines` (UTF-8), ASCII only. Characters that `gbk` cannot write are written
// as Unicode values with '?' as the fallback. Invalid UTF-8 bytes become U+FFFD.
std::string rtfDocument(const std::vector<std::string>& lines, const GbkBytes& gbk);

}  // namespace zandor::text
