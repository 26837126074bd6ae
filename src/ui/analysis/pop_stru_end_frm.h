// The end-of-year structure dialog (unit pop_stru_end_Frm1), caption "推算年末人口数": choose
// the start population and the death rates of both sexes, type the known end-of-year total
// and the year's births, and "运算" estimates the end-of-year population by age and sex and
// stores it in two new fields of the current table, then closes.
#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zandor::ui {

class Runner;
class Session;

class Tpop_stru_end_Frm : public QDialog {
    Q_OBJECT
public:
    explicit Tpop_stru_end_Frm(Session& session, QWidget* parent = nullptr);

    QComboBox* ComboBox2 = nullptr;  // 男性年龄别人口
    QComboBox* ComboBox3 = nullptr;  // 女性年龄别人口
    QComboBox* ComboBox4 = nullptr;  // 男性年龄别死亡率
    QComboBox* ComboBox5 = nullptr;  // 女性年龄别死亡率
    QLineEdit* Edit1 = nullptr;      // 年末总人口数
    QLineEdit* Edit2 = nullptr;      // 当年男性出生数
    QLineEdit* Edit3 = nullptr;      // 当年女性出生数
    QLineEdit* Edit4 = nullptr;      // the new male field
    QLineEdit* Edit5 = nullptr;      // the new female field
    QPushButton* BitBtn2 = nullptr;  // 运算
    QPushButton* BitBtn1 = nullptr;  // 取消

public slots:
    void ComboBox2Change();
    void ComboBox3Change();
    void ComboBox4Change();
    void ComboBox5Change();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    void loadRates(QComboBox* box, std::vector<double>& into, bool male);

    Session& session_;
    Runner* runner_;
    // The series as last loaded; a press uses them.
    std::vector<double> malePopulation_;
    std::vector<double> femalePopulation_;
    std::vector<double> maleRates_;
    std::vector<double> femaleRates_;
};

}  // namespace zandor::ui
