// TTable_Restructure_Frm (unit Table_Restructure, caption "表结构修改"): add and drop fields
// of the current table by editing its structure grid. Fields are matched by name with the
// structure taken when the dialog opened; "确认" adds the new names, then drops the names
// that are gone, each through the table store's safe rewrite.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "ui/session/structure_rows.h"

class QPushButton;

namespace zandor::ui {

class Session;
class StructureGrid;

class TTable_Restructure_Frm : public QDialog {
    Q_OBJECT
public:
    // `openTable` reopens the current table after the change (as the main window opens a
    // table); false when it could not, after its own message.
    using OpenTable = std::function<bool(const QString& path)>;

    TTable_Restructure_Frm(Session& session, OpenTable openTable, QWidget* parent = nullptr);

    void fill(const std::vector<StructureRow>& rows);

    StructureGrid* StringGrid1 = nullptr;
    QPushButton* Button5 = nullptr;  // 确认
    QPushButton* Button6 = nullptr;  // 取消

public slots:
    void Button5Click();
    void Button6Click();

private:
    // Every check that can be made before the table changes; false after its message.
    bool planIsSound(const RestructurePlan& plan);
    // Runs the statements in turn with the current table closed, and reopens it.
    void apply(const RestructurePlan& plan);

    Session& session_;
    OpenTable openTable_;
};

}  // namespace zandor::ui
