#include "tables/xlsx_reader.h"

#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

namespace zandor::tables {

namespace {

// Excel's own limits; a reference beyond them is a damaged file.
constexpr std::uint32_t kMaxColumn = 16384;
constexpr std::uint32_t kMaxRow = 1048576;
// The longest tag or text the parser holds at once (a cell holds at most 32767 characters).
constexpr std::size_t kMaxToken = 4u << 20;
constexpr std::size_t kChunk = 64u << 10;
// The most the shared texts of a workbook may take in memory.
constexpr std::size_t kMaxSharedBytes = std::size_t(1) << 30;

// A pull parser for the plain XML of workbook parts: elements, attributes, text, the five
// named entities and character references, CDATA; comments and processing instructions are
// skipped. Document type declarations are refused (no entity expansion). Names are given
// without their namespace prefix. Views it returns stay valid until the next call of next().
class XmlPull {
public:
    enum class Event { Start, End, Text, Done };
    using Fill = std::function<std::size_t(char*, std::size_t)>;

    XmlPull(Fill fill, std::string part) : fill_(std::move(fill)), part_(std::move(part)) {}

    Event next()
    {
        if (pendingEnd_) {
            pendingEnd_ = false;
            return Event::End;
        }
        compact();
        if (!ensure(1))
            return Event::Done;
        if (buf_[pos_] != '<')
            return readText();
        if (!ensure(2))
            fail("ends inside a tag");
        const char second = buf_[pos_ + 1];
        if (second == '?') {
            skipPast("?>");
            return next();
        }
        if (second == '!') {
            if (startsWith("<!--")) {
                skipPast("-->");
                return next();
            }
            if (startsWith("<![CDATA[")) {
                const std::size_t end = find("]]>", pos_ + 9);
                text_.assign(buf_, pos_ + 9, end - pos_ - 9);
                textView_ = text_;
                pos_ = end + 3;
                return Event::Text;
            }
            fail("holds a document type declaration");
        }
        const std::size_t end = findTagEnd();
        std::string_view tag(buf_.data() + pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        if (!tag.empty() && tag.front() == '/') {
            tag.remove_prefix(1);
            name_ = localName(trimRight(tag));
            return Event::End;
        }
        bool selfClosing = false;
        if (!tag.empty() && tag.back() == '/') {
            selfClosing = true;
            tag.remove_suffix(1);
        }
        parseTag(tag);
        pendingEnd_ = selfClosing;
        return Event::Start;
    }

    std::string_view name() const { return name_; }
    std::string_view text() const { return textView_; }

    // The value of the attribute with this local name, entity references replaced.
    std::optional<std::string_view> attribute(std::string_view local)
    {
        for (const auto& [key, value] : attributes_)
            if (same(key, local)) {
                if (std::find(value.begin(), value.end(), '&') == value.end())
                    return value;
                decode(value, attributeText_);
                return std::string_view(attributeText_);
            }
        return std::nullopt;
    }

    // The common cells `<v>TEXT</v></c>` and `<is><t>TEXT</t></is></c>` read at once: when
    // the element whose start was just read holds exactly `open`, a short plain text (no markup,
    // no entities) and `close`, that text, with the parser past `close`. Otherwise false and
    // nothing is consumed, for the general path.
    bool plainValueThenEnd(std::string_view open, std::string_view close, std::string_view& value)
    {
        if (pendingEnd_ || !ensure(open.size()) || !same(std::string_view(buf_.data() + pos_, open.size()), open))
            return false;
        std::size_t i = pos_ + open.size();
        for (;;) {
            while (i < buf_.size() && buf_[i] != '<' && buf_[i] != '&')
                ++i;
            if (i < buf_.size())
                break;
            // Long texts are left to the general path and its limits.
            if (eof_ || buf_.size() - pos_ > 256)
                return false;
            readMore();
        }
        if (buf_[i] != '<' || i - pos_ > 4096 || !ensure(i - pos_ + close.size()) ||
            !same(std::string_view(buf_.data() + i, close.size()), close))
            return false;
        value = std::string_view(buf_.data() + pos_ + open.size(), i - pos_ - open.size());
        pos_ = i + close.size();
        name_ = "c";
        return true;
    }

    // Skips to the end of the element whose start was just read.
    void skipElement()
    {
        int depth = 1;
        while (depth > 0) {
            const Event e = next();
            if (e == Event::Start)
                ++depth;
            else if (e == Event::End)
                --depth;
            else if (e == Event::Done)
                fail("ends inside an element");
        }
    }

    // The text of the element whose start was just read, up to its end.
    void elementText(std::string& out)
    {
        out.clear();
        int depth = 1;
        while (depth > 0) {
            const Event e = next();
            if (e == Event::Start)
                ++depth;
            else if (e == Event::End)
                --depth;
            else if (e == Event::Text) {
                if (out.size() + textView_.size() > kMaxToken)
                    fail("holds a text too long");
                out.append(textView_);
            } else
                fail("ends inside an element");
        }
    }

    [[noreturn]] void fail(const std::string& why) const
    {
        throw XlsxError("the part " + part_ + " " + why);
    }

private:
    static std::string_view localName(std::string_view qualified)
    {
        // Names are short: a loop beats a call to memchr.
        for (std::size_t i = 0; i < qualified.size(); ++i)
            if (qualified[i] == ':')
                return qualified.substr(i + 1);
        return qualified;
    }
    static std::string_view trimRight(std::string_view s)
    {
        while (!s.empty() && isSpace(s.back()))
            s.remove_suffix(1);
        return s;
    }
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    // Equality of short texts (names, tags): a loop beats a call to memcmp.
    static bool same(std::string_view a, std::string_view b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }

    void compact()
    {
        if (pos_ >= kChunk && pos_ * 2 >= buf_.size()) {
            buf_.erase(0, pos_);
            pos_ = 0;
        }
    }

    // Whether `n` bytes from pos_ are in the buffer, reading more as needed.
    bool ensure(std::size_t n)
    {
        while (buf_.size() - pos_ < n) {
            if (eof_)
                return false;
            readMore();
        }
        return true;
    }

    void readMore()
    {
        if (buf_.size() - pos_ > kMaxToken)
            fail("holds a tag or text too long");
        const std::size_t old = buf_.size();
        buf_.resize(old + kChunk);
        const std::size_t got = fill_(buf_.data() + old, kChunk);
        buf_.resize(old + got);
        if (got == 0)
            eof_ = true;
    }

    bool startsWith(std::string_view s)
    {
        if (!ensure(s.size()))
            return false;
        return std::string_view(buf_).substr(pos_, s.size()) == s;
    }

    // Position of `s` at or after `from`; fails at the end of the part.
    std::size_t find(std::string_view s, std::size_t from)
    {
        for (;;) {
            const std::size_t at = buf_.find(s, from);
            if (at != std::string::npos)
                return at;
            from = buf_.size() >= s.size() ? std::max(from, buf_.size() - s.size() + 1) : from;
            if (eof_)
                fail("ends inside a tag");
            readMore();
        }
    }

    void skipPast(std::string_view s) { pos_ = find(s, pos_ + 1) + s.size(); }

    std::size_t findTagEnd()
    {
        std::size_t i = pos_ + 1;
        for (;;) {
            while (i < buf_.size()) {
                const char c = buf_[i];
                if (c == '>')
                    return i;
                if (c == '"' || c == '\'') {
                    // Jump over the quoted value (short: a loop beats a call to memchr).
                    std::size_t close = i + 1;
                    while (close < buf_.size() && buf_[close] != c)
                        ++close;
                    if (close >= buf_.size())
                        break;
                    i = close + 1;
                    continue;
                }
                if (c == '<')
                    fail("holds a '<' inside a tag");
                ++i;
            }
            if (eof_)
                fail("ends inside a tag");
            readMore();
        }
    }

    void parseTag(std::string_view tag)
    {
        attributes_.clear();
        std::size_t i = 0;
        while (i < tag.size() && !isSpace(tag[i]))
            ++i;
        name_ = localName(tag.substr(0, i));
        if (name_.empty())
            fail("holds a tag without a name");
        for (;;) {
            while (i < tag.size() && isSpace(tag[i]))
                ++i;
            if (i >= tag.size())
                return;
            const std::size_t keyStart = i;
            while (i < tag.size() && tag[i] != '=' && !isSpace(tag[i]))
                ++i;
            const std::string_view key = tag.substr(keyStart, i - keyStart);
            while (i < tag.size() && isSpace(tag[i]))
                ++i;
            if (i >= tag.size() || tag[i] != '=')
                fail("holds an attribute without a value");
            ++i;
            while (i < tag.size() && isSpace(tag[i]))
                ++i;
            if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
                fail("holds an attribute value without quotes");
            const char quote = tag[i++];
            const std::size_t valueStart = i;
            while (i < tag.size() && tag[i] != quote)
                ++i;
            if (i >= tag.size())
                fail("holds an unclosed attribute value");
            attributes_.emplace_back(localName(key), tag.substr(valueStart, i - valueStart));
            ++i;
        }
    }

    Event readText()
    {
        std::size_t end = pos_;
        bool entity = false;
        for (;;) {
            while (end < buf_.size() && buf_[end] != '<') {
                entity = entity || buf_[end] == '&';
                ++end;
            }
            if (end < buf_.size() || eof_)
                break;
            readMore();
        }
        const std::string_view raw(buf_.data() + pos_, end - pos_);
        pos_ = end;
        if (!entity) {
            textView_ = raw;
        } else {
            decode(raw, text_);
            textView_ = text_;
        }
        return Event::Text;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    void decode(std::string_view raw, std::string& out) const
    {
        out.clear();
        std::size_t i = 0;
        while (i < raw.size()) {
            const std::size_t amp = raw.find('&', i);
            if (amp == std::string_view::npos) {
                out.append(raw.substr(i));
                break;
            }
            out.append(raw.substr(i, amp - i));
            const std::size_t semi = raw.find(';', amp);
            if (semi == std::string_view::npos || semi - amp > 12)
                fail("holds a broken entity reference");
            const std::string_view entity = raw.substr(amp + 1, semi - amp - 1);
            if (entity == "lt") out += '<';
            else if (entity == "gt") out += '>';
            else if (entity == "amp") out += '&';
            else if (entity == "quot") out += '"';
            else if (entity == "apos") out += '\'';
            else if (entity.size() > 1 && entity[0] == '#') {
                const bool hex = entity[1] == 'x' || entity[1] == 'X';
                const std::string_view digits = entity.substr(hex ? 2 : 1);
                std::uint32_t cp = 0;
                const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
                if (ec != std::errc() || p != digits.data() + digits.size() || digits.empty() || cp == 0 ||
                    cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                    fail("holds a broken character reference");
                appendUtf8(out, cp);
            } else {
                fail("holds an unknown entity '&" + std::string(entity) + ";'");
            }
            i = semi + 1;
        }
    }

    Fill fill_;
    std::string part_;
    std::string buf_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool pendingEnd_ = false;
    std::string_view name_;
    std::string_view textView_;
    std::string text_;
    std::string attributeText_;
    std::vector<std::pair<std::string_view, std::string_view>> attributes_;
};

// Whether `name` is `literal`; short element names are compared inline, as the sheet is read
// a few tags per cell.
template <std::size_t N>
inline bool named(std::string_view name, const char (&literal)[N])
{
    if (name.size() != N - 1)
        return false;
    for (std::size_t i = 0; i < N - 1; ++i)
        if (name[i] != literal[i])
            return false;
    return true;
}

// Excel's text for "_xHHHH_" escapes (control characters kept in shared strings).
void unescapeExcelText(std::string& s)
{
    if (s.find("_x") == std::string::npos)
        return;
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (i + 7 <= s.size() && s[i] == '_' && s[i + 1] == 'x' && s[i + 6] == '_') {
            std::uint32_t cp = 0;
            const auto [p, ec] = std::from_chars(s.data() + i + 2, s.data() + i + 6, cp, 16);
            if (ec == std::errc() && p == s.data() + i + 6 && cp < 0x80 && cp != 0) {
                out += static_cast<char>(cp);
                i += 7;
                continue;
            }
        }
        out += s[i++];
    }
    s = std::move(out);
}

// Digits with an optional minus and an optional decimal point between digits, at most 15
// digits in all: the common case of a cell value, read without the general number parser.
// The digits as a whole number and the power of ten are both exact in a double, so their
// quotient is the correctly rounded value, as the general parser gives it.
bool parsePlainDecimal(std::string_view v, double& out)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !v.empty() && v.front() == '-';
    if (negative)
        v.remove_prefix(1);
    if (v.empty() || v.size() > 16)
        return false;
    std::int64_t n = 0;
    std::size_t digits = 0, point = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (c >= '0' && c <= '9') {
            n = n * 10 + (c - '0');
            ++digits;
        } else if (c == '.' && point == 0 && i > 0 && i + 1 < v.size()) {
            point = i;
        } else {
            return false;
        }
    }
    if (digits > 15)
        return false;
    const double value = point == 0 ? static_cast<double>(n)
                                    : static_cast<double>(n) / kPowers[v.size() - point - 1];
    out = negative ? -value : value;
    return true;
}

// Letters then digits: "C17" → column 3, row 17. Either part may be missing.
bool parseReference(std::string_view ref, std::uint32_t& column, std::uint32_t& row)
{
    std::size_t i = 0;
    std::uint32_t c = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z') {
        c = c * 26 + static_cast<std::uint32_t>(ref[i] - 'A' + 1);
        if (c > kMaxColumn)
            return false;
        ++i;
    }
    while (i < ref.size() && ref[i] == '$')
        ++i;
    std::uint32_t r = 0;
    if (i < ref.size()) {
        for (; i < ref.size(); ++i) {
            if (ref[i] < '0' || ref[i] > '9')
                return false;
            r = r * 10 + static_cast<std::uint32_t>(ref[i] - '0');
            if (r > kMaxRow)
                return false;
        }
        if (r == 0)
            return false;
    }
    column = c;
    row = r;
    return true;
}

std::string joinPath(const std::string& base, std::string_view target)
{
    if (!target.empty() && target.front() == '/')
        return std::string(target.substr(1));
    std::string out = base;
    while (target.substr(0, 3) == "../") {
        target.remove_prefix(3);
        if (!out.empty())
            out.pop_back();
        const std::size_t slash = out.rfind('/');
        out = slash == std::string::npos ? std::string() : out.substr(0, slash + 1);
    }
    return out + std::string(target);
}

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

class Workbook;

class SheetReader final : public XlsxSheetReader {
public:
    SheetReader(const Workbook& book, std::unique_ptr<zip_file_t, ZipFileCloser> file, std::string part);
    bool nextRow(XlsxRow& row) override;
    const std::vector<XlsxMerge>& merges() const override { return merges_; }

private:
    void readCell(XlsxCell& cell, std::uint32_t rowNumber);
    void readMerges();

