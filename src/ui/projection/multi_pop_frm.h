// Tmulti_pop_Frm ("城乡人口预测"): the urban-rural projection dialog. Its ten field lists load
// the base-year series of the rural and the urban population from the current table, its
// pages hold the year-by-year schedules of both regions and of the movers from the rural to
// the urban population, and "运算" runs the projection and opens the results dialog.
#pragma once

#include <QDialog>
#include <QPointer>

#include "projection/urban_rural_inputs.h"
#include "ui/projection/schedule_pages.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace zandor::ui {

class ScheduleGrid;
class Runner;
class Session;
class Tmulti_result_Frm;

class Tmulti_pop_Frm : public QDialog {
    Q_OBJECT
public:
    // Esc and the title bar's close button: asks first when schedules were typed or loaded.
    void reject() override;
    // Opens as the menu command opens it: the field lists filled with the current table's
    // fields (none chosen), the years 1990 to 2000 and the grids built for them.
    explicit Tmulti_pop_Frm(Session& session, QWidget* parent = nullptr);
    ~Tmulti_pop_Frm() override;

    // The results dialog the last completed run opened (null before).
    Tmulti_result_Frm* resultForm() const;

public slots:
    // The field lists by input, each rural list before its urban one.
    void ComboBox2Change();
    void ComboBox1Change();
    void ComboBox3Change();
    void ComboBox10Change();
    void ComboBox4Change();
    void ComboBox11Change();
    void ComboBox5Change();
    void ComboBox12Change();
    void ComboBox6Change();
    void ComboBox13Change();
    // Year boxes and the year rebuild.
    void SpinEdit16Change();
    void SpinEdit17Change();
    void SpinEdit16DblClick();
    void SpinEdit17DblClick();
    void PageControl1Change();
    // The selected schedule row, one for the four one-row schedules.
    void StringGrid1SelectCell(int row);  // also the movers grid
    void StringGrid2SelectCell(int row);
    void StringGrid3SelectCell(int row);
    // "插值" of each schedule page.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    // "取消" and "运算".
    void BitBtn1Click();
    void BitBtn2Click();

private:
    void buildPages();
    QWidget* buildBasePage();
    // A schedule page: an optional heading, the grid, the interpolation group.
    QWidget* schedulePage(QWidget* heading, ScheduleGrid*& grid, const char* gridName, text::TextGrid& cells,
                          InterpolationGroup& group, const InterpolationNames& names,
                          ScheduleShape shape = ScheduleShape::Row);
    QWidget* buildMoverSharePage();
    void connectHandlers();

    void chooseField(projection::Region region, projection::InputField field, QComboBox* box);
    void syncChosenFields();
    void rebuildYears();
    void commitGridEdits();
    void tell(const QString& message);

    Session& session_;
    Runner* runner_ = nullptr;
    projection::UrbanRuralGrids grids_;
    QPointer<Tmulti_result_Frm> resultForm_;

    QTabWidget* PageControl1 = nullptr;
    // The base page: the field lists by input, each rural list before its urban one.
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox10 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox11 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox12 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    QComboBox* ComboBox13 = nullptr;
    QSpinBox* SpinEdit16 = nullptr;
    QSpinBox* SpinEdit17 = nullptr;
    QCheckBox* CheckBoxExact = nullptr;  // "精确模式"
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

    // The schedule pages in their order, then their interpolation groups.
    ScheduleGrid* StringGrid1 = nullptr;
    ScheduleGrid* StringGrid3 = nullptr;
    ScheduleGrid* StringGrid2 = nullptr;
    ScheduleGrid* StringGrid4 = nullptr;
    ScheduleGrid* StringGrid5 = nullptr;
    ScheduleGrid* StringGrid8 = nullptr;
    ScheduleGrid* StringGrid6 = nullptr;
    ScheduleGrid* StringGrid7 = nullptr;
    QComboBox* ComboBox7 = nullptr;  // "男性" or "女性": which of the last two "插值" fills
    InterpolationGroup tfrGroup_;           // SpinEdit2, SpinEdit3, Button1
    InterpolationGroup mortalityGroup_;     // SpinEdit6, SpinEdit7, Button3
    InterpolationGroup sexRatioGroup_;      // SpinEdit4, SpinEdit5, Button2
    InterpolationGroup ruralPatternGroup_;  // SpinEdit8, SpinEdit9, Button4
    InterpolationGroup urbanPatternGroup_;  // SpinEdit10, SpinEdit11, Button5
    InterpolationGroup moversGroup_;        // SpinEdit12, SpinEdit13, Button6
    InterpolationGroup moverShareGroup_;    // SpinEdit14, SpinEdit15, Button7
    SchedulePages pages_{session_};
};

}  // namespace zandor::ui
