#include "ui/analysis/age_adjust_frm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

#include "tables/numeric_column.h"
#include "tables/result_field.h"
#include "ui/charts/chart_view.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

using analysis::GraduationMethod;
using analysis::SmoothingMethod;

constexpr SmoothingMethod kSmoothingMethods[] = {SmoothingMethod::CarrierFarrag, SmoothingMethod::KarupKingNewton,
                                                 SmoothingMethod::Arriaga, SmoothingMethod::UnitedNations,
                                                 SmoothingMethod::Strong};
constexpr GraduationMethod kGraduationMethods[] = {GraduationMethod::Sprague, GraduationMethod::BeersOrdinary,
                                                   GraduationMethod::BeersModified};

QString qtext(const std::string& s) { return QString::fromStdString(s); }

// A listed number: whole persons with one decimal, as the result lists show counts.
QString listed(double v) { return QString::number(v, 'f', 1); }

QString rowLabel(const analysis::AdjustedSeries& result, std::size_t k)
{
    const int age = result.ages[k];
    if (k + 1 == result.ages.size())
        return QStringLiteral("%1+").arg(age);
    if (result.singleYears)
        return QString::number(age);
    return QStringLiteral("%1-%2").arg(age).arg(age + 4);
}

}  // namespace

TAge_adjust_frm::TAge_adjust_frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("Age_adjust_frm"));
    setWindowTitle(QStringLiteral("年龄数据调整"));

    auto* data = named(new QGroupBox(QStringLiteral("原始数据"), this), "GroupBox1");
    auto* dataLayout = new QFormLayout(data);
    ComboBox1 = named(new QComboBox(data), "ComboBox1");
    ComboBox1->addItems(session_.fieldNames());
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setMinimumWidth(180);
    dataLayout->addRow(QStringLiteral("变量"), ComboBox1);
    RadioButton1 = named(new QRadioButton(QStringLiteral("单岁年龄"), data), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("5岁年龄组"), data), "RadioButton2");
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(RadioButton1);
    kinds->addWidget(RadioButton2);
    dataLayout->addRow(QStringLiteral("每条记录为"), kinds);
    // A table of more than 30 records holds single years, a shorter one five-year groups.
    const bool single = session_.tableOpen() && analysis::holdsSingleYears(session_.table().recordCount());
    (single ? RadioButton1 : RadioButton2)->setChecked(true);

    auto* methods = named(new QGroupBox(QStringLiteral("调整方法"), this), "GroupBox2");
    auto* methodLayout = new QFormLayout(methods);
    ComboBox2 = named(new QComboBox(methods), "ComboBox2");
    ComboBox2->addItem(QStringLiteral("不修匀"));
    for (SmoothingMethod m : kSmoothingMethods)
        ComboBox2->addItem(qtext(analysis::methodName(m)));
    ComboBox3 = named(new QComboBox(methods), "ComboBox3");
    ComboBox3->addItem(QStringLiteral("不分解"));
    for (GraduationMethod m : kGraduationMethods)
        ComboBox3->addItem(qtext(analysis::methodName(m)));
    methodLayout->addRow(QStringLiteral("5岁组修匀"), ComboBox2);
    methodLayout->addRow(QStringLiteral("分解为单岁"), ComboBox3);

    auto* save = named(new QGroupBox(QStringLiteral("保存结果"), this), "GroupBox3");
    auto* saveLayout = new QFormLayout(save);
    Edit1 = named(new QLineEdit(QStringLiteral("Adjust01"), save), "Edit1");
    saveLayout->addRow(QStringLiteral("新变量名"), Edit1);

    ListBox1 = named(new QListWidget(this), "ListBox1");
    ListBox1->setMinimumWidth(300);
    ListBox1->setWordWrap(true);

    Chart1 = named(new ChartView(this), "Chart1");
    Chart1->setMinimumSize(520, 340);
    charts::ChartModel& chart = Chart1->edit();
    chart.title = QStringLiteral("年龄数据调整");
    chart.bottomAxis.title = QStringLiteral("年龄");
    chart.leftAxis.title = QStringLiteral("人数");

    BitBtn3 = named(new QPushButton(QStringLiteral("预览"), this), "BitBtn3");
    BitBtn2 = named(new QPushButton(QStringLiteral("保存"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    BitBtn3->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(data);
    left->addWidget(methods);
    left->addWidget(save);
    left->addWidget(ListBox1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(Chart1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttonRow({BitBtn3, BitBtn2, BitBtn1}));

    // Room for a hundred ages in the chart and the reach texts in the list.
    resize(1120, 720);

    connect(BitBtn3, &QPushButton::clicked, this, &TAge_adjust_frm::BitBtn3Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TAge_adjust_frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TAge_adjust_frm::BitBtn1Click);
}

std::optional<analysis::AdjustedSeries> TAge_adjust_frm::compute()
{
    try {
        const std::string field = ComboBox1->currentText().toStdString();
        if (field.empty())
            throw std::runtime_error("请选择变量.");
        analysis::AgeAdjustment request;
        request.values = tables::readNumericColumn(session_.table(), field);
        request.singleYears = RadioButton1->isChecked();
        if (ComboBox2->currentIndex() > 0)
            request.smoothing = kSmoothingMethods[ComboBox2->currentIndex() - 1];
        if (ComboBox3->currentIndex() > 0)
            request.graduation = kGraduationMethods[ComboBox3->currentIndex() - 1];
        return analysis::adjustAgeSeries(request);
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return std::nullopt;
    }
}

// The chart: the original series red, the adjusted one blue, by single year or by group;
// the open group is left off a single-year chart (it holds many ages). The list: the
// methods' reach, then one line per row with both values, a * marking a smoothed group.
void TAge_adjust_frm::showResult(const analysis::AdjustedSeries& result)
{
    const std::size_t rows = result.singleYears ? result.adjusted.size() - 1 : result.adjusted.size();
    charts::ChartModel& chart = Chart1->edit();
    chart.series.clear();
    chart.bottomAxis.title = result.singleYears ? QStringLiteral("年龄(单岁)") : QStringLiteral("年龄组");
    chart.addSeries(charts::SeriesKind::Line, QStringLiteral("原始数据"), QColor(255, 0, 0));
    chart.addSeries(charts::SeriesKind::Line, QStringLiteral("调整后"), QColor(0, 0, 255));
    charts::Series& original = chart.series[0];
    charts::Series& adjusted = chart.series[1];
    original.colourEachLine = adjusted.colourEachLine = false;
    adjusted.lineWidth = 2;
    for (std::size_t k = 0; k < rows; ++k) {
        original.add(result.original[k], rowLabel(result, k));
        adjusted.add(result.adjusted[k], rowLabel(result, k));
    }
    Chart1->update();

    ListBox1->clear();
    if (ComboBox2->currentIndex() > 0)
        ListBox1->addItem(ComboBox2->currentText() + QStringLiteral(": ") +
                          qtext(analysis::methodReach(kSmoothingMethods[ComboBox2->currentIndex() - 1])));
    if (ComboBox3->currentIndex() > 0)
        ListBox1->addItem(ComboBox3->currentText() + QStringLiteral(": ") +
                          qtext(analysis::methodReach(kGraduationMethods[ComboBox3->currentIndex() - 1])));
    // The end panels of the multipliers can overshoot where the numbers fall steeply (the
    // oldest ages after smoothing): the ages that came out below zero are named.
    QStringList negative;
    for (std::size_t k = 0; k < result.adjusted.size(); ++k)
        if (result.adjusted[k] < 0)
            negative << rowLabel(result, k);
    if (!negative.isEmpty())
        ListBox1->addItem(QStringLiteral("注意: 调整后为负数的年龄: ") + negative.join(QStringLiteral("、")) +
                          QStringLiteral("；这些年龄的结果不能直接使用."));
    ListBox1->addItem(result.singleYears ? QStringLiteral("年龄\t原始数据\t调整后")
                                         : QStringLiteral("年龄组\t原始数据\t调整后"));
    for (std::size_t k = 0; k < result.adjusted.size(); ++k) {
        const bool mark = !result.reached.empty() && result.reached[k];
        ListBox1->addItem(rowLabel(result, k) + QStringLiteral("\t") + listed(result.original[k]) +
                          QStringLiteral("\t") + listed(result.adjusted[k]) + (mark ? QStringLiteral(" *") : QString()));
    }
}

void TAge_adjust_frm::BitBtn3Click()
{
    if (const auto result = compute())
        showResult(*result);
}

// Adjusts as the boxes say now, shows it, and adds the result as a new Float field in one
// rewrite; a refusal or failure leaves the table as it was.
void TAge_adjust_frm::BitBtn2Click()
{
    const auto result = compute();
    if (!result)
        return;
    showResult(*result);
    const std::string name = Edit1->text().toStdString();
    try {
        tables::refuseExistingNames(session_.table(), {name});
        analysis::requireRowPerRecord(session_.table().recordCount(), *result);
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    try {
        tables::addResultField(session_.table(), name, result->adjusted);
    } catch (const std::exception& e) {
        // The table was reopened as it was: the grid shows it again.
        emit session_.tableChanged();
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    // The grid shows the new field.
    emit session_.tableChanged();
    Prompts::information(this, QStringLiteral("已保存为新变量 ") + Edit1->text() + QStringLiteral("."));
}

void TAge_adjust_frm::BitBtn1Click() { close(); }

}  // namespace zandor::ui
