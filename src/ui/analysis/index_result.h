// The data-quality result window (unit Index_result1), caption "数据质量评价": the result lines
// of one index, its three interpretation bands, the band the value falls in, "保存" (the
// lines and bands as a UTF-8 text file), "导出Excel" (the values and bands as a workbook) and
// "取消".
#pragma once

#include <QDialog>

#include "analysis/data_quality.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zandor::ui {

class TIndex_Result_frm : public QDialog {
    Q_OBJECT
public:
    explicit TIndex_Result_frm(analysis::IndexReport report, QWidget* parent = nullptr);

    QListWidget* ListBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;     // 好:
    QLineEdit* Edit2 = nullptr;     // 可接受
    QLineEdit* Edit3 = nullptr;     // 不可接受:
    QLabel* BandLabel = nullptr;    // where the value falls; empty for the age preference index
    QPushButton* BitBtn1 = nullptr;  // 保存
    QPushButton* BitBtn2 = nullptr;  // 取消
    QPushButton* BitBtn3 = nullptr;  // 导出Excel

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

private:
    analysis::IndexReport report_;
};

// Shows a report in a new result window over `parent`, modal to the application and deleted
// when closed.
TIndex_Result_frm* showIndexResult(analysis::IndexReport report, QWidget* parent);

}  // namespace zandor::ui
