// The population target dialog: its controls, the field loaders, and the search run through
// the runner, its reports shown in the status edits and the progress bar.
#include "ui/analysis/target_planning_frm.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QCloseEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <exception>

#include "analysis/result_workbooks.h"
#include "text/refusal.h"
#include "ui/charts/chart_view.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/common/workbook_export.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

QLineEdit* edit(QWidget* parent, const char* name, const char* text)
{
    return named(new QLineEdit(QString::fromLatin1(text), parent), name);
}

QSpinBox* yearBox(QWidget* parent, const char* name, int value)
{
    auto* box = named(new QSpinBox(parent), name);
    box->setRange(1500, 3000);
    box->setValue(value);
    return box;
}

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TTarget_Planning_Frm1::TTarget_Planning_Frm1(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), runner_(new Runner(this, Runner::Display::CallerControls))
{
    setObjectName(QStringLiteral("Target_Planning_Frm1"));
    setWindowTitle(QStringLiteral("Target_Planning_Frm1"));

    auto* fields = new QGroupBox(QStringLiteral("Age Specific Population Property:"), this);
    auto* fieldLayout = new QGridLayout(fields);
    const struct {
        QComboBox** box;
        const char* name;
        const char* label;
    } boxes[] = {{&ComboBox2, "ComboBox2", "Male Population:"},   {&ComboBox3, "ComboBox3", "Female Population:"},
                 {&ComboBox4, "ComboBox4", "Male Death Rate:"},   {&ComboBox5, "ComboBox5", "Female Death Rate:"},
                 {&ComboBox6, "ComboBox6", "ASFertility Rate"}};
    int row = 0;
    for (const auto& b : boxes) {
        *b.box = named(new QComboBox(fields), b.name);
        (*b.box)->addItems(session_.fieldNames());
        (*b.box)->setCurrentIndex(-1);
        fieldLayout->addWidget(new QLabel(QString::fromLatin1(b.label), fields), row, 0);
        fieldLayout->addWidget(*b.box, row++, 1);
    }

    auto* years = new QGroupBox(QStringLiteral("Planning Year"), this);
    SpinEdit1 = yearBox(years, "SpinEdit1", 1990);
    SpinEdit2 = yearBox(years, "SpinEdit2", 2000);
    auto* yearLayout = new QGridLayout(years);
    yearLayout->addWidget(new QLabel(QStringLiteral("From ..."), years), 0, 0);
    yearLayout->addWidget(SpinEdit1, 0, 1);
    yearLayout->addWidget(new QLabel(QStringLiteral("To ..."), years), 1, 0);
    yearLayout->addWidget(SpinEdit2, 1, 1);

    Edit7 = edit(this, "Edit7", "1260000000");
    RadioButton1 = named(new QRadioButton(QStringLiteral("RadioButton1"), this), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("RadioButton2"), this), "RadioButton2");
    RadioButton1->setChecked(true);

    Edit1 = edit(this, "Edit1", "100");
    Edit2 = edit(this, "Edit2", "0.2");
    Edit3 = edit(this, "Edit3", "0.5");
    Edit4 = edit(this, "Edit4", "0.05");
    Edit5 = edit(this, "Edit5", "300");
    Edit10 = edit(this, "Edit10", "500");
    Edit12 = edit(this, "Edit12", "2.0");
    Edit9 = edit(this, "Edit9", "Edit9");
    Edit6 = edit(this, "Edit6", "Edit6");
    Edit11 = edit(this, "Edit11", "Edit11");
    SeedLabel = named(new QLabel(this), "SeedLabel");
    SeedLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FolderLabel = named(new QLabel(this), "FolderLabel");
    FolderLabel->setText(QStringLiteral("Report folder: ") + QDir::toNativeSeparators(reportFolder()));

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("Population Target"), this), 0, 0);
    settings->addWidget(Edit7, 0, 1, 1, 3);
    settings->addWidget(RadioButton1, 1, 0, 1, 2);
    settings->addWidget(RadioButton2, 1, 2, 1, 2);
    int column = 0;
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit10, Edit12}) {
        settings->addWidget(e, 2 + column / 4, column % 4);
        ++column;
    }

    // Each status box has a row of its own: "500last_curve:495" and the year summary show whole.
    auto* status = new QGridLayout;
    status->addWidget(Edit9, 0, 0, 1, 2);
    status->addWidget(SeedLabel, 0, 2);
    status->addWidget(Edit11, 1, 0, 1, 3);
    status->addWidget(Edit6, 2, 0, 1, 3);
    status->addWidget(FolderLabel, 4, 0, 1, 3);
    FolderLabel->setWordWrap(true);
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    StopButton = named(new QPushButton(QStringLiteral("Stop"), this), "StopButton");
    StopButton->setEnabled(false);
    status->addWidget(ProgressBar1, 3, 0, 1, 2);
    status->addWidget(StopButton, 3, 2);

    Chart1 = named(new ChartView(this), "Chart1");
    Chart1->setMinimumSize(420, 260);
    charts::ChartModel& chart = Chart1->edit();
    chart.title = QStringLiteral("TChart");
    chart.view.enabled = false;
    chart.addSeries(charts::SeriesKind::Line, QStringLiteral("mean"), QColor(255, 0, 0));
    chart.addSeries(charts::SeriesKind::Line, QStringLiteral("reference"), QColor(0, 128, 0));

    BitBtn2 = named(new QPushButton(QStringLiteral("&OK"), this), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("&Exit"), this), "BitBtn1");
    BitBtn2->setDefault(true);
    BitBtn3 = named(new QPushButton(QStringLiteral("导出Excel"), this), "BitBtn3");
    BitBtn3->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(fields);
    left->addWidget(years);
    left->addLayout(settings);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Chart1, 1);
    right->addLayout(status);
    auto* buttons = buttonRow({BitBtn2, BitBtn3, BitBtn1});
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    connect(ComboBox6, &QComboBox::currentTextChanged, this, &TTarget_Planning_Frm1::ComboBox6Change);
    // The other loaders check their series when chosen; "&OK" reads them again.
    const struct {
        QComboBox* box;
        analysis::TargetSeries kind;
    } checked[] = {{ComboBox2, analysis::TargetSeries::Population},
                   {ComboBox3, analysis::TargetSeries::Population},
                   {ComboBox4, analysis::TargetSeries::DeathRates},
                   {ComboBox5, analysis::TargetSeries::DeathRates}};
    for (const auto& c : checked)
        connect(c.box, &QComboBox::currentTextChanged, this, [this, c] {
            std::vector<double> ignored;
            loadSeries(c.box, c.kind, ignored);
        });
    connect(BitBtn2, &QPushButton::clicked, this, &TTarget_Planning_Frm1::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TTarget_Planning_Frm1::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TTarget_Planning_Frm1::BitBtn3Click);
    connect(StopButton, &QPushButton::clicked, this, &TTarget_Planning_Frm1::StopButtonClick);
    connect(runner_, &Runner::progressValueChanged, ProgressBar1, &QProgressBar::setValue);
    connect(runner_, &Runner::progressTextChanged, this, &TTarget_Planning_Frm1::showStatus);
}