    const Workbook& book_;
    std::unique_ptr<zip_file_t, ZipFileCloser> file_;
    XmlPull xml_;
    std::vector<XlsxMerge> merges_;
    std::uint32_t lastRow_ = 0;
    bool done_ = false;
    std::string value_;
};

class Workbook final : public XlsxWorkbook {
public:
    Workbook(zip_t* zip, std::string name) : zip_(zip), name_(std::move(name)) { load(); }

    const std::vector<std::string>& sheetNames() const override { return sheetNames_; }
    bool dates1904() const override { return dates1904_; }

    std::unique_ptr<XlsxSheetReader> openSheet(std::size_t index) override
    {
        const std::string& part = sheetParts_.at(index);
        auto file = openPart(part);
        if (!file)
            throw XlsxError(name_ + ": the sheet '" + sheetNames_[index] + "' (" + part + ") is missing from the workbook");
        return std::make_unique<SheetReader>(*this, std::move(file), part);
    }

    const std::string& sharedString(std::size_t index, std::string_view part) const
    {
        if (index >= sharedStrings_.size())
            throw XlsxError(std::string(part) + " refers to shared text " + std::to_string(index)
                            + ", the workbook holds " + std::to_string(sharedStrings_.size()));
        return sharedStrings_[index];
    }
    std::size_t sharedStringCount() const { return sharedStrings_.size(); }
    bool isDateStyle(std::size_t style) const { return style < dateStyles_.size() && dateStyles_[style]; }
    const std::string& name() const { return name_; }

