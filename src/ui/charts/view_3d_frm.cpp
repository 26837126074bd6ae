// The 3-D view dialog: its two pages, and each control's effect on the chart.
#include "ui/charts/view_3d_frm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "ui/charts/chart_prompts.h"
#include "ui/charts/graph.h"
#include "ui/charts/view_3d_controls.h"

namespace zandor::ui {

namespace {

const QString kCaption = QStringLiteral("图形调整");
const QString kViewPage = QStringLiteral("三维");
const QString kWallsPage = QStringLiteral("Walls");
const QString kOrthogonal = QStringLiteral("Orthogonal");
const QString kPlotRange = QStringLiteral("作图范围");
const QString kBackGround = QStringLiteral("Back Ground...");
const QString kSize = QStringLiteral("Size:");
const QString kTransparent = QStringLiteral("Transparent");
const QString kStartColor = QStringLiteral("Start Color");
const QString kEndColor = QStringLiteral("End Color");
const QString kCancel = QStringLiteral("取消");

struct BarSpec {
    const char* caption;
    int minimum, maximum, initial, step;
    const char* label;  // the position label's first text
};

// ScrollBar1..ScrollBar8.
constexpr BarSpec kBars[8] = {
    {"水平旋转", 270, 360, 360, 1, "360"},
    {"垂直旋转", 270, 360, 360, 1, "360"},
    {"水平移动", -100, 100, 0, 1, "0"},
    {"垂直移动", -100, 100, 0, 1, "0"},
    {"三维效果", 1, 100, 1, 10, "100"},
    {"图形放缩", -1, 1, 0, 1, "0"},
    {"宽度", -1, 1, 0, 1, "0"},
    {"高度", -1, 1, 0, 1, "0"},
};

charts::Wall& wallOf(charts::ChartModel& m, int wall)
{
    return wall == 0 ? m.leftWall : wall == 1 ? m.bottomWall : m.backWall;
}

const charts::Wall& wallOf(const charts::ChartModel& m, int wall)
{
    return wall == 0 ? m.leftWall : wall == 1 ? m.bottomWall : m.backWall;
}

}  // namespace

TView_3d_frm::TView_3d_frm(TGraph& graph, ChartSettings& settings, QWidget* parent)
    : QDialog(parent), graph_(graph), settings_(settings)
{
    setObjectName(QStringLiteral("View_3d_frm"));
    setWindowTitle(kCaption);
    setModal(true);

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->addTab(buildViewPage(), kViewPage);
    pages->addTab(buildWallsPage(), kWallsPage);
    pages->setCurrentIndex(0);

    BitBtn2 = new QPushButton(kCancel, this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TView_3d_frm::BitBtn2Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn2);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border
}

QWidget* TView_3d_frm::buildViewPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    auto* range = new QGroupBox(kPlotRange);
    range->setObjectName(QStringLiteral("GroupBox1"));
    auto* rangeGrid = new QGridLayout(range);
    int row = 0;
    for (int i = 0; i < 8; ++i) {
        const BarSpec& setting = kBars[i];
        auto* caption = new QLabel(QString::fromUtf8(setting.caption));
        caption->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        auto* bar = new QScrollBar(Qt::Horizontal);
        bar->setObjectName(QStringLiteral("ScrollBar%1").arg(i + 1));
        bar->setRange(setting.minimum, setting.maximum);
        bar->setValue(setting.initial);
        bar->setSingleStep(setting.step);
        bar->setPageStep(std::max(1, (setting.maximum - setting.minimum) / 10));
        bar->setMinimumWidth(200);
        auto* position = new QLabel(QString::fromLatin1(setting.label));
        position->setObjectName(QStringLiteral("Label%1").arg(i + 9));
        position->setMinimumWidth(32);
        bars_[static_cast<std::size_t>(i)] = bar;
        positions_[static_cast<std::size_t>(i)] = position;
        QGridLayout* target = i >= 6 ? rangeGrid : grid;
        const int r = i >= 6 ? i - 6 : row++;
        target->addWidget(caption, r, 0);
        target->addWidget(bar, r, 1);
        target->addWidget(position, r, 2);
        if (i == 1) {
            CheckBox4 = new QCheckBox(kOrthogonal);
            CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
            grid->addWidget(CheckBox4, row++, 1);
        }
        connect(bar, &QScrollBar::valueChanged, this, [this, i] { showPosition(i); });
    }
    grid->addWidget(range, row, 0, 1, 3);

    connect(bars_[0], &QScrollBar::valueChanged, this, &TView_3d_frm::ScrollBar1Change);
    connect(bars_[1], &QScrollBar::valueChanged, this, &TView_3d_frm::ScrollBar2Change);
    connect(bars_[2], &QScrollBar::valueChanged, this, &TView_3d_frm::ScrollBar3Change);
    connect(bars_[3], &QScrollBar::valueChanged, this, &TView_3d_frm::ScrollBar4Change);
    connect(bars_[4], &QScrollBar::valueChanged, this, &TView_3d_frm::ScrollBar5Change);
    // Plot size acts on every scroll event, also when the bar already stands at its end.
    connect(bars_[5], &QScrollBar::actionTriggered, this, &TView_3d_frm::ScrollBar6Scroll);
    connect(bars_[6], &QScrollBar::actionTriggered, this, &TView_3d_frm::ScrollBar7Scroll);
    connect(bars_[7], &QScrollBar::actionTriggered, this, &TView_3d_frm::ScrollBar8Scroll);
    connect(CheckBox4, &QCheckBox::toggled, this, &TView_3d_frm::CheckBox4Click);
    return page;
}

