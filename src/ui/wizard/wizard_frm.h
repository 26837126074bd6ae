// The projection wizard ("人口预测向导"): four modeless windows that take the base-year data
// by hand or from files and end in the single-region projection dialog with its schedules
// seeded. Step 1 (Tdefine_wizard_frm) sets the age-group count and the years; steps 2 to 4
// (Twizard_Frm01, Twizard_Frm02, Twizard_Frm03) hold the population, the death rates and the
// fertility rates by age. Each "下一步" derives the block's base-year values into the
// projection dialog, opens the next window and closes its own; "取消" closes only its own.
#pragma once

#include <QDialog>
#include <QPointer>

#include <string>
#include <vector>

#include "text/text_grid.h"

class QPushButton;
class QSpinBox;
class QTableView;

namespace zandor::ui {

class DataGrid;
class Session;
class TSingle_Region_frm;
class TextGridModel;

// What step 1 hands on to the data steps.
struct WizardChain {
    Session* session = nullptr;
    QPointer<DataGrid> mainGrid;
    QWidget* owner = nullptr;  // the main window, owner of every window of the chain
    int ageGroups = 0;
    int baseYear = 0;
    int endYear = 0;

    // The newest projection dialog (the one step 1 made, unless another has replaced it);
    // made anew with the wizard's years when there is none.
    TSingle_Region_frm* projectionDialog() const;
    // Makes a projection dialog for the wizard's data and remembers it as the newest.
    TSingle_Region_frm* newProjectionDialog() const;
    // Remembers a window of the chain as the newest of its class.
    void remember(QWidget* window) const;
};

class Tdefine_wizard_frm : public QDialog {
    Q_OBJECT
public:
    Tdefine_wizard_frm(Session& session, DataGrid* mainGrid, QWidget* parent = nullptr);

public slots:
    void Button1Click();  // "下一步"
    void BitBtn1Click();  // "取消"

private:
    Session& session_;
    QPointer<DataGrid> mainGrid_;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit3 = nullptr;
    QSpinBox* SpinEdit4 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

// A data step: its grid of ages and values, "读取", "保存", "下一步" and "取消".
class WizardDataStep : public QDialog {
    Q_OBJECT
public:
    // The grid as the step shows it (row 0 the headings, column 0 the ages), with the rows
    // kept beyond the shown ones.
    const text::TextGrid& grid() const { return grid_; }

public slots:
    void BitBtn1Click();  // "读取"
    void BitBtn2Click();  // "保存"
    void BitBtn3Click();  // "下一步"
    void cancelClick();   // "取消" (BitBtn4Click of step 2, BitBtn5Click of steps 3 and 4)
    // Esc and the title bar's close button: asks first when values were typed or read.
    void reject() override;

protected:
    struct Layout {
        const char* caption;
        const char* label;
        const char* cancelName;  // object name of "取消"
        std::vector<std::string> headings;
        int firstAge;
        int storedRows;
        int shownRows;
    };
    WizardDataStep(const WizardChain& chain, const Layout& layout);

    // Derives the block into the projection dialog (Refusal or a number message on failure).
    virtual void derive(TSingle_Region_frm& dialog) = 0;
    // Opens what follows this step.
    virtual void goOn() = 0;
    // The last grid row "保存" writes.
    virtual int rowsToSave() const;

    WizardChain chain_;

private:
    void tell(const QString& message);
    void commitPendingEdit();

    text::TextGrid grid_;
    int firstAge_;
    int shownRows_;
    TextGridModel* model_ = nullptr;
    QPointer<QWidget> editor_;
    QTableView* StringGrid1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* cancel_ = nullptr;
    bool entered_ = false;  // values typed or read from a file
    bool leaving_ = false;  // the step closes itself: 下一步 or 取消
};

// Step 2, "年龄别人口数".
class Twizard_Frm01 : public WizardDataStep {
    Q_OBJECT
public:
    explicit Twizard_Frm01(const WizardChain& chain);

private:
    void derive(TSingle_Region_frm& dialog) override;
    void goOn() override;
};

// Step 3, "年龄别死亡率".
class Twizard_Frm02 : public WizardDataStep {
    Q_OBJECT
public:
    explicit Twizard_Frm02(const WizardChain& chain);

private:
    void derive(TSingle_Region_frm& dialog) override;
    void goOn() override;
};

// Step 4, "年龄生育率"; its "下一步" shows the projection dialog.
class Twizard_Frm03 : public WizardDataStep {
    Q_OBJECT
public:
    explicit Twizard_Frm03(const WizardChain& chain);

private:
    void derive(TSingle_Region_frm& dialog) override;
    void goOn() override;
    int rowsToSave() const override;
};

}  // namespace zandor::ui
