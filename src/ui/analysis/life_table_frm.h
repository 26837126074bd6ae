// The life-table dialog (unit Life_table_frm1): choose the mortality fields of the current
// table, the age grouping, the input mode and the a-value method, and compute ("确认") as
// often as wanted, each time opening a new result window.
#pragma once

#include <QDialog>
#include <QPointer>

#include "analysis/life_table.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class Runner;
class Session;
class TLife_table_result;

class TLife_table_frm : public QDialog {
    Q_OBJECT
public:
    // Lists the fields of the session's current table, in field order; every "确认" reads
    // that table as it is then.
    explicit TLife_table_frm(Session& session, QWidget* parent = nullptr);

    // The inputs as the controls show them now.
    analysis::LifeTableInput input() const;

    // The result window of the latest successful "确认" (null before the first).
    TLife_table_result* resultWindow() const;

    QListWidget* ListBox2 = nullptr;
    QLineEdit* Edit2 = nullptr;  // 年龄别人口数
    QLineEdit* Edit3 = nullptr;  // 年龄别死亡人口数
    QLineEdit* Edit6 = nullptr;  // 年龄别死亡人口率
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // 1 Year
    QRadioButton* RadioButton2 = nullptr;  // 5 Years
    QRadioButton* RadioButton7 = nullptr;  // 死亡人口数
    QRadioButton* RadioButton8 = nullptr;  // 死亡率
    QRadioButton* RadioButton3 = nullptr;  // 均匀分布
    QLineEdit* Edit4 = nullptr;            // a0
    QLineEdit* Edit5 = nullptr;            // 4a1
    QRadioButton* RadioButton4 = nullptr;  // 蒋庆琅法
    QRadioButton* RadioButton5 = nullptr;  // Coale-Demeny
    QRadioButton* RadioButton6 = nullptr;  // 联合国法
    QComboBox* ComboBox1 = nullptr;        // 性别
    QPushButton* BitBtn1 = nullptr;        // 确认
    QPushButton* BitBtn2 = nullptr;        // 取消

public slots:
    void ListBox2Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void RadioButton7Click();
    void RadioButton8Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void copyRememberedField(QLineEdit* edit);

    Session& session_;
    Runner* runner_;
    QPointer<TLife_table_result> result_;
};

}  // namespace zandor::ui
