#include "ui/analysis/life_table_result.h"

#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>
#include <filesystem>

#include "analysis/life_table_save.h"
#include "tables/xlsx_writer.h"
#include "ui/analysis/survival_chart.h"
#include "ui/charts/graph.h"
#include "ui/common/button_row.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

TLife_table_result::TLife_table_result(Session& session, analysis::LifeTable table, QWidget* parent)
    : QDialog(parent),
      session_(session),
      table_(std::move(table)),
      tableFolder_(QString::fromStdString(std::filesystem::path(session.table().path()).parent_path().string()))
{
    setObjectName(QStringLiteral("Life_table_result"));
    setWindowTitle(QStringLiteral("生命表"));

    const text::TextGrid grid = analysis::lifeTableGrid(table_);
    StringGrid1 = new QTableWidget(grid.rowCount(), grid.columnCount(), this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont headingFont = StringGrid1->font();
    headingFont.setBold(true);
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(grid.cell(r, c)));
            // Numbers line up at the right; the heading row and the group index stand out.
            item->setTextAlignment(Qt::AlignVCenter | (c == 0 || r == 0 ? Qt::AlignHCenter : Qt::AlignRight));
            if (r == 0) {
                item->setFont(headingFont);
                item->setBackground(palette().button());
            }
            StringGrid1->setItem(r, c, item);
        }
    }
    StringGrid1->resizeColumnsToContents();
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    BitBtn3 = new QPushButton(QStringLiteral("图形"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn1 = new QPushButton(QStringLiteral("保存"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn4 = new QPushButton(QStringLiteral("导出Excel"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn3, &QPushButton::clicked, this, &TLife_table_result::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TLife_table_result::BitBtn1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TLife_table_result::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TLife_table_result::BitBtn2Click);

    auto* buttons = buttonRow({BitBtn3, BitBtn1, BitBtn4, BitBtn2});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1);
    layout->addLayout(buttons);
    resize(720, 520);
}

TGraph* TLife_table_result::chartWindow() const { return chart_; }

// The survival curve in a new chart window, shown modally.
void TLife_table_result::BitBtn3Click()
{
    chart_ = new TGraph(session_.charts, session_.edition(), this);
    describeSurvivalChart(table_, chart_->editChart());
    chart_->setWindowModality(Qt::ApplicationModal);
    chart_->show();
}

// Saves the grid, heading row included, as a new Paradox table under the chosen name; an
// existing file is refused. Both outcomes are told in a box with a Cancel button.
void TLife_table_result::BitBtn1Click()
{
    const QString name = Prompts::saveFileName(this, QStringLiteral("Paradox (*.db *.DB)"), QStringLiteral("db"));
    if (name.isEmpty())
        return;
    text::TextGrid grid(StringGrid1->rowCount(), StringGrid1->columnCount());
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c)
            if (const QTableWidgetItem* item = StringGrid1->item(r, c))
                grid.setCell(r, c, item->text().toStdString());
    const std::string path = analysis::lifeTableSavePath(name.toStdString(), tableFolder_.toStdString());
    try {
        analysis::saveLifeTableGrid(grid, path);
    } catch (const std::exception& e) {
        Prompts::informationWithCancel(this, QString::fromStdString(e.what()));
        return;
    }
    Prompts::informationWithCancel(this, QString::fromUtf8(analysis::kLifeTableSaved));
}

// The table as an Excel workbook: the heading row, then one row per age group with the
// values in full, each column shown with as many decimals as this window shows.
void TLife_table_result::BitBtn4Click()
{
    const QString name = Prompts::saveFileName(this, QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (name.isEmpty())
        return;
    tables::XlsxSheetSpec sheet;
    sheet.name = "生命表";
    for (int c = 0; c < StringGrid1->columnCount(); ++c) {
        sheet.header.push_back(StringGrid1->item(0, c)->text().toStdString());
        int decimals = -1;
        if (c > 0 && StringGrid1->rowCount() > 1) {
            const QString shown = StringGrid1->item(1, c)->text();
            const qsizetype point = shown.indexOf(QLatin1Char('.'));
            decimals = point < 0 ? 0 : static_cast<int>(shown.size() - point - 1);
        }
        sheet.decimals.push_back(decimals);
    }
    std::size_t k = 0;
    sheet.nextRow = [&](tables::Record& row) {
        if (k >= table_.groupCount())
            return false;
        row.assign(1, static_cast<std::int64_t>(k));
        for (const auto* column : {&table_.mx, &table_.qx, &table_.lx, &table_.dx, &table_.Lx, &table_.Tx, &table_.ex})
            row.emplace_back((*column)[k]);
        ++k;
        return true;
    };
    try {
        tables::writeXlsxFile(name.toStdString(), {sheet});
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
}

void TLife_table_result::BitBtn2Click() { close(); }

}  // namespace zandor::ui
