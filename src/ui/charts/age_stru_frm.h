// The age-pyramid dialog (caption "年龄结构金子塔"): a male and a female population field of
// the current table, one row per age; each "确定" draws the pyramid of the shares of the whole
// population, males to the left in blue, females to the right in red, in a new chart window.
#pragma once

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zandor::ui {

class Session;
class TGraph;

class TAge_stru_frm : public QDialog {
    Q_OBJECT
public:
    explicit TAge_stru_frm(Session& session, QWidget* parent = nullptr);

    // The chart window of the latest "确定" (null before the first or once closed).
    TGraph* chartWindow() const;

    QLineEdit* Edit1 = nullptr;  // 主标题
    QListWidget* ListBox1 = nullptr;
    QPushButton* Button4 = nullptr;  // >>> into Edit2
    QPushButton* Button5 = nullptr;  // >>> into Edit3
    QLineEdit* Edit2 = nullptr;      // 男性
    QLineEdit* Edit3 = nullptr;      // 女性
    QPushButton* BitBtn2 = nullptr;  // 确定
    QPushButton* BitBtn1 = nullptr;  // 取消

public slots:
    void Button4Click();
    void Button5Click();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    void copyChartableField(QLineEdit* edit);

    Session& session_;
    QPointer<TGraph> chart_;
};

}  // namespace zandor::ui
