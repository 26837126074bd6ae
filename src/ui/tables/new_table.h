// TNew_Table_Frm (unit New_Table, caption "定义数据结构"): define the fields of a new table in
// a structure grid and create it as a Paradox or dBase table, which then becomes the current
// table. The dialog stays open after a create, for the next table.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPushButton;

namespace zandor::ui {

class Session;
class StructureGrid;

class TNew_Table_Frm : public QDialog {
    Q_OBJECT
public:
    // `openTable` makes a table the current one (as the main window's Open does); false when
    // it could not, after its own message.
    using OpenTable = std::function<bool(const QString& path)>;

    TNew_Table_Frm(Session& session, OpenTable openTable, QWidget* parent = nullptr);

    // Creates the table at `path` from the grid, as an accepted save dialog does.
    void createTable(const QString& path);

    StructureGrid* StringGrid1 = nullptr;
    QPushButton* Button2 = nullptr;  // 插入字段
    QPushButton* Button3 = nullptr;  // 删除字段
    QPushButton* Button5 = nullptr;  // 创建
    QPushButton* Button6 = nullptr;  // 取消

public slots:
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void Button6Click();

private:
    Session& session_;
    OpenTable openTable_;
};

// The message for two fields of one name, when a table is created or restructured.
QString fieldNameDefineError();

// Shows the remarks on what the table format forced on a new or changed table (names
// shortened for dBase), if there are any.
void showFormatRemarks(QWidget* parent, const std::vector<std::string>& remarks);

}  // namespace zandor::ui
