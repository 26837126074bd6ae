// The data-quality commands walked as a user does, by object name, over the sample table:
// "年龄结构法(&A)" with a field and an index, the result window with its bands, band line and
// "保存"; a refusal; "联合国法(&U)" with its two fields; and "年龄数据调整(&J)" previewed and
// saved as a new field.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "analysis/age_adjustment.h"
#include "analysis/data_quality.h"
#include "analysis/un_sex_age.h"
#include "test_support.h"
#include "ui/analysis/age_adjust_frm.h"
#include "ui/analysis/data_quality_frm.h"
#include "ui/analysis/index_result.h"
#include "ui/analysis/un_sex_age_frm.h"
#include "ui/app/main_window.h"
#include "ui/charts/chart_view.h"
#include "tables/numeric_column.h"
#include "ui/session/session.h"

using namespace testing_support;
using namespace zandor::ui;
namespace analysis = zandor::analysis;

namespace {

template <typename Widget>
Widget* child(QWidget* parent, const char* name)
{
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

void click(QWidget* parent, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

void clickField(QWidget* form, const QString& field)
{
    auto* list = child<QListWidget>(form, "ListBox2");
    QListWidgetItem* item = list->findItems(field, Qt::MatchExactly).value(0);
    QVERIFY(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// The result window shows the report's lines and bands.
void checkShows(TIndex_Result_frm* result, const analysis::IndexReport& report)
{
    QVERIFY(result && result->isVisible());
    QCOMPARE(result->windowTitle(), QStringLiteral("数据质量评价"));
    auto* list = child<QListWidget>(result, "ListBox1");
    QCOMPARE(list->count(), int(report.lines.size()));
    for (int i = 0; i < list->count(); ++i)
        QCOMPARE(list->item(i)->text(), QString::fromStdString(report.lines[i]));
    const char* boxes[] = {"Edit1", "Edit2", "Edit3"};
    for (int b = 0; b < 3; ++b)
        QCOMPARE(child<QLineEdit>(result, boxes[b])->text(), QString::fromStdString(report.bands[b]));
    QCOMPARE(child<QLabel>(result, "BandLabel")->text(),
             report.band ? QString::fromStdString(analysis::bandLine(*report.band)) : QString());
}

}  // namespace

class DataQualityWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Tvendol> window_;

private slots:
    void init()
    {
        const QString copy = dir_.filePath("single_region.DB");
        if (!QFile::exists(copy))
            QVERIFY(QFile::copy(QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB"), copy));
        window_ = std::make_unique<Tvendol>(zandor::Edition::Full);
        QVERIFY(window_->openTable(copy));
    }
    void cleanup() { window_.reset(); }

    void indexOfAFieldShownAndSaved()
    {
        PromptRecorder prompts;
        action(window_.get(), "N3")->trigger();
        auto* form = window_->session().dialogs.of<TData_quality_frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Quality"));
        QVERIFY(child<QRadioButton>(form, "RadioButton1")->isChecked());

        click(form, "BitBtn1");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Field Not Selected")});

        clickField(form, QStringLiteral("男性人口"));
        QCOMPARE(child<QLineEdit>(form, "Edit2")->text(), QStringLiteral("男性人口"));
        click(form, "RadioButton2");
        click(form, "BitBtn1");
        auto& table = window_->session().table();
        const auto whipple = analysis::qualityReport(table, "男性人口", analysis::AgeIndex::Whipple);
        checkShows(form->resultWindow(), whipple);

        // 保存: a cancelled dialog writes nothing; a chosen name gets the whole report.
        click(form->resultWindow(), "BitBtn1");
        const QString path = dir_.filePath("whipple.txt");
        prompts.saveAnswers << path;
        click(form->resultWindow(), "BitBtn1");
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().toStdString(), analysis::reportText(whipple));

        // 导出Excel: the index with its two decimals and the bands, read back by openpyxl.
        const QString book = dir_.filePath("whipple.xlsx");
        prompts.saveAnswers << book;
        click(form->resultWindow(), "BitBtn3");
        QVERIFY(QFile::exists(book));
        if (openpyxlAvailable()) {
            const QStringList read = readWithOpenpyxl(book);
            QCOMPARE(read.mid(0, 3), (QStringList{"数据质量评价\t2\t2", "指数|General\t数值|General",
                                                  QStringLiteral("WI|General\t%1|0.00").arg(*whipple.value, 0, 'g', QLocale::FloatingPointShortest)}));
            QCOMPARE(read.at(3), QStringLiteral("指数范围\t5\t2"));
        } else {
            qWarning("python3-openpyxl is not installed (scripts/install-deps.sh): the workbook is not read back");
        }
        click(form->resultWindow(), "BitBtn2");
        QTRY_VERIFY(!form->resultWindow());

        // Fertility rates are 0 before age 15: the age preference index is refused at age 2
        // and no window opens; the males' opens with one line per age and no band line.
        click(form, "RadioButton1");
        clickField(form, QStringLiteral("年龄别生育率"));
        click(form, "BitBtn1");
        QCOMPARE(prompts.messages.last(), QStringLiteral("Division by zero at age 2: ages 0 to 4 sum to 0"));
        QVERIFY(!form->resultWindow());
        clickField(form, QStringLiteral("男性人口"));
        click(form, "BitBtn1");
        checkShows(form->resultWindow(), analysis::qualityReport(table, "男性人口", analysis::AgeIndex::Preference));
    }

    void unIndexOfTwoFields()
    {
        PromptRecorder prompts;
        action(window_.get(), "N4")->trigger();
        auto* form = window_->session().dialogs.of<TUN_sex_age_frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("联合国法"));

        click(form, "BitBtn2");  // the fields still hold " "
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Field Not Selected")});

        clickField(form, QStringLiteral("男性人口"));
        click(form, "Button1");
        clickField(form, QStringLiteral("女性人口"));
        click(form, "Button2");
        QCOMPARE(child<QLineEdit>(form, "Edit1")->text(), QStringLiteral("男性人口"));
        click(form, "BitBtn2");
        checkShows(form->resultWindow(),
                   analysis::unIndexReport(window_->session().table(), "男性人口", "女性人口"));

        click(form, "BitBtn1");
        QVERIFY(!form->isVisible());
    }

    void ageDataPreviewedAndSaved()
    {
        PromptRecorder prompts;
        action(window_.get(), "N13")->trigger();
        auto* form = window_->session().dialogs.of<TAge_adjust_frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("年龄数据调整"));
        QVERIFY(child<QRadioButton>(form, "RadioButton1")->isChecked());  // 101 records: single years

        click(form, "BitBtn3");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("请选择变量.")});

        // Group, smooth by Arriaga and split by Sprague: 100 single years charted (the open
        // group 100+ is listed, not drawn), both methods' reach listed first.
        child<QComboBox>(form, "ComboBox1")->setCurrentText(QStringLiteral("男性人口"));
        child<QComboBox>(form, "ComboBox2")->setCurrentText(QStringLiteral("Arriaga法"));
        child<QComboBox>(form, "ComboBox3")->setCurrentText(QStringLiteral("Sprague法"));
        click(form, "BitBtn3");
        const auto& chart = child<ChartView>(form, "Chart1")->chart().model();
        QCOMPARE(int(chart.series.size()), 2);
        QCOMPARE(int(chart.series[1].points.size()), 100);
        auto* list = child<QListWidget>(form, "ListBox1");
        // Arriaga leaves 95-99 small, and Sprague's end panel overshoots below zero there: the
        // listing names those ages before the rows.
        QCOMPARE(list->count(), 2 + 1 + 1 + 101);
        QVERIFY(list->item(0)->text().startsWith(QStringLiteral("Arriaga法: ")));
        QCOMPARE(list->item(2)->text(), QStringLiteral("注意: 调整后为负数的年龄: 98、99；这些年龄的结果不能直接使用."));
        QVERIFY(list->item(list->count() - 1)->text().startsWith(QStringLiteral("100+\t")));

        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("男性调整"));
        click(form, "BitBtn2");
        QCOMPARE(prompts.messages.last(), QStringLiteral("已保存为新变量 男性调整."));
        auto& table = window_->session().table();
        const auto expected = analysis::adjustAgeSeries({zandor::tables::readNumericColumn(table, "男性人口"), true,
                                                         analysis::SmoothingMethod::Arriaga,
                                                         analysis::GraduationMethod::Sprague});
        QCOMPARE(zandor::tables::readNumericColumn(table, "男性调整"), expected.adjusted);

        // Smoothed groups do not fit a table of single years: refused, nothing added.
        const std::size_t fields = table.fields().size();
        child<QComboBox>(form, "ComboBox3")->setCurrentIndex(0);
        child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("G1"));
        click(form, "BitBtn2");
        QVERIFY(prompts.messages.last().contains(QStringLiteral("无法保存")));
        QCOMPARE(window_->session().table().fields().size(), fields);
    }
};

QTEST_MAIN(DataQualityWindowTest)
#include "data_quality_window_test.moc"
