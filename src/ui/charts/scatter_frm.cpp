#include "ui/charts/scatter_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "charts/chart_builders.h"
#include "tables/table_error.h"
#include "ui/charts/chart_def_frm.h"
#include "ui/charts/graph.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

// The message for a box left empty, naming it.
QString noFieldIn(const QString& box) { return QStringLiteral("请先选择%1字段.").arg(box); }

}  // namespace

Tscatter_Frm::Tscatter_Frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("scatter_Frm"));
    setWindowTitle(QStringLiteral("散点图"));

    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit2 = named(new QLineEdit(this), "Edit2");
    Edit3 = named(new QLineEdit(this), "Edit3");
    auto* titles = new QGridLayout;
    titles->addWidget(new QLabel(QStringLiteral("主标题"), this), 0, 0);
    titles->addWidget(Edit1, 0, 1);
    titles->addWidget(new QLabel(QStringLiteral("横坐标"), this), 1, 0);
    titles->addWidget(Edit2, 1, 1);
    titles->addWidget(new QLabel(QStringLiteral("纵坐标"), this), 2, 0);
    titles->addWidget(Edit3, 2, 1);

    auto* fields = named(new QGroupBox(QStringLiteral("变量选择"), this), "GroupBox1");
    ListBox1 = named(new QListWidget(fields), "ListBox1");
    ListBox1->addItems(session_.fieldNames());
    Button4 = named(new QPushButton(QStringLiteral(">>>"), fields), "Button4");
    Button5 = named(new QPushButton(QStringLiteral(">>>"), fields), "Button5");
    Button1 = named(new QPushButton(QStringLiteral(">>>"), fields), "Button1");
    Edit4 = named(new QLineEdit(fields), "Edit4");
    Edit5 = named(new QLineEdit(fields), "Edit5");
    Edit6 = named(new QLineEdit(fields), "Edit6");
    auto* boxes = new QGridLayout;
    int row = 0;
    for (auto [button, label, edit] : {std::tuple{Button4, "纵坐标", Edit4}, std::tuple{Button5, "横坐标", Edit5},
                                       std::tuple{Button1, "标注", Edit6}}) {
        boxes->addWidget(new QLabel(QString::fromUtf8(label), fields), row, 1);
        boxes->addWidget(button, row + 1, 0);
        boxes->addWidget(edit, row + 1, 1);
        row += 2;
    }
    boxes->setRowStretch(row, 1);
    // Each box is as wide as the table's longest field name, so a chosen name shows whole.
    int longest = 0;
    for (const QString& name : session_.fieldNames())
        longest = std::max(longest, Edit4->fontMetrics().horizontalAdvance(name));
    for (QLineEdit* edit : {Edit4, Edit5, Edit6})
        edit->setMinimumWidth(longest + 16);
    auto* fieldLayout = new QHBoxLayout(fields);
    fieldLayout->addWidget(ListBox1);
    fieldLayout->addLayout(boxes);

    RadioGroup1 = named(new RadioGroup(QStringLiteral("显示方式"), {QStringLiteral("三维方式"), QStringLiteral("二维方式")}, this),
                        "RadioGroup1");
    SpinEdit1 = named(new QSpinBox(this), "SpinEdit1");
    SpinEdit1->setRange(1, 40);
    SpinEdit1->setValue(4);
    ComboBox2 = pointShapeList(this);
    CheckBox1 = named(new QCheckBox(QStringLiteral("显示标注"), this), "CheckBox1");
    auto* points = new QGridLayout;
    points->addWidget(new QLabel(QStringLiteral("点大小"), this), 0, 0);
    points->addWidget(SpinEdit1, 0, 1);
    points->addWidget(new QLabel(QStringLiteral("点类型"), this), 1, 0);
    points->addWidget(ComboBox2, 1, 1);
    QGroupBox* fonts = titleFontGroup(session_, this, QStringLiteral("标题格式"), BitBtn3, BitBtn4);
    BitBtn2 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    BitBtn2->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(RadioGroup1);
    side->addLayout(points);
    side->addWidget(CheckBox1);
    side->addWidget(fonts);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(fields, 1);
    middle->addLayout(side);
    auto* buttons = buttonRow({BitBtn2, BitBtn1});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titles);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    connect(Button4, &QPushButton::clicked, this, &Tscatter_Frm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &Tscatter_Frm::Button5Click);
    connect(Button1, &QPushButton::clicked, this, &Tscatter_Frm::Button1Click);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &Tscatter_Frm::ComboBox2Change);
    connect(BitBtn2, &QPushButton::clicked, this, &Tscatter_Frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tscatter_Frm::BitBtn1Click);
    resize(560, 420);
}

// Any field may go into any box; the types are checked when the chart is drawn.
void Tscatter_Frm::copyCurrentField(QLineEdit* edit)
{
    if (const QListWidgetItem* item = ListBox1->currentItem())
        edit->setText(item->text());
}

void Tscatter_Frm::Button4Click() { copyCurrentField(Edit4); }
void Tscatter_Frm::Button5Click() { copyCurrentField(Edit5); }
void Tscatter_Frm::Button1Click() { copyCurrentField(Edit6); }

void Tscatter_Frm::ComboBox2Change()
{
    const int index = ComboBox2->currentIndex();
    session_.charts.scatterPointStyle = index >= 0 && index < charts::kPointShapeCount ? index : 0;
}

// Checks the boxes by name (the label box only when labels are shown, and only that the field
// exists), then draws the points in a new chart window shown modally.
void Tscatter_Frm::BitBtn2Click()
{
    const QString y = Edit4->text().trimmed();
    const QString x = Edit5->text().trimmed();
    const QString label = Edit6->text().trimmed();
    const bool labelled = CheckBox1->isChecked();
    const QString empty = y.isEmpty() ? noFieldIn(QStringLiteral("纵坐标"))
        : x.isEmpty()                 ? noFieldIn(QStringLiteral("横坐标"))
        : labelled && label.isEmpty() ? noFieldIn(QStringLiteral("标注"))
                                      : QString();
    if (!empty.isEmpty()) {
        Prompts::information(this, empty);
        return;
    }
    std::vector<charts::FieldColumn> columns;
    std::optional<std::vector<QString>> labels;
    try {
        columns = charts::readChartFields(session_.table(), {y.toStdString(), x.toStdString()});
        if (labelled)
            labels = charts::readLabelField(session_.table(), label.toStdString());
    } catch (const std::runtime_error& e) {  // a table error or a refused value
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    charts::FieldChartRequest request;
    request.title = Edit1->text();
    request.bottomTitle = Edit2->text();
    request.leftTitle = Edit3->text();
    request.threeD = RadioGroup1->itemIndex() == 0;
    request.titleFont = session_.charts.titleFont;
    request.axisTitleFont = session_.charts.axisTitleFont;
    request.pointSize = SpinEdit1->value();
    request.pointShape = charts::pointShapeFromIndex(session_.charts.scatterPointStyle);
    chart_ = new TGraph(session_.charts, session_.edition(), this);
    charts::describeScatterChart(request, columns[0], columns[1], labels ? &*labels : nullptr, chart_->editChart());
    chart_->setWindowModality(Qt::ApplicationModal);
    chart_->show();
}

void Tscatter_Frm::BitBtn1Click() { close(); }

TGraph* Tscatter_Frm::chartWindow() const { return chart_; }

}  // namespace zandor::ui
