// Delimited ASCII tables with their schema files, as a conversion target.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tables/ascii_table.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;
using namespace zandor::tables;

class AsciiTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* env = std::getenv("ZANDOR_TEST_TMP");
        dir_ = fs::path(env && *env ? env : fs::temp_directory_path().string()) /
               ("ascii-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    static std::string readGbk(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return decodeText(s.str(), 936);
    }

    fs::path dir_;
};

const std::vector<FieldDef> kFields = {{"地区", FieldKind::Char, 20, false},
                                       {"年龄", FieldKind::Integer, 0, false},
                                       {"人口", FieldKind::Float, 0, false},
                                       {"日期", FieldKind::Date, 0, false},
                                       {"城镇", FieldKind::Boolean, 0, false}};

TEST_F(AsciiTable, WritesTheSchemaAndDelimitedRecordsInGbk)
{
    const std::vector<Record> records = {
        {std::string("北京"), std::int64_t{0}, 1234.5, Date{2020, 11, 1}, true},
        {std::string("say \"hi\", twice"), std::int64_t{-7}, 0.1, Date{1999, 2, 3}, false},
        {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
        {std::string("天津"), std::int64_t{99999999999}, 1.234567890123e-99, Date{1, 1, 1}, true},
    };
    {
        CreateResult created = ascii::create(file("人口2020"), kFields);
        EXPECT_EQ(created.table->format(), TableFormat::Ascii);
        EXPECT_EQ(created.table->path(), file("人口2020.txt"));
        for (const Record& r : records)
            created.table->append(r);
        Record back;
        for (std::size_t i = 0; i < records.size(); ++i) {
            created.table->read(i, back);
            EXPECT_EQ(back, records[i]) << i;
        }
        EXPECT_THROW(created.table->write(0, records[0]), TableError);
        EXPECT_THROW(created.table->remove(0), TableError);
        created.table->flush();
        created.table->read(1, back);
        EXPECT_EQ(back, records[1]);
    }
    EXPECT_EQ(readGbk(file("人口2020.sch")),
              "[人口2020]\r\n"
              "Filetype=Delimited\r\n"
              "Delimiter=\"\r\n"
              "Separator=,\r\n"
              "CharSet=china\r\n"
              "Field1=地区,CHAR,20,00,00\r\n"
              "Field2=年龄,LONGINT,11,00,20\r\n"
              "Field3=人口,FLOAT,24,00,31\r\n"
              "Field4=日期,DATE,10,00,55\r\n"
              "Field5=城镇,BOOL,1,00,65\r\n");
    EXPECT_EQ(readGbk(file("人口2020.txt")),
              "\"北京\",0,1234.5,11/01/2020,T\r\n"
              "\"say \"\"hi\"\", twice\",-7,0.1,02/03/1999,F\r\n"
              ",,,,\r\n"
              "\"天津\",99999999999,1.234567890123e-99,01/01/0001,T\r\n");
}

TEST_F(AsciiTable, ATemporarySiblingIsNamedAsTheTableItWillReplace)
{
    ascii::create(file("人口~tmp4242-7.txt"), kFields);
    const std::string schema = readGbk(file("人口~tmp4242-7.sch"));
    EXPECT_EQ(schema.substr(0, schema.find('\r')), "[人口]");
    ascii::create(file("a~tmpx-1.txt"), kFields);
    const std::string other = readGbk(file("a~tmpx-1.sch"));
    EXPECT_EQ(other.substr(0, other.find('\r')), "[a~tmpx-1]");
}

TEST_F(AsciiTable, RefusesExistingFilesBadNamesAndValuesItCannotHold)
{
    std::ofstream(file("a.sch")) << "keep";
    EXPECT_THROW(ascii::create(file("a.txt"), kFields), TableError);
    EXPECT_FALSE(fs::exists(file("a.txt")));
    EXPECT_THROW(ascii::create(file("b"), {{"x,y", FieldKind::Float, 0, false}}), TableError);
    EXPECT_THROW(ascii::create(file("b"), {{"😀", FieldKind::Float, 0, false}}), TableError);
    EXPECT_THROW(ascii::create(file("b"), {{"x", FieldKind::Float, 0, false}, {"x", FieldKind::Char, 3, false}}),
                 TableError);
    EXPECT_FALSE(fs::exists(file("b.txt")));
    CreateResult created = ascii::create(file("c.TXT"), kFields);
    EXPECT_TRUE(fs::exists(file("c.sch")));
    Record r = {std::string("123456789012345678901"), std::int64_t{1}, 1.0, Date{2000, 1, 1}, true};
    EXPECT_THROW(created.table->append(r), TableError);
    r[0] = std::string("ok");
    r[2] = std::numeric_limits<double>::infinity();
    EXPECT_THROW(created.table->append(r), TableError);
    EXPECT_EQ(created.table->recordCount(), 0u);
}

}  // namespace
