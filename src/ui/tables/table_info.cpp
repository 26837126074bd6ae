#include "ui/tables/table_info.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setColumnCount(4);
    StringGrid1->setRowCount(1);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[] = {70, 160, 100, 80};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->viewport()->installEventFilter(this);

    // The headings stand over the grid's columns.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* headings = new QHBoxLayout(panel);
    const int inset = StringGrid1->frameWidth();
    headings->setContentsMargins(inset + 4, 6, 4, 6);
    headings->setSpacing(0);
    const QString captions[] = {QStringLiteral("字段号:"), QStringLiteral("字段名"), QStringLiteral("字段类型"),
                                QStringLiteral("字段宽度")};
    for (int c = 0; c < 4; ++c) {
        auto* label = new QLabel(captions[c], panel);
        label->setObjectName(QStringLiteral("Label%1").arg(c + 1));
        label->setFixedWidth(widths[c]);
        label->installEventFilter(this);
        headings->addWidget(label);
    }
    headings->addStretch(1);
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
