#include "ui/charts/chart_def_frm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <string>
#include <utility>
#include <vector>

#include "charts/chart_fonts.h"
#include "tables/table_error.h"
#include "ui/charts/chart_prompts.h"
#include "ui/charts/graph.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");
const QStringList kViews = {QStringLiteral("三维方式"), QStringLiteral("二维方式")};

}  // namespace

// ---- shared pieces --------------------------------------------------------------------

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("RadioButton%1").arg(i));
        buttons_->addButton(b, i);
        layout->addWidget(b);
    }
    setItemIndex(0);
}

int RadioGroup::itemIndex() const { return buttons_->checkedId(); }

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* b = buttons_->button(index))
        b->setChecked(true);
}

QGroupBox* titleFontGroup(Session& session, QWidget* dialog, const QString& caption, QPushButton*& titleButton,
                          QPushButton*& axisButton)
{
    auto* group = named(new QGroupBox(caption, dialog), "GroupBox2");
    titleButton = named(new QPushButton(QStringLiteral("主标题"), group), "BitBtn3");
    axisButton = named(new QPushButton(QStringLiteral("坐标轴"), group), "BitBtn4");
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(titleButton);
    layout->addWidget(axisButton);
    ChartSettings& settings = session.charts;
    QObject::connect(titleButton, &QPushButton::clicked, dialog, [dialog, &settings] {
        settings.titleFont = ChartPrompts::font(dialog, settings.titleFont, charts::kDefaultTitlePoints);
    });
    QObject::connect(axisButton, &QPushButton::clicked, dialog, [dialog, &settings] {
        settings.axisTitleFont = ChartPrompts::font(dialog, settings.axisTitleFont, charts::kDefaultAxisTitlePoints);
    });
    return group;
}

QComboBox* pointShapeList(QWidget* parent)
{
    auto* list = named(new QComboBox(parent), "ComboBox2");
    list->addItems({QStringLiteral("矩形"), QStringLiteral("圆形"), QStringLiteral("三角形"), QStringLiteral("倒三角形"),
                    QStringLiteral("十字形"), QStringLiteral("斜十字形"), QStringLiteral("星形"), QStringLiteral("钻石形"),
                    QStringLiteral("小园点")});
    return list;
}

// ---- the family ---------------------------------------------------------------------

TChart_def_frm::TChart_def_frm(Session& session, charts::SeriesKind kind, const QString& caption, QWidget* parent)
    : QDialog(parent), session_(session), kind_(kind)
{
    setWindowTitle(caption);

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

    GroupBox1 = named(new QGroupBox(QStringLiteral("变量选择"), this), "GroupBox1");
    ListBox1 = named(new QListWidget(GroupBox1), "ListBox1");
    ListBox2 = named(new QListWidget(GroupBox1), "ListBox2");
    for (QListWidget* list : {ListBox1, ListBox2})
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->addItems(session_.fieldNames());
    Button4 = named(new QPushButton(QStringLiteral(">>>"), GroupBox1), "Button4");
    Button5 = named(new QPushButton(QStringLiteral("<<<"), GroupBox1), "Button5");
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(Button4);
    moves->addWidget(Button5);
    moves->addStretch();
    auto* fields = new QHBoxLayout(GroupBox1);
    fields->addWidget(ListBox1);
    fields->addLayout(moves);
    fields->addWidget(ListBox2);

    RadioGroup1 = named(new RadioGroup(QStringLiteral("显示方式"), kViews, this), "RadioGroup1");
    GroupBox2 = titleFontGroup(session_, this, QStringLiteral("标题格式"), BitBtn3, BitBtn4);
    BitBtn2 = named(new QPushButton(kOk, this), "BitBtn2");
    BitBtn1 = named(new QPushButton(kCancel, this), "BitBtn1");
    BitBtn2->setDefault(true);

    extras_ = new QVBoxLayout;
    auto* side = new QVBoxLayout;
    side->addWidget(RadioGroup1);
    side->addLayout(extras_);
    side->addWidget(GroupBox2);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(GroupBox1, 1);
    middle->addLayout(side);
    auto* buttons = buttonRow({BitBtn2, BitBtn1});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titles);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    connect(Button4, &QPushButton::clicked, this, &TChart_def_frm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TChart_def_frm::Button5Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TChart_def_frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TChart_def_frm::BitBtn1Click);
    resize(560, 400);
}

// Appends the chartable fields among the selected ones, in list order; a field may be listed
// more than once, and text or date fields are passed over without a word.
void TChart_def_frm::Button4Click()
{
    const auto& fields = session_.table().fields();
    for (int row = 0; row < ListBox1->count(); ++row) {
        const QListWidgetItem* item = ListBox1->item(row);
        if (item->isSelected() && row < static_cast<int>(fields.size())
            && charts::isChartable(fields[static_cast<std::size_t>(row)]))
            ListBox2->addItem(item->text());
    }
}

void TChart_def_frm::Button5Click() { ListBox2->clear(); }

