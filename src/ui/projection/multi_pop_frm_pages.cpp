// The pages and controls of Tmulti_pop_Frm, with their captions, defaults and ranges.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "projection/messages.h"
#include "ui/common/named.h"
#include "ui/projection/multi_pop_frm.h"
#include "ui/projection/schedule_grid.h"
#include "ui/projection/schedule_pages.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

// Object names of the interpolation groups (no "指数插值" on the mover-share page).
const InterpolationNames kTfr{"SpinEdit2", "SpinEdit3", "RadioButton9", "RadioButton10", "RadioButton1", "Button1"};
const InterpolationNames kSexRatio{"SpinEdit4", "SpinEdit5", "RadioButton2", "RadioButton3", "RadioButton4", "Button2"};
const InterpolationNames kMortality{"SpinEdit6", "SpinEdit7", "RadioButton5", "RadioButton13", "RadioButton14",
                                    "Button3"};
const InterpolationNames kRuralPattern{"SpinEdit8", "SpinEdit9", "RadioButton8", "RadioButton12", "RadioButton15",
                                       "Button4"};
const InterpolationNames kUrbanPattern{"SpinEdit10", "SpinEdit11", "RadioButton6", "RadioButton16", "RadioButton17",
                                       "Button5"};
const InterpolationNames kMovers{"SpinEdit12", "SpinEdit13", "RadioButton18", "RadioButton19", "RadioButton20",
                                 "Button6"};
const InterpolationNames kMoverShare{"SpinEdit14", "SpinEdit15", "RadioButton21", nullptr, "RadioButton23", "Button7"};

// The captions of every group, and the form's column ranges until the first page change sets
// them from the years.
InterpolationForm groupForm()
{
    return {.startLabel = QStringLiteral("起始列:"),
            .endLabel = QStringLiteral("终止列:"),
            .boxes = {.startMinimum = 1991,
                      .startMaximum = 2050,
                      .startValue = 1991,
                      .endMinimum = 1992,
                      .endMaximum = 2050,
                      .endValue = 2000}};
}

}  // namespace

void Tmulti_pop_Frm::buildPages()
{
    PageControl1 = pageControl(this, QStringLiteral("城乡人口预测"));
    PageControl1->addTab(buildBasePage(), QStringLiteral("基础数据"));

    auto* tfr = new QRadioButton(QStringLiteral("总和生育率:"));
    named(tfr, "RadioButton11")->setChecked(true);
    PageControl1->addTab(schedulePage(tfr, StringGrid1, "StringGrid1", grids_.tfr, tfrGroup_, kTfr),
                         QStringLiteral("总和生育率"));
    auto* e0 = new QRadioButton(QStringLiteral("期望寿命:"));
    named(e0, "RadioButton7")->setChecked(true);
    PageControl1->addTab(
        schedulePage(e0, StringGrid3, "StringGrid3", grids_.lifeExpectancy, mortalityGroup_, kMortality),
        QStringLiteral("死亡参数"));
    PageControl1->addTab(schedulePage(named(new QLabel(QStringLiteral("出生性别比:")), "Label1"), StringGrid2,
                                      "StringGrid2", grids_.sexRatio, sexRatioGroup_, kSexRatio),
                         QStringLiteral("性别参数"));
    PageControl1->addTab(schedulePage(nullptr, StringGrid4, "StringGrid4", grids_.ruralPattern, ruralPatternGroup_,
                                      kRuralPattern, ScheduleShape::Pattern),
                         QStringLiteral("农村生育模式"));
    PageControl1->addTab(schedulePage(nullptr, StringGrid5, "StringGrid5", grids_.urbanPattern, urbanPatternGroup_,
                                      kUrbanPattern, ScheduleShape::Pattern),
                         QStringLiteral("城市生育模式"));
    PageControl1->addTab(
        schedulePage(nullptr, StringGrid8, "StringGrid8", grids_.movers, moversGroup_, kMovers),
        QStringLiteral("城镇化规模"));
    PageControl1->addTab(buildMoverSharePage(), QStringLiteral("城镇化模式"));
    PageControl1->setCurrentIndex(0);
    resize(820, 600);
    pages_.setControls(
        SpinEdit16, SpinEdit17, BitBtn2,
        {StringGrid1, StringGrid2, StringGrid3, StringGrid4, StringGrid5, StringGrid6, StringGrid7, StringGrid8},
        {&tfrGroup_, &sexRatioGroup_, &mortalityGroup_, &ruralPatternGroup_, &urbanPatternGroup_, &moversGroup_,
         &moverShareGroup_});
}

