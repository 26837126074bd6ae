// Text listings as RTF documents.
#include "text/rtf_document.h"

#include <cstdio>

#include "text/utf8.h"

namespace zandor::text {

namespace {

// \uN takes a signed 16-bit value: units above 32767 are written negative.
void appendUnicodeUnit(std::string& out, char32_t unit)
{
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u" + std::to_string(value);
}

void appendCharacter(std::string& out, char32_t c, const GbkBytes& gbkBytes)
{
    switch (c) {
    case '\\': out += "\\\\"; return;
    case '{': out += "\\{"; return;
    case '}': out += "\\}"; return;
    case '\t': out += "\\tab "; return;
    default: break;
    }
    if (c < 0x20 || c == 0x7F)
        return;  // control characters have no place in a paragraph
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    std::optional<std::string> gbk;
    if (c != kReplacementCharacter) {
        std::string utf8;
        appendUtf8(utf8, c);
        gbk = gbkBytes(utf8);
    }
    if (c < 0x10000 && gbk && !gbk->empty()) {
        // Each character its own group, so that the fallback count \ucN holds for it alone.
        out += "{\\uc" + std::to_string(gbk->size());
        appendUnicodeUnit(out, c);
        for (unsigned char b : *gbk) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", b);
            out += hex;
        }
        out += '}';
        return;
    }
    if (c >= 0x10000) {
        const char32_t v = c - 0x10000;
        appendUnicodeUnit(out, 0xD800 + (v >> 10));
        out += '?';
        appendUnicodeUnit(out, 0xDC00 + (v & 0x3FF));
        out += '?';
        return;
    }
    appendUnicodeUnit(out, c);
    out += '?';
}

}  // namespace

std::string rtfDocument(const std::vector<std::string>& lines, const GbkBytes& gbk)
{
    std::string out =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052"
        "{\\fonttbl{\\f0\\fswiss\\fcharset134 MS Sans Serif;}}\n"
        "\\uc1\\pard\\plain\\f0\\fs20 ";
    for (const std::string& line : lines) {
        std::size_t pos = 0;
        while (pos < line.size())
            appendCharacter(out, nextCodePoint(line, pos), gbk);
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

}  // namespace zandor::text
