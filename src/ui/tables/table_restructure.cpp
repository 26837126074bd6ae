#include "ui/tables/table_restructure.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <exception>

#include "tables/statements.h"
#include "tables/table_error.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"
#include "ui/tables/new_table.h"
#include "ui/tables/structure_grid.h"

namespace zandor::ui {
namespace {

const QString kConfirmDrops =
    QStringLiteral("以下字段将从数据表中删除，其中的数据将全部丢失:\n%1\n(改名的字段也按删除旧字段、增加新的空字段处理.)\n确认修改吗?");
const QString kNoFieldLeft = QStringLiteral("数据表至少要保留一个字段.");
const QString kBadDefinition = QStringLiteral("字段定义 \"%1\" 有误，数据表没有修改:\n%2");

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TTable_Restructure_Frm::TTable_Restructure_Frm(Session& session, OpenTable openTable, QWidget* parent)
    : QDialog(parent), session_(session), openTable_(std::move(openTable))
{
    setObjectName(QStringLiteral("Table_Restructure_Frm"));
    setWindowTitle(QStringLiteral("表结构修改"));
    resize(480, 380);

    StringGrid1 = new StructureGrid(StructureGrid::Kind::Restructure, this);
    QFrame* headings = structureHeadings(this, *StringGrid1,
                                         {QStringLiteral("字段号"), QStringLiteral("字段名"),
                                          QStringLiteral("字段类型"), QStringLiteral("字段号宽度")});
    Button5 = new QPushButton(QStringLiteral("确认"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button6 = new QPushButton(QStringLiteral("取消"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    for (QPushButton* b : {Button5, Button6})
        b->setAutoDefault(false);
    connect(Button5, &QPushButton::clicked, this, &TTable_Restructure_Frm::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TTable_Restructure_Frm::Button6Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button5);
    buttons->addWidget(Button6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headings);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}

void TTable_Restructure_Frm::fill(const std::vector<StructureRow>& rows) { StringGrid1->setRows(rows); }

void TTable_Restructure_Frm::Button5Click()
{
    const RestructurePlan plan = planRestructure(session_.structureSnapshot, StringGrid1->rows());
    if (!planIsSound(plan))
        return;
    if (!plan.drops.empty()) {
        QStringList names;
        for (const auto& name : plan.drops)
            names << QString::fromStdString(name);
        if (!Prompts::confirm(this, kConfirmDrops.arg(names.join(QLatin1Char('\n')))))
            return;
    }
    if (!plan.additions.empty() || !plan.drops.empty())
        apply(plan);
    session_.structureEditorMode = Session::StructureEditorMode::None;
    close();
}

bool TTable_Restructure_Frm::planIsSound(const RestructurePlan& plan)
{
    const auto rows = StringGrid1->rows();
    bool duplicates = false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (!rows[i].name.empty() && tables::sameFieldName(rows[i].name, rows[j].name)) {
                Prompts::information(this, fieldNameDefineError());
                duplicates = true;
            }
    if (duplicates)
        return false;

    const tables::TableFormat format = session_.table().format();
    for (const std::string& definition : plan.additions) {
        try {
            const tables::FieldDef def = tables::parseFieldDef(definition);
            if (def.kind == tables::FieldKind::Char && (def.size < 1 || def.size > tables::maxCharWidth(format)))
                throw tables::TableError("the width of a char field is 1 to "
                                         + std::to_string(tables::maxCharWidth(format)));
        } catch (const std::exception& e) {
            Prompts::information(this, kBadDefinition.arg(QString::fromStdString(definition),
                                                          QString::fromStdString(e.what())));
            return false;
        }
    }
    if (plan.additions.empty() && plan.drops.size() == session_.structureSnapshot.size()) {
        Prompts::information(this, kNoFieldLeft);
        return false;
    }
    return true;
}

void TTable_Restructure_Frm::apply(const RestructurePlan& plan)
{
    const std::string path = session_.table().path();
    const QString name = session_.currentTableName;
    try {
        session_.closeCurrentTable();
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    std::vector<std::string> statements;
    for (const auto& definition : plan.additions)
        statements.push_back("alter table " + quotedPath(path) + " add " + definition);
    for (const auto& field : plan.drops)
        statements.push_back("alter table " + quotedPath(path) + " drop " + field);
    std::vector<std::string> remarks;
    try {
        for (const auto& statement : statements) {
            auto more = tables::runStatement(statement);
            remarks.insert(remarks.end(), more.begin(), more.end());
        }
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
    if (openTable_(name))
        showFormatRemarks(this, remarks);
}

void TTable_Restructure_Frm::Button6Click()
{
    session_.structureEditorMode = Session::StructureEditorMode::None;
    close();
}

}  // namespace zandor::ui