QWidget* Tmulti_pop_Frm::buildBasePage()
{
    auto* page = named(new QWidget, "TabSheet1");
    auto* layout = new QVBoxLayout(page);
    auto* regions = new QHBoxLayout;
    const auto fieldGroup = [page](const char* title, const char* name, QComboBox* boxes[5],
                                   const char* const boxNames[5]) {
        auto* group = named(new QGroupBox(QString::fromUtf8(title), page), name);
        auto* form = new QFormLayout(group);
        const char* const labels[] = {"男性年龄别人口", "女性年龄别人口", "男性年龄别死亡率", "女性年龄别死亡率",
                                      "年龄别生育率"};
        for (int i = 0; i < 5; ++i) {
            boxes[i] = fieldList(group, boxNames[i]);
            form->addRow(QString::fromUtf8(labels[i]), boxes[i]);
        }
        return group;
    };
    QComboBox* rural[5];
    QComboBox* urban[5];
    const char* const ruralNames[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"};
    const char* const urbanNames[] = {"ComboBox1", "ComboBox10", "ComboBox11", "ComboBox12", "ComboBox13"};
    regions->addWidget(fieldGroup("分年龄分性别农村人口数据", "GroupBox1", rural, ruralNames));
    regions->addWidget(fieldGroup("分年龄分性别城市人口数据", "GroupBox2", urban, urbanNames));
    ComboBox2 = rural[0];
    ComboBox3 = rural[1];
    ComboBox4 = rural[2];
    ComboBox5 = rural[3];
    ComboBox6 = rural[4];
    ComboBox1 = urban[0];
    ComboBox10 = urban[1];
    ComboBox11 = urban[2];
    ComboBox12 = urban[3];
    ComboBox13 = urban[4];
    layout->addLayout(regions);

    auto* years = named(new QGroupBox(QStringLiteral("预测年份"), page), "GroupBox3");
    auto* yearForm = new QFormLayout(years);
    SpinEdit16 = spinBox(years, "SpinEdit16", 0, 2050, 1990);
    SpinEdit17 = spinBox(years, "SpinEdit17", 0, 2050, 2000);
    yearForm->addRow(QStringLiteral("基础数据年份"), SpinEdit16);
    yearForm->addRow(QStringLiteral("预测终止年份"), SpinEdit17);
    auto* row = new QHBoxLayout;
    row->addWidget(years);
    CheckBoxExact = named(new QCheckBox(QString::fromUtf8(projection::label::kExactMode.data(),
                                                          static_cast<qsizetype>(projection::label::kExactMode.size())),
                                        page),
                          "CheckBoxExact");
    CheckBoxExact->setToolTip(QStringLiteral("出生预期寿命按生命表自身的e0拟合，最高年龄组作为开放组存活"));
    row->addWidget(CheckBoxExact, 0, Qt::AlignBottom);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);

    runButtons(page, layout, QStringLiteral("运算"), BitBtn2, BitBtn1);
    return page;
}

QWidget* Tmulti_pop_Frm::schedulePage(QWidget* heading, ScheduleGrid*& grid, const char* gridName,
                                      text::TextGrid& cells, InterpolationGroup& group, const InterpolationNames& names,
                                      ScheduleShape shape)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    if (heading) {
        heading->setParent(page);
        layout->addWidget(heading);
    }
    grid = named(new ScheduleGrid(new TextGridModel(cells, this), page), gridName);
    layout->addWidget(grid, 1);
    // Every one-row schedule interpolates the row last selected in any of them.
    group.grid = grid;
    group.shape = shape;
    group.selectedRow = &session_.urbanRural.selectedScheduleRow;
    layout->addWidget(interpolationGroup(group, names, groupForm()));
    return page;
}

QWidget* Tmulti_pop_Frm::buildMoverSharePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* grids = new QHBoxLayout;
    auto* male = named(new QGroupBox(QStringLiteral("男性"), page), "GroupBox4");
    auto* female = named(new QGroupBox(QStringLiteral("女性"), page), "GroupBox5");
    StringGrid6 = named(new ScheduleGrid(new TextGridModel(grids_.maleMoverShares, this), male), "StringGrid6");
    StringGrid7 = named(new ScheduleGrid(new TextGridModel(grids_.femaleMoverShares, this), female), "StringGrid7");
    (new QVBoxLayout(male))->addWidget(StringGrid6);
    (new QVBoxLayout(female))->addWidget(StringGrid7);
    grids->addWidget(male);
    grids->addWidget(female);
    layout->addLayout(grids, 1);
    auto* row = new QHBoxLayout;
    moverShareGroup_.shape = ScheduleShape::MoverShares;
    row->addWidget(interpolationGroup(moverShareGroup_, kMoverShare, groupForm()), 1);
    ComboBox7 = named(new QComboBox(page), "ComboBox7");
    ComboBox7->addItems({QStringLiteral("男性"), QStringLiteral("女性")});
    ComboBox7->setCurrentIndex(0);
    row->addWidget(ComboBox7);
    layout->addLayout(row);
    return page;
}

}  // namespace zandor::ui
