// Shared by the projection window tests: the main window over a copy of the sample table,
// controls by object name, and the engine driven directly (as zandor-cli drives it) to
// compare with what the windows show.
#pragma once

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "projection/single_region_projection.h"
#include "tables/table.h"
#include "test_support.h"
#include "ui/app/main_window.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/pop_result_frm.h"
#include "ui/projection/schedule_grid.h"
#include "ui/session/session.h"
#include <QComboBox>
#include <QPushButton>

namespace testing_support {

inline const char* const kFieldNames[] = {"男性人口", "女性人口", "男性死亡率", "女性死亡率", "年龄别生育率"};

inline QString samplePath() { return QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB"); }

// The main window with a copy of samples/single_region.DB open (the copy lives in `dir`).
inline std::unique_ptr<zandor::ui::Tvendol> mainWindowWithSample(zandor::Edition edition, const QTemporaryDir& dir)
{
    auto window = std::make_unique<zandor::ui::Tvendol>(edition);
    const QString copy = dir.filePath(QStringLiteral("single_region.DB"));
    if (!QFile::exists(copy) && !QFile::copy(samplePath(), copy))
        qFatal("cannot copy the sample table");
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    if (!window->openTable(copy))
        qFatal("cannot open the sample table");
    return window;
}

// A control of `window` by object name; a missing control ends the test program.
template <typename T>
T* child(const QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

// Every cell of a text grid, row by row, as the dialog's model shows it with its headers.
inline QStringList shownGrid(const QAbstractItemView* view)
{
    QStringList cells;
    const QAbstractItemModel* model = view->model();
    QStringList header;
    for (int c = 0; c < model->columnCount(); ++c)
        header << model->headerData(c, Qt::Horizontal).toString();
    cells << header.join(QLatin1Char('|'));
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList row{model->headerData(r, Qt::Vertical).toString()};
        for (int c = 0; c < model->columnCount(); ++c)
            row << model->index(r, c).data().toString();
        cells << row.join(QLatin1Char('|'));
    }
    return cells;
}

// The same for an engine text grid (the label column as the first cell of each row).
inline QStringList engineGrid(const zandor::text::TextGrid& grid)
{
    QStringList cells;
    QStringList header;
    for (int c = 1; c < grid.columnCount(); ++c)
        header << QString::fromStdString(grid.cell(0, c));
    cells << header.join(QLatin1Char('|'));
    for (int r = 1; r < grid.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grid.columnCount(); ++c)
            row << QString::fromStdString(grid.cell(r, c));
        cells << row.join(QLatin1Char('|'));
    }
    return cells;
}

// The engine as zandor-cli drives it: the grids of a first opening, the five fields chosen
// for the years given.
struct EngineRun {
    zandor::projection::SingleRegionInputs inputs;
    zandor::projection::SingleRegionGrids grids;
};

inline EngineRun chooseSampleFields(const QString& tablePath, int baseYear, int endYear)
{
    using zandor::projection::InputField;
    EngineRun run;
    auto table = zandor::tables::Table::open(tablePath.toStdString(), true);
    run.grids = zandor::projection::openScheduleGrids(0, baseYear);
    const InputField fields[] = {InputField::MalePopulation, InputField::FemalePopulation, InputField::MaleDeathRates,
                                 InputField::FemaleDeathRates, InputField::Fertility};
    for (int i = 0; i < 5; ++i)
        zandor::projection::chooseField(run.inputs, run.grids, fields[i], kFieldNames[i], table, baseYear, endYear);
    return run;
}

// The main window over the sample, a five-year run with migrants in its session, and the
// results dialog as the run opens it.
struct ResultsFixture {
    explicit ResultsFixture(zandor::Edition edition = zandor::Edition::Full) : window(mainWindowWithSample(edition, dir))
    {
        EngineRun run = chooseSampleFields(dir.filePath(QStringLiteral("single_region.DB")), 2000, 2005);
        zandor::projection::chooseMigrantOption(run.inputs, run.grids, true, 2000, edition);
        run.grids.lifeExpectancy.setCell(1, 3, "77");
        zandor::projection::RunOptions options;
        options.edition = edition;
        window->session().singleRegion.results = zandor::projection::projectSingleRegion(
            run.inputs, zandor::projection::parseSchedules(run.inputs, run.grids, options), options).results;
        dialog = new zandor::ui::Tpop_result_Form1(window->session(), window->grid(), window.get());
        dialog->show();
    }

    const zandor::projection::ProjectionResultSet& results() const { return window->session().singleRegion.results; }
    template <typename T>
    T* get(const char* name) const { return child<T>(dialog, name); }
    // Presses "显示" and returns the text window it opened.
    zandor::ui::Tpop_data_resultForm1* showListing(const QString& entry) const
    {
        get<QComboBox>("ComboBox1")->setEditText(entry);
        const auto before = dialog->findChildren<zandor::ui::Tpop_data_resultForm1*>().size();
        get<QPushButton>("BitBtn2")->click();
        const auto windows = dialog->findChildren<zandor::ui::Tpop_data_resultForm1*>();
        if (windows.size() != before + 1)
            return nullptr;
        return windows.last();
    }

    QTemporaryDir dir;
    PromptRecorder prompts;
    std::unique_ptr<zandor::ui::Tvendol> window;
    zandor::ui::Tpop_result_Form1* dialog = nullptr;
};

}  // namespace testing_support