    std::unique_ptr<zip_file_t, ZipFileCloser> openPart(const std::string& part) const
    {
        zip_file_t* f = zip_fopen(zip_.get(), part.c_str(), 0);
        return std::unique_ptr<zip_file_t, ZipFileCloser>(f);
    }

    XmlPull::Fill filler(zip_file_t* f, const std::string& part) const
    {
        return [f, part, name = name_](char* out, std::size_t n) -> std::size_t {
            const zip_int64_t got = zip_fread(f, out, n);
            if (got < 0)
                throw XlsxError(name + ": the part " + part + " cannot be read (" + zip_file_strerror(f) + ")");
            return static_cast<std::size_t>(got);
        };
    }

private:
    // Runs `visit` over every event of a part; false when the part is missing.
    bool readPart(const std::string& part, const std::function<void(XmlPull&, XmlPull::Event)>& visit) const
    {
        auto file = openPart(part);
        if (!file)
            return false;
        XmlPull xml(filler(file.get(), part), part);
        try {
            for (;;) {
                const XmlPull::Event e = xml.next();
                if (e == XmlPull::Event::Done)
                    break;
                visit(xml, e);
            }
        } catch (const XlsxError& e) {
            throw XlsxError(name_ + ": " + e.what());
        }
        return true;
    }

