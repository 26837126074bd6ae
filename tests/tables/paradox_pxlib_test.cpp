// A table written here, read by pxlib, the reference Paradox reader: the same field names,
// types and values must come out. Skipped when pxlib is not installed.
#include <gtest/gtest.h>

#include "tables/codepage.h"
#include "tables/paradox.h"
#include "paradox_fixture.h"

#ifdef ZANDOR_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#endif

namespace zandor::tables::paradox {
namespace {

using namespace testing;

#ifdef ZANDOR_HAVE_PXLIB

std::vector<std::string> g_pxErrors;

void onPxError(pxdoc_t*, int, const char* message, void*) { g_pxErrors.emplace_back(message); }
void* pxAlloc(pxdoc_t*, size_t size, const char*) { return std::malloc(size); }
void* pxRealloc(pxdoc_t*, void* p, size_t size, const char*) { return std::realloc(p, size); }
void pxFree(pxdoc_t*, void* p) { std::free(p); }

struct PxDoc {
    pxdoc_t* doc = PX_new2(onPxError, pxAlloc, pxRealloc, pxFree);
    ~PxDoc()
    {
        PX_close(doc);
        PX_delete(doc);
    }
};

std::string gbk(const std::string& utf8) { return encodeText(utf8, 936).value(); }

struct Row {
    std::string area;   // UTF-8, empty for null
    std::int64_t age;   // 0 stands for null here
    double rate;
    Date date;
    int married;        // -1 null
};

TEST(ParadoxPxlib, ReadsOurTableWithTheSameNamesAndValues)
{
    ScratchDir dir;
    const std::string path = dir.path("pxlib.db");
    const std::vector<FieldDef> fields = {{"地区名称", FieldKind::Char, 40, false},
                                          {"Age", FieldKind::Integer, 0, false},
                                          {"生育率", FieldKind::Float, 0, false},
                                          {"调查日期", FieldKind::Date, 0, false},
                                          {"已婚", FieldKind::Boolean, 0, false}};
    std::vector<Row> rows;
    const double doubles[] = {0.0, -0.0, 1.5, -2.25, 1e300, -1e-300, std::numeric_limits<double>::denorm_min(),
                              0.123456789012345678};
    const char* areas[] = {"北京市", "上海", "Guangzhou 广州", "x", "内蒙古自治区呼和浩特市"};
    for (int i = 0; i < 2000; ++i)  // several blocks
        rows.push_back({areas[i % 5], i % 7 == 0 ? 0 : (i % 2 ? i : -i) * 1000003LL, doubles[i % 8],
                        Date{1900 + i % 200, 1 + i % 12, 1 + i % 28}, i % 3 == 0 ? -1 : i % 2});
    {
        auto t = create(path, fields).table;
        for (const Row& r : rows)
            t->append({r.area, r.age == 0 ? Value() : Value(r.age), r.rate, r.date,
                       r.married < 0 ? Value() : Value(r.married == 1)});
    }

    PxDoc px;
    ASSERT_EQ(PX_open_file(px.doc, path.c_str()), 0) << (g_pxErrors.empty() ? "" : g_pxErrors.back());
    ASSERT_EQ(PX_get_num_fields(px.doc), 5);
    ASSERT_EQ(PX_get_num_records(px.doc), static_cast<int>(rows.size()));
    const int types[] = {pxfAlpha, pxfLong, pxfNumber, pxfDate, pxfLogical};
    const int lengths[] = {40, 4, 8, 4, 1};
    pxfield_t* pf = PX_get_fields(px.doc);
    for (int f = 0; f < 5; ++f) {
        EXPECT_EQ(std::string(pf[f].px_fname), gbk(fields[static_cast<std::size_t>(f)].name)) << f;
        EXPECT_EQ(pf[f].px_ftype, types[f]) << f;
        EXPECT_EQ(pf[f].px_flen, lengths[f]) << f;
    }
    // pxlib turns the declared code page into UTF-8 where it can.
    const bool recoding = PX_set_targetencoding(px.doc, "UTF-8") == 0;

    int recoded = 0;
    std::vector<char> data(static_cast<std::size_t>(PX_get_recordsize(px.doc)));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        ASSERT_NE(PX_get_record(px.doc, static_cast<int>(i), data.data()), nullptr) << i;
        char* p = data.data();
        // Alpha: the stored bytes are the GBK text, padded with zeros.
        const std::string stored(p, strnlen(p, 40));
        EXPECT_EQ(stored, gbk(r.area)) << "record " << i;
        if (recoding) {
            char* text = nullptr;
            if (PX_get_data_alpha(px.doc, p, 40, &text) > 0 && text) {
                EXPECT_EQ(std::string(text), r.area) << "record " << i;
                std::free(text);
                ++recoded;
            }
        }
        p += 40;
        // pxlib's own test for an empty long integer reads a machine long (8 bytes here), so
        // empty values are checked on the bytes.
        if (r.age == 0) {
            EXPECT_EQ(std::memcmp(p, "\0\0\0\0", 4), 0) << "record " << i;
        } else {
            long age = 0;
            EXPECT_EQ(PX_get_data_long(px.doc, p, 4, &age), 1) << "record " << i;
            EXPECT_EQ(age, r.age) << "record " << i;
        }
        p += 4;
        double rate = 1;
        EXPECT_EQ(PX_get_data_double(px.doc, p, 8, &rate), 1) << "record " << i;
        EXPECT_EQ(std::memcmp(&rate, &r.rate, sizeof rate), 0) << "record " << i << ": " << rate;
        p += 8;
        long day = 0;
        ASSERT_EQ(PX_get_data_long(px.doc, p, 4, &day), 1) << "record " << i;
        int y = 0, m = 0, d = 0;
        PX_SdnToGregorian(day + 1721425, &y, &m, &d);
        EXPECT_EQ((Date{y, m, d}), r.date) << "record " << i;
        p += 4;
        char married = 0;
        const int present = PX_get_data_byte(px.doc, p, 1, &married);
        EXPECT_EQ(present, r.married < 0 ? 0 : 1) << "record " << i;
        if (r.married >= 0) {
            EXPECT_EQ(married, r.married) << "record " << i;
        }
    }
    std::printf("pxlib recoding to UTF-8: %s, %d texts compared as UTF-8\n", recoding ? "on" : "off", recoded);
}

TEST(ParadoxPxlib, FollowsOurChainAfterBlocksWereEmptied)
{
    ScratchDir dir;
    const std::string path = dir.path("chain.db");
    std::vector<std::int64_t> model;
    {
        // 1004-byte records: sixteen to a block.
        auto t = create(path, {{"pad", FieldKind::Char, 250, false}, {"pad2", FieldKind::Char, 250, false},
                               {"pad3", FieldKind::Char, 250, false}, {"pad4", FieldKind::Char, 250, false},
                               {"id", FieldKind::Integer, 0, false}})
                     .table;
        for (std::int64_t id = 1; id <= 100; ++id) {
            t->append({std::string("a"), std::string("b"), std::string("c"), std::string("d"), id});
            model.push_back(id);
        }
        for (std::size_t i : {0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 40u, 40u, 70u}) {
            t->remove(i);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
        }
        for (std::int64_t id = 200; id < 230; ++id) {
            t->append({std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, id});
            model.push_back(id);
        }
    }
    PxDoc px;
    ASSERT_EQ(PX_open_file(px.doc, path.c_str()), 0);
    ASSERT_EQ(PX_get_num_records(px.doc), static_cast<int>(model.size()));
    std::vector<char> data(static_cast<std::size_t>(PX_get_recordsize(px.doc)));
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_NE(PX_get_record(px.doc, static_cast<int>(i), data.data()), nullptr) << i;
        long id = 0;
        EXPECT_EQ(PX_get_data_long(px.doc, data.data() + 1000, 4, &id), 1);
        EXPECT_EQ(id, model[i]) << "record " << i;
    }
}

#else

TEST(ParadoxPxlib, ReadsOurTableWithTheSameNamesAndValues)
{
    GTEST_SKIP() << "pxlib is not installed";
}

TEST(ParadoxPxlib, FollowsOurChainAfterBlocksWereEmptied)
{
    GTEST_SKIP() << "pxlib is not installed";
}

#endif

}  // namespace
}  // namespace zandor::tables::paradox
