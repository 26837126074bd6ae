// The UN sex-age accuracy dialog (unit UN_sex_age1), caption "联合国法": choose the male and
// the female population fields of the current table; each "确定" reads the table as it is
// then and shows the joint index in a new data-quality result window.
#pragma once

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zandor::ui {

class Session;
class TIndex_Result_frm;

class TUN_sex_age_frm : public QDialog {
    Q_OBJECT
public:
    explicit TUN_sex_age_frm(Session& session, QWidget* parent = nullptr);

    // The result window of the latest successful "确定" (null before the first).
    TIndex_Result_frm* resultWindow() const;

    QListWidget* ListBox2 = nullptr;
    QLineEdit* Edit1 = nullptr;      // 男性
    QLineEdit* Edit2 = nullptr;      // 女性:
    QPushButton* Button1 = nullptr;  // >>> into 男性
    QPushButton* Button2 = nullptr;  // >>> into 女性:
    QPushButton* BitBtn2 = nullptr;  // 确定
    QPushButton* BitBtn1 = nullptr;  // 取消

public slots:
    void Button1Click();
    void Button2Click();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    void copySelectedField(QLineEdit* edit);

    Session& session_;
    QPointer<TIndex_Result_frm> result_;
};

}  // namespace zandor::ui
