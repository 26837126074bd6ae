// The handlers of Tmulti_pop_Frm: each gathers what the user set, calls the urban-rural
// engine and shows the outcome, or the engine's message in an information box.
#include "ui/projection/multi_pop_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include <exception>

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

projection::InterpolationMethod Tmulti_pop_Frm::InterpolationGroup::method() const
{
    if (copy->isChecked())
        return projection::InterpolationMethod::Copy;
    if (exponential && exponential->isChecked())
        return projection::InterpolationMethod::Exponential;
    return projection::InterpolationMethod::Linear;
}

Tmulti_pop_Frm::Tmulti_pop_Frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    runner_ = new Runner(this);
    setObjectName(QStringLiteral("multi_pop_Frm"));
    // The grids for the years the dialog opens with.
    grids_ = projection::openUrbanRuralGrids(2000 - 1990, 1990);
    buildPages();
    session_.projectionYearCount = endYear() - baseYear();

    const QStringList names = session_.fieldNames();
    for (QComboBox* box : {ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox1, ComboBox10, ComboBox11,
                           ComboBox12, ComboBox13}) {
        box->clear();
        box->addItems(names);
        box->setCurrentIndex(-1);
    }
    connectHandlers();
    for (ScheduleGrid* grid : findChildren<ScheduleGrid*>())
        connect(grid->model(), &QAbstractItemModel::dataChanged, this, [this] { typed_ = true; });
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
    const std::pair<QComboBox*, void (Self::*)()> lists[] = {
        {ComboBox2, &Self::ComboBox2Change},   {ComboBox3, &Self::ComboBox3Change},
        {ComboBox4, &Self::ComboBox4Change},   {ComboBox5, &Self::ComboBox5Change},
        {ComboBox6, &Self::ComboBox6Change},   {ComboBox1, &Self::ComboBox1Change},
        {ComboBox10, &Self::ComboBox10Change}, {ComboBox11, &Self::ComboBox11Change},
        {ComboBox12, &Self::ComboBox12Change}, {ComboBox13, &Self::ComboBox13Change},
    };
    for (const auto& [box, handler] : lists)
        connect(box, &QComboBox::currentTextChanged, this, handler);
    connect(SpinEdit16, &QSpinBox::valueChanged, this, &Self::SpinEdit16Change);
    connect(SpinEdit17, &QSpinBox::valueChanged, this, &Self::SpinEdit17Change);
    for (QSpinBox* box : {SpinEdit16, SpinEdit17}) {
        box->installEventFilter(this);
        for (QObject* child : box->children())
            child->installEventFilter(this);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &Self::PageControl1Change);
    connect(StringGrid1, &ScheduleGrid::cellSelected, this, &Self::StringGrid1SelectCell);
    connect(StringGrid8, &ScheduleGrid::cellSelected, this, &Self::StringGrid1SelectCell);
    connect(StringGrid2, &ScheduleGrid::cellSelected, this, &Self::StringGrid2SelectCell);
    connect(StringGrid3, &ScheduleGrid::cellSelected, this, &Self::StringGrid3SelectCell);
    connect(tfrGroup_.button, &QPushButton::clicked, this, &Self::Button1Click);
    connect(sexRatioGroup_.button, &QPushButton::clicked, this, &Self::Button2Click);
    connect(mortalityGroup_.button, &QPushButton::clicked, this, &Self::Button3Click);
    connect(ruralPatternGroup_.button, &QPushButton::clicked, this, &Self::Button4Click);
    connect(urbanPatternGroup_.button, &QPushButton::clicked, this, &Self::Button5Click);
    connect(moversGroup_.button, &QPushButton::clicked, this, &Self::Button6Click);
    connect(moverShareGroup_.button, &QPushButton::clicked, this, &Self::Button7Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Self::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Self::BitBtn2Click);
}

bool Tmulti_pop_Frm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == SpinEdit16 || watched->parent() == SpinEdit16)
            SpinEdit16DblClick();
        else if (watched == SpinEdit17 || watched->parent() == SpinEdit17)
            SpinEdit17DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

// ---- helpers ----

int Tmulti_pop_Frm::baseYear() const { return SpinEdit16->value(); }
int Tmulti_pop_Frm::endYear() const { return SpinEdit17->value(); }
void Tmulti_pop_Frm::tell(const QString& message) { Prompts::information(this, message); }

void Tmulti_pop_Frm::reloadGrids()
{
    for (ScheduleGrid* grid :
         {StringGrid1, StringGrid2, StringGrid3, StringGrid4, StringGrid5, StringGrid6, StringGrid7, StringGrid8})
        grid->gridModel()->reload();
}

void Tmulti_pop_Frm::commitGridEdits()
{
    for (ScheduleGrid* grid :
         {StringGrid1, StringGrid2, StringGrid3, StringGrid4, StringGrid5, StringGrid6, StringGrid7, StringGrid8})
        grid->commitPendingEdit();
}

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
                                          name.toStdString(), session_.table(), baseYear(), endYear());
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
    reloadGrids();
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

