// The age-structure quality dialog (unit Data_quality_frm1), caption "Data Quality": choose a
// field of the current table and one of four indexes; each "确定" reads the table as it is
// then and opens a new result window.
#pragma once

#include <QDialog>
#include <QPointer>

#include "analysis/data_quality.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class Session;
class TIndex_Result_frm;

class TData_quality_frm : public QDialog {
    Q_OBJECT
public:
    explicit TData_quality_frm(Session& session, QWidget* parent = nullptr);

    // The index the radio buttons choose.
    analysis::AgeIndex chosenIndex() const;
    // The result window of the latest successful "确定" (null before the first).
    TIndex_Result_frm* resultWindow() const;

    QListWidget* ListBox2 = nullptr;
    QLineEdit* Edit2 = nullptr;            // 选定变量
    QRadioButton* RadioButton1 = nullptr;  // 年龄偏好指数
    QRadioButton* RadioButton2 = nullptr;  // Whipple  指数
    QRadioButton* RadioButton3 = nullptr;  // Myer 指数
    QRadioButton* RadioButton4 = nullptr;  // 年龄准确指数
    QPushButton* BitBtn1 = nullptr;        // 确定
    QPushButton* BitBtn2 = nullptr;        // 取消

public slots:
    void ListBox2Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    Session& session_;
    QPointer<TIndex_Result_frm> result_;
};

}  // namespace zandor::ui