    // Relationship id → (target part, type) of the relationships of `part`.
    std::map<std::string, std::pair<std::string, std::string>> relationships(const std::string& part) const
    {
        const std::size_t slash = part.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
        const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
        std::map<std::string, std::pair<std::string, std::string>> out;
        readPart(folder + "_rels/" + file + ".rels", [&](XmlPull& xml, XmlPull::Event e) {
            if (e != XmlPull::Event::Start || xml.name() != "Relationship")
                return;
            const auto id = xml.attribute("Id");
            std::string id_(id ? *id : std::string_view());
            const auto target = xml.attribute("Target");
            std::string path = target ? joinPath(folder, *target) : std::string();
            const auto type = xml.attribute("Type");
            out[id_] = {path, std::string(type ? *type : std::string_view())};
        });
        return out;
    }

    static bool endsWith(std::string_view s, std::string_view tail)
    {
        return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
    }

    void load()
    {
        std::string main = "xl/workbook.xml";
        for (const auto& [id, rel] : relationships(""))
            if (endsWith(rel.second, "/officeDocument"))
                main = rel.first;
        std::vector<std::pair<std::string, std::string>> sheets;  // name, relationship id
        const bool found = readPart(main, [&](XmlPull& xml, XmlPull::Event e) {
            if (e != XmlPull::Event::Start)
                return;
            if (xml.name() == "sheet") {
                const auto name = xml.attribute("name");
                std::string sheetName(name ? *name : std::string_view());
                const auto id = xml.attribute("id");
                sheets.emplace_back(std::move(sheetName), std::string(id ? *id : std::string_view()));
            } else if (xml.name() == "workbookPr") {
                const auto d = xml.attribute("date1904");
                dates1904_ = d && (*d == "1" || *d == "true");
            }
        });
        if (!found)
            throw XlsxError(name_ + " is a zip archive but no Excel workbook: it holds no " + main);
        const auto rels = relationships(main);
        std::string shared, styles;
        for (const auto& [id, rel] : rels) {
            if (endsWith(rel.second, "/sharedStrings"))
                shared = rel.first;
            else if (endsWith(rel.second, "/styles"))
                styles = rel.first;
        }
        for (const auto& [sheetName, id] : sheets) {
            const auto rel = rels.find(id);
            if (rel == rels.end() || !endsWith(rel->second.second, "/worksheet"))
                continue;  // chart sheets and dialog sheets hold no cells
            sheetNames_.push_back(sheetName);
            sheetParts_.push_back(rel->second.first);
        }
        if (sheetNames_.empty())
            throw XlsxError(name_ + ": the workbook holds no worksheet");
        if (!shared.empty())
            readSharedStrings(shared);
        if (!styles.empty())
            readStyles(styles);
    }

