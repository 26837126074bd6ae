// Number texts shared by every window, listing and zandor-cli: the display patterns, the
// general 15-digit form, parsing of typed numbers, and rounding to whole persons.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zandor::text {

// Writes v with a digit-placeholder pattern such as "#####.####": the value is first written
// with 15 significant digits, then rounded half away from zero to the pattern's decimals;
// trailing zeros are dropped, the point is dropped when no decimals remain, values below 1
// have no digit before the point (".5", "-.5"), all integer digits are printed, and a value
// that rounds to zero gives the empty text.
std::string formatPattern(double v, std::string_view pattern);

// The general form: 15 significant digits, trailing zeros removed; fixed notation when
// 1e-5 <= |v| and the integer part has at most 15 digits, otherwise scientific ("1.5E-7",
// "1E20"); 0 gives "0".
std::string formatGeneral(double v);

// Parses a typed number: surrounding blanks, optional sign, digits with an optional '.',
// optional exponent. Anything else (the empty text included) gives nothing.
std::optional<double> parseNumber(std::string_view text);

// The message for a text that is no number: “TEXT”不是有效的数值 (the caller puts the box,
// cell or field before it).
std::string invalidNumberMessage(std::string_view text);
// The same for a whole number: “TEXT”不是有效的整数
std::string invalidIntegerMessage(std::string_view text);

class NumberFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// parseNumber, throwing NumberFormatError with invalidNumberMessage on failure.
double toNumber(std::string_view text);

// Rounds to a whole number, halves to the even neighbour (persons in a projection).
double roundHalfEven(double v);

// The shortest text that reads back to the same double (CSV output of zandor-cli).
std::string formatRoundTrip(double v);

}  // namespace zandor::text
