// TImport_Frm (文件 → 导入, caption "导入数据"): a CSV file or one worksheet of an Excel
// workbook into a new Paradox or dBase table. The chosen file is read once to show its first
// records and the type each column gets; only 导入 writes, into a new table named in a save
// dialog, which then becomes the current table.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zandor::tables {
struct ImportPreview;
}

namespace zandor::ui {

class Runner;

class TImport_Frm : public QDialog {
    Q_OBJECT
public:
    // `openTable` makes a table the current one; false when it could not, after its message.
    using OpenTable = std::function<bool(const QString& path)>;

    explicit TImport_Frm(OpenTable openTable, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;          // the source file
    QPushButton* Button1 = nullptr;      // 浏览…
    QComboBox* ComboBox1 = nullptr;      // the worksheet of a workbook
    QLabel* Label4 = nullptr;            // records and fields found
    QTableWidget* StringGrid1 = nullptr; // the preview: field types, then the first records
    QPushButton* Button2 = nullptr;      // 导入
    QPushButton* Button3 = nullptr;      // 取消

    // Reads `path` for the preview, as choosing it in the open dialog does.
    void chooseSource(const QString& path);
    // Imports into the table `path`, as naming it in the save dialog does.
    void importInto(const QString& path);

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void ComboBox1Change();

private:
    void showPreview();
    void presentPreview(const tables::ImportPreview& preview);
    void clearPreview();
    std::optional<std::string> chosenSheet() const;

    OpenTable openTable_;
    Runner* runner_;
    QString source_;
    bool previewed_ = false;
};

}  // namespace zandor::ui
