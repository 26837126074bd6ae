#include "ui/tables/compute_frm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "tables/field_calculator.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/session/session.h"

namespace zandor::ui {
namespace {

QStringList itemsOf(const std::vector<std::string>& items)
{
    QStringList list;
    for (const auto& item : items)
        list << QString::fromStdString(item);
    return list;
}

// The position of the typed or chosen text among the items (-1: no item).
int positionOf(const QComboBox& box) { return box.findText(box.currentText(), Qt::MatchExactly); }

}  // namespace

Tcompute_Frm::Tcompute_Frm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("compute_Frm"));
    setWindowTitle(QStringLiteral("计算"));

    auto combo = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(120);
        return box;
    };
    ComboBox1 = combo("ComboBox1");
    ComboBox2 = combo("ComboBox2");
    ComboBox3 = combo("ComboBox3");
    ComboBox4 = combo("ComboBox4");
    ComboBox5 = combo("ComboBox5");
    ComboBox3->setMinimumWidth(80);
    ComboBox5->setMinimumWidth(360);
    connect(ComboBox5, &QComboBox::currentTextChanged, this, &Tcompute_Frm::ComboBox5Change);

    auto* modes = new QGroupBox(this);
    modes->setObjectName(QStringLiteral("RadioGroup1"));
    RadioButton1 = new QRadioButton(QStringLiteral("运算"), modes);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("替换"), modes);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3 = new QRadioButton(QStringLiteral("变换"), modes);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    auto* modeLayout = new QHBoxLayout(modes);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3})
        modeLayout->addWidget(r);
    connect(RadioButton1, &QRadioButton::clicked, this, &Tcompute_Frm::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &Tcompute_Frm::RadioButton2Click);
    connect(RadioButton3, &QRadioButton::clicked, this, &Tcompute_Frm::RadioButton3Click);

    BitBtn1 = new QPushButton(QStringLiteral("确认"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &Tcompute_Frm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tcompute_Frm::BitBtn2Click);

    auto* equals = new QLabel(QStringLiteral("="), this);
    equals->setObjectName(QStringLiteral("Label1"));
    auto* formula = new QHBoxLayout;
    formula->addWidget(ComboBox1);
    formula->addWidget(equals);
    formula->addWidget(ComboBox2);
    formula->addWidget(ComboBox3);
    formula->addWidget(ComboBox4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComboBox5, 1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formula);
    layout->addWidget(modes);
    layout->addLayout(buttons);

    RadioButton1->setChecked(true);
    RadioButton1Click();
    ComboBox5->setEditText(session_.currentTableName);
    ComboBox5Change();
}

void Tcompute_Frm::RadioButton1Click()
{
    ComboBox3->setEnabled(true);
    ComboBox4->setEnabled(true);
    ComboBox3->clear();
    ComboBox3->addItems(itemsOf(tables::operationItems()));
    ComboBox3->setEditText(QStringLiteral("+"));
}

void Tcompute_Frm::RadioButton2Click()
{
    ComboBox3->clear();
    ComboBox3->setEnabled(false);
    ComboBox4->setEnabled(false);
}

void Tcompute_Frm::RadioButton3Click()
{
    ComboBox2->setEnabled(true);
    ComboBox3->setEnabled(true);
    ComboBox4->setEnabled(false);
    ComboBox3->clear();
    ComboBox3->addItems(itemsOf(tables::transformItems()));
    ComboBox3->setEditText(QStringLiteral("ABS()"));
}

void Tcompute_Frm::ComboBox5Change()
{
    const QStringList names = session_.fieldNames();
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox4}) {
        box->clear();
        box->addItems(names);
        box->setEditText(QString());
    }
}

void Tcompute_Frm::BitBtn1Click()
{
    tables::FieldCalculation calculation;
    calculation.target = ComboBox1->currentText().toStdString();
    calculation.first = ComboBox2->currentText().toStdString();
    if (calculation.target.empty() || calculation.first.empty())
        return;
    if (RadioButton1->isChecked()) {
        if (ComboBox3->currentText().isEmpty() || ComboBox4->currentText().isEmpty())
            return;
        calculation.mode = tables::CalculatorMode::Operate;
        calculation.operation = tables::operationAt(positionOf(*ComboBox3));
        calculation.second = ComboBox4->currentText().toStdString();
    } else if (RadioButton2->isChecked()) {
        calculation.mode = tables::CalculatorMode::Replace;
    } else {
        if (ComboBox3->currentText().isEmpty())
            return;
        calculation.mode = tables::CalculatorMode::Transform;
        calculation.transform = tables::transformAt(positionOf(*ComboBox3));
    }

    // The column is computed on a table of the worker's own, opened on the same file, so that
    // the grid reads the current table undisturbed; the current table then takes its place.
    const std::string path = session_.table().path();
    struct Computed {
        std::shared_ptr<tables::Table> table;
        tables::CalculationOutcome outcome;
    };
    runner_->run(
        windowTitle(),
        [path, calculation](const Feedback& feedback) {
            auto table = std::make_shared<tables::Table>(tables::Table::open(path));
            // Every row is computed, then written: twice the rows in all.
            const auto steps = 2 * static_cast<long long>(table->recordCount());
            const tables::CalculationOutcome outcome =
                tables::computeField(*table, calculation, [&feedback, steps](std::size_t rows) {
                    if (rows % 4096 == 0) {
                        feedback.progress(static_cast<long long>(rows), steps);
                        feedback.throwIfStopped();
                    }
                });
            return Computed{std::move(table), outcome};
        },
        [this, path](const RunOutcome& outcome, std::optional<Computed> computed) {
            if (!computed) {
                // A failure after the rewrite leaves the file new: the current table is
                // opened again on it either way.
                try {
                    session_.table() = tables::Table::open(path);
                } catch (const std::exception&) {
                }
                emit session_.tableChanged();
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    Prompts::information(this, outcome.message);
                return;
            }
            session_.table() = std::move(*computed->table);
            // The grid shows the new values.
            emit session_.tableChanged();
            if (computed->outcome.failedRow)
                Prompts::information(this, QString::fromUtf8(tables::kDataError.data(),
                                                             static_cast<qsizetype>(tables::kDataError.size())));
        });
}

void Tcompute_Frm::BitBtn2Click() { close(); }

}  // namespace zandor::ui
