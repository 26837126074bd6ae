#include "ui/analysis/life_table_frm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>

#include "tables/table.h"
#include "ui/analysis/life_table_result.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

QPushButton* copyButton(QWidget* parent, const char* name)
{
    auto* button = named(new QPushButton(QStringLiteral(">>>"), parent), name);
    button->setFixedWidth(48);
    return button;
}

}  // namespace

TLife_table_result* TLife_table_frm::resultWindow() const { return result_; }

TLife_table_frm::TLife_table_frm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("Life_table_frm"));
    setWindowTitle(QStringLiteral("生命表"));

    // 变量: the fields of the current table.
    auto* variables = new QGroupBox(QStringLiteral("变量"), this);
    ListBox2 = named(new QListWidget(variables), "ListBox2");
    ListBox2->addItems(session_.fieldNames());
    (new QVBoxLayout(variables))->addWidget(ListBox2);

    // The fields of the death-count mode, and of the rate mode.
    Edit2 = named(new QLineEdit(this), "Edit2");
    Edit3 = named(new QLineEdit(this), "Edit3");
    Button1 = copyButton(this, "Button1");
    Button2 = copyButton(this, "Button2");
    auto* countFields = new QGridLayout;
    countFields->addWidget(new QLabel(QStringLiteral("年龄别人口数"), this), 0, 1);
    countFields->addWidget(Button1, 1, 0);
    countFields->addWidget(Edit2, 1, 1);
    countFields->addWidget(new QLabel(QStringLiteral("年龄别死亡人口数"), this), 2, 1);
    countFields->addWidget(Button2, 3, 0);
    countFields->addWidget(Edit3, 3, 1);

    auto* rateGroup = new QGroupBox(QStringLiteral("年龄别死亡人口率"), this);
    Edit6 = named(new QLineEdit(rateGroup), "Edit6");
    Button3 = copyButton(rateGroup, "Button3");
    auto* rateLayout = new QHBoxLayout(rateGroup);
    rateLayout->addWidget(Button3);
    rateLayout->addWidget(Edit6);

    // 年龄组 and 数据类型: two exclusive pairs.
    auto* widthGroup = new QGroupBox(QStringLiteral("年龄组"), this);
    RadioButton1 = named(new QRadioButton(QStringLiteral("1 Year "), widthGroup), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("5 Years"), widthGroup), "RadioButton2");
    auto* widthLayout = new QVBoxLayout(widthGroup);
    widthLayout->addWidget(RadioButton1);
    widthLayout->addWidget(RadioButton2);

    auto* modeGroup = new QGroupBox(QStringLiteral("数据类型"), this);
    RadioButton7 = named(new QRadioButton(QStringLiteral("死亡人口数"), modeGroup), "RadioButton7");
    RadioButton8 = named(new QRadioButton(QStringLiteral("死亡率"), modeGroup), "RadioButton8");
    auto* modeLayout = new QVBoxLayout(modeGroup);
    modeLayout->addWidget(RadioButton7);
    modeLayout->addWidget(RadioButton8);

    // The four a-value methods, one exclusive group.
    auto* methodGroup = new QGroupBox(QStringLiteral("a-values"), this);
    RadioButton3 = named(new QRadioButton(QStringLiteral("均匀分布"), methodGroup), "RadioButton3");
    Edit4 = named(new QLineEdit(QStringLiteral("0.2"), methodGroup), "Edit4");
    Edit5 = named(new QLineEdit(QStringLiteral("1.5"), methodGroup), "Edit5");
    RadioButton4 = named(new QRadioButton(QStringLiteral("蒋庆琅法"), methodGroup), "RadioButton4");
    RadioButton5 = named(new QRadioButton(QStringLiteral("Coale-Demeny"), methodGroup), "RadioButton5");
    RadioButton6 = named(new QRadioButton(QStringLiteral("联合国法"), methodGroup), "RadioButton6");
    ComboBox1 = named(new QComboBox(methodGroup), "ComboBox1");
    // Editable: the sex is whatever text the box holds.
    ComboBox1->setEditable(true);
    ComboBox1->addItems({QStringLiteral("Male"), QStringLiteral("Female")});
    ComboBox1->setCurrentText(QStringLiteral("Male"));
    auto* methodLayout = new QGridLayout(methodGroup);
    methodLayout->addWidget(RadioButton3, 0, 0);
    methodLayout->addWidget(new QLabel(QStringLiteral("a0:"), methodGroup), 0, 1);
    methodLayout->addWidget(Edit4, 0, 2);
    methodLayout->addWidget(new QLabel(QStringLiteral("4a1:"), methodGroup), 0, 3);
    methodLayout->addWidget(Edit5, 0, 4);
    methodLayout->addWidget(RadioButton4, 1, 0);
    methodLayout->addWidget(RadioButton5, 2, 0);
    methodLayout->addWidget(RadioButton6, 3, 0);
    methodLayout->addWidget(new QLabel(QStringLiteral("性别"), methodGroup), 2, 1);
    methodLayout->addWidget(ComboBox1, 2, 2, 1, 3);

    BitBtn1 = named(new QPushButton(QStringLiteral("确认"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn1->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addLayout(countFields);
    right->addWidget(rateGroup);
    auto* choices = new QHBoxLayout;
    choices->addWidget(widthGroup);
    choices->addWidget(modeGroup);
    right->addLayout(choices);
    right->addWidget(methodGroup);
    auto* buttons = buttonRow({BitBtn1, BitBtn2});
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(variables);
    layout->addLayout(right, 1);

    // Defaults: "1 Year ", "死亡率", "均匀分布"; the rate field's button alone enabled.
    RadioButton1->setChecked(true);
    RadioButton8->setChecked(true);
    RadioButton3->setChecked(true);
    Button1->setEnabled(false);
    Button2->setEnabled(false);
    Button3->setEnabled(true);

    connect(ListBox2, &QListWidget::itemClicked, this, &TLife_table_frm::ListBox2Click);
    connect(ListBox2, &QListWidget::currentRowChanged, this, &TLife_table_frm::ListBox2Click);
    connect(Button1, &QPushButton::clicked, this, &TLife_table_frm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TLife_table_frm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TLife_table_frm::Button3Click);
    connect(RadioButton7, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton7Click();
    });
    connect(RadioButton8, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton8Click();
    });
    connect(BitBtn1, &QPushButton::clicked, this, &TLife_table_frm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TLife_table_frm::BitBtn2Click);
}

