// The scatter-plot dialog (caption "散点图"): one numeric field of the current table against
// another, each point optionally labelled with a third field; each "确定" draws a new chart
// window. Its marker shape is kept in the session apart from the point-chart dialog's.
#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace zandor::ui {

class RadioGroup;
class Session;
class TGraph;

class Tscatter_Frm : public QDialog {
    Q_OBJECT
public:
    explicit Tscatter_Frm(Session& session, QWidget* parent = nullptr);

    // The chart window of the latest "确定" (null before the first or once closed).
    TGraph* chartWindow() const;

    QLineEdit* Edit1 = nullptr;  // 主标题
    QLineEdit* Edit2 = nullptr;  // 横坐标 (axis title)
    QLineEdit* Edit3 = nullptr;  // 纵坐标 (axis title)
    QListWidget* ListBox1 = nullptr;
    QPushButton* Button4 = nullptr;  // >>> into Edit4
    QPushButton* Button5 = nullptr;  // >>> into Edit5
    QPushButton* Button1 = nullptr;  // >>> into Edit6
    QLineEdit* Edit4 = nullptr;      // 纵坐标: the y field
    QLineEdit* Edit5 = nullptr;      // 横坐标: the x field
    QLineEdit* Edit6 = nullptr;      // 标注: the label field
    RadioGroup* RadioGroup1 = nullptr;  // 显示方式
    QSpinBox* SpinEdit1 = nullptr;      // 点大小
    QComboBox* ComboBox2 = nullptr;     // 点类型
    QCheckBox* CheckBox1 = nullptr;     // 显示标注
    QPushButton* BitBtn3 = nullptr;     // 主标题 font
    QPushButton* BitBtn4 = nullptr;     // 坐标轴 font
    QPushButton* BitBtn2 = nullptr;     // 确定
    QPushButton* BitBtn1 = nullptr;     // 取消

public slots:
    void Button4Click();
    void Button5Click();
    void Button1Click();
    void ComboBox2Change();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    void copyCurrentField(QLineEdit* edit);

    Session& session_;
    QPointer<TGraph> chart_;
};

}  // namespace zandor::ui
