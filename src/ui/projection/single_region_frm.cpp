// The handlers of TSingle_Region_frm: each gathers what the user set, calls the projection
// engine and shows the outcome, or the engine's message in an information box.
#include "ui/projection/single_region_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>

#include <exception>
#include <functional>
#include <utility>

#include "projection/single_region_projection.h"
#include "projection/variants.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "text/refusal.h"
#include "ui/common/discard_question.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/projection/pop_result_frm.h"
#include "ui/projection/schedule_grid.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

namespace zandor::ui {

namespace {

using projection::InputField;

struct FieldListTraits {
    InputField field;
    QColor colour;  // of the list and of the column it marks in the main grid
};

FieldListTraits traits(FieldList list)
{
    switch (list) {
    case FieldList::MalePopulation: return {InputField::MalePopulation, QColor(Qt::red)};
    case FieldList::FemalePopulation: return {InputField::FemalePopulation, QColor(Qt::blue)};
    case FieldList::MaleDeathRates: return {InputField::MaleDeathRates, QColor(0, 128, 128)};  // teal
    case FieldList::FemaleDeathRates: return {InputField::FemaleDeathRates, QColor(Qt::yellow)};
    case FieldList::Fertility: return {InputField::Fertility, QColor(0, 128, 0)};  // green
    }
    return {InputField::MalePopulation, QColor(Qt::red)};
}

QString messageOf(const std::exception& e) { return QString::fromStdString(e.what()); }

void paintList(QComboBox* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

}  // namespace

TSingle_Region_frm::TSingle_Region_frm(Session& session, DataGrid* mainGrid, QWidget* parent)
    : QDialog(parent), session_(session), mainGrid_(mainGrid), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("Single_Region_frm"));
    buildPages();

    // The field lists show the current table's fields with none chosen.
    const QStringList names = session_.fieldNames();
    for (QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox8, ComboBox9}) {
        box->clear();
        box->addItems(names);
        box->setCurrentIndex(-1);
    }
    // The grids for the year count the last projection dialog left, labels and "0.0".
    grids_ = projection::openScheduleGrids(session_.projectionYearCount, pages_.baseYear());
    pages_.reloadGrids();
    connectHandlers();
}

TSingle_Region_frm::~TSingle_Region_frm()
{
    // The grid views read the grids, which go with the dialog's members: the views go first,
    // without page changes reaching a handler on the way.
    disconnect(PageControl1, nullptr, this, nullptr);
    delete PageControl1;
}

Tpop_result_Form1* TSingle_Region_frm::resultForm() const { return resultForm_; }

