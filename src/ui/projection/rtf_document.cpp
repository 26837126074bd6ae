#include "ui/projection/rtf_document.h"

#include <cstdint>
#include <cstdio>

#include "tables/codepage.h"

namespace zandor::ui {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The next code point of `text` from `pos`, advancing `pos`.
char32_t nextCodePoint(const std::string& text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    pos += static_cast<std::size_t>(length);
    if (value < minimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    return value;
}

std::string utf8Of(char32_t c)
{
    std::string out;
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
    return out;
}

// \uN takes a signed 16-bit value: units above 32767 are written negative.
void appendUnicodeUnit(std::string& out, char32_t unit)
{
    const int value = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u" + std::to_string(value);
}

void appendCharacter(std::string& out, char32_t c)
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
    const auto gbk = c == kReplacement ? std::nullopt : tables::encodeText(utf8Of(c), tables::kDefaultCodePage);
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

std::string rtfDocument(const std::vector<std::string>& lines)
{
    std::string out =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052"
        "{\\fonttbl{\\f0\\fswiss\\fcharset134 MS Sans Serif;}}\n"
        "\\uc1\\pard\\plain\\f0\\fs20 ";
    for (const std::string& line : lines) {
        std::size_t pos = 0;
        while (pos < line.size())
            appendCharacter(out, nextCodePoint(line, pos));
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

}  // namespace zandor::ui
