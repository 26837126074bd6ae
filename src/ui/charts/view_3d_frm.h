// The 3-D view dialog ("图形调整"), opened by a right click on a chart: rotation, elevation,
// orthogonal projection, offsets, depth, zoom and plot size on page "三维"; wall colours, wall
// sizes, transparency and the background gradient colours on page "Walls". Every control
// acts on the chart at once. Its controls start at their initial positions each time.
#pragma once

#include <QDialog>

#include <array>

#include "ui/session/chart_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace zandor::ui {

class ColorSwatch;
class TGraph;
class UpDown;

class TView_3d_frm : public QDialog {
    Q_OBJECT
public:
    TView_3d_frm(TGraph& graph, ChartSettings& settings, QWidget* parent = nullptr);

    // What opening does before the dialog shows: the rotation bars enabled, "Orthogonal"
    // unchecked; the chart's orthogonal projection off and its depth 15 % are set without
    // redrawing, so the chart takes them with the first control the user moves.
    void prepareChart();

    // Places the dialog beside the chart window (right, else left), on its screen.
    void placeBesideChart();

public slots:
    void ScrollBar1Change();  // rotation
    void ScrollBar2Change();  // elevation
    void ScrollBar3Change();  // horizontal offset
    void ScrollBar4Change();  // vertical offset
    void ScrollBar5Change();  // depth percentage
    void ScrollBar6Scroll();  // every margin less the position, per scroll event
    void ScrollBar7Scroll();  // chart area width plus the position, per scroll event
    void ScrollBar8Scroll();  // chart area height plus the position, per scroll event
    void CheckBox4Click();    // "Orthogonal"
    void BitBtn3Click();      // left wall colour
    void BitBtn6Click();      // bottom wall colour
    void BitBtn9Click();      // back wall colour
    void CheckBox1Click();    // left wall transparent
    void CheckBox2Click();    // bottom wall transparent
    void CheckBox3Click();    // back wall transparent
    void Shape4MouseDown();   // gradient start colour
    void Shape5MouseDown();   // gradient end colour
    void BitBtn2Click();      // "取消"

private:
    enum WallIndex { LeftWall = 0, BottomWall = 1, BackWall = 2 };
    void applyOpeningView();
    charts::ChartModel& chart();  // the chart to change, with the opening view applied
    QWidget* buildViewPage();
    QWidget* buildWallsPage();
    QWidget* buildWallTab(WallIndex wall, const char* button, const char* shape, const char* edit,
                          const char* upDown, const char* check, bool transparent);
    void showPosition(int bar);
    void chooseWallColor(WallIndex wall);
    void stepWallSize(WallIndex wall, bool up);
    void setWallTransparent(WallIndex wall);

    TGraph& graph_;
    ChartSettings& settings_;

    std::array<QScrollBar*, 8> bars_{};     // ScrollBar1..8
    std::array<QLabel*, 8> positions_{};    // the labels showing their positions
    QCheckBox* CheckBox4 = nullptr;
    std::array<QPushButton*, 3> wallButtons_{};
    std::array<ColorSwatch*, 3> wallShapes_{};
    std::array<QLineEdit*, 3> wallEdits_{};
    std::array<UpDown*, 3> wallUpDowns_{};
    std::array<QCheckBox*, 3> wallChecks_{};
    ColorSwatch* Shape4 = nullptr;
    ColorSwatch* Shape5 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    bool openingViewPending_ = false;
};

}  // namespace zandor::ui
