// Reading the table statements: the forms the program builds, the liberties allowed in them,
// and the message given for each kind of mistake.
#include <gtest/gtest.h>

#include "tables/statements.h"
#include "tables/table_error.h"

namespace zandor::tables {
namespace {

struct Def {
    std::string name;
    FieldKind kind;
    int size = 0;
};

void expectFields(const std::vector<FieldDef>& actual, const std::vector<Def>& expected, const std::string& context)
{
    ASSERT_EQ(actual.size(), expected.size()) << context;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name) << context << " field " << i;
        EXPECT_EQ(actual[i].kind, expected[i].kind) << context << " field " << i;
        EXPECT_EQ(actual[i].size, expected[i].size) << context << " field " << i;
    }
}

TEST(StatementParse, CreateTableForms)
{
    using K = FieldKind;
    const struct {
        std::string statement;
        std::string path;
        std::vector<Def> fields;
    } cases[] = {
        {"Create table \"/d/t.DB\" (年龄 integer,男性人口 float,女性人口 float,男性死亡率 float,女性死亡率 float,"
         "年龄别生育率 float)",
         "/d/t.DB",
         {{"年龄", K::Integer}, {"男性人口", K::Float}, {"女性人口", K::Float}, {"男性死亡率", K::Float},
          {"女性死亡率", K::Float}, {"年龄别生育率", K::Float}}},
        {"Create table \"/d/地区.dbf\" (名称 char(20))", "/d/地区.dbf", {{"名称", K::Char, 20}}},
        // Keywords and types in any case, blanks between tokens and after commas, a semicolon.
        {"  create   TABLE  \"/d/t.db\"  ( a Integer , b FLOAT,c Date,  d boolean ,e CHAR ( 5 ) ) ; ",
         "/d/t.db",
         {{"a", K::Integer}, {"b", K::Float}, {"c", K::Date}, {"d", K::Boolean}, {"e", K::Char, 5}}},
        // The path is taken verbatim between the quotation marks; names may hold parentheses.
        {"Create table \"/d/my data (1)/t.DB\" (人口(万) float,x char(255))",
         "/d/my data (1)/t.DB",
         {{"人口(万)", K::Float}, {"x", K::Char, 255}}},
    };
    for (const auto& c : cases) {
        const Statement s = parseStatement(c.statement);
        const auto* create = std::get_if<CreateStatement>(&s);
        ASSERT_NE(create, nullptr) << c.statement;
        EXPECT_EQ(create->path, c.path);
        expectFields(create->fields, c.fields, c.statement);
    }
}

TEST(StatementParse, AlterTableForms)
{
    const struct {
        std::string statement;
        bool add;
        std::string path;
        Def field;
    } cases[] = {
        {"alter table \"/d/t.DB\" Add 结果 Float", true, "/d/t.DB", {"结果", FieldKind::Float}},
        {"ALTER TABLE \"/d/t.dbf\"  add   名称 char(12) ;", true, "/d/t.dbf", {"名称", FieldKind::Char, 12}},
        {"alter table \"/d/t.DB\" add x integer", true, "/d/t.DB", {"x", FieldKind::Integer}},
        {"alter table \"/d/t.DB\" drop 结果", false, "/d/t.DB", {"结果", FieldKind::Float}},
        {"Alter Table \"/d/t.DB\" DROP  x;", false, "/d/t.DB", {"x", FieldKind::Float}},
    };
    for (const auto& c : cases) {
        const Statement s = parseStatement(c.statement);
        if (c.add) {
            const auto* add = std::get_if<AddFieldStatement>(&s);
            ASSERT_NE(add, nullptr) << c.statement;
            EXPECT_EQ(add->path, c.path);
            expectFields({add->field}, {c.field}, c.statement);
        } else {
            const auto* drop = std::get_if<DropFieldStatement>(&s);
            ASSERT_NE(drop, nullptr) << c.statement;
            EXPECT_EQ(drop->path, c.path);
            EXPECT_EQ(drop->name, c.field.name);
        }
    }
}

