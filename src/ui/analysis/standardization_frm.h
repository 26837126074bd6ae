// The standardization dialog (unit standardization_Frm1), caption "人口数据标准化", Zandor
// only. Page "按年龄结构" rescales a standard male and female structure, page "分城乡分年龄结构"
// a rural and urban one, to the total typed in the page's box; "确定" stores the whole
// persons in new fields of the current table, and the dialog stays open.
//
// The male series of the first page and the rural male series of the second page are one
// series, as are the female and the rural female: whichever box was chosen last supplies it.
#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace zandor::ui {

class Session;

class Tstandardization_Frm : public QDialog {
    Q_OBJECT
public:
    explicit Tstandardization_Frm(Session& session, QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    // Page "按年龄结构".
    QComboBox* ComboBox4 = nullptr;  // standard male
    QComboBox* ComboBox5 = nullptr;  // standard female
    QLineEdit* Edit7 = nullptr;      // 被标准化总人口
    QLineEdit* Edit5 = nullptr;      // new male field
    QLineEdit* Edit6 = nullptr;      // new female field
    QPushButton* Button3 = nullptr;  // 确定
    QPushButton* Button4 = nullptr;  // 取消
    // Page "分城乡分年龄结构".
    QComboBox* ComboBox1 = nullptr;   // standard urban male
    QComboBox* ComboBox10 = nullptr;  // standard urban female
    QComboBox* ComboBox2 = nullptr;   // standard rural male
    QComboBox* ComboBox3 = nullptr;   // standard rural female
    QLineEdit* Edit8 = nullptr;       // 被标准化总人口
    QLineEdit* Edit1 = nullptr;       // new rural male field
    QLineEdit* Edit2 = nullptr;       // new rural female field
    QLineEdit* Edit3 = nullptr;       // new urban male field
    QLineEdit* Edit4 = nullptr;       // new urban female field
    QPushButton* Button1 = nullptr;   // 确定
    QPushButton* Button2 = nullptr;   // 取消

public slots:
    void Button3Click();
    void Button1Click();
    void Button4Click();
    void Button2Click();

private:
    QWidget* byAgePage();
    QWidget* ruralUrbanPage();
    void standardizeInto(std::initializer_list<QComboBox*> chosen, std::vector<std::vector<double>> standard,
                         QLineEdit* total, std::initializer_list<QLineEdit*> names);

    Session& session_;
    std::vector<double> male_;    // male, or rural male
    std::vector<double> female_;  // female, or rural female
    std::vector<double> urbanMale_;
    std::vector<double> urbanFemale_;
};

}  // namespace zandor::ui
