#include "ui/app/navigator.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "ui/common/icons.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/table_model.h"

namespace zandor::ui {

Navigator::Navigator(DataGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid)
{
    setObjectName(QStringLiteral("DBNavigator1"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    auto button = [&](const char* name, IconKind kind, const QString& hint, void (DataGrid::*command)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(icon(kind));
        b->setIconSize(QSize(18, 18));
        b->setToolTip(hint);
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, &grid_, command);
        layout->addWidget(b);
        return b;
    };
    first_ = button("nbFirst", IconKind::First, QStringLiteral("第一条记录"), &DataGrid::firstRecord);
    prior_ = button("nbPrior", IconKind::Prior, QStringLiteral("上一条记录"), &DataGrid::priorRecord);
    next_ = button("nbNext", IconKind::Next, QStringLiteral("下一条记录"), &DataGrid::nextRecord);
    last_ = button("nbLast", IconKind::Last, QStringLiteral("最后一条记录"), &DataGrid::lastRecord);
    insert_ = button("nbInsert", IconKind::Insert, QStringLiteral("插入记录"), &DataGrid::insertRecord);
    delete_ = button("nbDelete", IconKind::Delete, QStringLiteral("删除记录"), &DataGrid::deleteRecord);
    edit_ = button("nbEdit", IconKind::Edit, QStringLiteral("编辑记录"), &DataGrid::editRecord);
    post_ = button("nbPost", IconKind::Post, QStringLiteral("保存修改"), &DataGrid::postRecord);
    cancel_ = button("nbCancel", IconKind::Cancel, QStringLiteral("取消修改"), &DataGrid::cancelRecord);
    refresh_ = button("nbRefresh", IconKind::Refresh, QStringLiteral("刷新数据"), &DataGrid::refreshRecords);
    layout->addStretch(1);
    connect(&grid_, &DataGrid::recordStateChanged, this, &Navigator::updateButtons);
    updateButtons();
}

void Navigator::updateButtons()
{
    const TableModel* model = grid_.tableModel();
    const int rows = model->rowCount();
    const int row = grid_.currentIndex().isValid() ? grid_.currentIndex().row() : -1;
    const bool open = model->columnCount() > 0;
    const bool editing = model->editRow() >= 0;
    const bool writable = open && !model->readOnly();
    first_->setEnabled(open && row > 0);
    prior_->setEnabled(open && row > 0);
    next_->setEnabled(open && row >= 0 && row < rows - 1);
    last_->setEnabled(open && row >= 0 && row < rows - 1);
    insert_->setEnabled(writable);
    delete_->setEnabled(writable && row >= 0);
    edit_->setEnabled(writable && row >= 0 && !editing);
    post_->setEnabled(editing);
    cancel_->setEnabled(editing);
    refresh_->setEnabled(open && !editing);
}

}  // namespace zandor::ui