// One series per listed field over all rows of the current table, in a new chart window shown
// modally; a field that is gone or holds no numbers is named in a message and nothing is drawn.
void TChart_def_frm::BitBtn2Click()
{
    std::vector<std::string> names;
    for (int row = 0; row < ListBox2->count(); ++row)
        names.push_back(ListBox2->item(row)->text().toStdString());
    std::vector<charts::FieldColumn> columns;
    try {
        columns = charts::readChartFields(session_.table(), names);
    } catch (const std::runtime_error& e) {  // a table error or a refused value
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    charts::FieldChartRequest request;
    request.kind = kind_;
    request.title = Edit1->text();
    request.bottomTitle = Edit2->text();
    request.leftTitle = Edit3->text();
    request.threeD = RadioGroup1->itemIndex() == 0;
    request.titleFont = session_.charts.titleFont;
    request.axisTitleFont = session_.charts.axisTitleFont;
    describeOptions(request);
    chart_ = new TGraph(session_.charts, session_.edition(), this);
    charts::describeFieldChart(request, std::move(columns), chart_->editChart());
    chart_->setWindowModality(Qt::ApplicationModal);
    chart_->show();
}

void TChart_def_frm::BitBtn1Click() { close(); }

TGraph* TChart_def_frm::chartWindow() const { return chart_; }

// ---- members ------------------------------------------------------------------------

TLine_def_frm::TLine_def_frm(Session& session, QWidget* parent)
    : TChart_def_frm(session, charts::SeriesKind::Line, QStringLiteral("线形图"), parent)
{
    setObjectName(QStringLiteral("Line_def_frm"));
}

TBar_def_frm::TBar_def_frm(Session& session, QWidget* parent)
    : TBar_def_frm(session, charts::SeriesKind::Bar, QStringLiteral("垂直直方图"), QStringLiteral("显示标注"), parent)
{
    setObjectName(QStringLiteral("Bar_def_frm"));
}

TBar_def_frm::TBar_def_frm(Session& session, charts::SeriesKind kind, const QString& caption,
                           const QString& marksCaption, QWidget* parent)
    : TChart_def_frm(session, kind, caption, parent)
{
    RadioGroup2 = named(new RadioGroup(QStringLiteral("显示类型"),
                                       {QStringLiteral("无"), QStringLiteral("相邻"), QStringLiteral("叠式"),
                                        QStringLiteral("叠式(100%)")},
                                       this),
                        "RadioGroup2");
    CheckBox1 = named(new QCheckBox(marksCaption, this), "CheckBox1");
    extras()->addWidget(RadioGroup2);
    extras()->addWidget(CheckBox1);
    GroupBox2->setTitle(QStringLiteral("标题方式"));
}

void TBar_def_frm::describeOptions(charts::FieldChartRequest& request) const
{
    static constexpr charts::Stacking kStackings[] = {charts::Stacking::Overlap, charts::Stacking::SideBySide,
                                                      charts::Stacking::Stacked, charts::Stacking::Stacked100};
    request.stacking = kStackings[std::max(0, RadioGroup2->itemIndex())];
    request.marks = CheckBox1->isChecked();
}

THoriz_def_frm::THoriz_def_frm(Session& session, QWidget* parent)
    : TBar_def_frm(session, charts::SeriesKind::HorizBar, QStringLiteral("水平直方图"), QStringLiteral("Visible Label"),
                   parent)
{
    setObjectName(QStringLiteral("Horiz_def_frm"));
    GroupBox1->setTitle(QStringLiteral("变量"));
}

TPoint_def_frm::TPoint_def_frm(Session& session, QWidget* parent)
    : TChart_def_frm(session, charts::SeriesKind::Point, QStringLiteral("点状图"), parent)
{
    setObjectName(QStringLiteral("Piont_def_frm"));
    SpinEdit1 = named(new QSpinBox(this), "SpinEdit1");
    SpinEdit1->setRange(1, 40);
    SpinEdit1->setValue(4);
    ComboBox2 = pointShapeList(this);
    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("点大小"), this), 0, 0);
    form->addWidget(SpinEdit1, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("点类型"), this), 1, 0);
    form->addWidget(ComboBox2, 1, 1);
    extras()->addLayout(form);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TPoint_def_frm::ComboBox2Change);
}

// The shape chosen becomes the session's point style, kept for every later point chart (the
// list itself shows "矩形" again when the dialog is opened anew).
void TPoint_def_frm::ComboBox2Change()
{
    const int index = ComboBox2->currentIndex();
    session_.charts.pointStyle = index >= 0 && index < charts::kPointShapeCount ? index : 0;
}

void TPoint_def_frm::describeOptions(charts::FieldChartRequest& request) const
{
    request.pointSize = SpinEdit1->value();
    request.pointShape = charts::pointShapeFromIndex(session_.charts.pointStyle);
}

TArea_def_frm::TArea_def_frm(Session& session, QWidget* parent)
    : TChart_def_frm(session, charts::SeriesKind::Area, QStringLiteral("面积图"), parent)
{
    setObjectName(QStringLiteral("Area_def_frm"));
    RadioGroup2 = named(new RadioGroup(QStringLiteral("显示类型"),
                                       {QStringLiteral("无"), QStringLiteral("叠式"), QStringLiteral("叠式(100%)")}, this),
                        "RadioGroup2");
    extras()->addWidget(RadioGroup2);
}

void TArea_def_frm::describeOptions(charts::FieldChartRequest& request) const
{
    static constexpr charts::Stacking kStackings[] = {charts::Stacking::Overlap, charts::Stacking::Stacked,
                                                      charts::Stacking::Stacked100};
    request.stacking = kStackings[std::max(0, RadioGroup2->itemIndex())];
}

}  // namespace zandor::ui
