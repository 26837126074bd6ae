#include "ui/tables/new_table.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <exception>

#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"
#include "ui/tables/structure_grid.h"

namespace zandor::ui {
namespace {

const QString kFileExists = QStringLiteral(" 文件已存在.");
const QString kSaveFilter = QStringLiteral("*.db (*.db);;*.dbf (*.dbf)");
const QString kSaveSuffix = QStringLiteral("db");
const QString kRemarks = QStringLiteral("以下字段名按文件格式作了调整:\n%1");

}  // namespace

QString fieldNameDefineError() { return QStringLiteral("Field Name Define Error!"); }

void showFormatRemarks(QWidget* parent, const std::vector<std::string>& remarks)
{
    if (remarks.empty())
        return;
    QStringList lines;
    for (const auto& remark : remarks)
        lines << QString::fromStdString(remark);
    Prompts::information(parent, kRemarks.arg(lines.join(QLatin1Char('\n'))));
}

TNew_Table_Frm::TNew_Table_Frm(Session& session, OpenTable openTable, QWidget* parent)
    : QDialog(parent), session_(session), openTable_(std::move(openTable))
{
    setObjectName(QStringLiteral("New_Table_Frm"));
    setWindowTitle(QStringLiteral("定义数据结构"));
    resize(480, 380);

    StringGrid1 = new StructureGrid(StructureGrid::Kind::NewTable, this);
    QFrame* headings = structureHeadings(this, *StringGrid1,
                                         {QStringLiteral("字段号"), QStringLiteral("字段名"),
                                          QStringLiteral("字段类型"), QStringLiteral("字段宽度")});

    auto button = [this](const char* name, const QString& caption, void (TNew_Table_Frm::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Button2 = button("Button2", QStringLiteral("插入字段"), &TNew_Table_Frm::Button2Click);
    Button3 = button("Button3", QStringLiteral("删除字段"), &TNew_Table_Frm::Button3Click);
    Button5 = button("Button5", QStringLiteral("创建"), &TNew_Table_Frm::Button5Click);
    Button6 = button("Button6", QStringLiteral("取消"), &TNew_Table_Frm::Button6Click);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Button2, Button3, Button5, Button6})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headings);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}

void TNew_Table_Frm::Button2Click()
{
    const int row = StringGrid1->currentRow();
    if (row < 0 || StringGrid1->cell(row, 1).isEmpty() || StringGrid1->cell(row, 2).isEmpty())
        return;
    StringGrid1->insertEmptyRow(row);
    StringGrid1->setCurrentCell(row, 1);
}

void TNew_Table_Frm::Button3Click()
{
    const int row = StringGrid1->currentRow();
    if (row < 0)
        return;
    StringGrid1->removeFieldRow(row);
    // The grid keeps one row to type the next field into.
    if (StringGrid1->rowCount() == 0) {
        StringGrid1->insertEmptyRow(0);
        StringGrid1->setCurrentCell(0, 1);
    }
}

void TNew_Table_Frm::Button5Click()
{
    const auto rows = StringGrid1->rows();
    bool duplicates = false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (rows[i].name == rows[j].name) {
                Prompts::information(this, fieldNameDefineError());
                duplicates = true;
            }
    if (duplicates)
        return;
    const QString path = Prompts::saveFileName(this, kSaveFilter, kSaveSuffix);
    if (!path.isEmpty())
        createTable(QString::fromStdString(tables::withDefaultExtension(path.toStdString())));
    session_.structureEditorMode = Session::StructureEditorMode::None;
}

void TNew_Table_Frm::createTable(const QString& path)
{
    if (QFileInfo::exists(path)) {
        if (session_.edition() != Edition::Target)
            Prompts::information(this, kFileExists);
        return;
    }
    session_.structureEditorMode = Session::StructureEditorMode::None;
    const int last = StringGrid1->rowCount() - 1;
    if (last > 0 && StringGrid1->cell(last, 1).isEmpty())
        StringGrid1->removeFieldRow(last);

    const std::string statement =
        "Create table \"" + path.toStdString() + "\" " + createFieldList(StringGrid1->rows());
    std::vector<std::string> remarks;
    try {
        remarks = tables::runStatement(statement);
    } catch (const tables::TableExists&) {
        // Another program created the table at this name meanwhile; it is kept.
        if (session_.edition() != Edition::Target)
            Prompts::information(this, kFileExists);
        return;
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    if (openTable_(path))
        showFormatRemarks(this, remarks);
}

void TNew_Table_Frm::Button6Click()
{
    session_.structureEditorMode = Session::StructureEditorMode::None;
    close();
}

}  // namespace zandor::ui
