#include "ui/charts/age_stru_frm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <numeric>
#include <utility>

#include "charts/chart_builders.h"
#include "tables/table_error.h"
#include "ui/charts/graph.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

const QString kNoField = QStringLiteral("请先选择%1字段.");
const QString kNoPopulation = QStringLiteral("男性和女性人口合计为零, 无法计算年龄结构.");

}  // namespace

TAge_stru_frm::TAge_stru_frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("Age_stru_frm"));
    setWindowTitle(QStringLiteral("年龄结构金子塔"));

    Edit1 = named(new QLineEdit(this), "Edit1");
    auto* title = new QHBoxLayout;
    title->addWidget(new QLabel(QStringLiteral("主标题"), this));
    title->addWidget(Edit1);

    auto* fields = named(new QGroupBox(QStringLiteral("变量选择"), this), "GroupBox1");
    ListBox1 = named(new QListWidget(fields), "ListBox1");
    ListBox1->addItems(session_.fieldNames());
    Button4 = named(new QPushButton(QStringLiteral(">>>"), fields), "Button4");
    Button5 = named(new QPushButton(QStringLiteral(">>>"), fields), "Button5");
    Edit2 = named(new QLineEdit(fields), "Edit2");
    Edit3 = named(new QLineEdit(fields), "Edit3");
    auto* boxes = new QGridLayout;
    boxes->addWidget(new QLabel(QStringLiteral("男性"), fields), 0, 1);
    boxes->addWidget(Button4, 1, 0);
    boxes->addWidget(Edit2, 1, 1);
    boxes->addWidget(new QLabel(QStringLiteral("女性"), fields), 2, 1);
    boxes->addWidget(Button5, 3, 0);
    boxes->addWidget(Edit3, 3, 1);
    boxes->setRowStretch(4, 1);
    auto* fieldLayout = new QHBoxLayout(fields);
    fieldLayout->addWidget(ListBox1);
    fieldLayout->addLayout(boxes);

    BitBtn2 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    BitBtn2->setDefault(true);
    auto* buttons = buttonRow({BitBtn2, BitBtn1});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addWidget(fields);
    layout->addLayout(buttons);

    connect(Button4, &QPushButton::clicked, this, &TAge_stru_frm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TAge_stru_frm::Button5Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TAge_stru_frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TAge_stru_frm::BitBtn1Click);
    resize(440, 340);
}

// Copies the current field into the box only when it holds numbers.
void TAge_stru_frm::copyChartableField(QLineEdit* edit)
{
    const int row = ListBox1->currentRow();
    const auto& fields = session_.table().fields();
    if (row >= 0 && row < static_cast<int>(fields.size()) && charts::isChartable(fields[static_cast<std::size_t>(row)]))
        edit->setText(ListBox1->item(row)->text());
}

void TAge_stru_frm::Button4Click() { copyChartableField(Edit2); }
void TAge_stru_frm::Button5Click() { copyChartableField(Edit3); }

// Each row's share of the whole population, males negative, as two overlaid horizontal bar
// series labelled by row position, in a new chart window shown modally. A population that
// sums to zero has no shares: it is said so instead of drawing.
void TAge_stru_frm::BitBtn2Click()
{
    const QString male = Edit2->text().trimmed();
    const QString female = Edit3->text().trimmed();
    if (male.isEmpty() || female.isEmpty()) {
        Prompts::information(this, kNoField.arg(male.isEmpty() ? QStringLiteral("男性") : QStringLiteral("女性")));
        return;
    }
    std::vector<charts::FieldColumn> columns;
    try {
        columns = charts::readChartFields(session_.table(), {male.toStdString(), female.toStdString()});
    } catch (const std::runtime_error& e) {  // a table error or a refused value
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    const double total = std::accumulate(columns[0].values.begin(), columns[0].values.end(), 0.0)
        + std::accumulate(columns[1].values.begin(), columns[1].values.end(), 0.0);
    if (total == 0 || !std::isfinite(total)) {
        Prompts::information(this, kNoPopulation);
        return;
    }
    chart_ = new TGraph(session_.charts, session_.edition(), this);
    charts::describePyramidChart(std::move(columns[0]), std::move(columns[1]), Edit1->text(), session_.charts.titleFont,
                                 chart_->editChart());
    chart_->setWindowModality(Qt::ApplicationModal);
    chart_->show();
}

void TAge_stru_frm::BitBtn1Click() { close(); }

TGraph* TAge_stru_frm::chartWindow() const { return chart_; }

}  // namespace zandor::ui