bool TTarget_Planning_Frm1::searching() const { return runner_->running(); }

// The table's folder, else (a table on a read-only medium, an installed sample) the user's
// documents folder.
QString TTarget_Planning_Frm1::reportFolder() const
{
    const QString tableFolder = QFileInfo(session_.currentTableName).absolutePath();
    if (QFileInfo(tableFolder).isWritable())
        return tableFolder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// ---- changes from the controls ----

void TTarget_Planning_Frm1::loadSeries(QComboBox* box, analysis::TargetSeries kind, std::vector<double>& into)
{
    const std::string field = box->currentText().toStdString();
    if (field.empty())
        return;
    try {
        into = analysis::loadTargetSeries(session_.table(), field, kind);
    } catch (const std::exception& e) {
        Prompts::information(this, text(e.what()));
    }
}

void TTarget_Planning_Frm1::ComboBox6Change() { loadSeries(ComboBox6, analysis::TargetSeries::Fertility, fertility_); }

// Checks the choices, reads the four fields again, ages the population and derives the
// births on this thread (quick, and every refusal shows at once); then hands the search to
// the runner and returns. A year that fails shows its message when the search ends; the
// years before it keep their report files and points.
void TTarget_Planning_Frm1::BitBtn2Click()
{
    if (searching())
        return;
    try {
        const std::array<std::string, 4> names = {
            ComboBox2->currentText().toStdString(), ComboBox3->currentText().toStdString(),
            ComboBox4->currentText().toStdString(), ComboBox5->currentText().toStdString()};
        analysis::checkTargetChoice(names, SpinEdit1->value(), SpinEdit2->value());
        analysis::TargetPlanningInput input;
        input.malePopulation = analysis::loadTargetSeries(session_.table(), names[0], analysis::TargetSeries::Population);
        input.femalePopulation = analysis::loadTargetSeries(session_.table(), names[1], analysis::TargetSeries::Population);
        input.maleRates = analysis::loadTargetSeries(session_.table(), names[2], analysis::TargetSeries::DeathRates);
        input.femaleRates = analysis::loadTargetSeries(session_.table(), names[3], analysis::TargetSeries::DeathRates);
        input.fertility = fertility_;
        input.fromYear = SpinEdit1->value();
        input.toYear = SpinEdit2->value();
        input.mode = RadioButton2->isChecked() ? analysis::BirthsMode::EqualCohorts : analysis::BirthsMode::ConstantBirths;
        settings_ = analysis::parseTargetSettings({Edit7->text().toStdString(), Edit1->text().toStdString(),
                                                   Edit2->text().toStdString(), Edit3->text().toStdString(),
                                                   Edit4->text().toStdString(), Edit5->text().toStdString(),
                                                   Edit10->text().toStdString(), Edit12->text().toStdString()});
        births_ = analysis::prepareTargetBirths(input, settings_);
        analysis::checkRequiredBirths(births_);
        // A folder the reports cannot go to is said now, not after the first year's runs.
        analysis::requireWritableReportFolder(reportFolder().toStdString());
        analysis::requireWritableReports(reportFolder().toStdString(), births_.yearCount);
    } catch (const std::exception& e) {
        Prompts::information(this, text(e.what()));
        return;
    }
    // Reports of an earlier, longer search are renamed, so that every TFR<i>.txt left in the
    // folder belongs to this one.
    QString folderText = QStringLiteral("Report folder: ") + QDir::toNativeSeparators(reportFolder());
    const std::vector<std::string> renamed = analysis::setAsideStaleReports(reportFolder().toStdString(), births_.yearCount);
    if (!renamed.empty()) {
        QStringList names;
        for (const std::string& name : renamed)
            names << text(name);
        folderText += QStringLiteral("\n上次的报告已改名: ") + names.join(QStringLiteral(", "));
    }
    FolderLabel->setText(folderText);

    seed_ = analysis::clockSeed();
    SeedLabel->setText(QStringLiteral("Seed: %1").arg(seed_));
    reference_ = births_.reference;
    finished_.clear();
    for (auto& series : Chart1->edit().series)
        series.clear();
    Chart1->update();
    ProgressBar1->setRange(0, births_.yearCount * settings_.runs);
    ProgressBar1->setValue(0);
    reportFolder_ = reportFolder();
    reportError_.clear();

    analysis::TargetSearchOptions options;
    options.seed = seed_;
    runner_->runEach<analysis::TargetYearResult>(
        windowTitle(),
        [births = births_, settings = settings_, options](const Feedback& feedback, const auto& yield) {
            analysis::searchTargetFertility(births, settings, options, feedback, yield);
        },
        [this](const analysis::TargetYearResult& year) { yearArrived(year); },
        [this](const RunOutcome& outcome) { searchEnded(outcome); });
    BitBtn2->setEnabled(false);
    BitBtn3->setEnabled(false);
    StopButton->setEnabled(true);
}

// The years the latest search finished, as a workbook.
void TTarget_Planning_Frm1::BitBtn3Click()
{
    if (searching() || finished_.empty())
        return;
    exportWorkbook(this, [this] { return analysis::targetPlanSheets(births_, finished_); });
}

void TTarget_Planning_Frm1::StopButtonClick()
{
    runner_->stop();
    StopButton->setEnabled(false);
}

// Closing the dialog stops the search; the years it finishes meanwhile are still written.
void TTarget_Planning_Frm1::closeEvent(QCloseEvent* event)
{
    runner_->stop();
    QDialog::closeEvent(event);
}

void TTarget_Planning_Frm1::BitBtn1Click() { close(); }

// ---- changes from the search ----

// After every run: the run just finished, the generation it ended at and the year's
// converged runs.
void TTarget_Planning_Frm1::showStatus(const QString& status)
{
    const auto run = analysis::parseTargetRunStatus(status.toStdString());
    if (!run)
        return;
    Edit9->setText(QString::number(run->run));
    Edit6->setText(QString::number(run->generation));
    Edit11->setText(QString::number(run->converged));
}

// A year's result: its report file first (a report that cannot be written stops the
// search), then the summary and the chart's points.
void TTarget_Planning_Frm1::yearArrived(const analysis::TargetYearResult& year)
{
    if (!reportError_.isEmpty())
        return;
    try {
        analysis::writeTargetReport(reportFolder_.toStdString(), births_, year);
    } catch (const std::exception& e) {
        reportError_ = text(e.what());
        runner_->stop();
        return;
    }
    finished_.push_back(year);
    Edit6->setText(text(analysis::targetYearSummary(year)));
    Edit11->setText(text(analysis::targetCurvesSummary(year)));
    auto& series = Chart1->edit().series;
    for (int j = 0; j < analysis::kTargetGenes; ++j) {
        series[0].add(year.meanSchedule[j], QStringLiteral(" "));
        series[1].add(reference_[j], QStringLiteral(" "));
    }
    Chart1->update();
}

// The search has ended: a failure is told; a stop is summed up with the finished years.
void TTarget_Planning_Frm1::searchEnded(const RunOutcome& outcome)
{
    BitBtn2->setEnabled(true);
    BitBtn3->setEnabled(!finished_.empty());
    StopButton->setEnabled(false);
    if (!reportError_.isEmpty())
        Prompts::information(this, reportError_);
    else if (outcome.kind == RunOutcome::Kind::Refused || outcome.kind == RunOutcome::Kind::Failed)
        Prompts::information(this, outcome.message);
    else if (outcome.kind == RunOutcome::Kind::Stopped)
        Edit6->setText(text(analysis::targetStoppedSummary(births_.fromYear, static_cast<int>(finished_.size()))));
}

}  // namespace zandor::ui
