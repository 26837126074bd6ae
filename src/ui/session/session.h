// The program-wide state of one running Zandor: the current table, the projection year
// count, the structure editor's mode and snapshot, the help file, the edition and the newest
// instance of each dialog. The main window owns it and hands it to every window that needs it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include "projection/urban_rural_inputs.h"
#include "tables/table.h"
#include "tables/table_lock.h"
#include "text/edition.h"
#include "ui/session/chart_settings.h"
#include "ui/session/single_region_session.h"
#include "ui/session/structure_rows.h"
#include "ui/session/urban_rural_session.h"

class QWidget;

namespace zandor::ui {

// The newest instance of each dialog class. A command that opens a dialog puts the new
// instance here in place of the previous one; other windows reach a dialog's controls
// through it (the results dialogs read the projection dialog that opened them).
class NewestDialogs {
public:
    // The newest instance of `Dialog` (null before the first or once it was deleted).
    template <class Dialog>
    Dialog* of() const
    {
        return static_cast<Dialog*>(find(Dialog::staticMetaObject));
    }
    // Remembers `dialog` as the newest of its class; returns the instance it replaces.
    QWidget* remember(QWidget* dialog);

private:
    QWidget* find(const QMetaObject& type) const;

    std::vector<std::pair<const QMetaObject*, QPointer<QWidget>>> newest_;
};

class Session : public QObject {
    Q_OBJECT
public:
    // Which grid the type and width pickers of the structure editor write to.
    enum class StructureEditorMode { None, Define, Restructure };
    Q_ENUM(StructureEditorMode)

    explicit Session(Edition edition, QObject* parent = nullptr);
    ~Session() override;

    Edition edition() const { return edition_; }

    // Full path of the current table's file as the user chose it; empty at start. It keeps
    // its text after the table is closed.
    QString currentTableName;
    // True while a current table is open; every analysis command tests it.
    bool tableOpen() const { return table_.isOpen(); }
    // End year minus base year, written by the projection input dialogs.
    int projectionYearCount = 0;
    // Define while the table-definition dialog is in use (新建), Restructure for 修改表结构.
    StructureEditorMode structureEditorMode = StructureEditorMode::None;
    // Structure of the current table taken when the restructure dialog opens.
    std::vector<FieldRecord> structureSnapshot;
    // The help file the program names; every name maps to the bundled manual.
    QString helpFile;
    // Set when a year box of a projection dialog changed, until its grids are rebuilt; one
    // flag for the single-region and the urban-rural dialog.
    bool yearsChanged = false;
    // Set once the projection wizard has filled the single-region input set itself.
    bool wizardData = false;
    // The single-region projection's inputs, last results and dialog state.
    SingleRegionSession singleRegion;
    // The urban-rural projection's urban region, last results and dialog state.
    UrbanRuralSession urbanRural;
    // The two regions of the urban-rural projection: the rural one is the single-region
    // input set itself.
    projection::UrbanRuralInputs urbanRuralInputs() { return {singleRegion.inputs, urbanRural.urban}; }
    // The newest chart window, the chart font settings and the 3-D view dialog's memory.
    ChartSettings charts;
    // The list index of the field last clicked in the life-table dialog (initially 0); the
    // dialog's copy buttons copy that field, also in a later instance of the dialog.
    int lifeTableFieldIndex = 0;
    // The newest instance of each dialog; they live until the program ends.
    NewestDialogs dialogs;

    // The current table (open while tableOpen() is true).
    tables::Table& table() { return table_; }
    const tables::Table& table() const { return table_; }

    // Makes `table` the current table under `name`. The previous table is closed (its
    // unposted edit posted) first.
    void setCurrentTable(tables::Table table, const QString& name);
    // Closes the current table (posting an unposted edit; a failure to store it throws
    // TableError and leaves the table open).
    void closeCurrentTable();

    // Every field of the current table, in the table's order, by name (empty when none).
    QStringList fieldNames() const;

signals:
    // The current table was replaced, closed or reopened: views over it must reset.
    void tableChanged();

private:
    Edition edition_;
    tables::Table table_;
    // Held shared while the table is open, so no other program's rewrite replaces it under
    // the grid; the window's own rewrites upgrade it for their duration.
    tables::TableLock tableLock_;
};

}  // namespace zandor::ui
