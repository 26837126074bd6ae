#include "tables/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace zandor::tables {
namespace {

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string iconvName(int codePage)
{
    switch (codePage) {
    case 65001: return "UTF-8";
    case 1252: return "CP1252";
    case 437: return "CP437";
    case 850: return "CP850";
    case 936: return "GBK";
    case 950: return "BIG5";
    case 932: return "CP932";
    case 949: return "CP949";
    default: return "CP" + std::to_string(codePage);
    }
}

// iconv descriptors are costly to open; keep one per direction and code page. They are
// used under a lock because a descriptor carries conversion state.
struct Converter {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    std::mutex lock;
    Converter() = default;
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

Converter* converter(int codePage, bool toUtf8)
{
    static std::mutex registryLock;
    static std::unordered_map<long, std::unique_ptr<Converter>> registry;
    std::lock_guard guard(registryLock);
    auto& slot = registry[codePage * 2L + (toUtf8 ? 1 : 0)];
    if (!slot) {
        slot = std::make_unique<Converter>();
        const std::string name = iconvName(codePage);
        slot->cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
    }
    return slot->cd == reinterpret_cast<iconv_t>(-1) ? nullptr : slot.get();
}

// Converts as far as possible; on an invalid sequence calls onInvalid, which may append a
// replacement and return how many input bytes to skip, or return 0 to give up.
template <typename OnInvalid>
bool convert(Converter& c, std::string_view in, std::string& out, OnInvalid onInvalid)
{
    std::lock_guard guard(c.lock);
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buffer[1024];
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        size_t rc = iconv(c.cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            size_t skip = onInvalid(out);
            if (skip == 0)
                return false;
            skip = std::min(skip, left);
            src += skip;
            left -= skip;
            iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buffer;
    size_t room = sizeof buffer;
    iconv(c.cd, nullptr, nullptr, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return true;
}

}  // namespace

std::string decodeText(std::string_view bytes, int codePage)
{
    if (isAscii(bytes))
        return std::string(bytes);
    Converter* c = converter(codePage, true);
    if (!c)
        c = converter(kDefaultCodePage, true);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    convert(*c, bytes, out, [](std::string& o) {
        o += "\xEF\xBF\xBD";
        return size_t{1};
    });
    return out;
}

std::optional<std::string> encodeText(std::string_view utf8, int codePage)
{
    if (isAscii(utf8))
        return std::string(utf8);
    Converter* c = converter(codePage, false);
    if (!c)
        return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    if (!convert(*c, utf8, out, [](std::string&) { return size_t{0}; }))
        return std::nullopt;
    return out;
}

bool isSupportedCodePage(int codePage)
{
    return converter(codePage, true) != nullptr && converter(codePage, false) != nullptr;
}

std::string truncateAtCharBoundary(std::string_view encoded, std::size_t maxBytes, int codePage)
{
    const bool doubleByte = codePage == 936 || codePage == 950 || codePage == 932 || codePage == 949;
    std::size_t i = 0;
    while (i < encoded.size()) {
        const auto lead = static_cast<unsigned char>(encoded[i]);
        const std::size_t len = (doubleByte && lead >= 0x81 && lead <= 0xFE && i + 1 < encoded.size()) ? 2 : 1;
        if (i + len > maxBytes)
            break;
        i += len;
    }
    return std::string(encoded.substr(0, i));
}

}  // namespace zandor::tables