    void readSharedStrings(const std::string& part)
    {
        int inItem = 0, inPhonetic = 0, inText = 0;
        std::string current;
        std::size_t held = 0;
        readPart(part, [&](XmlPull& xml, XmlPull::Event e) {
            if (e == XmlPull::Event::Start) {
                if (xml.name() == "si") {
                    inItem = 1;
                    current.clear();
                } else if (xml.name() == "rPh") {
                    ++inPhonetic;
                } else if (xml.name() == "t") {
                    inText = 1;
                }
            } else if (e == XmlPull::Event::End) {
                if (xml.name() == "si" && inItem) {
                    inItem = 0;
                    unescapeExcelText(current);
                    // Each text costs its bytes and a string; a damaged or hostile part must
                    // not take all the memory there is.
                    held += current.size() + sizeof(std::string);
                    if (held > kMaxSharedBytes)
                        throw XlsxError("the part " + part + " holds more shared texts than can be read (over 1 GiB)");
                    sharedStrings_.push_back(std::move(current));
                    current.clear();
                } else if (xml.name() == "rPh" && inPhonetic > 0) {
                    --inPhonetic;
                } else if (xml.name() == "t") {
                    inText = 0;
                }
            } else if (e == XmlPull::Event::Text && inItem && inText && !inPhonetic) {
                if (current.size() + xml.text().size() > kMaxToken)
                    throw XlsxError("the part " + part + " holds a text too long");
                current.append(xml.text());
            }
        });
    }

