// The age-data adjustment dialog, caption "年龄数据调整": choose a field of the current table,
// whether its records are single years or five-year groups (single years preselected for a
// table of more than 30 records), a smoothing method and a graduation method (either may be
// none), and the new field's name. "预览" draws the original and the adjusted series in one
// chart and lists both with the method's reach; "保存" adds the adjusted series as a new Float
// field in one rewrite of the table.
#pragma once

#include <QDialog>

#include <optional>

#include "analysis/age_adjustment.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class ChartView;
class Session;

class TAge_adjust_frm : public QDialog {
    Q_OBJECT
public:
    explicit TAge_adjust_frm(Session& session, QWidget* parent = nullptr);

    QComboBox* ComboBox1 = nullptr;        // 变量
    QRadioButton* RadioButton1 = nullptr;  // 单岁年龄
    QRadioButton* RadioButton2 = nullptr;  // 5岁年龄组
    QComboBox* ComboBox2 = nullptr;        // 修匀方法
    QComboBox* ComboBox3 = nullptr;        // 分解为单岁
    QLineEdit* Edit1 = nullptr;            // 新变量名
    QListWidget* ListBox1 = nullptr;       // the listing of both series
    ChartView* Chart1 = nullptr;
    QPushButton* BitBtn3 = nullptr;        // 预览
    QPushButton* BitBtn2 = nullptr;        // 保存
    QPushButton* BitBtn1 = nullptr;        // 取消

public slots:
    void BitBtn3Click();
    void BitBtn2Click();
    void BitBtn1Click();

private:
    // Reads the chosen field and adjusts it as the boxes say; a refusal is shown in an
    // information box and gives nothing.
    std::optional<analysis::AdjustedSeries> compute();
    void showResult(const analysis::AdjustedSeries& result);

    Session& session_;
};

}  // namespace zandor::ui
