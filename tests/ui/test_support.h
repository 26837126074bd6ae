// Shared by the window tests: an in-memory table file (huge tables without a disk file, and
// faults on demand), a recorder that answers the program's boxes and file dialogs, and
// look-ups by object name.
#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tables/table.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"

namespace testing_support {

namespace tables = zandor::tables;

// A table held in memory. Rows are either stored (small tables) or generated from their
// number (huge tables); written rows override generated ones. The store outlives the table
// file that the program closes, so a test can look at what was written.
struct MemoryStore {
    using Generator = std::function<tables::Record(std::size_t row)>;

    std::vector<tables::FieldInfo> fields;
    std::vector<tables::Record> rows;
    std::size_t count = 0;
    Generator generate;
    std::map<std::size_t, tables::Record> written;

    // What the tests inspect and switch.
    std::size_t reads = 0;
    std::size_t writes = 0;
    bool readOnlyFile = false;
    bool failWrites = false;        // every write, append and remove fails
    std::set<std::size_t> damaged;  // records whose read fails

    std::size_t recordCount() const { return count; }
    tables::Record stored(std::size_t index) const
    {
        if (!generate)
            return rows.at(index);
        const auto found = written.find(index);
        return found != written.end() ? found->second : generate(index);
    }
};

class MemoryTableFile : public tables::TableFile {
public:
    explicit MemoryTableFile(std::shared_ptr<MemoryStore> store) : s_(std::move(store)) {}

    tables::TableFormat format() const override { return tables::TableFormat::Paradox; }
    const std::string& path() const override { return path_; }
    const std::vector<tables::FieldInfo>& fields() const override { return s_->fields; }
    std::size_t recordCount() const override { return s_->count; }
    bool readOnly() const override { return s_->readOnlyFile; }

    void read(std::size_t index, tables::Record& out) override
    {
        ++s_->reads;
        if (index >= s_->count)
            throw tables::TableError("record " + std::to_string(index + 1) + " does not exist");
        if (s_->damaged.count(index))
            throw tables::TableError("record " + std::to_string(index + 1) + " of memory.DB is damaged");
        out = s_->stored(index);
    }

    void write(std::size_t index, const tables::Record& record) override
    {
        check();
        ++s_->writes;
        if (s_->generate)
            s_->written[index] = record;
        else
            s_->rows.at(index) = record;
    }

    void append(const tables::Record& record) override
    {
        check();
        ++s_->writes;
        if (s_->generate)
            s_->written[s_->count] = record;
        else
            s_->rows.push_back(record);
        ++s_->count;
    }

    void remove(std::size_t index) override
    {
        check();
        if (s_->generate)
            throw tables::TableError("generated tables do not remove records");
        s_->rows.erase(s_->rows.begin() + static_cast<std::ptrdiff_t>(index));
        --s_->count;
    }

    void flush() override {}

private:
    void check() const
    {
        if (s_->readOnlyFile)
            throw tables::TableError("The table memory.DB is read-only");
        if (s_->failWrites)
            throw tables::TableError("Disk full while writing memory.DB");
    }

    std::shared_ptr<MemoryStore> s_;
    std::string path_ = "memory.DB";
};

inline tables::FieldInfo field(const std::string& name, tables::StorageType storage, int width = 0)
{
    tables::FieldInfo f;
    f.name = name;
    f.storage = storage;
    f.width = width;
    f.size = width > 0 ? width : 8;
    return f;
}

// A small population table in memory: 年龄 (integer), 男性人口 and 女性人口 (float).
inline std::shared_ptr<MemoryStore> populationTable(std::size_t rows = 5)
{
    auto store = std::make_shared<MemoryStore>();
    store->fields = {field("年龄", tables::StorageType::LongInt), field("男性人口", tables::StorageType::Number),
                     field("女性人口", tables::StorageType::Number)};
    for (std::size_t i = 0; i < rows; ++i)
        store->rows.push_back({std::int64_t(i), 1000.0 + static_cast<double>(i), 900.0 + static_cast<double>(i)});
    store->count = rows;
    return store;
}

// Answers the program's boxes and dialogs, and records what it was asked.
class PromptRecorder {
public:
    PromptRecorder()
    {
        zandor::ui::PromptHooks hooks;
        hooks.information = [this](const QString& text) { messages << text; };
        hooks.confirm = [this](const QString& text) {
            questions << text;
            return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
        };
        hooks.openFileName = [this](const QString& filter) {
            openFilters << filter;
            return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
        };
        hooks.saveFileName = [this](const QString& filter, const QString& suffix) {
            saveFilters << filter;
            saveSuffixes << suffix;
            return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
        };
        previous_ = zandor::ui::Prompts::setHooks(std::move(hooks));
    }
    ~PromptRecorder() { zandor::ui::Prompts::setHooks(std::move(previous_)); }
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    QStringList messages;
    QStringList questions;
    QStringList openFilters;
    QStringList saveFilters;
    QStringList saveSuffixes;
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<bool> confirmAnswers;

private:
    zandor::ui::PromptHooks previous_;
};

// Waits until the long work a window started has ended and its outcome has been presented.
inline bool runsEnded(const QObject* window, int timeoutMs = 60000)
{
    return QTest::qWaitFor(
        [window] {
            for (const auto* runner : window->findChildren<zandor::ui::Runner*>())
                if (runner->running())
                    return false;
            return true;
        },
        timeoutMs);
}

inline QAction* action(QWidget* window, const QString& name)
{
    const auto actions = window->findChildren<QAction*>(name);
    for (QAction* a : actions)
        if (a->objectName() == name)
            return a;
    return nullptr;
}

// Whether python3-openpyxl, the independent reader of the workbooks the windows write, is
// installed (scripts/install-deps.sh).
inline bool openpyxlAvailable()
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    return python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}

// A workbook as openpyxl reads it: per sheet a line "name<TAB>rows<TAB>columns", then its
// first two rows, each cell as "value|number format", separated by tabs.
inline QStringList readWithOpenpyxl(const QString& path)
{
    static const char* const script = R"(
import sys, openpyxl
for ws in openpyxl.load_workbook(sys.argv[1]).worksheets:
    print('%s\t%d\t%d' % (ws.title, ws.max_row, ws.max_column))
    for row in ws.iter_rows(min_row=1, max_row=2):
        print('\t'.join('%s|%s' % (c.value, c.number_format) for c in row))
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {QStringLiteral("openpyxl failed: ") + QString::fromUtf8(python.readAllStandardError())};
    return QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace testing_support
