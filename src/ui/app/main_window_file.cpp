// The 文件 menu: new table, open, import a CSV file or workbook, export as a workbook, the projection wizard, save, close and exit.
#include <QMenu>
#include <QMenuBar>

#include <exception>

#include "tables/table.h"
#include "tables/table_file.h"
#include "tables/xlsx_writer.h"
#include "ui/app/main_window.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"
#include "ui/tables/import_table.h"
#include "ui/tables/new_table.h"
#include "ui/wizard/wizard_frm.h"

namespace zandor::ui {
namespace {

const QString kOpenFilter = QStringLiteral("*.db (*.db *.DB);;*.dbf (*.dbf *.DBF)");

}  // namespace

QMenu* Tvendol::buildFileMenu()
{
    QMenu* file = addSubmenu(menuBar(), "Flie1", QStringLiteral("文件（&F）"));
    addCommand(file, "New1", QStringLiteral("新建(&N)"), &Tvendol::New1Click);
    addCommand(file, "Open1", QStringLiteral("打开(&O)"), &Tvendol::Open1Click);
    addCommand(file, "Import1", QStringLiteral("导入(&I)…"), &Tvendol::Import1Click);
    addCommand(file, "Export1", QStringLiteral("导出(&E)…"), &Tvendol::Export1Click);
    addCommand(file, "N8", QStringLiteral("预测向导(&Y)"), &Tvendol::N8Click);
    addCommand(file, "Save1", QStringLiteral("保存(&S)"), &Tvendol::Save1Click);
    addCommand(file, "Close1", QStringLiteral("关闭(&C)"), &Tvendol::Close1Click);
    addCommand(file, "Exit1", QStringLiteral("退出(&X)"), &Tvendol::Exit1Click);
    return file;
}

void Tvendol::New1Click()
{
    session_->structureEditorMode = Session::StructureEditorMode::Define;
    openDialog([this] { return new TNew_Table_Frm(*session_, [this](const QString& path) { return openTable(path); }, this); },
               {TableCheck::None});
}

void Tvendol::Open1Click()
{
    const QString name = Prompts::openFileName(this, kOpenFilter);
    if (name.isEmpty())
        return;
    openTable(name);
}

void Tvendol::Import1Click()
{
    openDialog([this] { return new TImport_Frm([this](const QString& path) { return openTable(path); }, this); },
               {TableCheck::None});
}

// The open table, as it is on disk with the edit in progress stored, as an Excel workbook.
void Tvendol::Export1Click()
{
    if (!passesTableCheck(TableCheck::Required) || !postPendingEdit())
        return;
    const QString name = Prompts::saveFileName(this, QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (name.isEmpty())
        return;
    try {
        tables::writeTableXlsx(session_->table().file(), name.toStdString());
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
}

void Tvendol::N8Click()
{
    // 人口预测向导 第一步: without a table, and the main window stays usable.
    openDialog([this] { return new Tdefine_wizard_frm(*session_, DBGrid1, this); }, {TableCheck::None, Qt::NonModal});
}

void Tvendol::Save1Click()
{
    if (!session_->table().isOpen())
        return;
    if (!postPendingEdit())
        return;
    try {
        session_->table().file().flush();
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
}

void Tvendol::Close1Click() { closeTable(); }

void Tvendol::Exit1Click() { close(); }

}  // namespace zandor::ui