// ---- changes from the controls ----

void TLife_table_frm::ListBox2Click()
{
    if (ListBox2->currentRow() >= 0)
        session_.lifeTableFieldIndex = ListBox2->currentRow();
}

void TLife_table_frm::copyRememberedField(QLineEdit* edit)
{
    // A remembered index beyond this table's fields (left by a wider table) copies nothing.
    if (const QListWidgetItem* item = ListBox2->item(session_.lifeTableFieldIndex))
        edit->setText(item->text());
}

void TLife_table_frm::Button1Click() { copyRememberedField(Edit2); }
void TLife_table_frm::Button2Click() { copyRememberedField(Edit3); }
void TLife_table_frm::Button3Click() { copyRememberedField(Edit6); }

void TLife_table_frm::RadioButton7Click()
{
    Button1->setEnabled(true);
    Button2->setEnabled(true);
    Button3->setEnabled(false);
}

void TLife_table_frm::RadioButton8Click()
{
    Button1->setEnabled(false);
    Button2->setEnabled(false);
    Button3->setEnabled(true);
}

analysis::LifeTableInput TLife_table_frm::input() const
{
    analysis::LifeTableInput in;
    in.mode = RadioButton7->isChecked() ? analysis::MortalityInput::DeathCounts
                                        : analysis::MortalityInput::Rates;
    in.populationField = Edit2->text().toStdString();
    in.deathsField = Edit3->text().toStdString();
    in.ratesField = Edit6->text().toStdString();
    in.width = RadioButton2->isChecked() ? analysis::AgeWidth::Abridged : analysis::AgeWidth::Single;
    if (RadioButton4->isChecked())
        in.method = analysis::AValueMethod::Chiang;
    else if (RadioButton5->isChecked())
        in.method = analysis::AValueMethod::CoaleDemeny;
    else if (RadioButton6->isChecked())
        in.method = analysis::AValueMethod::UN;
    else
        in.method = analysis::AValueMethod::Uniform;
    in.uniformA0 = Edit4->text().toStdString();
    in.uniformA1 = Edit5->text().toStdString();
    in.sex = ComboBox1->currentText().toStdString();
    return in;
}

// Reads the series from the current table here, computes the table through the runner and
// opens a new result window over the dialog. A refusal or any other failure is shown in an
// information box, and no window opens.
void TLife_table_frm::BitBtn1Click()
{
    analysis::LifeTableInput in = input();
    try {
        analysis::readLifeTableSeries(session_.table(), in);
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    runner_->run(
        windowTitle(), [in = std::move(in)](const Feedback&) { return analysis::computeLifeTable(in); },
        [this](const RunOutcome& outcome, std::optional<analysis::LifeTable> table) {
            if (!table) {
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    Prompts::information(this, outcome.message);
                return;
            }
            result_ = new TLife_table_result(session_, std::move(*table), this);
            result_->show();
        });
}

void TLife_table_frm::BitBtn2Click() { close(); }

}  // namespace zandor::ui
