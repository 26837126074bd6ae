#include "ui/analysis/data_quality_frm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>

#include "ui/analysis/index_result.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

TData_quality_frm::TData_quality_frm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("Data_quality_frm"));
    setWindowTitle(QStringLiteral("Data Quality"));

    auto* variables = new QGroupBox(QStringLiteral("变量"), this);
    ListBox2 = named(new QListWidget(variables), "ListBox2");
    ListBox2->addItems(session_.fieldNames());
    (new QVBoxLayout(variables))->addWidget(ListBox2);

    Edit2 = named(new QLineEdit(this), "Edit2");

    auto* indexes = new QGroupBox(QStringLiteral("指数"), this);
    RadioButton1 = named(new QRadioButton(QStringLiteral("年龄偏好指数"), indexes), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Whipple  指数"), indexes), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("Myer 指数"), indexes), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("年龄准确指数"), indexes), "RadioButton4");
    auto* indexLayout = new QVBoxLayout(indexes);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        indexLayout->addWidget(button);
    RadioButton1->setChecked(true);

    BitBtn1 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn1->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("选定变量"), this));
    right->addWidget(Edit2);
    right->addWidget(indexes);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(variables);
    layout->addLayout(right);

    connect(ListBox2, &QListWidget::itemClicked, this, &TData_quality_frm::ListBox2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TData_quality_frm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TData_quality_frm::BitBtn2Click);
}

TIndex_Result_frm* TData_quality_frm::resultWindow() const { return result_; }

analysis::AgeIndex TData_quality_frm::chosenIndex() const
{
    if (RadioButton2->isChecked())
        return analysis::AgeIndex::Whipple;
    if (RadioButton3->isChecked())
        return analysis::AgeIndex::Myers;
    if (RadioButton4->isChecked())
        return analysis::AgeIndex::Accuracy;
    return analysis::AgeIndex::Preference;
}

void TData_quality_frm::ListBox2Click()
{
    if (const QListWidgetItem* item = ListBox2->currentItem())
        Edit2->setText(item->text());
}

// Reads the chosen field, computes the chosen index and shows it in a new result window; a
// refusal is shown in an information box and no window opens.
void TData_quality_frm::BitBtn1Click()
{
    analysis::IndexReport report;
    try {
        report = analysis::qualityReport(session_.table(), Edit2->text().toStdString(), chosenIndex());
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    result_ = showIndexResult(std::move(report), this);
}

void TData_quality_frm::BitBtn2Click() { close(); }

}  // namespace zandor::ui
