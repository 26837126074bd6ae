// The pages and controls of TSingle_Region_frm, with their captions, defaults and the two
// reference lists.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "projection/messages.h"
#include "ui/common/named.h"
#include "ui/projection/schedule_grid.h"
#include "ui/projection/schedule_pages.h"
#include "ui/projection/single_region_frm.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// "总和生育率参考数据表：", shown as it stands; choosing an item changes nothing.
const char* const kTfrReference[] = {
    "2000年世界平均总和生育率 2.8", "较发达地区:1.6", "不发达地区:3.2", "不发达地区（不含中国）:3.6", "非洲:5.2",
    "   埃及:3.5", "   突尼斯:2.3", "   南非:2.9", "亚洲:2.7", "   中国:1.8", "   日本:1.3", "   韩国:1.5",
    "   印度:3.2", "   菲律宾:3.5", "   新加坡:1.6", "   泰国:1.8", "欧洲:1.4", "   捷克共和国:1.1",
    "   波兰:1.4", "   罗马尼亚:1.3", "   丹麦:1.7", "   英国:1.7", "   意大利:1.3", "   南斯拉夫:1.6",
    "   法国:1.9", "   德国:1.3", "拉丁美洲和加勒比地区:2.8", "   墨西哥:2.8", "   阿根廷:2.6", "   巴西:2.4",
    "北美洲:2.0", "   加拿大:1.4", "   美国:2.1", "大洋洲:2.5", "   澳大利亚:1.7", "   新西兰:2.0",
};

// "出生预期寿命参考数据表：", likewise for display only.
const char* const kLifeExpectancyReference[] = {
    "2000年世界平均出生预期寿命:  男:65 女:69",
    "发达地区:   男:72 女:79",
    "不发达地区:   男:63 女:66",
    "不发达地区（不含中国）:   男:61 女:64",
    "非洲:   男:52 女:55",
    "   埃及:   男:65 女:68",
    "   突尼斯:   男:70 女:74",
    "   南非:   男:52 女:54",
    "亚洲:   男:65 女:68",
    "   中国:   男:69 女:73",
    "   日本:   男:77 女:84",
    "   韩国:   男:71 女:78",
    "   印度:   男:60 女:61",
    "   菲律宾:   男:64 女:70",
    "   新加坡:   男:76 女:80",
    "   泰国:   男:70 女:75",
    "欧洲:   男:70 女:78",
    "   捷克共和国:   男:71 女:78",
    "   波兰:   男:68 女:77",
    "   罗马尼亚:   男:67 女:74",
    "   丹麦:   男:74 女:79",
    "   英国:   男:75 女:80",
    "   意大利:   男:76 女:82",
    "   南斯拉夫:   男:70 女:75",
    "   法国:   男:75 女:83",
    "   德国:   男:74 女:81",
    "拉丁美洲和加勒比地区:   男:68 女:74",
    "   墨西哥:   男:73 女:78",
    "   阿根廷:   男:70 女:77",
    "   巴西:   男:65 女:72",
    "北美洲:   男:74 女:80",
    "   加拿大:   男:76 女:81",
    "   美国:   男:74 女:80",
    "大洋洲:   男:72 女:76",
    "   澳大利亚:   男:76 女:82",
    "   新西兰:   男:74 女:80",
};

// The year boxes take any year a calendar can hold; the bound keeps the year arithmetic
// and the number of grid columns within reach.
constexpr int kFirstYear = 0;
constexpr int kLastYear = 9999;

QComboBox* referenceList(QWidget* parent, const char* name, const char* const* items, std::size_t count)
{
    auto* box = named(new QComboBox(parent), name);
    for (std::size_t i = 0; i < count; ++i)
        box->addItem(QString::fromUtf8(items[i]));
    box->setCurrentIndex(0);
    return box;
}

// The interpolation group of a page's grid, with the form's column ranges until the first
// rebuild of the years sets them.
QWidget* scheduleGroup(InterpolationGroup& group, ScheduleGrid* grid, const InterpolationNames& names,
                       const char* endLabel)
{
    group.grid = grid;
    return interpolationGroup(group, names,
                              {.startLabel = QStringLiteral("起始列"),
                               .endLabel = QString::fromUtf8(endLabel),
                               .boxes = {.startMinimum = 2001,
                                         .startMaximum = 2009,
                                         .startValue = 2001,
                                         .endMinimum = 2002,
                                         .endMaximum = 2010,
                                         .endValue = 2010}});
}

}  // namespace

void TSingle_Region_frm::buildPages()
{
    PageControl1 = pageControl(this, QStringLiteral("人口预测"));
    PageControl1->addTab(buildBasePage(), QStringLiteral("基础数据"));
    PageControl1->addTab(buildTfrPage(), QStringLiteral("总和生育率"));
    PageControl1->addTab(buildMortalityPage(), QStringLiteral("死亡参数"));
    PageControl1->addTab(buildSexRatioPage(), QStringLiteral("性别比"));
    PageControl1->addTab(buildPatternPage(), QStringLiteral("生育模式"));
    PageControl1->addTab(buildUrbanPage(), QStringLiteral("城镇化"));
    PageControl1->addTab(buildMigrantPage(), QStringLiteral("流动人口"));
    PageControl1->setCurrentIndex(0);
    resize(760, 560);
    pages_.setControls(SpinEdit10, SpinEdit11, BitBtn2,
                       {StringGrid1, StringGrid2, StringGrid3, StringGrid4, StringGrid5},
                       {&tfrGroup_, &sexRatioGroup_, &mortalityGroup_, &patternGroup_, &migrantGroup_});
}

