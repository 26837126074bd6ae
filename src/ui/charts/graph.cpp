// The chart window: defaults, plot size, saving, printing, closing, the pyramid step buttons
// and the 3-D view dialog.
#include "ui/charts/graph.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>

#include "charts/chart_builders.h"
#include "charts/chart_export.h"
#include "ui/charts/chart_prompts.h"
#include "ui/charts/pyramid_frames.h"
#include "ui/charts/view_3d_frm.h"
#include "ui/common/prompts.h"

namespace zandor::ui {

namespace {

const QString kCaption = QStringLiteral("Graph");
const QString kSave = QStringLiteral("保存");
const QString kPrint = QStringLiteral("打印");
const QString kCancel = QStringLiteral("取消");
const QString kStepBack = QStringLiteral("<<<");
const QString kReplay = QStringLiteral(">>>|");
const QString kPyramidTitle = QStringLiteral("年龄结构金字塔");
const QString kMale = QStringLiteral("男性");
const QString kFemale = QStringLiteral("女性");
const QString kSaveFilter = QStringLiteral("BMP (*.bmp);;PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
const QString kSaveSuffix = QStringLiteral("bmp");
const QString kReplaceQuestion = QStringLiteral("%1 已存在。\n要替换它吗?");
const QString kPrinterUnavailable = QStringLiteral("打印机不能使用。");

constexpr int kFrameWaitMs = 300;  // between pyramid frames
constexpr int kStripHeight = 40;   // the button strip under the chart
constexpr int kMaxMargin = 40;     // percent: the plot never shrinks to nothing

// A magnifying glass, with a plus (enlarge) or a minus (shrink).
QIcon zoomIcon(bool plus)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(235, 245, 255));
    p.drawEllipse(QPointF(10, 10), 7, 7);
    p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 15.5), QPointF(21, 21));
    p.setPen(QPen(QColor(20, 90, 170), 2));
    p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
    if (plus)
        p.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
    return QIcon(pixmap);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TGraph::TGraph(ChartSettings& settings, Edition edition, QWidget* parent)
    : QDialog(parent), settings_(settings), edition_(edition)
{
    setObjectName(QStringLiteral("Graph"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    DBChart1 = new ChartView(this);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    charts::ChartModel& m = DBChart1->edit();
    m.view.enabled = true;
    m.view.rotation = 331;
    m.view.elevation = 353;
    m.view.zoom = 98;
    m.backWall.color = Qt::white;
    m.backWall.transparent = true;
    m.margins = charts::Margins{5, 5, 5, 5};
    m.border = true;
    m.gradient = charts::Gradient{false, QColor(192, 192, 192), QColor(0, 128, 255)};
    m.title.clear();
    m.legendVisible = true;

    BitBtn1 = button(this, "BitBtn1", QString());
    BitBtn1->setIcon(zoomIcon(true));
    BitBtn2 = button(this, "BitBtn2", QString());
    BitBtn2->setIcon(zoomIcon(false));
    BitBtn3 = button(this, "BitBtn3", kSave);
    BitBtn5 = button(this, "BitBtn5", kPrint);
    BitBtn6 = button(this, "BitBtn6", kCancel);
    Button1 = button(this, "Button1", kStepBack);
    Button2 = button(this, "Button2", kReplay);
    Button1->hide();
    Button2->hide();

    connect(BitBtn1, &QPushButton::clicked, this, &TGraph::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TGraph::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TGraph::BitBtn3Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TGraph::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TGraph::BitBtn6Click);
    connect(Button1, &QPushButton::clicked, this, &TGraph::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TGraph::Button2Click);
    connect(DBChart1, &ChartView::rightButtonPressed, this, &TGraph::DBChart1MouseDown);
    // A click on a chart that is still animating shows its final frame at once.
    connect(DBChart1, &ChartView::leftButtonPressed, &animator_, &FrameAnimator::finish);
    connect(&animator_, &FrameAnimator::frameShown, DBChart1, [this] { DBChart1->repaint(); });

    resize(800, 600);
    layoutControls();
    settings_.newestChartWindow = this;
}

TGraph::~TGraph() { animator_.stop(); }

void TGraph::setPyramidButtonsVisible(bool visible)
{
    Button1->setVisible(visible);
    Button2->setVisible(visible);
}

// ---- layout -------------------------------------------------------------------------

void TGraph::layoutControls()
{
    const int chartHeight = std::max(40, height() - kStripHeight);
    DBChart1->setGeometry(0, 0, width(), chartHeight);
    int x = 8;
    const int y = chartHeight + (kStripHeight - 28) / 2;
    for (QPushButton* b : {BitBtn1, BitBtn2}) {
        b->setGeometry(x, y, 36, 28);
        x += 40;
    }
    x += 8;
    for (QPushButton* b : {BitBtn3, BitBtn5, BitBtn6}) {
        b->setGeometry(x, y, 80, 28);
        x += 88;
    }
    resizeChartArea(DBChart1->width(), DBChart1->height());
}

void TGraph::resizeChartArea(int width, int height)
{
    DBChart1->resize(std::max(40, width), std::max(40, height));
    // The step buttons at the chart area's lower right corner, "<<<" above ">>>|".
    const QRect area = DBChart1->geometry();
    Button2->setGeometry(area.right() - 72, area.bottom() - 34, 64, 26);
    Button1->setGeometry(area.right() - 72, area.bottom() - 64, 64, 26);
    Button1->raise();
    Button2->raise();
}

void TGraph::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void TGraph::closeEvent(QCloseEvent* event)
{
    animator_.stop();
    QDialog::closeEvent(event);
}

// ---- buttons ------------------------------------------------------------------------

void TGraph::shiftMargins(int delta)
{
    charts::Margins& m = DBChart1->edit().margins;
    for (int* side : {&m.left, &m.top, &m.right, &m.bottom})
        *side = std::clamp(*side + delta, 0, kMaxMargin);
}

void TGraph::BitBtn1Click() { shiftMargins(-1); }

void TGraph::BitBtn2Click() { shiftMargins(+1); }

void TGraph::BitBtn3Click()
{
    const QString name = Prompts::saveFileName(this, kSaveFilter, kSaveSuffix);
    if (name.isEmpty())
        return;
    if (QFileInfo::exists(name) && !Prompts::confirm(this, kReplaceQuestion.arg(QFileInfo(name).fileName())))
        return;
    // The bitmap is the chart area as displayed; a name ending in .png, .svg or .pdf gets
    // that format instead, any other name a Windows bitmap.
    const charts::ExportFormat format = charts::exportFormatFor(name).value_or(charts::ExportFormat::Bmp);
    try {
        if (format == charts::ExportFormat::Bmp || format == charts::ExportFormat::Png)
            charts::saveImage(DBChart1->grabChart(), name, format);
        else
            charts::exportChart(DBChart1->chart(), name, DBChart1->size());
    } catch (const charts::ExportError& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
}

void TGraph::BitBtn5Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    // A cancelled print dialog prints nothing.
    if (!ChartPrompts::print(this, printer))
        return;
    printer.setPageOrientation(QPageLayout::Landscape);
    printChart(printer);
}

void TGraph::printChart(QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        Prompts::information(this, kPrinterUnavailable);
        return;
    }
    // The chart is laid out at 96 pixels per inch, as on screen, and scaled to the page.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = printer.resolution() / 96.0;
    painter.scale(scale, scale);
    DBChart1->chart().render(painter, QRectF(0, 0, page.width() / scale, page.height() / scale));
}

void TGraph::BitBtn6Click()
{
    animator_.stop();
    DBChart1->edit().series.clear();
    setPyramidButtonsVisible(false);
    close();
}

void TGraph::DBChart1MouseDown()
{
    TView_3d_frm dialog(*this, settings_, this);
    dialog.prepareChart();
    dialog.placeBesideChart();
    dialog.exec();
}

// ---- the single-region pyramid -------------------------------------------------------

void TGraph::startPyramid()
{
    setPyramidButtonsVisible(true);
    showMaximized();
    charts::ChartModel& m = DBChart1->edit();
    m.view.enabled = false;
    m.legendVisible = true;
    m.titleFont.size = 18;
    m.titleFont.color = Qt::black;
    m.title = kPyramidTitle;
    charts::resetPyramidSeries(m, kMale, kFemale);
}

void TGraph::showPyramidYear(int y, int calendarYear)
{
    charts::ChartModel& m = DBChart1->edit();
    m.title = QString::number(calendarYear) + QStringLiteral(" ") + kPyramidTitle;
    if (pyramidFrames_)
        charts::setPyramidFrame(m, pyramidFrames_->maleShares(y), pyramidFrames_->femaleShares(y));
}

void TGraph::Button1Click()
{
    if (!pyramidFrames_)
        return;
    animator_.enqueue([this] { startPyramid(); }, kFrameWaitMs);
    animator_.enqueue(
        [this] {
            if (!pyramidFrames_)
                return;
            const int years = pyramidFrames_->yearCount();
            if (years < 1)
                return;
            int k = pyramidFrames_->frameCursor();
            if (k < 1 || k > years)
                k = years;  // a cursor outside the projection starts again at the end year
            showPyramidYear(k - 1, pyramidFrames_->baseYear() + k);
            pyramidFrames_->setFrameCursor(k == 1 ? years : k - 1);
        },
        0);
}

void TGraph::Button2Click()
{
    if (!pyramidFrames_)
        return;
    animator_.enqueue([this] { startPyramid(); }, 0);
    const int years = pyramidFrames_->yearCount();
    const int base = pyramidFrames_->baseYear();
    if (years < 1)
        return;
    for (int y = 0; y < years; ++y)
        animator_.enqueue([this, y, base] { showPyramidYear(y, base + y + 1); }, kFrameWaitMs);
    animator_.enqueue(
        [this, years, base] {
            showPyramidYear(years - 1, base + years);
            // ZandorT leaves the cursor where the last "<<<" put it.
            if (edition_ == Edition::Full && pyramidFrames_)
                pyramidFrames_->setFrameCursor(years);
        },
        0);
}

}  // namespace zandor::ui
