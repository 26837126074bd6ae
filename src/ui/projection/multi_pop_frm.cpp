// The handlers of Tmulti_pop_Frm: each gathers what the user set, calls the urban-rural
// engine and shows the outcome, or the engine's message in an information box.
#include "ui/projection/multi_pop_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <exception>
#include <functional>
#include <utility>

#include "projection/urban_rural_projection.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "ui/common/discard_question.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/projection/multi_result_frm.h"
#include "ui/projection/schedule_grid.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

using projection::InputField;
using projection::Region;

QString messageOf(const std::exception& e) { return QString::fromStdString(e.what()); }

}  // namespace

Tmulti_pop_Frm::Tmulti_pop_Frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    runner_ = new Runner(this);
    setObjectName(QStringLiteral("multi_pop_Frm"));
    // The grids for the years the dialog opens with.
    grids_ = projection::openUrbanRuralGrids(2000 - 1990, 1990);
    buildPages();
    session_.projectionYearCount = pages_.endYear() - pages_.baseYear();

    const QStringList names = session_.fieldNames();
    for (QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox1, ComboBox10, ComboBox11,
                           ComboBox12, ComboBox13}) {
        box->clear();
        box->addItems(names);
        box->setCurrentIndex(-1);
    }
    connectHandlers();
}

Tmulti_pop_Frm::~Tmulti_pop_Frm()
{
    // The grid views read the grids, which go with the dialog's members: the views go first,
    // without page changes reaching a handler on the way.
    disconnect(PageControl1, nullptr, this, nullptr);
    delete PageControl1;
}

Tmulti_result_Frm* Tmulti_pop_Frm::resultForm() const { return resultForm_; }

void Tmulti_pop_Frm::connectHandlers()
{
    using Self = Tmulti_pop_Frm;
    connect(BitBtn1, &QPushButton::clicked, this, &Self::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Self::BitBtn2Click);
    const std::pair<QComboBox*, void (Self::*)()> lists[] = {
        {ComboBox2, &Self::ComboBox2Change},   {ComboBox3, &Self::ComboBox3Change},
        {ComboBox4, &Self::ComboBox4Change},   {ComboBox5, &Self::ComboBox5Change},
        {ComboBox6, &Self::ComboBox6Change},   {ComboBox1, &Self::ComboBox1Change},
        {ComboBox10, &Self::ComboBox10Change}, {ComboBox11, &Self::ComboBox11Change},
        {ComboBox12, &Self::ComboBox12Change}, {ComboBox13, &Self::ComboBox13Change},
    };
    for (const auto& [box, handler] : lists)
        connect(box, &QComboBox::currentTextChanged, this, handler);
    connectYears(this, SpinEdit16, SpinEdit17, PageControl1,
                 {std::bind_front(&Self::SpinEdit16Change, this), std::bind_front(&Self::SpinEdit17Change, this),
                  std::bind_front(&Self::SpinEdit16DblClick, this), std::bind_front(&Self::SpinEdit17DblClick, this),
                  std::bind_front(&Self::PageControl1Change, this)});
    const std::pair<ScheduleGrid*, void (Self::*)(int)> rows[] = {
        {StringGrid1, &Self::StringGrid1SelectCell}, {StringGrid8, &Self::StringGrid1SelectCell},
        {StringGrid2, &Self::StringGrid2SelectCell}, {StringGrid3, &Self::StringGrid3SelectCell}};
    for (const auto& [grid, handler] : rows)
        connect(grid, &ScheduleGrid::cellSelected, this, handler);
    const std::pair<const InterpolationGroup&, void (Self::*)()> buttons[] = {
        {tfrGroup_, &Self::Button1Click},          {sexRatioGroup_, &Self::Button2Click},
        {mortalityGroup_, &Self::Button3Click},    {ruralPatternGroup_, &Self::Button4Click},
        {urbanPatternGroup_, &Self::Button5Click}, {moversGroup_, &Self::Button6Click},
        {moverShareGroup_, &Self::Button7Click}};
    for (const auto& [group, handler] : buttons)
        connect(group.button, &QPushButton::clicked, this, handler);
}

// ---- helpers ----

void Tmulti_pop_Frm::tell(const QString& message) { Prompts::information(this, message); }

void Tmulti_pop_Frm::commitGridEdits() { pages_.commitEdits(); }

// The engine reads the chosen fields from the input set; the lists of this dialog say which.
void Tmulti_pop_Frm::syncChosenFields()
{
    const auto sync = [](projection::ChosenFields& fields, QComboBox* const boxes[5]) {
        fields.malePopulation = boxes[0]->currentText().toStdString();
        fields.femalePopulation = boxes[1]->currentText().toStdString();
        fields.maleDeathRates = boxes[2]->currentText().toStdString();
        fields.femaleDeathRates = boxes[3]->currentText().toStdString();
        fields.fertility = boxes[4]->currentText().toStdString();
    };
    QComboBox* const rural[] = {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6};
    QComboBox* const urban[] = {ComboBox1, ComboBox10, ComboBox11, ComboBox12, ComboBox13};
    projection::UrbanRuralInputs inputs = session_.urbanRuralInputs();
    sync(inputs.rural.fields, rural);
    sync(inputs.urban.fields, urban);
}

// ---- field lists ----