TEST(StatementParse, MistakesAreNamed)
{
    const struct {
        std::string statement;
        std::string message;  // a part of the message
    } cases[] = {
        {"Create table \"/d/t.DB\" (a TEXT)",
         "'TEXT' is not a known field type; use char(n), integer, float, date or boolean"},
        {"Create table \"/d/t.DB\" (a integer,b varchar(3))", "'varchar(3)' is not a known field type"},
        {"Create table \"/d/t.DB\" (a float precision)", "'float precision' is not a known field type"},
        // The program sends an empty definition for a type text it does not know.
        {"Create table \"/d/t.DB\" (a integer,,b float)", "The field definition 2 is empty"},
        {"Create table \"/d/t.DB\" (a integer,)", "The field definition 2 is empty"},
        {"Create table \"/d/t.DB\" (,a integer)", "The field definition 1 is empty"},
        {"Create table \"/d/t.DB\" ()", "The field list of Create table is empty"},
        {"Create table \"/d/t.DB\" (  )", "The field list of Create table is empty"},
        {"Create table /d/t.DB (a integer)", "in double quotation marks"},
        {"Create table \"/d/t.DB (a integer)", "no closing quotation mark"},
        {"Create table \"\" (a integer)", "path between the quotation marks is empty"},
        {"Create table \"/d/t.DB\" a integer", "must follow the path in parentheses"},
        {"Create table \"/d/t.DB\" (a integer", "has no closing parenthesis"},
        {"Create table \"/d/t.DB\" (a char(3)", "has no closing parenthesis"},
        {"Create table \"/d/t.DB\" (a integer) b float", "Unexpected text after the field list: 'b float'"},
        {"Create table \"/d/t.DB\" (a integer,A float)", "The field name 'A' is given twice"},
        {"Create table \"/d/t.DB\" (年龄 integer,人口 float,年龄 float)", "The field name '年龄' is given twice"},
        {"Create table \"/d/t.DB\" (a)", "The field a has no type"},
        {"Create table \"/d/t.DB\" (a char)", "needs a width in parentheses"},
        {"Create table \"/d/t.DB\" (a char(x))", "must be a whole number"},
        {"Create table \"/d/t.DB\" (a char(-3))", "must be at least 1"},
        {"Create table \"/d/t.DB\" (a char(99999999999))", "must be a whole number"},
        {"Create table \"/d/t.DB\" (a char(0))", "must be at least 1"},
        {"Create table \"/d/t.DB\" (a char 20)", "'char 20' is not a known field type"},
        {"Create \"/d/t.DB\" (a integer)", "Expected the word table after Create"},
        {"Create tables \"/d/t.DB\" (a integer)", "Expected the word table after Create"},
        {"Select * from t", "Unknown statement 'Select * from t'"},
        {"", "Unknown statement"},
        {"alter \"/d/t.DB\" add a integer", "Expected the word table after alter"},
        {"alter table \"/d/t.DB\" add", "needs a field definition"},
        {"alter table \"/d/t.DB\" add ;", "needs a field definition"},
        {"alter table \"/d/t.DB\" Add 结果 Text", "'Text' is not a known field type"},
        {"alter table \"/d/t.DB\" Add 结果", "The field 结果 has no type"},
        {"alter table \"/d/t.DB\" drop", "needs the name of the field to drop"},
        {"alter table \"/d/t.DB\" drop a b", "takes one field name, not 'a b'"},
        {"alter table \"/d/t.DB\" rename a", "Expected add or drop"},
        {"alter table /d/t.DB drop a", "in double quotation marks"},
    };
    for (const auto& c : cases) {
        try {
            parseStatement(c.statement);
            ADD_FAILURE() << "accepted: " << c.statement;
        } catch (const TableError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.statement << "\n  message: " << e.what() << "\n  expected: " << c.message;
        }
    }
}

TEST(StatementParse, FieldNamesCompareAsTheTableFormatsDo)
{
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {"Result", "RESULT", true},   {"result", "result", true}, {"年龄", "年龄", true},
        {"年龄", "年齡", false},      {"a", "a ", false},         {"ab", "a", false},
        {"Ä", "ä", false},            {"人口A", "人口a", true},   {"", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameFieldName(c.a, c.b), c.same) << c.a << " / " << c.b;
}

}  // namespace
}  // namespace zandor::tables
