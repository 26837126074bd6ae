// The population target dialog (unit Target_Planning_Unit1): choose the population, death-rate
// and reference fertility fields of the current table, the planning years, the target and
// the search's settings, and search ("&OK") for the fertility that keeps the population on
// its target. The search goes through the runner with the window left usable; its progress
// shows in Edit9, Edit6, Edit11 and a progress bar, "Stop" ends it after the runs under way,
// and closing the dialog stops it too. As each year's result arrives, the window writes its
// report file into the current table's folder and adds the mean schedule and the reference
// schedule to the chart.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

#include "analysis/target_planning.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zandor::ui {

struct RunOutcome;
class ChartView;
class Runner;
class Session;

class TTarget_Planning_Frm1 : public QDialog {
    Q_OBJECT
public:
    explicit TTarget_Planning_Frm1(Session& session, QWidget* parent = nullptr);

    // The seed of the latest press (shown in SeedLabel).
    std::uint64_t seed() const { return seed_; }
    // The folder the report files go to: the current table's folder.
    QString reportFolder() const;
    // The years the latest press finished.
    const std::vector<analysis::TargetYearResult>& finishedYears() const { return finished_; }
    ChartView* chart() const { return Chart1; }
    // Whether a search is under way.
    bool searching() const;

    QComboBox* ComboBox2 = nullptr;  // Male Population
    QComboBox* ComboBox3 = nullptr;  // Female Population
    QComboBox* ComboBox4 = nullptr;  // Male Death Rate
    QComboBox* ComboBox5 = nullptr;  // Female Death Rate
    QComboBox* ComboBox6 = nullptr;  // ASFertility Rate
    QSpinBox* SpinEdit1 = nullptr;   // From ...
    QSpinBox* SpinEdit2 = nullptr;   // To ...
    QLineEdit* Edit7 = nullptr;      // Population Target
    QRadioButton* RadioButton1 = nullptr;  // constant births
    QRadioButton* RadioButton2 = nullptr;  // equal surviving cohorts
    QLineEdit* Edit1 = nullptr;   // individuals
    QLineEdit* Edit2 = nullptr;   // crossover probability
    QLineEdit* Edit3 = nullptr;   // mutation probability
    QLineEdit* Edit4 = nullptr;   // selection pressure
    QLineEdit* Edit5 = nullptr;   // generations
    QLineEdit* Edit10 = nullptr;  // runs
    QLineEdit* Edit12 = nullptr;  // range factor
    QLineEdit* Edit9 = nullptr;   // current run
    QLineEdit* Edit6 = nullptr;   // generation, then the year's summary
    QLineEdit* Edit11 = nullptr;  // converged runs, then the retained curves
    QLabel* SeedLabel = nullptr;
    QLabel* FolderLabel = nullptr;
    ChartView* Chart1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* StopButton = nullptr;
    QPushButton* BitBtn2 = nullptr;  // &OK
    QPushButton* BitBtn1 = nullptr;  // &Exit
    QPushButton* BitBtn3 = nullptr;  // 导出Excel, once a search has finished years

public slots:
    void ComboBox6Change();
    void BitBtn2Click();
    void BitBtn1Click();
    void BitBtn3Click();
    void StopButtonClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void loadSeries(QComboBox* box, analysis::TargetSeries kind, std::vector<double>& into);
    void showStatus(const QString& status);
    void yearArrived(const analysis::TargetYearResult& year);
    void searchEnded(const RunOutcome& outcome);

    Session& session_;
    std::vector<double> fertility_;  // the reference schedule, as its loader read it
    std::vector<double> reference_;  // ages 15-49 of the press under way
    std::vector<analysis::TargetYearResult> finished_;
    std::uint64_t seed_ = 0;

    // The press under way or last made: what the search was given, and a report that could
    // not be written (the search is stopped and the message shown when it has ended).
    Runner* runner_;
    analysis::TargetBirths births_;
    analysis::TargetPlanningSettings settings_;
    QString reportFolder_;
    QString reportError_;
};

}  // namespace zandor::ui
