#include "ui/analysis/pop_stru_end_frm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "analysis/end_of_year.h"
#include "tables/result_field.h"
#include "text/refusal.h"
#include "ui/analysis/field_series.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace eoy = analysis::end_of_year;

namespace {

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

Tpop_stru_end_Frm::Tpop_stru_end_Frm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("pop_stru_end_Frm"));
    setWindowTitle(QStringLiteral("推算年末人口数"));

    auto* data = named(new QGroupBox(QStringLiteral("分年龄分性别人口数据"), this), "GroupBox1");
    auto* dataLayout = new QFormLayout(data);
    const struct {
        QComboBox** box;
        const char* name;
        const char* label;
    } boxes[] = {{&ComboBox2, "ComboBox2", "男性年龄别人口"},
                 {&ComboBox3, "ComboBox3", "女性年龄别人口"},
                 {&ComboBox4, "ComboBox4", "男性年龄别死亡率"},
                 {&ComboBox5, "ComboBox5", "女性年龄别死亡率"}};
    for (const auto& b : boxes) {
        *b.box = named(new QComboBox(data), b.name);
        (*b.box)->addItems(session_.fieldNames());
        (*b.box)->setCurrentIndex(-1);
        (*b.box)->setMinimumWidth(200);  // room for the longer field names
        dataLayout->addRow(QString::fromUtf8(b.label), *b.box);
    }
    Edit1 = named(new QLineEdit(qtext(eoy::kDefaultNumberText), data), "Edit1");
    Edit2 = named(new QLineEdit(qtext(eoy::kDefaultNumberText), data), "Edit2");
    Edit3 = named(new QLineEdit(qtext(eoy::kDefaultNumberText), data), "Edit3");
    dataLayout->addRow(qtext(eoy::kTotalLabel), Edit1);
    dataLayout->addRow(qtext(eoy::kMaleBirthsLabel), Edit2);
    dataLayout->addRow(qtext(eoy::kFemaleBirthsLabel), Edit3);

    auto* save = named(new QGroupBox(QStringLiteral("保存年龄结构"), this), "GroupBox2");
    auto* saveLayout = new QFormLayout(save);
    Edit4 = named(new QLineEdit(qtext(eoy::kDefaultMaleField), save), "Edit4");
    Edit5 = named(new QLineEdit(qtext(eoy::kDefaultFemaleField), save), "Edit5");
    saveLayout->addRow(QStringLiteral("男性"), Edit4);
    saveLayout->addRow(QStringLiteral("女性"), Edit5);

    BitBtn2 = named(new QPushButton(QStringLiteral("运算"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn1");
    BitBtn2->setDefault(true);
    auto* buttons = buttonRow({BitBtn2, BitBtn1});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(data);
    layout->addWidget(save);
    layout->addLayout(buttons);

    connect(ComboBox2, &QComboBox::currentTextChanged, this, &Tpop_stru_end_Frm::ComboBox2Change);
    connect(ComboBox3, &QComboBox::currentTextChanged, this, &Tpop_stru_end_Frm::ComboBox3Change);
    connect(ComboBox4, &QComboBox::currentTextChanged, this, &Tpop_stru_end_Frm::ComboBox4Change);
    connect(ComboBox5, &QComboBox::currentTextChanged, this, &Tpop_stru_end_Frm::ComboBox5Change);
    connect(BitBtn2, &QPushButton::clicked, this, &Tpop_stru_end_Frm::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tpop_stru_end_Frm::BitBtn1Click);
}

// A death-rate field: its life table is built at once, so a rate out of range, too few ages
// or a last rate of 0 is reported when the field is chosen.
void Tpop_stru_end_Frm::loadRates(QComboBox* box, std::vector<double>& into, bool male)
{
    if (!readChosenField(this, session_, box, into))
        return;
    try {
        analysis::endOfYearLifeTable(male ? projection::Sex::Male : projection::Sex::Female, into);
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
    }
}

void Tpop_stru_end_Frm::ComboBox2Change() { loadPopulationField(this, session_, ComboBox2, malePopulation_); }
void Tpop_stru_end_Frm::ComboBox3Change() { loadPopulationField(this, session_, ComboBox3, femalePopulation_); }
void Tpop_stru_end_Frm::ComboBox4Change() { loadRates(ComboBox4, maleRates_, true); }
void Tpop_stru_end_Frm::ComboBox5Change() { loadRates(ComboBox5, femaleRates_, false); }

// Checks the series and the boxes (and, in Zandor, the new names), estimates off the
// user-interface thread, then adds the two fields in one rewrite and closes. A refusal or a
// failure leaves the table as it was and the dialog open.
void Tpop_stru_end_Frm::BitBtn2Click()
{
    const std::string maleName = Edit4->text().toStdString();
    const std::string femaleName = Edit5->text().toStdString();
    analysis::EndOfYearProblem problem;
    try {
        if (ComboBox2->currentText().isEmpty() || ComboBox3->currentText().isEmpty() ||
            ComboBox4->currentText().isEmpty() || ComboBox5->currentText().isEmpty())
            throw Refusal(std::string(eoy::kTooFewFields));
        problem = analysis::checkEndOfYear({malePopulation_, femalePopulation_, maleRates_, femaleRates_,
                                            Edit1->text().toStdString(), Edit2->text().toStdString(),
                                            Edit3->text().toStdString()});
        // ZandorT adds the fields without looking first; the rewrite then refuses a name the
        // table has, with the same message, and nothing changes either.
        if (session_.edition() == Edition::Full)
            tables::refuseExistingNames(session_.table(), {maleName, femaleName});
    } catch (const std::exception& e) {
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }

    runner_->run(
        windowTitle(), [problem](const Feedback& feedback) { return analysis::estimateEndOfYear(problem, feedback); },
        [this, maleName, femaleName](const RunOutcome& outcome, auto estimate) {
            if (!estimate) {
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    Prompts::information(this, outcome.message);
                return;
            }
            try {
                analysis::saveEndOfYear(session_.table(), *estimate, maleName, femaleName);
            } catch (const std::exception& e) {
                emit session_.tableChanged();
                Prompts::information(this, QString::fromStdString(e.what()));
                return;
            }
            // The grid shows the two new fields.
            emit session_.tableChanged();
            close();
        });
}

void Tpop_stru_end_Frm::BitBtn1Click() { close(); }

}  // namespace zandor::ui
