// The 数据管理 menu: preparing population tables, the structure display and restructuring,
// format conversion and the field calculator.
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <exception>

#include "tables/prepared.h"
#include "tables/table.h"
#include "text/refusal.h"
#include "ui/app/main_window.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"
#include "ui/session/structure_rows.h"
#include "ui/tables/compute_frm.h"
#include "ui/tables/convert_table.h"
#include "ui/tables/table_info.h"
#include "ui/tables/table_restructure.h"

namespace zandor::ui {
namespace {

const QString kSaveFilter = QStringLiteral("DB (*.DB *.db);;DBF (*.dbf *.DBF)");
const QString kSaveSuffix = QStringLiteral("DB");
const QString kRemarks = QStringLiteral("数据表已创建，以下字段名按文件格式作了调整:\n%1");

}  // namespace

QMenu* Tvendol::buildDataMenu()
{
    QMenu* data = addSubmenu(menuBar(), "DataManagement1", QStringLiteral("数据管理（&D）"));
    QMenu* prepare = addSubmenu(data, "N9", QStringLiteral("数据准备(&P)"));
    addCommand(prepare, "N10", QStringLiteral("单区域(&S)"), &Tvendol::N10Click);
    addCommand(prepare, "N11", QStringLiteral("分城乡(&U)"), &Tvendol::N11Click);
    addCommand(data, "Table_info", QStringLiteral("表结构(&T)"), &Tvendol::Table_infoClick);
    addCommand(data, "Restructure1", QStringLiteral("修改表结构(&R)"), &Tvendol::Restructure1Click);
    addCommand(data, "Convert1", QStringLiteral("格式转换(&V)"), &Tvendol::Convert1Click);
    addCommand(data, "Compute1", QStringLiteral("计算(&C)"), &Tvendol::Compute1Click);
    return data;
}

void Tvendol::preparePopulationTable(bool urbanRural)
{
    // The current table is closed before the file is asked for, also when the user then
    // cancels. An edit that cannot be stored keeps the table open instead of being lost.
    if (!closeTable())
        return;
    QString path = Prompts::saveFileName(this, kSaveFilter, kSaveSuffix);
    if (path.isEmpty())
        return;
    path = QString::fromStdString(tables::withDefaultExtension(path.toStdString()));
    tables::PreparedTable prepared;
    try {
        prepared = tables::preparePopulationTable(
            path.toStdString(),
            urbanRural ? tables::PopulationSchema::RuralUrban : tables::PopulationSchema::SingleRegion,
            session_->edition());
    } catch (const Refusal& refusal) {
        Prompts::information(this, QString::fromStdString(refusal.what()));
        return;
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    if (!openTable(QString::fromStdString(prepared.path)))
        return;
    if (!prepared.remarks.empty()) {
        QStringList remarks;
        for (const auto& remark : prepared.remarks)
            remarks << QString::fromStdString(remark);
        Prompts::information(this, kRemarks.arg(remarks.join(QLatin1Char('\n'))));
    }
}

void Tvendol::N10Click() { preparePopulationTable(false); }

void Tvendol::N11Click() { preparePopulationTable(true); }

void Tvendol::Table_infoClick()
{
    openDialog([this] {
        auto* form = new TTable_info_frm(this);
        form->fill(structureRows(session_->table().fields()));
        return form;
    });
}

void Tvendol::Restructure1Click()
{
    if (!passesTableCheck(TableCheck::RequiredShort) || !postPendingEdit())
        return;
    session_->structureEditorMode = Session::StructureEditorMode::Restructure;
    const auto rows = structureRows(session_->table().fields());
    openDialog(
        [this, &rows] {
            auto* dialog = new TTable_Restructure_Frm(*session_, [this](const QString& path) { return openTable(path); },
                                                      this);
            dialog->fill(rows);
            return dialog;
        },
        {TableCheck::None});
    session_->structureSnapshot = structureSnapshot(rows);
}

void Tvendol::Convert1Click()
{
    if (session_->tableOpen() && !postPendingEdit())
        return;
    openDialog([this] {
        auto* dialog = new Tconvert_table_frm(this);
        dialog->Edit1->setText(session_->currentTableName);
        return dialog;
    });
}

void Tvendol::Compute1Click()
{
    if (session_->tableOpen() && !postPendingEdit())
        return;
    openDialog([this] { return new Tcompute_Frm(*session_, this); });
}

}  // namespace zandor::ui