void Tmulti_pop_Frm::SpinEdit16Change()
{
    session_.yearsChanged = true;
    BitBtn2->setEnabled(false);
}

void Tmulti_pop_Frm::SpinEdit17Change() { SpinEdit16Change(); }
void Tmulti_pop_Frm::SpinEdit16DblClick() { rebuildYears(); }
void Tmulti_pop_Frm::SpinEdit17DblClick() { rebuildYears(); }
void Tmulti_pop_Frm::PageControl1Change() { rebuildYears(); }

void Tmulti_pop_Frm::rebuildYears()
{
    commitGridEdits();
    syncChosenFields();
    const bool wasChanged = session_.yearsChanged;
    try {
        const auto refusals = projection::rebuildUrbanRuralYears(session_.urbanRuralInputs(), grids_, session_.table(),
                                                                 baseYear(), endYear(), session_.yearsChanged);
        reloadGrids();
        for (const auto& refusal : refusals)
            tell(QString::fromStdString(refusal));
    } catch (const std::exception& e) {
        // Years that do not work leave the grids and the boxes as they are, and the button off.
        // The refusal is said once for these years, not again at every click in a year box.
        reloadGrids();
        const QString refusal = messageOf(e);
        if (refusal != yearsRefusalShown_)
            tell(refusal);
        yearsRefusalShown_ = refusal;
        return;
    }
    yearsRefusalShown_.clear();
    if (wasChanged && !session_.yearsChanged) {
        session_.projectionYearCount = endYear() - baseYear();
        BitBtn2->setEnabled(true);
    }
    const projection::InterpolationBoxes limits = projection::interpolationBoxes(baseYear(), endYear());
    for (const InterpolationGroup* group : {&tfrGroup_, &sexRatioGroup_, &mortalityGroup_, &ruralPatternGroup_,
                                            &urbanPatternGroup_, &moversGroup_, &moverShareGroup_}) {
        group->start->setRange(limits.startMinimum, limits.startMaximum);
        group->start->setValue(limits.startValue);
        group->end->setRange(limits.endMinimum, limits.endMaximum);
        group->end->setValue(limits.endValue);
    }
}

// ---- selected schedule row ----

void Tmulti_pop_Frm::StringGrid1SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }
void Tmulti_pop_Frm::StringGrid2SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }
void Tmulti_pop_Frm::StringGrid3SelectCell(int row) { session_.urbanRural.selectedScheduleRow = row; }

// ---- interpolation ----

void Tmulti_pop_Frm::interpolate(const InterpolationGroup& group, ScheduleGrid* grid, int row)
{
    grid->commitPendingEdit();
    text::TextGrid& cells = grid->gridModel()->grid();
    // The selected row is shared with the four-row life-expectancy grid: a row a two-row grid
    // lacks reads as an empty cell, which is no number.
    if (row >= cells.rowCount()) {
        tell(QStringLiteral("本页表格没有第 %1 行 (选中的行在另一页的表格里): 请先在本页表格中选择要插值的行.").arg(row));
        return;
    }
    const int start = group.start->value();
    const int end = group.end->value();
    try {
        if (grid == StringGrid4 || grid == StringGrid5)
            projection::interpolatePattern(cells, baseYear(), start, end, group.method());
        else if (grid == StringGrid6 || grid == StringGrid7)
            projection::interpolateMoverShares(cells, baseYear(), start, end, group.method());
        else
            projection::interpolateRow(cells, row, baseYear(), start, end, group.method());
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
    grid->gridModel()->reload();
}

void Tmulti_pop_Frm::Button1Click() { interpolate(tfrGroup_, StringGrid1, session_.urbanRural.selectedScheduleRow); }
void Tmulti_pop_Frm::Button2Click()
{
    interpolate(sexRatioGroup_, StringGrid2, session_.urbanRural.selectedScheduleRow);
}
void Tmulti_pop_Frm::Button3Click()
{
    interpolate(mortalityGroup_, StringGrid3, session_.urbanRural.selectedScheduleRow);
}
void Tmulti_pop_Frm::Button4Click() { interpolate(ruralPatternGroup_, StringGrid4, 0); }
void Tmulti_pop_Frm::Button5Click() { interpolate(urbanPatternGroup_, StringGrid5, 0); }
void Tmulti_pop_Frm::Button6Click() { interpolate(moversGroup_, StringGrid8, session_.urbanRural.selectedScheduleRow); }
void Tmulti_pop_Frm::Button7Click()
{
    // The female grid when "女性" is chosen; any other text of the list means the male grid.
    ScheduleGrid* grid = ComboBox7->currentText() == QStringLiteral("女性") ? StringGrid7 : StringGrid6;
    interpolate(moverShareGroup_, grid, 0);
}

// ---- 取消 and 运算 ----

void Tmulti_pop_Frm::BitBtn1Click() { QDialog::reject(); }

// Esc and the title bar's close button: schedules typed or loaded with a field are not
// dropped without asking.
void Tmulti_pop_Frm::reject()
{
    bool entered = typed_;
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
