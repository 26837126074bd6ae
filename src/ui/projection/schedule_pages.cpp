#include "ui/projection/schedule_pages.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <exception>
#include <utility>

#include "projection/urban_rural_inputs.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/projection/schedule_grid.h"

namespace zandor::ui {

namespace {

// Watches a year box and the text field inside it for double-clicks.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QSpinBox* box, std::function<void()> handler) : QObject(box), box_(box), handler_(std::move(handler))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick && (watched == box_ || watched->parent() == box_))
            handler_();
        return false;
    }

private:
    QSpinBox* box_;
    std::function<void()> handler_;
};

}  // namespace

projection::InterpolationMethod InterpolationGroup::method() const
{
    if (copy->isChecked())
        return projection::InterpolationMethod::Copy;
    if (exponential && exponential->isChecked())
        return projection::InterpolationMethod::Exponential;
    return projection::InterpolationMethod::Linear;
}

void InterpolationGroup::fitYears(int baseYear, int endYear) const
{
    const projection::InterpolationBoxes limits = projection::interpolationBoxes(baseYear, endYear);
    start->setRange(limits.startMinimum, limits.startMaximum);
    start->setValue(limits.startValue);
    end->setRange(limits.endMinimum, limits.endMaximum);
    end->setValue(limits.endValue);
}

void InterpolationGroup::interpolate(QWidget* dialog, ScheduleGrid* grid, ScheduleShape shape, int row,
                                     int baseYear) const
{
    grid->commitPendingEdit();
    text::TextGrid& cells = grid->gridModel()->grid();
    // A row this grid lacks reads as an empty cell, which is no number.
    if (row >= cells.rowCount()) {
        Prompts::information(
            dialog, QStringLiteral("本页表格没有第 %1 行 (选中的行在另一页的表格里): 请先在本页表格中选择要插值的行.").arg(row));
        return;
    }
    try {
        switch (shape) {
        case ScheduleShape::Row:
            projection::interpolateRow(cells, row, baseYear, start->value(), end->value(), method());
            break;
        case ScheduleShape::Pattern:
            projection::interpolatePattern(cells, baseYear, start->value(), end->value(), method());
            break;
        case ScheduleShape::MoverShares:
            projection::interpolateMoverShares(cells, baseYear, start->value(), end->value(), method());
            break;
        }
    } catch (const std::exception& e) {
        Prompts::information(dialog, QString::fromStdString(e.what()));
    }
    grid->gridModel()->reload();
}

QWidget* interpolationGroup(InterpolationGroup& group, const InterpolationNames& names, const InterpolationForm& form)
{
    auto* box = new QGroupBox(QStringLiteral("插值"));
    auto* layout = new QGridLayout(box);
    group.start = spinBox(box, names.start, form.boxes.startMinimum, form.boxes.startMaximum, form.boxes.startValue);
    group.end = spinBox(box, names.end, form.boxes.endMinimum, form.boxes.endMaximum, form.boxes.endValue);
    group.linear = named(new QRadioButton(QStringLiteral("线性插值"), box), names.linear);
    if (names.exponential)
        group.exponential = named(new QRadioButton(QStringLiteral("指数插值"), box), names.exponential);
    group.copy = named(new QRadioButton(QStringLiteral("复制"), box), names.copy);
    group.linear->setChecked(true);
    group.button = named(new QPushButton(QStringLiteral("插值"), box), names.button);
    group.button->setAutoDefault(false);
    layout->addWidget(new QLabel(form.startLabel, box), 0, 0);
    layout->addWidget(group.start, 0, 1);
    layout->addWidget(new QLabel(form.endLabel, box), 1, 0);
    layout->addWidget(group.end, 1, 1);
    int row = 0;
    for (QRadioButton* method : {group.linear, group.exponential, group.copy}) {
        if (method)
            layout->addWidget(method, row++, 2);
    }
    layout->addWidget(group.button, 0, 3, 3, 1, Qt::AlignVCenter);
    layout->setColumnStretch(4, 1);
    return box;
}

void onDoubleClick(QSpinBox* box, std::function<void()> handler)
{
    auto* filter = new DoubleClickFilter(box, std::move(handler));
    box->installEventFilter(filter);
    for (QObject* child : box->children()) {
        if (child != filter)
            child->installEventFilter(filter);
    }
}

}  // namespace zandor::ui
