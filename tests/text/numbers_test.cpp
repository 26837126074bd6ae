// Number texts: every expected text below was worked out by hand from the rules of the
// display patterns and the general form.
#include "text/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>

namespace zandor::text {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- display patterns ----------------------------------------------------------------------

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
    friend std::ostream& operator<<(std::ostream& os, const PatternCase& c) {
        return os << c.value << " with " << c.pattern << " -> \"" << c.expected << '"';
    }
};

class FormatPatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(FormatPatternTest, WritesExpectedText) {
    const auto& c = GetParam();
    EXPECT_EQ(formatPattern(c.value, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    DecimalTies, FormatPatternTest,
    testing::Values(
        // The double below each of these lies under the tie, the 15-digit text sits on it.
        PatternCase{2.675, "####.##", "2.68"},
        PatternCase{-2.675, "####.##", "-2.68"},
        PatternCase{1.005, "#####.##", "1.01"},
        PatternCase{8.325, "####.##", "8.33"},
        PatternCase{0.0000015, "##.######", ".000002"},
        PatternCase{0.00000125, "##.######", ".000001"},
        PatternCase{0.005, "####.##", ".01"},
        PatternCase{-0.005, "####.##", "-.01"},
        PatternCase{5e-7, "##.######", ".000001"},
        PatternCase{123456.123456789, "#####.####", "123456.1235"},
        PatternCase{2.5, "####", "3"},
        PatternCase{-2.5, "####", "-3"},
        PatternCase{1234.5, "####", "1235"}));

INSTANTIATE_TEST_SUITE_P(
    ShapeOfText, FormatPatternTest,
    testing::Values(
        PatternCase{0.5, "####.##", ".5"},
        PatternCase{-0.5, "####.##", "-.5"},
        PatternCase{0.25, "##.######", ".25"},
        PatternCase{3, "####.##", "3"},
        PatternCase{-3, "####.######", "-3"},
        PatternCase{10.1, "#####.####", "10.1"},
        PatternCase{0.1 + 0.2, "##.######", ".3"},
        PatternCase{1.0000000000000002, "####.######", "1"},
        PatternCase{0.123456789012345678, "####.######", ".123457"},
        PatternCase{9.999, "####.##", "10"},
        PatternCase{99.995, "##.##", "100"},
        PatternCase{0.999, "####.##", "1"},
        PatternCase{-0.9999999, "####.######", "-1"},
        // More integer digits than the pattern has places: all are written.
        PatternCase{12345678.9, "####.##", "12345678.9"},
        PatternCase{1e20, "####.##", "100000000000000000000"},
        PatternCase{1.23456789012345678e20, "#####.####", "123456789012346000000"}));

INSTANTIATE_TEST_SUITE_P(
    RoundsToNothing, FormatPatternTest,
    testing::Values(
        PatternCase{0, "####.##", ""},
        PatternCase{-0.0, "####.##", ""},
        PatternCase{0.004, "####.##", ""},
        PatternCase{-0.004, "####.##", ""},
        PatternCase{0.0049999, "####.##", ""},
        PatternCase{0.0005, "####.##", ""},
        PatternCase{-0.4, "####", ""},
        PatternCase{4.9e-7, "##.######", ""},
        PatternCase{1e-300, "####.##", ""},
        PatternCase{-1e-300, "#####.####", ""}));

INSTANTIATE_TEST_SUITE_P(
    NotFinite, FormatPatternTest,
    testing::Values(PatternCase{kNaN, "####.##", "NAN"},
                    PatternCase{kInf, "####.##", "INF"},
                    PatternCase{-kInf, "####.##", "-INF"}));

TEST(FormatPattern, RefusesPatternsWithOtherThanPlaceholders) {
    EXPECT_THROW(formatPattern(1, "#,###.##"), std::invalid_argument);
    EXPECT_THROW(formatPattern(1, "##.##.#"), std::invalid_argument);
    EXPECT_THROW(formatPattern(1, "0.00"), std::invalid_argument);
}

TEST(FormatPattern, HugeValueKeepsEveryIntegerDigit) {
    const std::string text = formatPattern(std::numeric_limits<double>::max(), "####.##");
    ASSERT_EQ(text.size(), 309u);
    EXPECT_EQ(text.substr(0, 16), "1797693134862320");
    EXPECT_EQ(text.find_first_not_of('0', 15), std::string::npos);
}

// ---- general form ----------------------------------------------------------------------------

struct GeneralCase {
    double value;
    const char* expected;
    friend std::ostream& operator<<(std::ostream& os, const GeneralCase& c) {
        return os << c.value << " -> \"" << c.expected << '"';
    }
};

class FormatGeneralTest : public testing::TestWithParam<GeneralCase> {};

TEST_P(FormatGeneralTest, WritesExpectedText) {
    EXPECT_EQ(formatGeneral(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fixed, FormatGeneralTest,
    testing::Values(GeneralCase{0, "0"},
                    GeneralCase{-0.0, "0"},
                    GeneralCase{1, "1"},
                    GeneralCase{-1, "-1"},
                    GeneralCase{100, "100"},
                    GeneralCase{0.5, "0.5"},
                    GeneralCase{-0.5, "-0.5"},
                    GeneralCase{123.456, "123.456"},
                    GeneralCase{0.1 + 0.2, "0.3"},
                    GeneralCase{1.0 / 3, "0.333333333333333"},
                    GeneralCase{2.0 / 3, "0.666666666666667"},
                    GeneralCase{12345.678901234567, "12345.6789012346"},
                    GeneralCase{1e14, "100000000000000"},
                    GeneralCase{123456789012345, "123456789012345"},
                    GeneralCase{1e-5, "0.00001"},
                    GeneralCase{0.00001234, "0.00001234"},
                    GeneralCase{-0.000012345678901234567, "-0.0000123456789012346"}));

INSTANTIATE_TEST_SUITE_P(
    Scientific, FormatGeneralTest,
    testing::Values(GeneralCase{1.5e-7, "1.5E-7"},
                    GeneralCase{-1.5e-7, "-1.5E-7"},
                    GeneralCase{9.99999e-6, "9.99999E-6"},
                    GeneralCase{1e20, "1E20"},
                    GeneralCase{1e15, "1E15"},
                    GeneralCase{1234567890123456, "1.23456789012346E15"},
                    // 999999999999999.875 rounds to 15 digits as 1.00000000000000E15.
                    GeneralCase{999999999999999.9, "1E15"},
                    GeneralCase{1e100, "1E100"},
                    GeneralCase{1.7976931348623157e308, "1.79769313486232E308"},
                    GeneralCase{5e-324, "4.94065645841247E-324"}));

INSTANTIATE_TEST_SUITE_P(
    NotFinite, FormatGeneralTest,
    testing::Values(GeneralCase{kNaN, "NAN"}, GeneralCase{-kNaN, "NAN"},
                    GeneralCase{kInf, "INF"}, GeneralCase{-kInf, "-INF"}));

// ---- typed numbers ---------------------------------------------------------------------------

struct ParseCase {
    std::string text;
    double expected;
    friend std::ostream& operator<<(std::ostream& os, const ParseCase& c) {
        return os << '"' << c.text << "\" -> " << c.expected;
    }
};

class ParseNumberTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, ReadsExactDouble) {
    const auto value = parseNumber(GetParam().text);
    ASSERT_TRUE(value.has_value());
    // Bit for bit: the conversion must be the exact nearest double, and the sign of zero kept.
    const double expected = GetParam().expected;
    EXPECT_EQ(std::memcmp(&*value, &expected, sizeof(double)), 0) << *value;
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ParseNumberTest,
    testing::Values(ParseCase{"5", 5},
                    ParseCase{"  5\t", 5},
                    ParseCase{"\t \t-7 ", -7},
                    ParseCase{"+5", 5},
                    ParseCase{"-5", -5},
                    ParseCase{".5", 0.5},
                    ParseCase{"5.", 5},
                    ParseCase{"-.5", -0.5},
                    ParseCase{"007", 7},
                    ParseCase{"0", 0},
                    ParseCase{"-0", -0.0},
                    ParseCase{"1e3", 1000},
                    ParseCase{"1E3", 1000},
                    ParseCase{"1e+3", 1000},
                    ParseCase{"2.5e-3", 0.0025},
                    ParseCase{"\t-1.25E+2 ", -125},
                    ParseCase{".5e1", 5},
                    ParseCase{"5.e1", 50},
                    ParseCase{"0.1", 0.1},
                    ParseCase{"2.675", 2.675},
                    ParseCase{"123456789012345678901234567890", 123456789012345678901234567890.0},
                    ParseCase{"1.7976931348623157e308", 1.7976931348623157e308},
                    ParseCase{"4.9406564584124654e-324", 5e-324},
                    ParseCase{"1e0000000000000000000005", 1e5},
                    // Too small to hold: zero, with its sign.
                    ParseCase{"1e-400", 0.0},
                    ParseCase{"-1e-400", -0.0},
                    ParseCase{"0.0001e-320", 0.0},
                    ParseCase{"123e-99999999999999999999", 0.0}));

class RejectedNumberTest : public testing::TestWithParam<std::string> {};

TEST_P(RejectedNumberTest, GivesNothingAndToNumberThrows) {
    const std::string& text = GetParam();
    EXPECT_FALSE(parseNumber(text).has_value());
    try {
        toNumber(text);
        ADD_FAILURE() << "no exception";
    } catch (const NumberFormatError& e) {
        EXPECT_EQ(std::string(e.what()), "“" + text + "”不是有效的数值");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rejected, RejectedNumberTest,
    testing::Values("", " ", "\t", ".", "-", "+", "-.", " . ", "e5", ".e5", "5e", "5e+", "5e-",
                    "1.2.3", "1,5", "5 5", "0x10", "inf", "-inf", "nan", "INF", "NAN", "1d5",
                    "+-5", "--5", "5-", "5+", "1e5.5", "1e 5", "abc", "\n5", "5\n", "\xef\xbc\x95",
                    // Too large to hold.
                    "1e999", "-1e999", "1e309", "0.001e400", "123456789e400",
                    "1e99999999999999999999"));

TEST(ParseNumber, EmbeddedNulIsNoBlank) {
    EXPECT_FALSE(parseNumber(std::string("5\0", 2)).has_value());
    EXPECT_FALSE(parseNumber(std::string("\0" "5", 2)).has_value());
    EXPECT_THROW(toNumber(std::string("5\0", 2)), NumberFormatError);
}

TEST(ToNumber, MessageKeepsTheTextAsGiven) {
    EXPECT_EQ(invalidNumberMessage("  abc "), "“  abc ”不是有效的数值");
    EXPECT_EQ(invalidNumberMessage("年龄"), "“年龄”不是有效的数值");
    EXPECT_DOUBLE_EQ(toNumber(" 1.5 "), 1.5);
}

// ---- rounding to whole persons ---------------------------------------------------------------

struct RoundCase {
    double value;
    double expected;
    friend std::ostream& operator<<(std::ostream& os, const RoundCase& c) {
        return os.precision(17), os << c.value << " -> " << c.expected;
    }
};

class RoundHalfEvenTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsToNearestEvenOnTies) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundHalfEvenTest,
    testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2}, RoundCase{-3.5, -4},
                    RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                    RoundCase{7, 7}, RoundCase{-0.4, 0}, RoundCase{0.6, 1}, RoundCase{-0.6, -1},
                    RoundCase{2.4999999999999996, 2}, RoundCase{2.5000000000000004, 3},
                    // floor(v + 0.5) would give 1 here: the sum rounds up to 1.0.
                    RoundCase{0.49999999999999994, 0},
                    RoundCase{12345678.5, 12345678}, RoundCase{12345679.5, 12345680},
                    RoundCase{4503599627370494.5, 4503599627370494},
                    RoundCase{4503599627370495.5, 4503599627370496},
                    RoundCase{4503599627370497.0, 4503599627370497},
                    RoundCase{9007199254740993.0, 9007199254740992.0},
                    RoundCase{1e300, 1e300}, RoundCase{-1e300, -1e300}));

