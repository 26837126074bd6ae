#include "ui/projection/pop_result_frm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "projection/indicators.h"
#include "ui/app/data_grid.h"
#include "ui/app/session.h"
#include "ui/charts/graph.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/projection_charts.h"

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

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn2 = new QPushButton(QStringLiteral("显示"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton* button : {BitBtn2, BitBtn1}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
    connect(BitBtn2, &QPushButton::clicked, this, &Tpop_result_Form1::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tpop_result_Form1::BitBtn1Click);
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

}  // namespace zandor::ui
