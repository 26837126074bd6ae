// TSingle_Region_frm ("人口预测"): the single-region projection dialog. Its field lists load
// the base-year series of the current table, its pages hold the year-by-year schedules, and
// "开始预测" runs the projection and opens the results dialog.
#pragma once

#include <QDialog>
#include <QPointer>

#include <vector>

#include "ui/projection/schedule_pages.h"
#include "ui/session/single_region_session.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace zandor::projection {
struct ProjectionRun;
struct VariantRun;
}

namespace zandor::ui {

class DataGrid;
class Runner;
class ScheduleGrid;
class Session;
class TextGridModel;
class Tpop_result_Form1;

class TSingle_Region_frm : public QDialog {
    Q_OBJECT
public:
    // Esc and the title bar's close button: asks first when schedules were typed or loaded.
    void reject() override;
    // Opens as the projection command opens it: the field lists filled with the current
    // table's fields (none chosen), the grids built for the session's projection year count.
    // `mainGrid` is the main window's grid, whose columns the field lists mark.
    TSingle_Region_frm(Session& session, DataGrid* mainGrid, QWidget* parent = nullptr);
    ~TSingle_Region_frm() override;

    // The results dialog the last completed run opened (null before).
    Tpop_result_Form1* resultForm() const;

    // The projection wizard fills the input set and the schedule grids instead of the field
    // lists: those and the year boxes are disabled, the boxes showing the wizard's years.
    void useWizardData(int baseYear, int endYear);
    // The schedule grids, which the wizard's steps seed; then showScheduleGrids() shows them.
    projection::SingleRegionGrids& scheduleGrids() { return grids_; }
    void showScheduleGrids();

public slots:
    // Field lists.
    void ComboBox2Change();
    void ComboBox3Change();
    void ComboBox4Change();
    void ComboBox5Change();
    void ComboBox6Change();
    // Year boxes and the year rebuild.
    void SpinEdit10Change();
    void SpinEdit11Change();
    void SpinEdit10DblClick();
    void SpinEdit11DblClick();
    void PageControl1Change();
    // End-column boxes of the interpolation groups.
    void SpinEdit3Change();
    void SpinEdit5Change();
    void SpinEdit7Change();
    void SpinEdit9Change();
    void SpinEdit12Change();
    // Options.
    void RadioButton16Click();
    void RadioButton20Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void StringGrid3SelectCell(int row);
    void StringGrid5SelectCell(int row);
    // "插值" of each schedule page.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    // "取消" and "开始预测".
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void buildPages();
    QWidget* buildBasePage();
    QWidget* buildTfrPage();
    QWidget* buildMortalityPage();
    QWidget* buildSexRatioPage();
    QWidget* buildPatternPage();
    QWidget* buildUrbanPage();
    QWidget* buildMigrantPage();
    void connectHandlers();

    void chooseField(FieldList list);
    void markField(FieldList list, const QString& fieldName);
    void rebuildYears();
    void endColumnChanged(QSpinBox* box);
    void syncChosenFields();
    void commitGridEdits();
    void tell(const QString& message);
    void keepRun(projection::ProjectionRun run);
    bool keepVariants(std::vector<projection::VariantRun> runs);
    void showResults();

    projection::SingleRegionInputs& inputs();

    Session& session_;
    QPointer<DataGrid> mainGrid_;
    Runner* runner_;
    projection::SingleRegionGrids grids_;
    QPointer<Tpop_result_Form1> resultForm_;

    QTabWidget* PageControl1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    QComboBox* ComboBox7 = nullptr;
    QComboBox* ComboBox8 = nullptr;
    QComboBox* ComboBox9 = nullptr;
    QSpinBox* SpinEdit10 = nullptr;
    QSpinBox* SpinEdit11 = nullptr;
    QRadioButton* RadioButton16 = nullptr;
    QRadioButton* RadioButton20 = nullptr;
    QRadioButton* RadioButton11 = nullptr;
    QRadioButton* RadioButton7 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QCheckBox* CheckBoxExact = nullptr;  // "精确模式"
    QCheckBox* CheckBoxVariants = nullptr;  // "多方案预测", on the TFR page
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    ScheduleGrid* StringGrid1 = nullptr;
    ScheduleGrid* StringGrid2 = nullptr;
    ScheduleGrid* StringGrid3 = nullptr;
    ScheduleGrid* StringGrid4 = nullptr;
    ScheduleGrid* StringGrid5 = nullptr;

    InterpolationGroup tfrGroup_;        // SpinEdit2, SpinEdit3, Button1
    InterpolationGroup sexRatioGroup_;   // SpinEdit4, SpinEdit5, Button2
    InterpolationGroup mortalityGroup_;  // SpinEdit6, SpinEdit7, Button3
    InterpolationGroup patternGroup_;    // SpinEdit8, SpinEdit9, Button4
    InterpolationGroup migrantGroup_;    // SpinEdit1, SpinEdit12, Button5
    SchedulePages pages_{session_};
};

}  // namespace zandor::ui