    void readStyles(const std::string& part)
    {
        std::map<int, bool> customDate;
        std::vector<int> xfFormats;
        int inCellXfs = 0;
        readPart(part, [&](XmlPull& xml, XmlPull::Event e) {
            if (e == XmlPull::Event::Start) {
                if (xml.name() == "numFmt") {
                    const auto id = xml.attribute("numFmtId");
                    const auto code = xml.attribute("formatCode");
                    int n = 0;
                    if (id && code && std::from_chars(id->data(), id->data() + id->size(), n).ec == std::errc())
                        customDate[n] = xlsxIsDateFormat(*code);
                } else if (xml.name() == "cellXfs") {
                    inCellXfs = 1;
                } else if (xml.name() == "xf" && inCellXfs) {
                    const auto id = xml.attribute("numFmtId");
                    int n = 0;
                    if (id)
                        std::from_chars(id->data(), id->data() + id->size(), n);
                    xfFormats.push_back(n);
                }
            } else if (e == XmlPull::Event::End && xml.name() == "cellXfs") {
                inCellXfs = 0;
            }
        });
        dateStyles_.reserve(xfFormats.size());
        for (int id : xfFormats) {
            const auto custom = customDate.find(id);
            const bool builtin = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
                                 (id >= 50 && id <= 58);
            dateStyles_.push_back(custom != customDate.end() ? custom->second : builtin);
        }
    }

