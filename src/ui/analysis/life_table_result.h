// The life-table result window (unit Life_table_result1): the eight-column table, the
// survival chart ("图形"), saving as a Paradox table ("保存") and closing ("取消").
#pragma once

#include <QDialog>
#include <QString>

#include "analysis/life_table.h"

class QPushButton;
class QTableWidget;

namespace zandor::ui {

class TLife_table_result : public QDialog {
    Q_OBJECT
public:
    // `tableFolder` is the folder of the current table: a save name without a folder lies
    // there.
    TLife_table_result(analysis::LifeTable table, QString tableFolder, QWidget* parent = nullptr);

    const analysis::LifeTable& lifeTable() const { return table_; }

    QTableWidget* StringGrid1 = nullptr;
    QPushButton* BitBtn3 = nullptr;  // 图形
    QPushButton* BitBtn1 = nullptr;  // 保存
    QPushButton* BitBtn2 = nullptr;  // 取消

public slots:
    void BitBtn3Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    analysis::LifeTable table_;
    QString tableFolder_;
};

}  // namespace zandor::ui
