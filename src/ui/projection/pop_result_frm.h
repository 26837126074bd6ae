// Tpop_result_Form1 ("预测结果"): the results dialog of a single-region projection. It lists
// the indicator catalogue and shows the chosen indicator as a text listing or an animated
// line or bar chart (the age structure as an animated pyramid).
#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

class QComboBox;
class QLayout;
class QPushButton;
class QRadioButton;

namespace zandor::ui {

class DataGrid;
class ResultSetPyramidFrames;
class Session;
class Tpop_data_resultForm1;

class Tpop_result_Form1 : public QDialog {
    Q_OBJECT
public:
    // `mainGrid` is the main window's grid, whose column colours "取消" resets.
    Tpop_result_Form1(Session& session, DataGrid* mainGrid, QWidget* parent = nullptr);
    ~Tpop_result_Form1() override;

public slots:
    void BitBtn2Click();  // 显示
    void BitBtn1Click();  // 取消
    void BitBtn3Click();  // 导出Excel
    // With the variants of a "多方案预测" run:
    void ComboBoxVariantChange(int index);  // the variant the listings and charts show
    void ButtonVariantChartClick();         // total population and births, a line per variant
    void ButtonVariantListingClick();       // the chosen indicator of every variant by year

private:
    void showListing(const QString& entry);
    void showChart(const QString& entry, bool bars);
    void buildVariantGroup(QLayout* layout);

    Session& session_;
    QPointer<DataGrid> mainGrid_;
    // What the pyramid buttons of this dialog's chart windows read; the windows are its
    // children, so it outlives them.
    std::unique_ptr<ResultSetPyramidFrames> pyramidFrames_;
    QComboBox* ComboBox1;
    QRadioButton* RadioButton12;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton15;
    QPushButton* BitBtn2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn3;
    QComboBox* ComboBoxVariant = nullptr;  // null without variants
    QPushButton* ButtonVariantChart = nullptr;
    QPushButton* ButtonVariantListing = nullptr;
};

}  // namespace zandor::ui