    std::unique_ptr<zip_t, ZipCloser> zip_;
    std::string name_;
    std::vector<std::string> sheetNames_;
    std::vector<std::string> sheetParts_;
    std::vector<std::string> sharedStrings_;
    std::vector<bool> dateStyles_;
    bool dates1904_ = false;
};

SheetReader::SheetReader(const Workbook& book, std::unique_ptr<zip_file_t, ZipFileCloser> file, std::string part)
    : book_(book), file_(std::move(file)), xml_(book.filler(file_.get(), part), part)
{
}

bool SheetReader::nextRow(XlsxRow& row)
{
    if (done_)
        return false;
    try {
        for (;;) {
            const XmlPull::Event e = xml_.next();
            if (e == XmlPull::Event::Done) {
                done_ = true;
                return false;
            }
            if (e != XmlPull::Event::Start)
                continue;
            if (named(xml_.name(), "mergeCell")) {
                readMerges();
                continue;
            }
            if (!named(xml_.name(), "row"))
                continue;
            std::uint32_t number = lastRow_ + 1;
            if (const auto r = xml_.attribute("r")) {
                std::uint32_t c = 0;
                if (!parseReference(*r, c, number) || c != 0 || number == 0)
                    xml_.fail("holds a row numbered '" + std::string(*r) + "'");
            }
            if (number <= lastRow_ || number > kMaxRow)
                xml_.fail("holds row " + std::to_string(number) + " out of order");
            lastRow_ = number;
            row.number = number;
            std::size_t used = 0;
            std::uint32_t lastColumn = 0;
            for (;;) {
                const XmlPull::Event ce = xml_.next();
                if (ce == XmlPull::Event::End && named(xml_.name(), "row"))
                    break;
                if (ce == XmlPull::Event::Done)
                    xml_.fail("ends inside row " + std::to_string(number));
                if (ce != XmlPull::Event::Start)
                    continue;
                if (!named(xml_.name(), "c")) {
                    xml_.skipElement();
                    continue;
                }
                if (used == row.cells.size())
                    row.cells.emplace_back();
                XlsxCell& cell = row.cells[used];
                std::uint32_t column = lastColumn + 1;
                if (const auto r = xml_.attribute("r")) {
                    std::uint32_t rr = 0;
                    if (!parseReference(*r, column, rr) || column == 0 || (rr != 0 && rr != number))
                        xml_.fail("holds a cell named '" + std::string(*r) + "' in row " + std::to_string(number));
                }
                if (column <= lastColumn || column > kMaxColumn)
                    xml_.fail("holds the cells of row " + std::to_string(number) + " out of order");
                lastColumn = column;
                cell.column = column;
                readCell(cell, number);
                // An empty text is no value (Excel keeps some as shared strings).
                if (cell.kind == XlsxCellKind::Text && cell.text.empty())
                    cell.kind = XlsxCellKind::Empty;
                if (cell.kind != XlsxCellKind::Empty)
                    ++used;
            }
            row.cells.resize(used);
            return true;
        }
    } catch (const XlsxError& e) {
        throw XlsxError(book_.name() + ": " + e.what());
    }
}

void SheetReader::readCell(XlsxCell& cell, std::uint32_t rowNumber)
{
    // The type is copied: the attribute's text lasts only until the next tag.
    char typeText[12] = "n";
    std::size_t typeSize = 1;
    if (const auto t = xml_.attribute("t"); t && t->size() < sizeof typeText) {
        std::copy(t->begin(), t->end(), typeText);
        typeSize = t->size();
    }
    const std::string_view type(typeText, typeSize);
    std::size_t style = 0;
    if (const auto s = xml_.attribute("s"))
        for (char c : *s)
            style = c >= '0' && c <= '9' && style < 100000000 ? style * 10 + static_cast<std::size_t>(c - '0') : SIZE_MAX;
    cell.kind = XlsxCellKind::Empty;
    cell.dateStyle = false;
    cell.text.clear();
    bool haveValue = false;
    int depth = 1;
    if (std::string_view plain; xml_.plainValueThenEnd("<v>", "</v></c>", plain)) {
        value_.assign(plain);
        haveValue = true;
        depth = 0;
    } else if (xml_.plainValueThenEnd("<is><t>", "</t></is></c>", plain)) {
        cell.text.assign(plain);
        unescapeExcelText(cell.text);
        cell.kind = XlsxCellKind::Text;
        return;
    }
    while (depth > 0) {
        const XmlPull::Event e = xml_.next();
        if (e == XmlPull::Event::Done)
            xml_.fail("ends inside a cell");
        if (e == XmlPull::Event::End) {
            --depth;
            continue;
        }
        if (e != XmlPull::Event::Start)
            continue;
        if (named(xml_.name(), "v")) {
            xml_.elementText(value_);
            haveValue = true;
        } else if (named(xml_.name(), "is")) {
            // Inline text: the runs' texts, phonetic guides left out.
            cell.text.clear();
            int inner = 1;
            int phonetic = 0;
            while (inner > 0) {
                const XmlPull::Event ie = xml_.next();
                if (ie == XmlPull::Event::Done)
                    xml_.fail("ends inside a cell");
                if (ie == XmlPull::Event::Start) {
                    ++inner;
                    if (named(xml_.name(), "rPh"))
                        ++phonetic;
                    else if (named(xml_.name(), "t") && !phonetic) {
                        xml_.elementText(value_);
                        --inner;
                        cell.text += value_;
                    }
                } else if (ie == XmlPull::Event::End) {
                    --inner;
                    if (named(xml_.name(), "rPh") && phonetic > 0)
                        --phonetic;
                }
            }
            unescapeExcelText(cell.text);
            cell.kind = XlsxCellKind::Text;
        } else {
            xml_.skipElement();  // the formula, extensions
        }
    }
    if (named(type, "inlineStr"))
        return;
    if (!haveValue)
        return;
    const auto where = [&] { return xlsxCellName(cell.column, rowNumber); };
    if (named(type, "s")) {
        std::size_t index = 0;
        const auto [p, ec] = std::from_chars(value_.data(), value_.data() + value_.size(), index);
        if (ec != std::errc() || p != value_.data() + value_.size())
            xml_.fail("cell " + where() + " refers to shared text '" + value_ + "'");
        cell.text = book_.sharedString(index, index < book_.sharedStringCount() ? std::string() : "cell " + where());
        cell.kind = XlsxCellKind::Text;
    } else if (named(type, "str") || named(type, "d")) {
        cell.text = value_;
        unescapeExcelText(cell.text);
        cell.kind = XlsxCellKind::Text;
    } else if (named(type, "b")) {
        cell.kind = XlsxCellKind::Boolean;
        cell.truth = value_ == "1" || value_ == "true";
    } else if (named(type, "e")) {
        cell.kind = XlsxCellKind::Error;
        cell.text = value_;
    } else {
        std::string_view v = value_;
        while (!v.empty() && (v.front() == ' ' || v.front() == '\n' || v.front() == '\t' || v.front() == '\r'))
            v.remove_prefix(1);
        while (!v.empty() && (v.back() == ' ' || v.back() == '\n' || v.back() == '\t' || v.back() == '\r'))
            v.remove_suffix(1);
        if (v.empty())
            return;
        if (!v.empty() && v.front() == '+')
            v.remove_prefix(1);
        double number = 0;
        if (!parsePlainDecimal(v, number)) {
            const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), number);
            if (ec != std::errc() || p != v.data() + v.size())
                number = NAN;
        }
        if (!std::isfinite(number))
            xml_.fail("cell " + where() + " holds '" + value_ + "', which is no number");
        cell.kind = XlsxCellKind::Number;
        cell.number = number == 0 ? 0.0 : number;
        cell.dateStyle = book_.isDateStyle(style);
    }
}

