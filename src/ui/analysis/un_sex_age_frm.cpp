#include "ui/analysis/un_sex_age_frm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "analysis/un_sex_age.h"
#include "ui/analysis/index_result.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

TUN_sex_age_frm::TUN_sex_age_frm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("UN_sex_age_frm"));
    setWindowTitle(QStringLiteral("联合国法"));

    auto* fields = named(new QGroupBox(this), "GroupBox2");
    ListBox2 = named(new QListWidget(fields), "ListBox2");
    ListBox2->addItems(session_.fieldNames());
    (new QVBoxLayout(fields))->addWidget(ListBox2);

    Edit1 = named(new QLineEdit(QStringLiteral(" "), this), "Edit1");
    Edit2 = named(new QLineEdit(QStringLiteral(" "), this), "Edit2");
    Button1 = named(new QPushButton(QStringLiteral(">>>"), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral(">>>"), this), "Button2");
    auto* chosen = new QGridLayout;
    chosen->addWidget(new QLabel(QStringLiteral("男性"), this), 0, 1);
    chosen->addWidget(Button1, 1, 0);
    chosen->addWidget(Edit1, 1, 1);
    chosen->addWidget(new QLabel(QStringLiteral("女性:"), this), 2, 1);
    chosen->addWidget(Button2, 3, 0);
    chosen->addWidget(Edit2, 3, 1);

    BitBtn2 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    BitBtn2->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addLayout(chosen);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fields);
    layout->addLayout(right);

    connect(Button1, &QPushButton::clicked, this, &TUN_sex_age_frm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TUN_sex_age_frm::Button2Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TUN_sex_age_frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TUN_sex_age_frm::BitBtn1Click);
}

TIndex_Result_frm* TUN_sex_age_frm::resultWindow() const { return result_; }

void TUN_sex_age_frm::copySelectedField(QLineEdit* edit)
{
    if (const QListWidgetItem* item = ListBox2->currentItem())
        edit->setText(item->text());
}

void TUN_sex_age_frm::Button1Click() { copySelectedField(Edit1); }
void TUN_sex_age_frm::Button2Click() { copySelectedField(Edit2); }

// Reads both fields, computes the joint index and shows it in a new result window; a refusal
// is shown in an information box and no window opens.
void TUN_sex_age_frm::BitBtn2Click()
{
    analysis::IndexReport report;
    try {
        report = analysis::unIndexReport(session_.table(), Edit1->text().toStdString(),
                                         Edit2->text().toStdString());
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    result_ = showIndexResult(std::move(report), this);
}

void TUN_sex_age_frm::BitBtn1Click() { close(); }

}  // namespace zandor::ui
