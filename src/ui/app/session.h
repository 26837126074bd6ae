// The program-wide state of one running Zandor: the current table and its flag, the
// projection year count, the structure editor's mode and snapshot, the help file and the
// edition. The main window owns it and hands it to every window that needs it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

#include "projection/urban_rural_inputs.h"
#include "tables/table.h"
#include "text/edition.h"
#include "ui/charts/chart_settings.h"
#include "ui/projection/single_region_session.h"
#include "ui/projection/urban_rural_session.h"
#include "ui/tables/structure_rows.h"

namespace zandor::ui {

class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(Edition edition, QObject* parent = nullptr);
    ~Session() override;

    Edition edition() const { return edition_; }

    // Full path of the current table's file as the user chose it; empty at start. It keeps
    // its text after the table is closed.
    QString currentTableName;
    // 1 while a current table is open; every analysis command tests it.
    int tableOpen = 0;
    // End year minus base year, written by the projection input dialogs.
    int projectionYearCount = 0;
    // 1 table definition, 2 restructure, 0 none: tells the type and width pickers which
    // grid they write to.
    int structureEditorMode = 0;
    // Structure of the current table taken when the restructure dialog opens.
    std::vector<FieldRecord> structureSnapshot;
    // The help file the program names; every name maps to the bundled manual.
    QString helpFile;
    // 1 after a year box of a projection dialog changed until its grids are rebuilt; one
    // flag for the single-region and the urban-rural dialog.
    int yearsChanged = 0;
    // 1 once the projection wizard has filled the single-region input set itself.
    int wizardData = 0;
    // The single-region projection's inputs, last results and dialog state.
    SingleRegionSession singleRegion;
    // The urban-rural projection's urban region, last results and dialog state.
    UrbanRuralSession urbanRural;
    // The two regions of the urban-rural projection: the rural one is the single-region
    // input set itself.
    projection::UrbanRuralInputs urbanRuralInputs() { return {singleRegion.inputs, urbanRural.urban}; }
    // The newest chart window, the chart font settings and the 3-D view dialog's memory.
    ChartSettings charts;

    // The current table (open while tableOpen is 1).
    tables::Table& table() { return table_; }
    const tables::Table& table() const { return table_; }

    // Makes `table` the current table under `name` and sets the table-open flag. The
    // previous table is closed (its unposted edit posted) first.
    void setCurrentTable(tables::Table table, const QString& name);
    // Closes the current table (posting an unposted edit; a failure to store it throws
    // TableError and leaves the table open) and clears the table-open flag.
    void closeCurrentTable();

    // Every field of the current table, in the table's order, by name (empty when none).
    QStringList fieldNames() const;

signals:
    // The current table was replaced, closed or reopened: views over it must reset.
    void tableChanged();

private:
    Edition edition_;
    tables::Table table_;
};

}  // namespace zandor::ui