QWidget* TView_3d_frm::buildWallTab(WallIndex wall, const char* buttonName, const char* shapeName,
                                    const char* editName, const char* upDownName, const char* checkName,
                                    bool transparent)
{
    const auto w = static_cast<std::size_t>(wall);
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    auto* button = new QPushButton(kBackGround);
    button->setObjectName(QString::fromLatin1(buttonName));
    button->setAutoDefault(false);
    auto* shape = new ColorSwatch(wallOf(graph_.chartModel(), wall).color);
    shape->setObjectName(QString::fromLatin1(shapeName));
    auto* sizeLabel = new QLabel(kSize);
    auto* edit = new QLineEdit(QStringLiteral("0"));
    edit->setObjectName(QString::fromLatin1(editName));
    edit->setReadOnly(true);
    edit->setMaximumWidth(48);
    auto* upDown = new UpDown;
    upDown->setObjectName(QString::fromLatin1(upDownName));
    auto* check = new QCheckBox(kTransparent);
    check->setObjectName(QString::fromLatin1(checkName));
    check->setChecked(transparent);
    grid->addWidget(button, 0, 0);
    grid->addWidget(shape, 0, 1);
    grid->addWidget(sizeLabel, 1, 0);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(0);
    sizeRow->addWidget(edit);
    sizeRow->addWidget(upDown);
    sizeRow->addStretch();
    grid->addLayout(sizeRow, 1, 1);
    grid->addWidget(check, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    wallButtons_[w] = button;
    wallShapes_[w] = shape;
    wallEdits_[w] = edit;
    wallUpDowns_[w] = upDown;
    wallChecks_[w] = check;
    connect(upDown, &UpDown::clicked, this, [this, wall](bool up) { stepWallSize(wall, up); });
    return tab;
}

QWidget* TView_3d_frm::buildWallsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* tabs = new QTabWidget(page);
    tabs->setObjectName(QStringLiteral("PageControl2"));
    // Four short tabs: the dialog widens to show the whole row rather than scroll it.
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideNone);
    tabs->addTab(buildWallTab(LeftWall, "BitBtn3", "Shape1", "Edit1", "UpDown1", "CheckBox1", false),
                 QStringLiteral("Left Wall"));
    tabs->addTab(buildWallTab(BottomWall, "BitBtn6", "Shape2", "Edit3", "UpDown2", "CheckBox2", false),
                 QStringLiteral("Bottom Wall"));
    tabs->addTab(buildWallTab(BackWall, "BitBtn9", "Shape3", "Edit4", "UpDown3", "CheckBox3", true),
                 QStringLiteral("Back Wall"));

    auto* form = new QWidget;
    auto* formGrid = new QGridLayout(form);
    Shape4 = new ColorSwatch(QColor(192, 192, 192));  // silver
    Shape4->setObjectName(QStringLiteral("Shape4"));
    Shape5 = new ColorSwatch(QColor(0, 0, 128));  // navy
    Shape5->setObjectName(QStringLiteral("Shape5"));
    formGrid->addWidget(new QLabel(kStartColor), 0, 0);
    formGrid->addWidget(Shape4, 0, 1);
    formGrid->addWidget(new QLabel(kEndColor), 1, 0);
    formGrid->addWidget(Shape5, 1, 1);
    formGrid->setRowStretch(2, 1);
    tabs->addTab(form, QStringLiteral("Form"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tabs);

    connect(wallButtons_[0], &QPushButton::clicked, this, &TView_3d_frm::BitBtn3Click);
    connect(wallButtons_[1], &QPushButton::clicked, this, &TView_3d_frm::BitBtn6Click);
    connect(wallButtons_[2], &QPushButton::clicked, this, &TView_3d_frm::BitBtn9Click);
    connect(wallChecks_[0], &QCheckBox::toggled, this, &TView_3d_frm::CheckBox1Click);
    connect(wallChecks_[1], &QCheckBox::toggled, this, &TView_3d_frm::CheckBox2Click);
    connect(wallChecks_[2], &QCheckBox::toggled, this, &TView_3d_frm::CheckBox3Click);
    connect(Shape4, &ColorSwatch::pressed, this, &TView_3d_frm::Shape4MouseDown);
    connect(Shape5, &ColorSwatch::pressed, this, &TView_3d_frm::Shape5MouseDown);
    return page;
}

void TView_3d_frm::prepareChart()
{
    bars_[0]->setEnabled(true);
    bars_[1]->setEnabled(true);
    const QSignalBlocker quiet(CheckBox4);
    CheckBox4->setChecked(false);
    openingViewPending_ = true;
}

