// The text results window's RTF document: the listing's lines with GBK as the fallback of
// every Chinese character (the writer itself is text/rtf_document.h).
#pragma once

#include <string>
#include <vector>

#include "tables/codepage.h"
#include "text/rtf_document.h"

namespace zandor::ui {

inline std::string rtfDocument(const std::vector<std::string>& lines)
{
    return text::rtfDocument(lines, [](std::string_view utf8) {
        return tables::encodeText(utf8, tables::kDefaultCodePage);
    });
}

}  // namespace zandor::ui
