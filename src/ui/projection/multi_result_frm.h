// Tmulti_result_Frm ("预测结果"): the results dialog of an urban-rural projection. It lists the
// 30 indicators of the rural and the urban population and their sum, and shows the chosen
// one as a text listing or an animated line or bar chart (the age structures as animated
// pyramids).
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class Session;

class Tmulti_result_Frm : public QDialog {
    Q_OBJECT
public:
    explicit Tmulti_result_Frm(Session& session, QWidget* parent = nullptr);
    ~Tmulti_result_Frm() override;

public slots:
    void BitBtn2Click();  // 显示
    void BitBtn1Click();  // 取消: closes; the main grid's colours stay as they are
    void BitBtn3Click();  // 导出Excel

private:
    Session& session_;
    QComboBox* ComboBox1;
    QRadioButton* RadioButton12;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton15;
    QPushButton* BitBtn2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
};

}  // namespace zandor::ui