QWidget* TSingle_Region_frm::buildBasePage()
{
    auto* page = named(new QWidget, "TabSheet1");
    auto* layout = new QVBoxLayout(page);

    auto* fields = named(new QGroupBox(QStringLiteral("分年龄分性别人口数据"), page), "GroupBox1");
    auto* fieldForm = new QFormLayout(fields);
    ComboBox2 = fieldList(fields, "ComboBox2");
    ComboBox3 = fieldList(fields, "ComboBox3");
    ComboBox4 = fieldList(fields, "ComboBox4");
    ComboBox5 = fieldList(fields, "ComboBox5");
    ComboBox6 = fieldList(fields, "ComboBox6");
    fieldForm->addRow(QStringLiteral("男性年龄别人口"), ComboBox2);
    fieldForm->addRow(QStringLiteral("女性年龄别人口"), ComboBox3);
    fieldForm->addRow(QStringLiteral("男性年龄别死亡率"), ComboBox4);
    fieldForm->addRow(QStringLiteral("女性年龄别死亡率"), ComboBox5);
    fieldForm->addRow(QStringLiteral("年龄别生育率"), ComboBox6);
    layout->addWidget(fields);

    auto* row = new QHBoxLayout;
    auto* years = named(new QGroupBox(QStringLiteral("预测年份"), page), "GroupBox2");
    auto* yearForm = new QFormLayout(years);
    SpinEdit10 = spinBox(years, "SpinEdit10", kFirstYear, kLastYear, 2000);
    SpinEdit11 = spinBox(years, "SpinEdit11", kFirstYear, kLastYear, 2010);
    yearForm->addRow(QStringLiteral("基础数据年份"), SpinEdit10);
    yearForm->addRow(QStringLiteral("预测终止年份"), SpinEdit11);
    row->addWidget(years);

    auto* migrants = named(new QGroupBox(QStringLiteral("流动人口选项"), page), "GroupBox3");
    auto* migrantLayout = new QVBoxLayout(migrants);
    RadioButton16 = named(new QRadioButton(QStringLiteral("不含流动人口"), migrants), "RadioButton16");
    RadioButton20 = named(new QRadioButton(QStringLiteral("包含流动人口"), migrants), "RadioButton20");
    RadioButton16->setChecked(true);
    migrantLayout->addWidget(RadioButton16);
    migrantLayout->addWidget(RadioButton20);
    row->addWidget(migrants);
    layout->addLayout(row);
    // Beside the years, as in the urban-rural dialog.
    CheckBoxExact = named(new QCheckBox(fromView(projection::label::kExactMode), page), "CheckBoxExact");
    CheckBoxExact->setToolTip(QStringLiteral("出生预期寿命按生命表自身的e0拟合，最高年龄组作为开放组存活，死亡人数完整核算"));
    layout->addWidget(CheckBoxExact);
    layout->addStretch(1);

    runButtons(page, layout, QStringLiteral("开始预测"), BitBtn2, BitBtn1);
    return page;
}

QWidget* TSingle_Region_frm::buildTfrPage()
{
    auto* page = named(new QWidget, "TabSheet2");
    auto* layout = new QVBoxLayout(page);
    auto* reference = new QFormLayout;
    ComboBox1 = referenceList(page, "ComboBox1", kTfrReference, std::size(kTfrReference));
    reference->addRow(QStringLiteral("总和生育率参考数据表："), ComboBox1);
    layout->addLayout(reference);
    RadioButton11 = named(new QRadioButton(QStringLiteral("总和生育率:"), page), "RadioButton11");
    RadioButton11->setChecked(true);
    layout->addWidget(RadioButton11);
    StringGrid1 = named(new ScheduleGrid(new TextGridModel(grids_.tfr, this), page), "StringGrid1");
    layout->addWidget(StringGrid1, 1);
    layout->addWidget(scheduleGroup(tfrGroup_, StringGrid1,
                                    {"SpinEdit2", "SpinEdit3", "RadioButton9",
                                     "RadioButton10", "RadioButton1", "Button1"},
                                    "终止列"));
    CheckBoxVariants = named(new QCheckBox(QStringLiteral("多方案预测"), page), "CheckBoxVariants");
    CheckBoxVariants->setToolTip(QStringLiteral("同时预测中方案（上表的总和生育率）、高方案（每年加0.5）、"
                                                "低方案（每年减0.5，最低为0）和不变方案（每年等于基年总和生育率）"));
    layout->addWidget(CheckBoxVariants);
    return page;
}

