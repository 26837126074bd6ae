#include "ui/projection/pop_result_frm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "projection/indicators.h"
#include "projection/variants.h"
#include "projection/result_workbook.h"
#include "ui/common/workbook_export.h"
#include "ui/charts/graph.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/projection_charts.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

namespace zandor::ui {

Tpop_result_Form1::Tpop_result_Form1(Session& session, DataGrid* mainGrid, QWidget* parent)
    : QDialog(parent),
      session_(session),
      mainGrid_(mainGrid),
      pyramidFrames_(std::make_unique<ResultSetPyramidFrames>(session.singleRegion.results,
                                                              session.singleRegion.pyramidFrameCursor))
{
    setObjectName(QStringLiteral("pop_result_Form1"));
    setWindowTitle(resultsCaption(session.singleRegion.results.exact));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("主要指标"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* groupLayout = new QVBoxLayout(group);

    // The catalogue; a text typed into the list that is not an entry shows the total population.
    ComboBox1 = new QComboBox(group);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& entry : projection::indicatorCatalogue(session_.edition()))
        ComboBox1->addItem(QString::fromStdString(entry));
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setMaxVisibleItems(20);
    groupLayout->addWidget(ComboBox1);

    RadioButton12 = new QRadioButton(QStringLiteral("数据显示"), group);
    RadioButton12->setObjectName(QStringLiteral("RadioButton12"));
    RadioButton1 = new QRadioButton(QStringLiteral("线形图"), group);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton15 = new QRadioButton(QStringLiteral("直方图"), group);
    RadioButton15->setObjectName(QStringLiteral("RadioButton15"));
    RadioButton12->setChecked(true);
    auto* modes = new QHBoxLayout;
    for (QRadioButton* mode : {RadioButton12, RadioButton1, RadioButton15})
        modes->addWidget(mode);
    modes->addStretch(1);
    groupLayout->addLayout(modes);
    layout->addWidget(group);
    if (!session_.singleRegion.variants.empty())
        buildVariantGroup(layout);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn3 = new QPushButton(QStringLiteral("导出Excel"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn2 = new QPushButton(QStringLiteral("显示"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton* button : {BitBtn3, BitBtn2, BitBtn1}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
    connect(BitBtn2, &QPushButton::clicked, this, &Tpop_result_Form1::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tpop_result_Form1::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Tpop_result_Form1::BitBtn3Click);
}

Tpop_result_Form1::~Tpop_result_Form1()
{
    // The chart windows read the frames until they go.
    qDeleteAll(findChildren<TGraph*>(Qt::FindDirectChildrenOnly));
}

void Tpop_result_Form1::BitBtn2Click()
{
    session_.singleRegion.pyramidFrameCursor = session_.singleRegion.results.yearCount;
    const QString entry = ComboBox1->currentText();
    if (RadioButton12->isChecked())
        showListing(entry);
    else
        showChart(entry, RadioButton15->isChecked());
}

// Every indicator of the variant shown, as a workbook of one sheet per group of indicators.
void Tpop_result_Form1::BitBtn3Click()
{
    exportWorkbook(this, [this] { return projection::projectionSheets(session_.singleRegion.results, session_.edition()); });
}

void Tpop_result_Form1::BitBtn1Click()
{
    if (mainGrid_)
        mainGrid_->resetColumnColours();
    close();
}

void Tpop_result_Form1::showListing(const QString& entry)
{
    auto* window = new Tpop_data_resultForm1(this);
    window->setLines(projection::textListing(session_.singleRegion.results, entry.toStdString(), session_.edition()));
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void Tpop_result_Form1::showChart(const QString& entry, bool bars)
{
    const auto& results = session_.singleRegion.results;
    showIndicatorChart(session_.charts, session_.edition(), this, results,
                       projection::chartPlan(results, entry.toStdString(), session_.edition()), bars,
                       pyramidFrames_.get());
}

// The group of a "多方案预测" run: the chooser of the variant the listings and charts above
// show, the fan chart, the comparison listing, and the variants that were refused.
void Tpop_result_Form1::buildVariantGroup(QLayout* layout)
{
    auto* group = new QGroupBox(QStringLiteral("多方案预测"), this);
    group->setObjectName(QStringLiteral("GroupBoxVariants"));
    auto* groupLayout = new QVBoxLayout(group);
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("显示方案:"), group));
    ComboBoxVariant = new QComboBox(group);
    ComboBoxVariant->setObjectName(QStringLiteral("ComboBoxVariant"));
    QStringList refused;
    const auto& variants = session_.singleRegion.variants;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        if (variants[i].results)
            ComboBoxVariant->addItem(QString::fromUtf8(projection::variantName(variants[i].variant).data()),
                                     static_cast<int>(i));
        else
            refused << QString::fromStdString(variants[i].refusal);
    }
    chooser->addWidget(ComboBoxVariant, 1);
    groupLayout->addLayout(chooser);
    auto* buttons = new QHBoxLayout;
    ButtonVariantChart = new QPushButton(QStringLiteral("总人口和出生人数方案图"), group);
    ButtonVariantChart->setObjectName(QStringLiteral("ButtonVariantChart"));
    ButtonVariantListing = new QPushButton(QStringLiteral("方案对照表"), group);
    ButtonVariantListing->setObjectName(QStringLiteral("ButtonVariantListing"));
    for (QPushButton* button : {ButtonVariantChart, ButtonVariantListing}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    groupLayout->addLayout(buttons);
    if (!refused.isEmpty()) {
        auto* note = new QLabel(QStringLiteral("未能预测的方案:\n") + refused.join(QStringLiteral("\n")), group);
        note->setObjectName(QStringLiteral("LabelRefusedVariants"));
        note->setWordWrap(true);
        groupLayout->addWidget(note);
    }
    layout->addWidget(group);
    connect(ComboBoxVariant, &QComboBox::currentIndexChanged, this, &Tpop_result_Form1::ComboBoxVariantChange);
    connect(ButtonVariantChart, &QPushButton::clicked, this, &Tpop_result_Form1::ButtonVariantChartClick);
    connect(ButtonVariantListing, &QPushButton::clicked, this, &Tpop_result_Form1::ButtonVariantListingClick);
}

void Tpop_result_Form1::ComboBoxVariantChange(int index)
{
    auto& kept = session_.singleRegion;
    const int at = ComboBoxVariant->itemData(index).toInt();
    if (index < 0 || at < 0 || at >= static_cast<int>(kept.variants.size()) || !kept.variants[static_cast<std::size_t>(at)].results)
        return;
    kept.results = *kept.variants[static_cast<std::size_t>(at)].results;
    kept.pyramidFrameCursor = kept.results.yearCount;
}

namespace {

std::vector<projection::VariantResultsView> variantsThatRan(const SingleRegionSession& kept)
{
    std::vector<projection::VariantResultsView> views;
    for (const auto& variant : kept.variants)
        if (variant.results)
            views.push_back({variant.variant, &*variant.results});
    return views;
}

}  // namespace

void Tpop_result_Form1::ButtonVariantChartClick()
{
    const auto views = variantsThatRan(session_.singleRegion);
    if (views.empty())
        return;
    std::vector<std::string> labels;
    for (int t = 0; t < views.front().results->yearCount; ++t)
        labels.push_back(std::to_string(views.front().results->calendarYear(t)));
    for (int code : {projection::indicator::kTotal, projection::indicator::kBirths}) {
        std::vector<NamedLine> lines;
        for (const auto& view : views)
            lines.push_back({QString::fromUtf8(projection::variantName(view.variant).data()),
                             projection::indicatorValues(*view.results, code)});
        const std::string& name = projection::indicatorCatalogue(Edition::Full)[static_cast<std::size_t>(code)];
        showLinesChart(session_.charts, session_.edition(), this,
                       QString::fromStdString(name) + QStringLiteral("（多方案）"), labels, lines);
    }
}

void Tpop_result_Form1::ButtonVariantListingClick()
{
    const auto views = variantsThatRan(session_.singleRegion);
    auto* window = new Tpop_data_resultForm1(this);
    window->setLines(projection::variantComparisonListing(views, ComboBox1->currentText().toStdString(), session_.edition()));
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

}  // namespace zandor::ui