void TSingle_Region_frm::useWizardData(int baseYear, int endYear)
{
    for (QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        box->setEnabled(false);
    // The years come with the wizard's data: they are no change that waits for a rebuild.
    for (auto [box, year] : {std::pair{SpinEdit10, baseYear}, std::pair{SpinEdit11, endYear}}) {
        const QSignalBlocker quiet(box);
        box->setValue(year);
        box->setEnabled(false);
    }
}

void TSingle_Region_frm::showScheduleGrids() { pages_.reloadGrids(); }

void TSingle_Region_frm::connectHandlers()
{
    using Self = TSingle_Region_frm;
    connect(BitBtn1, &QPushButton::clicked, this, &Self::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Self::BitBtn2Click);
    connect(ComboBox2, &QComboBox::currentTextChanged, this, &Self::ComboBox2Change);
    connect(ComboBox3, &QComboBox::currentTextChanged, this, &Self::ComboBox3Change);
    connect(ComboBox4, &QComboBox::currentTextChanged, this, &Self::ComboBox4Change);
    connect(ComboBox5, &QComboBox::currentTextChanged, this, &Self::ComboBox5Change);
    connect(ComboBox6, &QComboBox::currentTextChanged, this, &Self::ComboBox6Change);
    connectYears(this, SpinEdit10, SpinEdit11, PageControl1,
                 {std::bind_front(&Self::SpinEdit10Change, this), std::bind_front(&Self::SpinEdit11Change, this),
                  std::bind_front(&Self::SpinEdit10DblClick, this), std::bind_front(&Self::SpinEdit11DblClick, this),
                  std::bind_front(&Self::PageControl1Change, this)});
    connect(tfrGroup_.end, &QSpinBox::valueChanged, this, &Self::SpinEdit3Change);
    connect(sexRatioGroup_.end, &QSpinBox::valueChanged, this, &Self::SpinEdit5Change);
    connect(mortalityGroup_.end, &QSpinBox::valueChanged, this, &Self::SpinEdit7Change);
    connect(patternGroup_.end, &QSpinBox::valueChanged, this, &Self::SpinEdit9Change);
    connect(migrantGroup_.end, &QSpinBox::valueChanged, this, &Self::SpinEdit12Change);
    connect(RadioButton16, &QRadioButton::clicked, this, &Self::RadioButton16Click);
    connect(RadioButton20, &QRadioButton::clicked, this, &Self::RadioButton20Click);
    connect(RadioButton6, &QRadioButton::clicked, this, &Self::RadioButton6Click);
    connect(RadioButton7, &QRadioButton::clicked, this, &Self::RadioButton7Click);
    connect(StringGrid3, &ScheduleGrid::cellSelected, this, &Self::StringGrid3SelectCell);
    connect(StringGrid5, &ScheduleGrid::cellSelected, this, &Self::StringGrid5SelectCell);
    const std::pair<const InterpolationGroup&, void (Self::*)()> buttons[] = {
        {tfrGroup_, &Self::Button1Click},       {sexRatioGroup_, &Self::Button2Click},
        {mortalityGroup_, &Self::Button3Click}, {patternGroup_, &Self::Button4Click},
        {migrantGroup_, &Self::Button5Click}};
    for (const auto& [group, handler] : buttons)
        connect(group.button, &QPushButton::clicked, this, handler);
}

// ---- helpers ----

projection::SingleRegionInputs& TSingle_Region_frm::inputs() { return session_.singleRegion.inputs; }
void TSingle_Region_frm::tell(const QString& message) { Prompts::information(this, message); }

void TSingle_Region_frm::commitGridEdits() { pages_.commitEdits(); }

// The engine reads the chosen fields from the input set; the lists of this dialog say which.
void TSingle_Region_frm::syncChosenFields()
{
    auto& fields = inputs().fields;
    fields.malePopulation = ComboBox2->currentText().toStdString();
    fields.femalePopulation = ComboBox3->currentText().toStdString();
    fields.maleDeathRates = ComboBox4->currentText().toStdString();
    fields.femaleDeathRates = ComboBox5->currentText().toStdString();
    fields.fertility = ComboBox6->currentText().toStdString();
}

// ---- field lists ----

void TSingle_Region_frm::ComboBox2Change() { chooseField(FieldList::MalePopulation); }
void TSingle_Region_frm::ComboBox3Change() { chooseField(FieldList::FemalePopulation); }
void TSingle_Region_frm::ComboBox4Change() { chooseField(FieldList::MaleDeathRates); }
void TSingle_Region_frm::ComboBox5Change() { chooseField(FieldList::FemaleDeathRates); }
void TSingle_Region_frm::ComboBox6Change() { chooseField(FieldList::Fertility); }

void TSingle_Region_frm::markField(FieldList list, const QString& fieldName)
{
    const int column = session_.table().isOpen() ? session_.table().fieldIndex(fieldName.toStdString()) : -1;
    int& marked = session_.singleRegion.markedColumns[static_cast<std::size_t>(list)];
    if (mainGrid_) {
        // ZandorT leaves the column marked before in its colour.
        if (marked >= 0 && session_.edition() == Edition::Full)
            mainGrid_->markColumn(marked, Qt::white);
        mainGrid_->markColumn(column, traits(list).colour);
    }
    marked = column;
    QComboBox* const boxes[] = {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6};
    paintList(boxes[static_cast<std::size_t>(list)], traits(list).colour);
}

void TSingle_Region_frm::chooseField(FieldList list)
{
    QComboBox* const boxes[] = {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6};
    const QString name = boxes[static_cast<std::size_t>(list)]->currentText();
    if (name.isEmpty())
        return;
    markField(list, name);
    try {
        projection::chooseField(inputs(), grids_, traits(list).field, name.toStdString(), session_.table(),
                                pages_.baseYear(), pages_.endYear());
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
    session_.projectionYearCount = inputs().yearCount;
    pages_.reloadGrids();
}

// ---- years ----

void TSingle_Region_frm::rebuildYears()
{
    pages_.rebuildYears(this, [this] {
        syncChosenFields();
        return projection::rebuildYears(inputs(), grids_, session_.table(), pages_.baseYear(), pages_.endYear(),
                                        session_.yearsChanged);
    });
}

void TSingle_Region_frm::SpinEdit10Change() { pages_.yearsChanged(); }
void TSingle_Region_frm::SpinEdit11Change() { SpinEdit10Change(); }
void TSingle_Region_frm::SpinEdit10DblClick() { rebuildYears(); }
void TSingle_Region_frm::SpinEdit11DblClick() { rebuildYears(); }
void TSingle_Region_frm::PageControl1Change() { rebuildYears(); }

void TSingle_Region_frm::endColumnChanged(QSpinBox* box) { box->setMaximum(pages_.endYear()); }
void TSingle_Region_frm::SpinEdit3Change() { endColumnChanged(tfrGroup_.end); }
void TSingle_Region_frm::SpinEdit5Change() { endColumnChanged(sexRatioGroup_.end); }
void TSingle_Region_frm::SpinEdit7Change() { endColumnChanged(mortalityGroup_.end); }
void TSingle_Region_frm::SpinEdit9Change() { endColumnChanged(patternGroup_.end); }
void TSingle_Region_frm::SpinEdit12Change() { endColumnChanged(migrantGroup_.end); }

// ---- options ----

void TSingle_Region_frm::RadioButton16Click()
{
    projection::chooseMigrantOption(inputs(), grids_, false, pages_.baseYear(), session_.edition());
    StringGrid5->gridModel()->reload();
}

void TSingle_Region_frm::RadioButton20Click()
{
    projection::chooseMigrantOption(inputs(), grids_, true, pages_.baseYear(), session_.edition());
    StringGrid5->gridModel()->reload();
}

void TSingle_Region_frm::StringGrid3SelectCell(int row) { session_.singleRegion.selectedScheduleRow = row; }
void TSingle_Region_frm::StringGrid5SelectCell(int row) { session_.singleRegion.selectedScheduleRow = row; }

void TSingle_Region_frm::RadioButton6Click()
{
    RadioButton6->setChecked(true);
    ComboBox8->setEnabled(true);
    ComboBox9->setEnabled(true);
    RadioButton7->setChecked(false);
}

void TSingle_Region_frm::RadioButton7Click()
{
    RadioButton7->setChecked(true);
    ComboBox8->setEnabled(false);
    ComboBox9->setEnabled(false);
    RadioButton6->setChecked(false);
}

// ---- interpolation ----

void TSingle_Region_frm::Button1Click() { tfrGroup_.interpolate(this, pages_.baseYear()); }
void TSingle_Region_frm::Button2Click() { sexRatioGroup_.interpolate(this, pages_.baseYear()); }
void TSingle_Region_frm::Button3Click() { mortalityGroup_.interpolate(this, pages_.baseYear()); }
void TSingle_Region_frm::Button4Click() { patternGroup_.interpolate(this, pages_.baseYear()); }
void TSingle_Region_frm::Button5Click() { migrantGroup_.interpolate(this, pages_.baseYear()); }

// ---- 取消 and 开始预测 ----

void TSingle_Region_frm::BitBtn1Click()
{
    if (mainGrid_)
        mainGrid_->resetColumnColours();
    QDialog::reject();
}

// Esc and the title bar's close button: schedules typed, loaded with a field or by the wizard
// are not dropped without asking.
void TSingle_Region_frm::reject()
{
    bool entered = pages_.typed() || session_.wizardData;
    for (const QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        entered = entered || box->currentIndex() >= 0;
    if (mayDiscard(this, entered))
        QDialog::reject();
}

// The session keeps what the next run and the results dialog start from.
void TSingle_Region_frm::keepRun(projection::ProjectionRun run)
{
    SingleRegionSession& kept = session_.singleRegion;
    kept.inputs.region = std::move(run.endState);
    kept.results = std::move(run.results);
    kept.pyramidFrameCursor = kept.results.yearCount;
    kept.variants.clear();
}

// Keeps the variants that ran and names the refused ones; false (and nothing kept) when
// every variant was refused. The schedules as given (中方案) leave their end state for the
// next run as a plain run does; the results dialog starts on the first variant that ran.
bool TSingle_Region_frm::keepVariants(std::vector<projection::VariantRun> runs)
{
    QStringList refused;
    for (const projection::VariantRun& run : runs)
        if (!run.run)
            refused << QString::fromStdString(run.refusal);
    if (refused.size() == static_cast<qsizetype>(runs.size())) {
        tell(refused.join(QStringLiteral("\n")));
        return false;
    }
    SingleRegionSession& kept = session_.singleRegion;
    kept.variants.clear();
    bool shown = false;
    for (projection::VariantRun& run : runs) {
        SingleRegionSession::VariantResults entry{.variant = run.variant, .results = std::nullopt, .refusal = run.refusal};
        if (run.run) {
            if (run.variant == projection::Variant::Medium)
                kept.inputs.region = std::move(run.run->endState);
            if (!shown) {
                kept.results = run.run->results;
                kept.pyramidFrameCursor = kept.results.yearCount;
                shown = true;
            }
            entry.results = std::move(run.run->results);
        }
        kept.variants.push_back(std::move(entry));
    }
    if (!refused.isEmpty())
        tell(refused.join(QStringLiteral("\n")) + QStringLiteral("\n其余方案的结果照常显示。"));
    return true;
}

void TSingle_Region_frm::BitBtn2Click()
{
    commitGridEdits();
    syncChosenFields();
    projection::RunOptions options;
    options.edition = session_.edition();
    options.wizardData = session_.wizardData;
    options.urbanShareText = Edit1->text().toStdString();
    options.migrantStockText = Edit2->text().toStdString();
    options.exact = CheckBoxExact->isChecked();
    projection::SingleRegionSchedules schedules;
    try {
        if (RadioButton6->isChecked()) {
            options.mortality = projection::MortalityOption::SurvivalCurves;
            options.maleSurvival = projection::loadAgeSeries(session_.table(), ComboBox8->currentText().toStdString());
            options.femaleSurvival = projection::loadAgeSeries(session_.table(), ComboBox9->currentText().toStdString());
        }
        schedules = projection::parseSchedules(inputs(), grids_, options);
    } catch (const std::exception& e) {
        tell(messageOf(e));
        return;
    }
    // The engine works on copies: the dialog's data stay as they are while it runs.
    if (CheckBoxVariants->isChecked()) {
        runner_->run(
            windowTitle(),
            [in = inputs(), schedules, options](const Feedback& feedback) {
                return projection::projectVariants(in, schedules, options, feedback);
            },
            [this](const RunOutcome& outcome, auto runs) {
                if (!runs) {
                    if (outcome.kind != RunOutcome::Kind::Stopped)
                        tell(outcome.message);
                    return;
                }
                if (keepVariants(std::move(*runs)))
                    showResults();
            });
    } else {
        runner_->run(
            windowTitle(),
            [in = inputs(), schedules, options](const Feedback& feedback) {
                return projection::projectSingleRegion(in, schedules, options, feedback);
            },
            [this](const RunOutcome& outcome, auto run) {
                if (!run) {
                    if (outcome.kind != RunOutcome::Kind::Stopped)
                        tell(outcome.message);
                    return;
                }
                keepRun(std::move(*run));
                showResults();
            });
    }
}

// The run is kept: the dialog closes and the results dialog opens.
void TSingle_Region_frm::showResults()
{
    accept();
    resultForm_ = new Tpop_result_Form1(session_, mainGrid_, parentWidget());
    resultForm_->setWindowModality(Qt::ApplicationModal);
    resultForm_->show();
}

}  // namespace zandor::ui