QWidget* TSingle_Region_frm::buildMortalityPage()
{
    auto* page = named(new QWidget, "TabSheet3");
    auto* layout = new QVBoxLayout(page);
    auto* reference = new QFormLayout;
    ComboBox7 = referenceList(page, "ComboBox7", kLifeExpectancyReference, std::size(kLifeExpectancyReference));
    reference->addRow(QStringLiteral("出生预期寿命参考数据表："), ComboBox7);
    layout->addLayout(reference);
    // The two mortality choices sit in different groups; their handlers make them exclusive.
    RadioButton7 = named(new QRadioButton(QStringLiteral("期望寿命:"), page), "RadioButton7");
    RadioButton7->setAutoExclusive(false);
    RadioButton7->setChecked(true);
    layout->addWidget(RadioButton7);
    StringGrid3 = named(new ScheduleGrid(new TextGridModel(grids_.lifeExpectancy, this), page), "StringGrid3");
    mortalityGroup_.selectedRow = &session_.singleRegion.selectedScheduleRow;
    layout->addWidget(StringGrid3, 1);
    layout->addWidget(scheduleGroup(mortalityGroup_, StringGrid3,
                                    {"SpinEdit6", "SpinEdit7", "RadioButton5",
                                     "RadioButton13", "RadioButton14", "Button3"},
                                    "终止列"));

    auto* curves = named(new QGroupBox(page), "GroupBox4");
    auto* curveLayout = new QHBoxLayout(curves);
    RadioButton6 = named(new QRadioButton(QStringLiteral("新的男性和女性存活概率曲线(lx) "), curves), "RadioButton6");
    RadioButton6->setAutoExclusive(false);
    ComboBox8 = fieldList(curves, "ComboBox8");
    ComboBox9 = fieldList(curves, "ComboBox9");
    ComboBox8->setEnabled(false);
    ComboBox9->setEnabled(false);
    curveLayout->addWidget(RadioButton6);
    curveLayout->addWidget(new QLabel(QStringLiteral("男性(lx):"), curves));
    curveLayout->addWidget(ComboBox8, 1);
    curveLayout->addWidget(new QLabel(QStringLiteral("女性(lx):"), curves));
    curveLayout->addWidget(ComboBox9, 1);
    layout->addWidget(curves);
    return page;
}

QWidget* TSingle_Region_frm::buildSexRatioPage()
{
    auto* page = named(new QWidget, "TabSheet4");
    auto* layout = new QVBoxLayout(page);
    auto* ratio = named(new QGroupBox(QStringLiteral("出生性别比:"), page), "GroupBox5");
    auto* ratioLayout = new QVBoxLayout(ratio);
    StringGrid2 = named(new ScheduleGrid(new TextGridModel(grids_.sexRatio, this), ratio), "StringGrid2");
    ratioLayout->addWidget(StringGrid2);
    layout->addWidget(ratio, 1);
    layout->addWidget(scheduleGroup(sexRatioGroup_, StringGrid2,
                                    {"SpinEdit4", "SpinEdit5", "RadioButton2",
                                     "RadioButton3", "RadioButton4", "Button2"},
                                    "终止列:"));
    return page;
}

QWidget* TSingle_Region_frm::buildPatternPage()
{
    auto* page = named(new QWidget, "TabSheet5");
    auto* layout = new QVBoxLayout(page);
    StringGrid4 = named(new ScheduleGrid(new TextGridModel(grids_.pattern, this), page), "StringGrid4");
    patternGroup_.shape = ScheduleShape::Pattern;
    layout->addWidget(StringGrid4, 1);
    layout->addWidget(scheduleGroup(patternGroup_, StringGrid4,
                                    {"SpinEdit8", "SpinEdit9", "RadioButton8",
                                     "RadioButton12", "RadioButton15", "Button4"},
                                    "终止列"));
    return page;
}

QWidget* TSingle_Region_frm::buildUrbanPage()
{
    auto* page = named(new QWidget, "TabSheet6");
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    Edit1 = named(new QLineEdit(fromView(projection::label::kDefaultUrbanShare), page), "Edit1");
    form->addRow(QStringLiteral("起始年城镇人口比重:"), Edit1);
    layout->addLayout(form);
    layout->addStretch(1);
    return page;
}

QWidget* TSingle_Region_frm::buildMigrantPage()
{
    auto* page = named(new QWidget, "TabSheet7");
    auto* layout = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    Edit2 = named(new QLineEdit(fromView(projection::label::kDefaultMigrantStock), page), "Edit2");
    form->addRow(QStringLiteral("请输入现有流动人口规模"), Edit2);
    layout->addLayout(form);
    StringGrid5 = named(new ScheduleGrid(new TextGridModel(grids_.migrants, this), page), "StringGrid5");
    migrantGroup_.selectedRow = &session_.singleRegion.selectedScheduleRow;
    layout->addWidget(StringGrid5, 1);
    layout->addWidget(scheduleGroup(migrantGroup_, StringGrid5,
                                    {"SpinEdit1", "SpinEdit12", "RadioButton17",
                                     "RadioButton18", "RadioButton19", "Button5"},
                                    "终止列"));
    return page;
}

}  // namespace zandor::ui
