// The chart definition dialogs of the 图形 menu, one family: the line, vertical bar, horizontal
// bar, point and area dialogs share the titles, the two field lists, the 2-D/3-D choice and the
// font buttons of TChart_def_frm; each member adds only its own controls. "确定" reads the
// listed fields over all rows of the current table and draws them in a new chart window; the
// dialog stays open, so that several charts can be drawn in turn.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QPointer>

#include "charts/chart_builders.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace zandor::ui {

class Session;
class TGraph;

// A titled group of radio buttons with one chosen item, as "显示方式" and "显示类型" are.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent);
    int itemIndex() const;
    void setItemIndex(int index);

private:
    QButtonGroup* buttons_;
};

// What the five dialogs and the scatter dialog share: the "标题格式" group whose "主标题" and
// "坐标轴" buttons set the chart font settings through a font dialog.
QGroupBox* titleFontGroup(Session& session, QWidget* dialog, const QString& caption, QPushButton*& titleButton,
                          QPushButton*& axisButton);

// The nine marker shapes of the point and scatter dialogs' "点类型" lists.
QComboBox* pointShapeList(QWidget* parent);

class TChart_def_frm : public QDialog {
    Q_OBJECT
public:
    // The chart window of the latest "确定" (null before the first or once closed).
    TGraph* chartWindow() const;

    QLineEdit* Edit1 = nullptr;      // 主标题
    QLineEdit* Edit2 = nullptr;      // 横坐标
    QLineEdit* Edit3 = nullptr;      // 纵坐标
    QGroupBox* GroupBox1 = nullptr;  // 变量选择
    QListWidget* ListBox1 = nullptr;  // every field of the current table
    QListWidget* ListBox2 = nullptr;  // the fields to plot
    QPushButton* Button4 = nullptr;   // >>>
    QPushButton* Button5 = nullptr;   // <<<
    RadioGroup* RadioGroup1 = nullptr;  // 显示方式: 三维方式, 二维方式
    QGroupBox* GroupBox2 = nullptr;     // 标题格式
    QPushButton* BitBtn3 = nullptr;     // 主标题 font
    QPushButton* BitBtn4 = nullptr;     // 坐标轴 font
    QPushButton* BitBtn2 = nullptr;     // 确定
    QPushButton* BitBtn1 = nullptr;     // 取消

public slots:
    void Button4Click();
    void Button5Click();
    void BitBtn2Click();
    void BitBtn1Click();

protected:
    TChart_def_frm(Session& session, charts::SeriesKind kind, const QString& caption, QWidget* parent);

    // Where a member puts its own controls (under the 2-D/3-D choice).
    QVBoxLayout* extras() const { return extras_; }
    // The member's settings on the request.
    virtual void describeOptions(charts::FieldChartRequest&) const {}

    Session& session_;

private:
    charts::SeriesKind kind_;
    QVBoxLayout* extras_ = nullptr;
    QPointer<TGraph> chart_;
};

// 线形图
class TLine_def_frm : public TChart_def_frm {
    Q_OBJECT
public:
    explicit TLine_def_frm(Session& session, QWidget* parent = nullptr);
};

// 垂直直方图: how the bars of several fields meet, and value marks.
class TBar_def_frm : public TChart_def_frm {
    Q_OBJECT
public:
    explicit TBar_def_frm(Session& session, QWidget* parent = nullptr);

    RadioGroup* RadioGroup2 = nullptr;  // 显示类型: 无, 相邻, 叠式, 叠式(100%)
    QCheckBox* CheckBox1 = nullptr;     // 显示标注

protected:
    TBar_def_frm(Session& session, charts::SeriesKind kind, const QString& caption, const QString& marksCaption,
                 QWidget* parent);
    void describeOptions(charts::FieldChartRequest& request) const override;
};

// 水平直方图: the bar dialog's controls, for horizontal bars.
class THoriz_def_frm : public TBar_def_frm {
    Q_OBJECT
public:
    explicit THoriz_def_frm(Session& session, QWidget* parent = nullptr);
};

// 点状图: marker size and shape; the shape chosen is kept in the session for every later
// point chart.
class TPoint_def_frm : public TChart_def_frm {
    Q_OBJECT
public:
    explicit TPoint_def_frm(Session& session, QWidget* parent = nullptr);

    QSpinBox* SpinEdit1 = nullptr;   // 点大小
    QComboBox* ComboBox2 = nullptr;  // 点类型

public slots:
    void ComboBox2Change();

protected:
    void describeOptions(charts::FieldChartRequest& request) const override;
};

// 面积图: how the areas of several fields meet.
class TArea_def_frm : public TChart_def_frm {
    Q_OBJECT
public:
    explicit TArea_def_frm(Session& session, QWidget* parent = nullptr);

    RadioGroup* RadioGroup2 = nullptr;  // 显示类型: 无, 叠式, 叠式(100%)

protected:
    void describeOptions(charts::FieldChartRequest& request) const override;
};

}  // namespace zandor::ui
