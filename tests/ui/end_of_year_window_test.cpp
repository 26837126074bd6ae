// "推算年末人口结构(&U)" and "人口数据标准化(&Z)" walked as a user does, by object name, over a
// copy of the sample table: the end-of-year estimate stored in two new fields (and a name the
// table has refused first), and both standardization pages with their shared series.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "tables/numeric_column.h"
#include "test_support.h"
#include "ui/analysis/pop_stru_end_frm.h"
#include "ui/analysis/standardization_frm.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"

using namespace testing_support;
using namespace zandor::ui;

namespace {

template <typename Widget>
Widget* child(QWidget* parent, const char* name)
{
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

void click(QWidget* parent, const char* name) { QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton); }

void choose(QWidget* form, const char* box, const char* field)
{
    child<QComboBox>(form, box)->setCurrentText(QString::fromUtf8(field));
}

void type(QWidget* form, const char* edit, const char* text)
{
    // What typing leaves in the box (the test's key events carry Latin text only).
    child<QLineEdit>(form, edit)->setText(QString::fromUtf8(text));
}

}  // namespace

class EndOfYearWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Tvendol> window_;

    std::vector<double> column(const char* name)
    {
        return zandor::tables::readNumericColumn(window_->session().table(), name);
    }

private slots:
    void init()
    {
        const QString copy = dir_.filePath("single_region.DB");
        QFile::remove(copy);
        QVERIFY(QFile::copy(QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB"), copy));
        QFile(copy).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        window_ = std::make_unique<Tvendol>(zandor::Edition::Full);
        QVERIFY(window_->openTable(copy));
    }
    void cleanup() { window_.reset(); }

    void endOfYearStoredInTwoFields()
    {
        PromptRecorder prompts;
        action(window_.get(), "N7")->trigger();
        auto* form = window_->session().dialogs.of<Tpop_stru_end_Frm>();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("推算年末人口数"));
        QCOMPARE(child<QLineEdit>(form, "Edit4")->text(), QStringLiteral("Tcm01"));

        click(form, "BitBtn2");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("选定原始数据变量不够!")});

        choose(form, "ComboBox2", "男性人口");
        choose(form, "ComboBox3", "女性人口");
        choose(form, "ComboBox4", "男性死亡率");
        choose(form, "ComboBox5", "女性死亡率");
        type(form, "Edit1", "10090000");
        type(form, "Edit2", "52000");
        type(form, "Edit3", "48000");
        // A name the table has is refused before anything is computed.
        type(form, "Edit5", "女性人口");
        click(form, "BitBtn2");
        QCOMPARE(prompts.messages.last(), QStringLiteral("女性人口变量已存在，请输入新的变量名."));
        QCOMPARE(window_->session().table().fieldCount(), 6);

        type(form, "Edit5", "Tcf01");
        click(form, "BitBtn2");
        QCOMPARE(prompts.messages.size(), 2);
        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(window_->session().table().fieldCount(), 8);
        const auto male = column("Tcm01");
        QCOMPARE(male.size(), std::size_t(101));
        QCOMPARE(male[0], std::round(male[0]));
        QVERIFY(male[0] > 0);
    }

    void standardizationPagesShareTheSeries()
    {
        PromptRecorder prompts;
        action(window_.get(), "N12")->trigger();
        auto* form = window_->session().dialogs.of<Tstandardization_Frm>();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("人口数据标准化"));
        auto* pages = child<QTabWidget>(form, "PageControl1");
        QCOMPARE(pages->tabText(0), QStringLiteral("按年龄结构"));

        choose(form, "ComboBox4", "男性人口");
        choose(form, "ComboBox5", "女性人口");
        type(form, "Edit7", "1000");
        click(form, "Button3");
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(form->isVisible());
        const auto byAge = column("Smale01");
        QCOMPARE(byAge[0], 4.0);  // 41874 of 10055330, times 1000

        // The rural male box on the second page replaces the first page's male series.
        pages->setCurrentIndex(1);
        choose(form, "ComboBox2", "女性人口");
        pages->setCurrentIndex(0);
        type(form, "Edit5", "S2");
        type(form, "Edit6", "S3");
        click(form, "Button3");
        QCOMPARE(column("S2"), column("S3"));

        // The second page: a field missing, then all four.
        pages->setCurrentIndex(1);
        click(form, "Button1");
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("选定原始数据变量不够!")});
        choose(form, "ComboBox3", "女性人口");
        choose(form, "ComboBox1", "男性人口");
        choose(form, "ComboBox10", "女性人口");
        click(form, "Button1");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(window_->session().table().fieldCount(), 14);
        QCOMPARE(window_->session().fieldNames().last(), QStringLiteral("Ufemale01"));
        click(form, "Button2");
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(EndOfYearWindowTest)
#include "end_of_year_window_test.moc"
