// The urban-rural results dialog: its catalogue, the text listing and the animated charts.
#include "ui/projection/multi_result_frm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "projection/result_workbook.h"
#include "projection/urban_rural_results.h"
#include "ui/common/named.h"
#include "ui/common/workbook_export.h"
#include "ui/charts/graph.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/projection_charts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

// The pyramids of this dialog: a smaller title, a slower pace, no step buttons.
const PyramidStyle kUrbanRuralPyramid{.titleSize = 14, .frameMs = 400};

}  // namespace

Tmulti_result_Frm::Tmulti_result_Frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("multi_result_Frm"));
    setWindowTitle(resultsCaption(session.urbanRural.results.exact));
    auto* layout = new QVBoxLayout(this);
    auto* group = named(new QGroupBox(QStringLiteral("主要指标"), this), "GroupBox1");
    auto* groupLayout = new QVBoxLayout(group);

    // The catalogue; a text typed into the list that is not an entry shows the total population.
    ComboBox1 = named(new QComboBox(group), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& entry : projection::urbanRuralCatalogue())
        ComboBox1->addItem(QString::fromStdString(entry));
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setMaxVisibleItems(20);
    groupLayout->addWidget(ComboBox1);

    RadioButton12 = named(new QRadioButton(QStringLiteral("数据显示"), group), "RadioButton12");
    RadioButton1 = named(new QRadioButton(QStringLiteral("线形图"), group), "RadioButton1");
    RadioButton15 = named(new QRadioButton(QStringLiteral("直方图"), group), "RadioButton15");
    RadioButton12->setChecked(true);
    auto* modes = new QHBoxLayout;
    for (QRadioButton* mode : {RadioButton12, RadioButton1, RadioButton15})
        modes->addWidget(mode);
    modes->addStretch(1);
    groupLayout->addLayout(modes);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn3 = named(new QPushButton(QStringLiteral("导出Excel"), this), "BitBtn3");
    BitBtn2 = named(new QPushButton(QStringLiteral("显示"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    for (QPushButton* button : {BitBtn3, BitBtn2, BitBtn1}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
    connect(BitBtn2, &QPushButton::clicked, this, &Tmulti_result_Frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tmulti_result_Frm::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &Tmulti_result_Frm::BitBtn3Click);
}

Tmulti_result_Frm::~Tmulti_result_Frm() = default;

void Tmulti_result_Frm::BitBtn2Click()
{
    const auto& results = session_.urbanRural.results;
    const std::string entry = ComboBox1->currentText().toStdString();
    if (RadioButton12->isChecked()) {
        auto* window = new Tpop_data_resultForm1(this);
        window->setLines(projection::urbanRuralTextListing(results, entry));
        window->setWindowModality(Qt::ApplicationModal);
        window->show();
        return;
    }
    const projection::ChartPlan plan = projection::urbanRuralChartPlan(results, entry);
    if (plan.kind == projection::ChartPlan::Kind::Pyramid) {
        projection::PyramidAnimation pyramid =
            projection::urbanRuralPyramid(results, projection::urbanRuralIndicatorCode(entry));
        showPyramidChart(session_.charts, session_.edition(), this, pyramid.title, std::move(pyramid.frames),
                         kUrbanRuralPyramid);
    } else {
        showSeriesChart(session_.charts, session_.edition(), this, plan, RadioButton15->isChecked());
    }
}

// Every indicator of the three regions, as a workbook of one sheet per region.
void Tmulti_result_Frm::BitBtn3Click()
{
    exportWorkbook(this, [this] { return projection::urbanRuralSheets(session_.urbanRural.results); });
}

void Tmulti_result_Frm::BitBtn1Click() { close(); }

}  // namespace zandor::ui
