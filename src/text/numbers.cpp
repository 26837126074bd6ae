#include "text/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace zandor::text {

namespace {

constexpr int kSignificant = 15;

// A finite value written with 15 significant digits: |v| = 0.d0d1...d14 * 10^(exponent+1),
// that is, digits[0] stands at the place 10^exponent. Zero has all digits '0' and
// exponent 0.
struct Decimal15 {
    bool negative = false;
    std::array<char, kSignificant> digits{};
    int exponent = 0;
};

Decimal15 toDecimal15(double v) {
    // to_chars gives the correctly rounded 15-digit scientific text, e.g. "1.25000000000000e-06",
    // whatever the locale.
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                                   std::chars_format::scientific, kSignificant - 1);
    (void)ec;  // 64 characters always suffice for a finite double with 15 digits
    const char* p = buffer.data();
    Decimal15 d;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    int n = 0;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.') d.digits[n++] = *p;
    }
    ++p;  // 'e'
    int exponent = 0;
    std::from_chars(*p == '+' ? p + 1 : p, end, exponent);
    d.exponent = exponent;
    return d;
}

std::string nonFiniteText(double v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

// Number of decimals a digit-placeholder pattern asks for ("#####.##" asks for 2).
int patternDecimals(std::string_view pattern) {
    int decimals = 0;
    bool point = false;
    for (char c : pattern) {
        if (c == '.') {
            if (point) throw std::invalid_argument("number pattern with two points: " + std::string(pattern));
            point = true;
        } else if (c == '#') {
            if (point) ++decimals;
        } else {
            throw std::invalid_argument("number pattern with other than '#' and '.': " + std::string(pattern));
        }
    }
    return decimals;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string formatPattern(double v, std::string_view pattern) {
    const int decimals = patternDecimals(pattern);
    if (!std::isfinite(v)) return nonFiniteText(v);
    const Decimal15 d = toDecimal15(v);

    // The magnitude in units of 10^-decimals, rounded half away from zero on the 15-digit
    // text: keep the digits down to the place 10^-decimals and look at the next one.
    const long keep = static_cast<long>(d.exponent) + decimals + 1;  // digits at or above 10^-decimals
    std::string units;
    if (keep < 0) {
        units = "0";
    } else if (keep == 0) {
        units.assign(1, d.digits[0] >= '5' ? '1' : '0');
    } else {
        const long taken = std::min<long>(keep, kSignificant);
        units.assign(d.digits.begin(), d.digits.begin() + taken);
        if (keep > kSignificant) units.append(static_cast<std::size_t>(keep - kSignificant), '0');
        if (keep < kSignificant && d.digits[static_cast<std::size_t>(keep)] >= '5') {
            std::size_t i = units.size();
            while (i > 0 && units[i - 1] == '9') units[--i] = '0';
            if (i == 0) {
                units.insert(units.begin(), '1');
            } else {
                ++units[i - 1];
            }
        }
    }
    const auto firstNonZero = units.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return "";
    units.erase(0, firstNonZero);

    // Split into integer digits and `decimals` fraction digits, then tidy up.
    if (units.size() < static_cast<std::size_t>(decimals)) {
        units.insert(0, static_cast<std::size_t>(decimals) - units.size(), '0');
    }
    std::string integerPart = units.substr(0, units.size() - static_cast<std::size_t>(decimals));
    std::string fraction = units.substr(integerPart.size());
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();

    std::string out;
    if (d.negative) out += '-';
    out += integerPart;  // empty below 1: ".5"
    if (!fraction.empty()) {
        out += '.';
        out += fraction;
    }
    return out;
}

std::string formatGeneral(double v) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    if (v == 0) return "0";  // negative zero too
    const Decimal15 d = toDecimal15(v);
    int count = kSignificant;
    while (count > 1 && d.digits[count - 1] == '0') --count;
    const std::string_view digits(d.digits.data(), static_cast<std::size_t>(count));

    std::string out;
    if (d.negative) out += '-';
    // The choice is made on the rounded digits: 999999999999999.9 rounds to 1E15.
    if (d.exponent >= -5 && d.exponent < kSignificant) {
        if (d.exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out += digits;
        } else {
            const auto integerDigits = static_cast<std::size_t>(d.exponent) + 1;
            if (digits.size() <= integerDigits) {
                out += digits;
                out.append(integerDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, integerDigits);
                out += '.';
                out += digits.substr(integerDigits);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(d.exponent);
    }
    return out;
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    const std::string_view s = text.substr(begin, end - begin);

    // Check the whole grammar here; from_chars alone would accept "inf", "nan" and stop
    // early on trailing rubbish.
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t mantissaBegin = i;
    long integerDigits = 0;     // significant digits before the point
    long leadingFraction = 0;   // zeros right after the point before the first nonzero digit
    bool nonZeroSeen = false;
    bool anyDigit = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        anyDigit = true;
        if (s[i] != '0') nonZeroSeen = true;
        if (nonZeroSeen) ++integerDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            anyDigit = true;
            if (!nonZeroSeen) {
                if (s[i] == '0') {
                    ++leadingFraction;
                } else {
                    nonZeroSeen = true;
                }
            }
        }
    }
    if (!anyDigit) return std::nullopt;
    long long exponent = 0;  // saturated; only its sign and rough size matter below
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponentNegative = s[i++] == '-';
        const std::size_t exponentBegin = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (exponent < 1'000'000'000LL) exponent = exponent * 10 + (s[i] - '0');
        }
        if (i == exponentBegin) return std::nullopt;
        if (exponentNegative) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;

    // from_chars takes no '+' sign; the sign is applied afterwards so that "-0" stays -0.
    double value = 0;
    const char* first = s.data() + mantissaBegin;
    const char* last = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large fails; too small to hold is zero to any precision this program shows.
        // The place of the first significant digit tells which of the two it is.
        const long long place = integerDigits > 0 ? exponent + integerDigits - 1
                                                  : exponent - leadingFraction - 1;
        if (place > 0) return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string invalidNumberMessage(std::string_view text) {
    std::string message = "“";
    message += text;
    message += "”不是有效的数值";
    return message;
}

std::string invalidIntegerMessage(std::string_view text) {
    std::string message = "“";
    message += text;
    message += "”不是有效的整数";
    return message;
}

double toNumber(std::string_view text) {
    if (auto value = parseNumber(text)) return *value;
    throw NumberFormatError(invalidNumberMessage(text));
}

double roundHalfEven(double v) {
    // From 2^52 on every double is a whole number; below it floor and the difference are exact.
    if (!std::isfinite(v) || std::fabs(v) >= 4503599627370496.0) return v;
    const double lower = std::floor(v);
    const double difference = v - lower;
    double result = lower;
    if (difference > 0.5 || (difference == 0.5 && std::fmod(lower, 2.0) != 0)) result = lower + 1;
    return result == 0 ? 0.0 : result;
}

std::string formatRoundTrip(double v) {
    if (!std::isfinite(v)) return nonFiniteText(v);
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
    (void)ec;
    return std::string(buffer.data(), end);
}

}  // namespace zandor::text
