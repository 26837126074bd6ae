// Tconvert_table_frm (unit Convert_table, caption "数据格式转换"): copies the current table
// with all its records into a new ASCII text, dBase, FoxPro or Paradox table.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zandor::ui {

class Runner;

class Tconvert_table_frm : public QDialog {
    Q_OBJECT
public:
    explicit Tconvert_table_frm(QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;      // 源数据表名
    QComboBox* ComboBox2 = nullptr;  // 目标数据格式
    QPushButton* Button1 = nullptr;  // 确认
    QPushButton* Button2 = nullptr;  // 取消

public slots:
    void Button1Click();
    void Button2Click();

private:
    Runner* runner_;
};

}  // namespace zandor::ui
