// Tcompute_Frm (unit compute_Frm1, caption "计算"): the field calculator. Fills the target
// field of the current table row by row from other fields: an operation on two fields
// ("运算"), a copy of a field ("替换") or a transformation of one field ("变换").
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class Runner;
class Session;

class Tcompute_Frm : public QDialog {
    Q_OBJECT
public:
    // ComboBox5 shows the current table's name; the field lists hold its fields.
    explicit Tcompute_Frm(Session& session, QWidget* parent = nullptr);

    QComboBox* ComboBox1 = nullptr;  // target field
    QComboBox* ComboBox2 = nullptr;  // first operand
    QComboBox* ComboBox3 = nullptr;  // operator or function
    QComboBox* ComboBox4 = nullptr;  // second operand
    QComboBox* ComboBox5 = nullptr;  // table name
    QRadioButton* RadioButton1 = nullptr;  // 运算
    QRadioButton* RadioButton2 = nullptr;  // 替换
    QRadioButton* RadioButton3 = nullptr;  // 变换
    QPushButton* BitBtn1 = nullptr;  // 确认
    QPushButton* BitBtn2 = nullptr;  // 取消

public slots:
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void ComboBox5Change();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    Session& session_;
    Runner* runner_;
};

}  // namespace zandor::ui