TEST(RoundHalfEven, NotFiniteValuesPassThrough) {
    EXPECT_TRUE(std::isnan(roundHalfEven(kNaN)));
    EXPECT_EQ(roundHalfEven(kInf), kInf);
    EXPECT_EQ(roundHalfEven(-kInf), -kInf);
}

// ---- round-trip texts ------------------------------------------------------------------------

TEST(FormatRoundTrip, ShortestTexts) {
    EXPECT_EQ(formatRoundTrip(0.1), "0.1");
    EXPECT_EQ(formatRoundTrip(100), "100");
    EXPECT_EQ(formatRoundTrip(-2.5), "-2.5");
    EXPECT_EQ(formatRoundTrip(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(formatRoundTrip(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatRoundTrip(1e20), "1e+20");
    EXPECT_EQ(formatRoundTrip(5e-324), "5e-324");
    EXPECT_EQ(formatRoundTrip(-0.0), "-0");
    EXPECT_EQ(formatRoundTrip(kNaN), "NAN");
    EXPECT_EQ(formatRoundTrip(-kInf), "-INF");
}

TEST(FormatRoundTrip, ReadsBackBitForBit) {
    const double values[] = {0.1, 1.0 / 3, 2.675, -1e-7, 6.02214076e23, 1.7976931348623157e308,
                             5e-324, 2.2250738585072014e-308, -0.0, 123456789.123456789,
                             0.000123456789, 9007199254740993.0};
    for (double v : values) {
        const auto back = parseNumber(formatRoundTrip(v));
        ASSERT_TRUE(back.has_value()) << formatRoundTrip(v);
        EXPECT_EQ(std::memcmp(&*back, &v, sizeof v), 0) << formatRoundTrip(v);
    }
}

}  // namespace
}  // namespace zandor::text