void Tmulti_pop_Frm::chooseField(Region region, InputField field, QComboBox* box)
{
    const QString name = box->currentText();
    if (name.isEmpty())
        return;
    projection::UrbanRuralInputs inputs = session_.urbanRuralInputs();
    try {
        projection::chooseUrbanRuralField(region == Region::Rural ? inputs.rural : inputs.urban, region, grids_, field,
                                          name.toStdString(), session_.table(), pages_.baseYear(), pages_.endYear());
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
    pages_.reloadGrids();
}

void Tmulti_pop_Frm::ComboBox2Change() { chooseField(Region::Rural, InputField::MalePopulation, ComboBox2); }
void Tmulti_pop_Frm::ComboBox3Change() { chooseField(Region::Rural, InputField::FemalePopulation, ComboBox3); }
void Tmulti_pop_Frm::ComboBox4Change() { chooseField(Region::Rural, InputField::MaleDeathRates, ComboBox4); }
void Tmulti_pop_Frm::ComboBox5Change() { chooseField(Region::Rural, InputField::FemaleDeathRates, ComboBox5); }
void Tmulti_pop_Frm::ComboBox6Change() { chooseField(Region::Rural, InputField::Fertility, ComboBox6); }
void Tmulti_pop_Frm::ComboBox1Change() { chooseField(Region::Urban, InputField::MalePopulation, ComboBox1); }
void Tmulti_pop_Frm::ComboBox10Change() { chooseField(Region::Urban, InputField::FemalePopulation, ComboBox10); }
void Tmulti_pop_Frm::ComboBox11Change() { chooseField(Region::Urban, InputField::MaleDeathRates, ComboBox11); }
void Tmulti_pop_Frm::ComboBox12Change() { chooseField(Region::Urban, InputField::FemaleDeathRates, ComboBox12); }
void Tmulti_pop_Frm::ComboBox13Change() { chooseField(Region::Urban, InputField::Fertility, ComboBox13); }

// ---- years ----

void Tmulti_pop_Frm::rebuildYears()
{
    pages_.rebuildYears(this, [this] {
        syncChosenFields();
        return projection::rebuildUrbanRuralYears(session_.urbanRuralInputs(), grids_, session_.table(),
                                                  pages_.baseYear(), pages_.endYear(), session_.yearsChanged);
    });
}

void Tmulti_pop_Frm::SpinEdit16Change() { pages_.yearsChanged(); }
void Tmulti_pop_Frm::SpinEdit17Change() { SpinEdit16Change(); }
void Tmulti_pop_Frm::SpinEdit16DblClick() { rebuildYears(); }
void Tmulti_pop_Frm::SpinEdit17DblClick() { rebuildYears(); }
void Tmulti_pop_Frm::PageControl1Change() { rebuildYears(); }

// ---- selected schedule row ----

void Tmulti_pop_Frm::StringGrid1SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }
void Tmulti_pop_Frm::StringGrid2SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }
void Tmulti_pop_Frm::StringGrid3SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }

// ---- interpolation ----

void Tmulti_pop_Frm::Button7Click()
{
    // The female grid when "女性" is chosen; any other text of the list means the male grid.
    ScheduleGrid* grid = ComboBox7->currentText() == QStringLiteral("女性") ? StringGrid7 : StringGrid6;
    moverShareGroup_.interpolateOn(this, grid, pages_.baseYear());
}

void Tmulti_pop_Frm::Button1Click() { tfrGroup_.interpolate(this, pages_.baseYear()); }
void Tmulti_pop_Frm::Button2Click() { sexRatioGroup_.interpolate(this, pages_.baseYear()); }
void Tmulti_pop_Frm::Button3Click() { mortalityGroup_.interpolate(this, pages_.baseYear()); }
void Tmulti_pop_Frm::Button4Click() { ruralPatternGroup_.interpolate(this, pages_.baseYear()); }
void Tmulti_pop_Frm::Button5Click() { urbanPatternGroup_.interpolate(this, pages_.baseYear()); }
void Tmulti_pop_Frm::Button6Click() { moversGroup_.interpolate(this, pages_.baseYear()); }

// ---- 取消 and 运算 ----

void Tmulti_pop_Frm::BitBtn1Click() { QDialog::reject(); }

// Esc and the title bar's close button: schedules typed or loaded with a field are not
// dropped without asking.
void Tmulti_pop_Frm::reject()
{
    bool entered = pages_.typed();
    for (const QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox1, ComboBox10,
                                 ComboBox11, ComboBox12, ComboBox13})
        entered = entered || box->currentIndex() >= 0;
    if (mayDiscard(this, entered))
        QDialog::reject();
}

void Tmulti_pop_Frm::BitBtn2Click()
{
    commitGridEdits();
    syncChosenFields();
    projection::UrbanRuralInputs inputs = session_.urbanRuralInputs();
    projection::UrbanRuralSchedules schedules;
    try {
        schedules = projection::parseUrbanRuralSchedules(inputs.rural, inputs.urban, grids_);
    } catch (const std::exception& e) {
        tell(messageOf(e));
        return;
    }
    // The engine works on copies: the dialog's data stay as they are while it runs.
    runner_->run(
        windowTitle(),
        [rural = inputs.rural, urban = inputs.urban, schedules = std::move(schedules),
         options = projection::UrbanRuralOptions{.exact = CheckBoxExact->isChecked()}](const Feedback& feedback) {
            return projection::projectUrbanRural(rural, urban, schedules, options, feedback);
        },
        [this](const RunOutcome& outcome, std::optional<projection::UrbanRuralRun> run) {
            if (!run) {
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    tell(outcome.message);
                return;
            }
            session_.urbanRural.results = std::move(run->results);
            // Both regions end holding the last projected year and the schedules used; the
            // rural one is the single-region input set.
            projection::UrbanRuralInputs kept = session_.urbanRuralInputs();
            kept.rural.region = std::move(run->rural);
            kept.urban.region = std::move(run->urban);
            accept();
            resultForm_ = new Tmulti_result_Frm(session_, parentWidget());
            resultForm_->setWindowModality(Qt::ApplicationModal);
            resultForm_->show();
        });
}

}  // namespace zandor::ui
