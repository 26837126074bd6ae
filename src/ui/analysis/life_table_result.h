// The life-table result window (unit Life_table_result1): the eight-column table, the
// survival chart ("图形"), saving as a Paradox table ("保存"), as an Excel workbook
// ("导出Excel") and closing ("取消").
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include "analysis/life_table.h"

class QPushButton;
class QTableWidget;

namespace zandor::ui {

class Session;
class TGraph;

class TLife_table_result : public QDialog {
    Q_OBJECT
public:
    // Shows `table`, computed from the session's current table: a save name without a folder
    // lies in that table's folder, and the chart window is made with the session's chart
    // settings.
    TLife_table_result(Session& session, analysis::LifeTable table, QWidget* parent = nullptr);

    const analysis::LifeTable& lifeTable() const { return table_; }

    QTableWidget* StringGrid1 = nullptr;
    QPushButton* BitBtn3 = nullptr;  // 图形
    QPushButton* BitBtn1 = nullptr;  // 保存
    QPushButton* BitBtn4 = nullptr;  // 导出Excel
    QPushButton* BitBtn2 = nullptr;  // 取消

public slots:
    void BitBtn3Click();
    void BitBtn1Click();
    void BitBtn4Click();
    void BitBtn2Click();

    // The chart window of the latest "图形" (owned by this window; null before).
    TGraph* chartWindow() const;

private:
    Session& session_;
    analysis::LifeTable table_;
    QPointer<TGraph> chart_;
    QString tableFolder_;
};

}  // namespace zandor::ui
