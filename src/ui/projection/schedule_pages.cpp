#include "ui/projection/schedule_pages.h"

#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>
#include <utility>

#include "projection/urban_rural_inputs.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/projection/schedule_grid.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

// Watches a year box and the text field inside it for double-clicks.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QSpinBox* box, std::function<void()> handler)
        : QObject(box), box_(box), handler_(std::move(handler))
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

void InterpolationGroup::interpolateOn(QWidget* dialog, ScheduleGrid* other, int baseYear) const
{
    other->commitPendingEdit();
    text::TextGrid& cells = other->gridModel()->grid();
    const int row = shape != ScheduleShape::Row ? 0 : selectedRow ? *selectedRow : 1;
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
    other->gridModel()->reload();
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

void connectYears(QObject* dialog, QSpinBox* baseYear, QSpinBox* endYear, QTabWidget* pageControl,
                  const YearHandlers& handlers)
{
    QObject::connect(baseYear, &QSpinBox::valueChanged, dialog, handlers.baseChange);
    QObject::connect(endYear, &QSpinBox::valueChanged, dialog, handlers.endChange);
    onDoubleClick(baseYear, handlers.baseDoubleClick);
    onDoubleClick(endYear, handlers.endDoubleClick);
    QObject::connect(pageControl, &QTabWidget::currentChanged, dialog, handlers.pageChange);
}

QTabWidget* pageControl(QDialog* dialog, const QString& title)
{
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    auto* pages = named(new QTabWidget(dialog), "PageControl1");
    layout->addWidget(pages);
    return pages;
}

void runButtons(QWidget* page, QBoxLayout* layout, const QString& runCaption, QPushButton*& run,
                QPushButton*& cancel)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    run = named(new QPushButton(runCaption, page), "BitBtn2");
    cancel = named(new QPushButton(QStringLiteral("取消"), page), "BitBtn1");
    for (QPushButton* button : {run, cancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

void SchedulePages::setControls(QSpinBox* baseYear, QSpinBox* endYear, QPushButton* run,
                                std::vector<ScheduleGrid*> grids, std::vector<const InterpolationGroup*> groups)
{
    baseYear_ = baseYear;
    endYear_ = endYear;
    run_ = run;
    grids_ = std::move(grids);
    groups_ = std::move(groups);
    for (ScheduleGrid* grid : grids_)
        QObject::connect(grid->model(), &QAbstractItemModel::dataChanged, grid, [this] { typed_ = true; });
}

int SchedulePages::baseYear() const { return baseYear_->value(); }
int SchedulePages::endYear() const { return endYear_->value(); }

void SchedulePages::reloadGrids() const
{
    for (ScheduleGrid* grid : grids_)
        grid->gridModel()->reload();
}

void SchedulePages::commitEdits() const
{
    for (ScheduleGrid* grid : grids_)
        grid->commitPendingEdit();
}

void SchedulePages::yearsChanged()
{
    session_.yearsChanged = true;
    run_->setEnabled(false);
}

void SchedulePages::rebuildYears(QWidget* dialog, const std::function<std::vector<std::string>()>& rebuild)
{
    commitEdits();
    const bool wasChanged = session_.yearsChanged;
    try {
        const std::vector<std::string> refusals = rebuild();
        reloadGrids();
        for (const std::string& refusal : refusals)
            Prompts::information(dialog, QString::fromStdString(refusal));
    } catch (const std::exception& e) {
        reloadGrids();
        const QString refusal = QString::fromStdString(e.what());
        if (refusal != refusalShown_)
            Prompts::information(dialog, refusal);
        refusalShown_ = refusal;
        return;
    }
    refusalShown_.clear();
    if (wasChanged && !session_.yearsChanged) {
        session_.projectionYearCount = endYear() - baseYear();
        run_->setEnabled(true);
    }
    for (const InterpolationGroup* group : groups_)
        group->fitYears(baseYear(), endYear());
}

}  // namespace zandor::ui