void TView_3d_frm::applyOpeningView()
{
    if (!std::exchange(openingViewPending_, false))
        return;
    charts::View3D& view = graph_.editChart().view;
    view.orthogonal = false;
    view.depthPercent = 15;
}

charts::ChartModel& TView_3d_frm::chart()
{
    applyOpeningView();
    return graph_.editChart();
}

void TView_3d_frm::placeBesideChart()
{
    adjustSize();
    const QRect chartFrame = graph_.frameGeometry();
    const QScreen* screen = graph_.screen();
    const QRect available = screen ? screen->availableGeometry() : chartFrame;
    const QSize size = frameGeometry().size();
    // Right of the chart window if there is room, else left of it, else along the screen's edge.
    int x = chartFrame.right() + 1;
    if (x + size.width() > available.right() + 1)
        x = chartFrame.left() - size.width();
    if (x < available.left())
        x = available.right() + 1 - size.width();
    x = std::max(x, available.left());
    const int y = std::clamp(chartFrame.top(), available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    move(x, y);
}

// ---- the "三维" page ------------------------------------------------------------------

void TView_3d_frm::showPosition(int bar)
{
    const auto i = static_cast<std::size_t>(bar);
    positions_[i]->setText(QString::number(bars_[i]->sliderPosition()));
}

void TView_3d_frm::ScrollBar1Change() { chart().view.rotation = bars_[0]->value(); }
void TView_3d_frm::ScrollBar2Change() { chart().view.elevation = bars_[1]->value(); }
void TView_3d_frm::ScrollBar3Change() { chart().view.horizOffset = bars_[2]->value(); }
void TView_3d_frm::ScrollBar4Change() { chart().view.vertOffset = bars_[3]->value(); }
void TView_3d_frm::ScrollBar5Change() { chart().view.depthPercent = bars_[4]->value(); }

void TView_3d_frm::ScrollBar6Scroll()
{
    showPosition(5);
    applyOpeningView();
    graph_.shiftMargins(-bars_[5]->sliderPosition());
}

void TView_3d_frm::ScrollBar7Scroll()
{
    showPosition(6);
    applyOpeningView();
    const QWidget* area = graph_.chartArea();
    graph_.resizeChartArea(area->width() + bars_[6]->sliderPosition(), area->height());
}

void TView_3d_frm::ScrollBar8Scroll()
{
    showPosition(7);
    applyOpeningView();
    const QWidget* area = graph_.chartArea();
    graph_.resizeChartArea(area->width(), area->height() + bars_[7]->sliderPosition());
}

void TView_3d_frm::CheckBox4Click()
{
    const bool orthogonal = CheckBox4->isChecked();
    chart().view.orthogonal = orthogonal;
    bars_[0]->setEnabled(!orthogonal);
    bars_[1]->setEnabled(!orthogonal);
}

// ---- the "Walls" page -----------------------------------------------------------------

void TView_3d_frm::chooseWallColor(WallIndex wall)
{
    // The colour dialog keeps its colour between uses; cancelling it leaves that colour,
    // which the wall then takes.
    settings_.lastColor = ChartPrompts::color(this, settings_.lastColor);
    wallOf(chart(), wall).color = settings_.lastColor;
    wallShapes_[static_cast<std::size_t>(wall)]->setColor(settings_.lastColor);
}

void TView_3d_frm::BitBtn3Click() { chooseWallColor(LeftWall); }
void TView_3d_frm::BitBtn6Click() { chooseWallColor(BottomWall); }
void TView_3d_frm::BitBtn9Click() { chooseWallColor(BackWall); }

void TView_3d_frm::stepWallSize(WallIndex wall, bool up)
{
    // A wall is never thinner than nothing.
    const auto w = static_cast<std::size_t>(wall);
    settings_.wallSizes[w] = std::max(0, settings_.wallSizes[w] + (up ? 1 : -1));
    wallEdits_[w]->setText(QString::number(settings_.wallSizes[w]));
    wallOf(chart(), wall).size = settings_.wallSizes[w];
}

void TView_3d_frm::setWallTransparent(WallIndex wall)
{
    wallOf(chart(), wall).transparent = wallChecks_[static_cast<std::size_t>(wall)]->isChecked();
}

void TView_3d_frm::CheckBox1Click() { setWallTransparent(LeftWall); }
void TView_3d_frm::CheckBox2Click() { setWallTransparent(BottomWall); }
void TView_3d_frm::CheckBox3Click() { setWallTransparent(BackWall); }

void TView_3d_frm::Shape4MouseDown()
{
    settings_.lastColor = ChartPrompts::color(this, settings_.lastColor);
    chart().gradient.start = settings_.lastColor;
    Shape4->setColor(settings_.lastColor);
}

void TView_3d_frm::Shape5MouseDown()
{
    settings_.lastColor = ChartPrompts::color(this, settings_.lastColor);
    chart().gradient.end = settings_.lastColor;
    Shape5->setColor(settings_.lastColor);
}

void TView_3d_frm::BitBtn2Click() { close(); }

}  // namespace zandor::ui
