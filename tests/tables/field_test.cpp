// Cell values: day numbers as Paradox stores dates, and the conversion of a value into what a
// field stores (grid edits, set by name from the analyses).
#include <gtest/gtest.h>

#include "tables/field.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

namespace zandor::tables {
namespace {

TEST(DayNumber, MatchesTheProlepticGregorianOrdinal)
{
    // Ordinals as Python's date.toordinal() gives them (0001-01-01 is day 1).
    const struct { Date date; std::int32_t day; } cases[] = {
        {{1, 1, 1}, 1},          {{1, 12, 31}, 365},       {{4, 3, 1}, 1156},
        {{1900, 2, 28}, 693654}, {{1900, 3, 1}, 693655},   {{2000, 1, 1}, 730120},
        {{2000, 2, 29}, 730179}, {{2026, 12, 8}, 739958},  {{9999, 12, 31}, 3652059},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toDayNumber(c.date), c.day) << c.date.year << "-" << c.date.month << "-" << c.date.day;
        EXPECT_EQ(fromDayNumber(c.day), c.date) << c.day;
    }
    for (std::int32_t day = 1; day < 800000; day += 97)
        ASSERT_EQ(toDayNumber(fromDayNumber(day)), day);
}

TEST(DayNumber, ValidDates)
{
    EXPECT_TRUE(isValidDate({2000, 2, 29}));
    EXPECT_FALSE(isValidDate({1900, 2, 29}));
    EXPECT_FALSE(isValidDate({2023, 4, 31}));
    EXPECT_FALSE(isValidDate({0, 1, 1}));
    EXPECT_FALSE(isValidDate({2023, 13, 1}));
}

FieldInfo field(StorageType storage)
{
    FieldInfo f;
    f.name = "字段";
    f.storage = storage;
    f.width = 10;
    return f;
}

TEST(CoerceToField, ConvertsIntoTheStoredKind)
{
    EXPECT_EQ(coerceToField(std::string(" 2.5 "), field(StorageType::Number)), Value(2.5));
    EXPECT_EQ(coerceToField(std::int64_t{7}, field(StorageType::Number)), Value(7.0));
    // Whole numbers for integer fields round halves to the even neighbour.
    EXPECT_EQ(coerceToField(2.5, field(StorageType::LongInt)), Value(std::int64_t{2}));
    EXPECT_EQ(coerceToField(std::string("-3.5"), field(StorageType::LongInt)), Value(std::int64_t{-4}));
    EXPECT_EQ(coerceToField(1.25, field(StorageType::Alpha)), Value(std::string("1.25")));
    EXPECT_EQ(coerceToField(std::string("2024-02-29"), field(StorageType::Date)), Value(Date{2024, 2, 29}));
    EXPECT_EQ(coerceToField(std::string("True"), field(StorageType::Logical)), Value(true));
    EXPECT_EQ(coerceToField(0.0, field(StorageType::Logical)), Value(false));
    // An emptied cell of a number field is null; of a text field it is the empty text.
    EXPECT_EQ(coerceToField(std::string("  "), field(StorageType::Number)), Value());
    EXPECT_EQ(coerceToField(std::string(""), field(StorageType::Alpha)), Value(std::string()));
    EXPECT_EQ(coerceToField(Value(), field(StorageType::LongInt)), Value());
}

TEST(CoerceToField, RefusesWhatTheFieldCannotHold)
{
    try {
        coerceToField(std::string("12a"), field(StorageType::Number));
        FAIL() << "text accepted as a number";
    } catch (const TableError& e) {
        EXPECT_STREQ(e.what(), "“12a”不是有效的数值");
    }
    EXPECT_THROW(coerceToField(3e9, field(StorageType::LongInt)), TableError);
    EXPECT_THROW(coerceToField(40000.0, field(StorageType::ShortInt)), TableError);
    EXPECT_THROW(coerceToField(std::string("2023-02-30"), field(StorageType::Date)), TableError);
    EXPECT_THROW(coerceToField(std::string("maybe"), field(StorageType::Logical)), TableError);
}

TEST(TablePaths, KindComesFromTheExtension)
{
    EXPECT_EQ(formatOfPath("/d/人口.DB"), TableFormat::Paradox);
    EXPECT_EQ(formatOfPath("/d/a.db"), TableFormat::Paradox);
    EXPECT_EQ(formatOfPath("/d/a.Dbf"), TableFormat::DBase);
    EXPECT_EQ(formatOfPath("/d.x/a"), TableFormat::Paradox);
    EXPECT_THROW(formatOfPath("/d/a.csv"), TableError);
    EXPECT_EQ(withDefaultExtension("/d.x/人口"), "/d.x/人口.DB");
    EXPECT_EQ(withDefaultExtension("/d/a.dbf"), "/d/a.dbf");
}

}  // namespace
}  // namespace zandor::tables
