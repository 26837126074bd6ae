// Text listings as Rich Text Format documents, the form the text results window saves: one
// paragraph per line in "MS Sans Serif" with the GB2312 character set. A Chinese character is
// written as its Unicode value with its GBK bytes as the fallback for readers without
// Unicode, so that word processors old and new show it.
#pragma once

#include <string>
#include <vector>

namespace zandor::ui {

// The document for `lines` (UTF-8), ASCII only. Characters outside GBK are written as
// Unicode values with '?' as the fallback. Invalid UTF-8 bytes become U+FFFD.
std::string rtfDocument(const std::vector<std::string>& lines);

}  // namespace zandor::ui
