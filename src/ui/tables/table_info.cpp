#include "ui/tables/table_info.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/tables/structure_grid.h"

namespace zandor::ui {

void fillStructureGrid(QTableWidget& grid, const std::vector<StructureRow>& rows)
{
    grid.clearContents();
    grid.setColumnCount(4);
    grid.setRowCount(std::max(1, static_cast<int>(rows.size())));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        const std::string* cells[] = {&row.number, &row.name, &row.typeName, &row.width};
        for (int c = 0; c < 4; ++c)
            grid.setItem(r, c, new QTableWidgetItem(QString::fromStdString(*cells[c])));
    }
}

TTable_info_frm::TTable_info_frm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Table_info_frm"));
    setWindowTitle(QStringLiteral("表结构"));
    resize(460, 360);

    StringGrid1 = new QTableWidget(this);
    shapeStructureGrid(*StringGrid1);
    StringGrid1->setRowCount(1);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->viewport()->installEventFilter(this);

    // The headings stand over the grid's columns; a click on them closes the window too.
    QFrame* panel = structureHeadings(this, *StringGrid1,
                                      {QStringLiteral("字段号:"), QStringLiteral("字段名"), QStringLiteral("字段类型"),
                                       QStringLiteral("字段宽度")});
    for (QLabel* label : panel->findChildren<QLabel*>())
        label->installEventFilter(this);
    panel->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(StringGrid1, 1);
    setMinimumWidth(440);
}

void TTable_info_frm::fill(const std::vector<StructureRow>& rows) { fillStructureGrid(*StringGrid1, rows); }

bool TTable_info_frm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TTable_info_frm::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace zandor::ui
