// The text form of Float values in dBase N(19,15) fields.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <random>

#include "tables/dbase.h"

namespace {

using zandor::tables::dbase::numericText;

struct Exact {
    double value;
    const char* text;
};

void PrintTo(const Exact& e, std::ostream* os) { *os << e.text; }

class NumericTextExact : public ::testing::TestWithParam<Exact> {};

TEST_P(NumericTextExact, WritesTheShortestFormThatFits)
{
    const auto text = numericText(GetParam().value);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, NumericTextExact,
                         ::testing::Values(Exact{0.0, "0"}, Exact{1.0, "1"}, Exact{-1.5, "-1.5"},
                                           Exact{0.1, "0.1"}, Exact{123456.789, "123456.789"},
                                           Exact{1e15, "1000000000000000"}, Exact{-1e15, "-1000000000000000"},
                                           Exact{0.1 + 0.2, "0.30000000000000004"},
                                           Exact{1.234567890123e-99, "1.234567890123E-99"},
                                           Exact{-1.234567890123e-99, "-1.234567890123E-99"},
                                           Exact{1.5e-100, "1.5E-100"}, Exact{5e-324, "5E-324"},
                                           Exact{1e300, "1E300"}, Exact{0.00012, "0.00012"},
                                           // 17 digits do not fit; fixed keeps 16.
                                           Exact{0.012345678901234567, "0.01234567890123457"}));

// Every magnitude from 1e-99 to 1e15, both signs, with mantissas of many digits: the text fits
// in 19 characters and reads back equal to the value in at least 13 significant digits.
class NumericTextMagnitude : public ::testing::TestWithParam<int> {};

TEST_P(NumericTextMagnitude, KeepsThirteenDigitsInNineteenCharacters)
{
    const int exponent = GetParam();
    std::mt19937_64 random(static_cast<unsigned>(exponent + 1000));
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::vector<double> mantissas = {1.0, 1.2345678901234567, 9.999999999999998, 3.14159265358979};
    for (int i = 0; i < 20; ++i)
        mantissas.push_back(mantissa(random));
    for (double m : mantissas) {
        for (double sign : {1.0, -1.0}) {
            const double value = sign * m * std::pow(10.0, exponent);
            const auto text = numericText(value);
            ASSERT_TRUE(text.has_value()) << value;
            EXPECT_LE(text->size(), 19u) << *text;
            const double back = std::strtod(text->c_str(), nullptr);
            EXPECT_LE(std::fabs(back - value), 5e-13 * std::fabs(value)) << *text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Exponents, NumericTextMagnitude, ::testing::Range(-99, 16));

TEST(NumericText, RefusesWhatCannotBeHeld)
{
    EXPECT_FALSE(numericText(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(numericText(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(numericText(-std::numeric_limits<double>::infinity()));
    // "-1.234567890123E-100" needs 20 characters; 12 digits would change the value.
    EXPECT_FALSE(numericText(-1.2345678901234e-100));
    // A narrow field of another program cannot hold 13 digits.
    EXPECT_FALSE(numericText(1234567.891, 5));
    EXPECT_EQ(numericText(12345.0, 5).value_or(""), "12345");
}

}  // namespace