void SheetReader::readMerges()
{
    const auto ref = xml_.attribute("ref");
    if (!ref)
        return;
    const std::size_t colon = ref->find(':');
    if (colon == std::string_view::npos)
        return;
    XlsxMerge m;
    if (!parseReference(ref->substr(0, colon), m.firstColumn, m.firstRow) ||
        !parseReference(ref->substr(colon + 1), m.lastColumn, m.lastRow))
        xml_.fail("holds a merged range named '" + std::string(*ref) + "'");
    if (m.firstColumn == 0 || m.firstRow == 0 || m.lastColumn < m.firstColumn || m.lastRow < m.firstRow)
        return;
    if (merges_.size() >= 1000000)
        xml_.fail("holds more than a million merged ranges");
    merges_.push_back(m);
}

std::unique_ptr<XlsxWorkbook> openZip(zip_source_t* source, const std::string& name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip) {
        const int code = zip_error_code_zip(&error);
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        zip_source_free(source);
        if (code == ZIP_ER_NOZIP)
            throw XlsxError(name + " is no Excel workbook (.xlsx): it is not a zip archive, or it is cut short");
        throw XlsxError(name + " is no Excel workbook (.xlsx) that can be read: " + why);
    }
    zip_error_fini(&error);
    return std::make_unique<Workbook>(zip, name);
}

}  // namespace

std::unique_ptr<XlsxWorkbook> XlsxWorkbook::open(const std::string& path)
{
    // A file that cannot be opened is a failure of the system, not a bad workbook.
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
        std::fclose(f);
    else
        throw std::runtime_error(path + ": " + std::strerror(errno));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.c_str(), 0, -1, &error);
    if (!source) {
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        throw XlsxError(path + " cannot be read: " + why);
    }
    zip_error_fini(&error);
    return openZip(source, path);
}

std::unique_ptr<XlsxWorkbook> XlsxWorkbook::openBytes(std::string_view bytes, const std::string& name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (!source)
        throw XlsxError(name + " cannot be read");
    return openZip(source, name);
}

bool xlsxSerialDate(double serial, bool dates1904, Date& out)
{
    if (!(serial >= 1) || serial != std::floor(serial) || serial > 2958465)
        return false;
    std::int64_t days = static_cast<std::int64_t>(serial);
    std::int64_t base;
    if (dates1904) {
        base = toDayNumber(Date{1904, 1, 1});
        days -= 1;
        base += 1;
    } else {
        if (days == 60)
            return false;  // 1900-02-29, which never was
        base = days < 60 ? toDayNumber(Date{1899, 12, 31}) : toDayNumber(Date{1899, 12, 30});
    }
    out = fromDayNumber(base + days);
    return out.year <= 9999;
}

std::string xlsxCellName(std::uint32_t column, std::uint32_t row)
{
    std::string letters;
    for (std::uint32_t c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

bool xlsxIsDateFormat(std::string_view code)
{
    // Only the first section (positive numbers) counts.
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            continue;
        }
        switch (c) {
        case '"': quoted = true; break;
        case '\\':
        case '_':
        case '*': ++i; break;
        case '[': {
            const std::size_t close = code.find(']', i);
            if (close == std::string_view::npos)
                return false;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'H' || inside[0] == 'm' || inside[0] == 'M' ||
                                    inside[0] == 's' || inside[0] == 'S'))
                return true;  // elapsed time
            i = close;
            break;
        }
        case ';': return false;
        case 'd': case 'D': case 'm': case 'M': case 'y': case 'Y':
        case 'h': case 'H': case 's': case 'S':
            return true;
        case 'G': case 'g':
            if (code.substr(i, 7) == "General" || code.substr(i, 7) == "general")
                i += 6;
            break;
        default: break;
        }
    }
    return false;
}

}  // namespace zandor::tables
