// TTable_info_frm: shows the structure of the current table (number, name, type, width of
// every field). A click anywhere on it closes it.
#pragma once

#include <QDialog>

#include <vector>

#include "ui/session/structure_rows.h"

class QTableWidget;

namespace zandor::ui {

class TTable_info_frm : public QDialog {
    Q_OBJECT
public:
    explicit TTable_info_frm(QWidget* parent = nullptr);

    // One grid row per field from row 0; an empty grid keeps one empty row.
    void fill(const std::vector<StructureRow>& rows);

    QTableWidget* StringGrid1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// Fills a four-column structure grid as the structure and restructure dialogs show it.
void fillStructureGrid(QTableWidget& grid, const std::vector<StructureRow>& rows);

}  // namespace zandor::ui
