// What the schedule pages of the two projection dialogs (single-region and urban-rural) have in
// common: the interpolation group under each grid (start column, end column, method, "插值")
// and the interpolation it runs, and the year boxes whose double-click rebuilds the years.
#pragma once

#include <QString>

#include <functional>

#include "projection/interpolation.h"
#include "projection/single_region_inputs.h"

class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace zandor::ui {

class ScheduleGrid;

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

    projection::InterpolationMethod method() const;
    // Sets both column boxes to the ranges and values the new years allow.
    void fitYears(int baseYear, int endYear) const;
    // Fills the grid between the start and the end column with the chosen method: row `row`
    // (1..) of a Row grid, every age row of the others. A refusal, or a row the grid lacks (the
    // selected row is shared with pages whose grids have more rows), is told in an information
    // box over `dialog`; the grid shows what it holds afterwards either way.
    void interpolate(QWidget* dialog, ScheduleGrid* grid, ScheduleShape shape, int row, int baseYear) const;
};

// Builds the group box of `group`: the linear method chosen, "插值" no default button.
QWidget* interpolationGroup(InterpolationGroup& group, const InterpolationNames& names, const InterpolationForm& form);

// Calls `handler` when the user double-clicks `box`, its text field included; the box goes on
// handling the click as it would.
void onDoubleClick(QSpinBox* box, std::function<void()> handler);

}  // namespace zandor::ui
