// The data-quality commands walked as a user does, by object name, over the sample table:
// "年龄结构法(&A)" with a field and an index, the result window with its bands, band line and
// "保存"; a refusal; and "联合国法(&U)" with its two fields.
#include <QtTest>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "analysis/data_quality.h"
#include "analysis/un_sex_age.h"
#include "tables/table.h"
#include "test_support.h"
#include "ui/analysis/data_quality_frm.h"
#include "ui/analysis/index_result.h"
#include "ui/analysis/un_sex_age_frm.h"
#include "ui/app/main_window.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::TData_quality_frm;
using zandor::ui::TIndex_Result_frm;
using zandor::ui::TUN_sex_age_frm;
using zandor::ui::Tvendol;
namespace analysis = zandor::analysis;

namespace {

const QString kSample = QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB");

template <typename Widget>
Widget* child(QWidget* parent, const char* name)
{
    auto* widget = parent->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

void click(QWidget* parent, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

void clickField(QWidget* form, const QString& field)
{
    auto* list = child<QListWidget>(form, "ListBox2");
    const auto items = list->findItems(field, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
}

QStringList listLines(QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

QStringList qLines(const std::vector<std::string>& lines)
{
    QStringList out;
    for (const std::string& line : lines)
        out << QString::fromStdString(line);
    return out;
}

}  // namespace

class DataQualityWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::unique_ptr<Tvendol> openSample()
    {
        auto window = std::make_unique<Tvendol>(Edition::Full);
        const QString copy = dir_.filePath("single_region.DB");
        if (!QFile::exists(copy))
            QFile::copy(kSample, copy);
        if (!window->openTable(copy))
            return nullptr;
        return window;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(kSample), "the sample table samples/single_region.DB is missing");
        QVERIFY(dir_.isValid());
    }

    void commandsNeedAnOpenTable()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        action(&window, "N3")->trigger();
        action(&window, "N4")->trigger();
        QCOMPARE(prompts.messages, QStringList(2, QStringLiteral("没有打开的数据表!请先打开数据表.")));
        QVERIFY(!window.session().dialogs.of<TData_quality_frm>());
    }

    void whippleOfAFieldShownAndSaved()
    {
        PromptRecorder prompts;
        auto window = openSample();
        QVERIFY(window);
        action(window.get(), "N3")->trigger();
        auto* form = window->session().dialogs.of<TData_quality_frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Quality"));
        QVERIFY(child<QRadioButton>(form, "RadioButton1")->isChecked());

        // No field yet.
        click(form, "BitBtn1");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Field Not Selected")});

        clickField(form, QStringLiteral("男性人口"));
        QCOMPARE(child<QLineEdit>(form, "Edit2")->text(), QStringLiteral("男性人口"));
        click(form, "RadioButton2");
        click(form, "BitBtn1");
        TIndex_Result_frm* result = form->resultWindow();
        QVERIFY(result && result->isVisible());
        QCOMPARE(result->windowTitle(), QStringLiteral("数据质量评价"));

        const analysis::IndexReport expected =
            analysis::qualityReport(window->session().table(), "男性人口", analysis::AgeIndex::Whipple);
        QCOMPARE(listLines(child<QListWidget>(result, "ListBox1")), qLines(expected.lines));
        QCOMPARE(child<QLineEdit>(result, "Edit1")->text(), QStringLiteral("100-110"));
        QCOMPARE(child<QLineEdit>(result, "Edit2")->text(), QStringLiteral("110-130"));
        QCOMPARE(child<QLineEdit>(result, "Edit3")->text(), QStringLiteral(">130"));
        QCOMPARE(child<QLabel>(result, "BandLabel")->text(), QString::fromStdString(analysis::bandLine(*expected.band)));

        // 保存: a cancelled dialog writes nothing; a chosen name gets the whole report.
        click(result, "BitBtn1");
        const QString path = dir_.filePath("whipple.txt");
        prompts.saveAnswers << path;
        click(result, "BitBtn1");
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().toStdString(), analysis::reportText(expected));

        click(result, "BitBtn2");
        QTRY_VERIFY(!form->resultWindow());
        click(form, "RadioButton1");

        // Fertility rates are 0 before age 15: the age preference index is refused at age 2
        // and no window opens.
        clickField(form, QStringLiteral("年龄别生育率"));
        click(form, "BitBtn1");
        QCOMPARE(prompts.messages.last(), QStringLiteral("Division by zero at age 2: ages 0 to 4 sum to 0"));
        QVERIFY(!form->resultWindow());

        // The age preference index of the males: one line per age 2 to 98, no band line.
        clickField(form, QStringLiteral("男性人口"));
        click(form, "BitBtn1");
        QVERIFY(form->resultWindow());
        QCOMPARE(child<QListWidget>(form->resultWindow(), "ListBox1")->count(), 97);
        QCOMPARE(child<QLabel>(form->resultWindow(), "BandLabel")->text(), QString());
    }

    void unIndexOfTwoFields()
    {
        PromptRecorder prompts;
        auto window = openSample();
        QVERIFY(window);
        action(window.get(), "N4")->trigger();
        auto* form = window->session().dialogs.of<TUN_sex_age_frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("联合国法"));
        QCOMPARE(child<QLineEdit>(form, "Edit1")->text(), QStringLiteral(" "));

        click(form, "BitBtn2");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Field Not Selected")});

        clickField(form, QStringLiteral("男性人口"));
        click(form, "Button1");
        clickField(form, QStringLiteral("女性人口"));
        click(form, "Button2");
        QCOMPARE(child<QLineEdit>(form, "Edit2")->text(), QStringLiteral("女性人口"));
        click(form, "BitBtn2");
        TIndex_Result_frm* result = form->resultWindow();
        QVERIFY(result);
        const analysis::IndexReport expected =
            analysis::unIndexReport(window->session().table(), "男性人口", "女性人口");
        QCOMPARE(listLines(child<QListWidget>(result, "ListBox1")), qLines(expected.lines));
        QCOMPARE(child<QLineEdit>(result, "Edit3")->text(), QStringLiteral(">40"));

        click(form, "BitBtn1");
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(DataQualityWindowTest)
#include "data_quality_window_test.moc"
