// What the schedule pages of the two projection dialogs (single-region and urban-rural) have in
// common: the interpolation group under each grid (start column, end column, method, "插值")
// and the interpolation it runs, the year boxes whose double-click rebuilds the years, and the
// pages taken together with the rebuild of their grids for new years.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "projection/interpolation.h"
#include "projection/single_region_inputs.h"

class QBoxLayout;
class QDialog;
class QObject;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace zandor::ui {

class ScheduleGrid;
class Session;

// How the grid of a page is interpolated: one row of a year-by-year schedule, every age row of a
// fertility pattern at once, or every age row of the urban-rural mover shares.
enum class ScheduleShape { Row, Pattern, MoverShares };

// Object names of a group's controls; no exponential button where `exponential` is null.
struct InterpolationNames {
    const char* start;
    const char* end;
    const char* linear;
    const char* exponential;
    const char* copy;
    const char* button;
};

// The captions beside the two column boxes and the ranges they hold until the first rebuild of
// the years sets them.
struct InterpolationForm {
    QString startLabel;
    QString endLabel;
    projection::InterpolationBoxes boxes;
};

// Start box, end box, method buttons and "插值" button of one schedule page.
struct InterpolationGroup {
    QSpinBox* start = nullptr;
    QSpinBox* end = nullptr;
    QRadioButton* copy = nullptr;
    QRadioButton* linear = nullptr;
    QRadioButton* exponential = nullptr;  // none on the urban-rural mover-share page
    QPushButton* button = nullptr;
    // The page's grid and how it is interpolated; for a Row grid, the schedule row selected in
    // the grids that share it, or row 1 where there is none.
    ScheduleGrid* grid = nullptr;
    ScheduleShape shape = ScheduleShape::Row;
    const int* selectedRow = nullptr;

    projection::InterpolationMethod method() const;
    // Sets both column boxes to the ranges and values the new years allow.
    void fitYears(int baseYear, int endYear) const;
    // Fills the page's grid (or `other`) between the start and the end column with the chosen
    // method: the row of a Row grid, every age row of the others. A refusal, or a row the grid
    // lacks (the selected row is shared with grids that have more rows), is told in an
    // information box over `dialog`; the grid shows what it holds afterwards either way.
    void interpolate(QWidget* dialog, int baseYear) const { interpolateOn(dialog, grid, baseYear); }
    void interpolateOn(QWidget* dialog, ScheduleGrid* other, int baseYear) const;
};

// Builds the group box of `group`: the linear method chosen, "插值" no default button.
QWidget* interpolationGroup(InterpolationGroup& group, const InterpolationNames& names, const InterpolationForm& form);

// Calls `handler` when the user double-clicks `box`, its text field included; the box goes on
// handling the click as it would.
void onDoubleClick(QSpinBox* box, std::function<void()> handler);

// The handlers of a dialog's two year boxes and of its page control.
struct YearHandlers {
    std::function<void()> baseChange;
    std::function<void()> endChange;
    std::function<void()> baseDoubleClick;
    std::function<void()> endDoubleClick;
    std::function<void()> pageChange;
};
// Connects a change and a double-click of either year box, and a change of page, to the handlers.
void connectYears(QObject* dialog, QSpinBox* baseYear, QSpinBox* endYear, QTabWidget* pageControl,
                  const YearHandlers& handlers);

// The dialog's title and its page control ("PageControl1"), which fills it.
QTabWidget* pageControl(QDialog* dialog, const QString& title);
// The base page's bottom row: the run button and "取消" at the right, neither a default button.
void runButtons(QWidget* page, QBoxLayout* layout, const QString& runCaption, QPushButton*& run,
                QPushButton*& cancel);

// The schedule pages of one dialog taken together: their grids, their interpolation groups, the
// two year boxes and the run button that waits for the grids to match the years.
class SchedulePages {
public:
    explicit SchedulePages(Session& session) : session_(session) {}

    // The controls, once the dialog's pages stand; the groups in the order their boxes are set.
    void setControls(QSpinBox* baseYear, QSpinBox* endYear, QPushButton* run, std::vector<ScheduleGrid*> grids,
                     std::vector<const InterpolationGroup*> groups);

    int baseYear() const;
    int endYear() const;
    // A schedule cell was typed into since the dialog opened.
    bool typed() const { return typed_; }

    // The grids show their cells anew / store what is being typed in a cell.
    void reloadGrids() const;
    void commitEdits() const;

    // A year box changed: the run waits until the grids are rebuilt for the new years.
    void yearsChanged();
    // Stores what is being typed in a cell, then rebuilds the grids for the years in the boxes
    // with `rebuild`, the engine's rebuild: it returns the refusals of single fields, each told
    // in turn, and throws when it refuses the years. Refused years leave the grids and the
    // boxes as they are, and the run button off; that refusal is told once for these years,
    // not again at every click in a year box. Years that work turn the run button on again and
    // set every group's column boxes.
    void rebuildYears(QWidget* dialog, const std::function<std::vector<std::string>()>& rebuild);

private:
    Session& session_;
    QSpinBox* baseYear_ = nullptr;
    QSpinBox* endYear_ = nullptr;
    QPushButton* run_ = nullptr;
    std::vector<ScheduleGrid*> grids_;
    std::vector<const InterpolationGroup*> groups_;
    QString refusalShown_;  // the year refusal last told, until the years work again
    bool typed_ = false;
};

}  // namespace zandor::ui
