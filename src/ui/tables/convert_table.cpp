#include "ui/tables/convert_table.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <vector>

#include "tables/batch_move.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/tables/new_table.h"

namespace zandor::ui {
namespace {

struct TargetKind {
    QString item;
    tables::TableFormat format;
    QString filter;
    QString suffix;
};

// In the order of ComboBox2's items; a typed text that is no item converts to ASCII text.
const TargetKind kKinds[] = {
    {QStringLiteral("ASCII"), tables::TableFormat::Ascii, QStringLiteral("ASCII (*.txt)"), QStringLiteral("txt")},
    {QStringLiteral("DBase"), tables::TableFormat::DBase, QStringLiteral("DBase (*.dbf)"), QStringLiteral("dbf")},
    {QStringLiteral("FoxPro"), tables::TableFormat::FoxPro, QStringLiteral("FoxPro (*.dbf)"), QStringLiteral("dbf")},
    {QStringLiteral("Paradox"), tables::TableFormat::Paradox, QStringLiteral("Paradox (*.db)"), QStringLiteral("db")},
};

}  // namespace

Tconvert_table_frm::Tconvert_table_frm(QWidget* parent) : QDialog(parent), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("convert_table_frm"));
    setWindowTitle(QStringLiteral("数据格式转换"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(300);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    for (const TargetKind& kind : kKinds)
        ComboBox2->addItem(kind.item);
    ComboBox2->setCurrentIndex(0);
    Button1 = new QPushButton(QStringLiteral("确认"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &Tconvert_table_frm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tconvert_table_frm::Button2Click);

    auto* label1 = new QLabel(QStringLiteral("源数据表名"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* label2 = new QLabel(QStringLiteral("目标数据格式:"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* form = new QGridLayout;
    form->addWidget(label1, 0, 0);
    form->addWidget(Edit1, 0, 1);
    form->addWidget(label2, 1, 0);
    form->addWidget(ComboBox2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void Tconvert_table_frm::Button1Click()
{
    const int index = ComboBox2->findText(ComboBox2->currentText(), Qt::MatchExactly);
    const TargetKind& kind = kKinds[index < 0 ? 0 : index];
    const QString target = Prompts::saveFileName(this, kind.filter, kind.suffix);
    if (target.isEmpty())
        return;
    runner_->run(
        windowTitle(),
        [source = Edit1->text().toStdString(), target = target.toStdString(),
         format = kind.format](const Feedback& feedback) {
            return tables::copyTable(source, target, format, [&feedback](std::size_t copied) {
                if (copied % 4096 == 0) {
                    feedback.progress(0, 0, "已写入 " + std::to_string(copied) + " 条记录");
                    feedback.throwIfStopped();
                }
            });
        },
        [this](const RunOutcome& outcome, std::optional<std::vector<std::string>> remarks) {
            if (!remarks) {
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    Prompts::information(this, outcome.message);
                return;
            }
            showFormatRemarks(this, *remarks);
            close();
        });
}

void Tconvert_table_frm::Button2Click() { close(); }

}  // namespace zandor::ui
