// The conversion dialog and the field calculator driven by object name from the menu: every
// target kind read back (by the table store, by the reference readers and, for the ASCII
// pair, by parsing both files), the calculator's modes, its boxes and its row walk.
#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "tables/codepage.h"
#include "tables/statements.h"
#include "tables/table.h"
#include "test_support.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"
#include "ui/tables/compute_frm.h"
#include "ui/tables/convert_table.h"
#include "ui/tables/data_grid.h"

#ifdef ZANDOR_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}
#endif

using namespace testing_support;
using zandor::Edition;
using zandor::ui::Tvendol;

namespace {

// 地区 char(8), 人口 float, 年龄 integer; two rows, the second with an empty 人口.
QString sourceTable(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("源.DB");
    tables::runStatement("Create table \"" + path.toStdString() + "\" (地区 char(8),人口 float,年龄 integer)");
    auto t = tables::Table::open(path.toStdString());
    t.append();
    t.setValue("地区", std::string("城镇"));
    t.setValue("人口", 1250.5);
    t.setValue("年龄", std::int64_t{3});
    t.post();
    t.append();
    t.setValue("地区", std::string("农村"));
    t.setValue("年龄", std::int64_t{4});
    t.post();
    return path;
}

QString gbkFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray raw = f.readAll();
    return QString::fromStdString(tables::decodeText(std::string(raw.constData(), raw.size()), 936));
}

QStringList storeRows(const QString& path)
{
    QStringList rows;
    auto t = tables::Table::open(path.toStdString(), true);
    QStringList names;
    for (const auto& f : t.fields())
        names << QString::fromStdString(f.name + ":" + std::string(tables::kindName(f.kind())));
    rows << names.join(',');
    for (t.first(); !t.eof(); t.next())
        rows << QString::fromStdString(t.asString("地区") + "," + t.asString("人口") + "," + t.asString("年龄"));
    return rows;
}

}  // namespace

class TableToolsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void convertCopiesIntoEveryKind_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("filter");
        QTest::newRow("ASCII") << "ASCII" << "目标.txt" << "ASCII (*.txt)";
        QTest::newRow("DBase") << "DBase" << "目标.dbf" << "DBase (*.dbf)";
        QTest::newRow("FoxPro") << "FoxPro" << "目标.dbf" << "FoxPro (*.dbf)";
        QTest::newRow("Paradox") << "Paradox" << "目标.db" << "Paradox (*.db)";
        QTest::newRow("typed text") << "文本" << "目标.txt" << "ASCII (*.txt)";
    }

    void convertCopiesIntoEveryKind()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(QString, filter);
        QTemporaryDir dir;
        const QString source = sourceTable(dir);
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(source));
        action(&window, "Convert1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::Tconvert_table_frm>();
        QVERIFY(form);
        form->show();
        QCOMPARE(form->windowTitle(), QString("数据格式转换"));
        QCOMPARE(form->findChild<QLineEdit*>("Edit1")->text(), source);
        auto* combo = form->findChild<QComboBox*>("ComboBox2");
        QCOMPARE(combo->currentText(), QString("ASCII"));
        combo->setEditText(kind);
        const QString target = dir.filePath(file);
        prompts.saveAnswers << target;
        form->findChild<QPushButton*>("Button1")->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(prompts.saveFilters, QStringList{filter});
        QCOMPARE(prompts.messages, QStringList());
        QVERIFY(!form->isVisible());

        if (file.endsWith(".txt")) {
            QCOMPARE(gbkFile(target), QString("\"城镇\",1250.5,3\r\n\"农村\",,4\r\n"));
            const QStringList schema = gbkFile(dir.filePath("目标.sch")).split("\r\n", Qt::SkipEmptyParts);
            QCOMPARE(schema.mid(0, 2), (QStringList{"[目标]", "Filetype=Delimited"}));
            QVERIFY(schema.contains("Field1=地区,CHAR,8,00,00"));
            QVERIFY(schema.filter(QRegularExpression("^Field2=人口,FLOAT,")).size() == 1);
            QVERIFY(schema.filter(QRegularExpression("^Field3=年龄,LONGINT,")).size() == 1);
            return;
        }
        QCOMPARE(storeRows(target), (QStringList{"地区:Char,人口:Float,年龄:Integer", "城镇,1250.5,3", "农村,,4"}));
        QCOMPARE(tables::Table::open(target.toStdString(), true).format(),
                 kind == "Paradox" ? tables::TableFormat::Paradox
                 : kind == "FoxPro" ? tables::TableFormat::FoxPro
                                    : tables::TableFormat::DBase);
        if (kind == "DBase") {
            // The reference dBase reader.
            QProcess python;
            python.start("/usr/bin/python3",
                         {"-c", "import sys, dbf\nt = dbf.Table(sys.argv[1])\nt.open(dbf.READ_ONLY)\n"
                                "print(','.join(t.field_names))\nprint(t[0][1], t[0][2], len(t))",
                          target});
            QVERIFY(python.waitForFinished(30000));
            if (python.exitCode() != 0)
                QSKIP("python3-dbf is not installed");
            QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()), QString("地区,人口,年龄\n1250.5 3 2\n"));
        }
#ifdef ZANDOR_HAVE_PXLIB
        if (kind == "Paradox") {
            // The reference Paradox reader.
            pxdoc_t* doc = PX_new();
            QCOMPARE(PX_open_file(doc, target.toLocal8Bit().constData()), 0);
            QCOMPARE(PX_get_num_records(doc), 2);
            QCOMPARE(PX_get_num_fields(doc), 3);
            QCOMPARE(QByteArray(PX_get_fields(doc)[1].px_fname), QByteArray(tables::encodeText("人口", 936)->c_str()));
            std::vector<char> record(static_cast<std::size_t>(PX_get_recordsize(doc)));
            QVERIFY(PX_get_record(doc, 0, record.data()));
            double population = 0;
            QCOMPARE(PX_get_data_double(doc, record.data() + PX_get_fields(doc)[0].px_flen, 8, &population), 1);
            QCOMPARE(population, 1250.5);
            PX_close(doc);
            PX_delete(doc);
        }
#endif
    }

    void calculatorModesSetTheBoxes()
    {
        QTemporaryDir dir;
        const QString source = sourceTable(dir);
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(source));
        action(&window, "Compute1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::Tcompute_Frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("计算"));
        auto box = [&](const char* name) { return form->findChild<QComboBox*>(name); };
        auto items = [](QComboBox* b) {
            QStringList list;
            for (int i = 0; i < b->count(); ++i)
                list << b->itemText(i);
            return list;
        };
        QCOMPARE(box("ComboBox5")->currentText(), source);
        for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox4"})
            QCOMPARE(items(box(name)), (QStringList{"地区", "人口", "年龄"}));
        QVERIFY(form->findChild<QRadioButton*>("RadioButton1")->isChecked());
        QCOMPARE(items(box("ComboBox3")), (QStringList{"+", "-", "*", "/"}));
        QCOMPARE(box("ComboBox3")->currentText(), QString("+"));

        form->findChild<QRadioButton*>("RadioButton2")->click();
        QCOMPARE(box("ComboBox3")->count(), 0);
        QVERIFY(!box("ComboBox3")->isEnabled());
        QVERIFY(!box("ComboBox4")->isEnabled());

        form->findChild<QRadioButton*>("RadioButton3")->click();
        QVERIFY(box("ComboBox3")->isEnabled());
        QVERIFY(!box("ComboBox4")->isEnabled());
        QCOMPARE(items(box("ComboBox3")), (QStringList{"ABS()", "Ln()", "1/10", "%", "1/1000", "*10", "*100", "*1000",
                                                       "1/X", "Exp()", "Round()"}));
        QCOMPARE(box("ComboBox3")->currentText(), QString("ABS()"));

        form->findChild<QRadioButton*>("RadioButton1")->click();
        QVERIFY(box("ComboBox4")->isEnabled());
        QCOMPARE(box("ComboBox3")->currentText(), QString("+"));
        box("ComboBox5")->setEditText("其他");
        QCOMPARE(items(box("ComboBox1")), (QStringList{"地区", "人口", "年龄"}));
    }

    void calculatorWalksTheRowsAndStopsAtDataError()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("calc.DB");
        tables::runStatement("Create table \"" + path.toStdString() + "\" (A float,B float,R float)");
        {
            auto t = tables::Table::open(path.toStdString());
            for (double b : {4.0, 2.0, 0.0, 1.0}) {
                t.append();
                t.setValue("A", 8.0 / (b == 0 ? 8 : b));
                t.setValue("B", b);
                t.post();
            }
        }
        // A 2 4 1 8, B 4 2 0 1
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        action(&window, "Compute1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::Tcompute_Frm>();
        auto box = [&](const char* name) { return form->findChild<QComboBox*>(name); };
        auto column = [&](const char* field) {
            QStringList values;
            auto& t = window.session().table();
            for (t.first(); !t.eof(); t.next())
                values << QString::fromStdString(t.asString(field));
            return values;
        };
        // 确认 computes off the user-interface thread: each press is waited for.
        auto* ok = form->findChild<QPushButton*>("BitBtn1");

        // An empty required box: nothing happens.
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(column("R"), QStringList(4, QString()));

        box("ComboBox1")->setCurrentIndex(2);
        box("ComboBox2")->setCurrentIndex(0);
        box("ComboBox3")->setCurrentIndex(3);
        box("ComboBox4")->setCurrentIndex(1);
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(prompts.messages, QStringList{"Data Error!"});
        QCOMPARE(column("R"), (QStringList{"0.5", "2", "", ""}));
        // The grid shows what was written.
        QCOMPARE(window.grid()->model()->index(1, 2).data().toString(), QString("2"));
        QVERIFY(form->isVisible());

        // A typed operator that is no item adds.
        prompts.messages.clear();
        box("ComboBox3")->setEditText("plus");
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(column("R"), (QStringList{"6", "6", "1", "9"}));

        // The target as its own operand: each row reads its old value first.
        form->findChild<QRadioButton*>("RadioButton3")->click();
        box("ComboBox1")->setCurrentIndex(2);
        box("ComboBox2")->setCurrentIndex(2);
        box("ComboBox3")->setCurrentIndex(5);  // *10
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(column("R"), (QStringList{"60", "60", "10", "90"}));
        box("ComboBox3")->setCurrentIndex(1);  // Ln() of A, all above 0
        box("ComboBox2")->setCurrentIndex(0);
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(column("R").at(2), QString("0"));

        form->findChild<QRadioButton*>("RadioButton2")->click();
        box("ComboBox2")->setCurrentIndex(1);
        ok->click();
        QVERIFY(runsEnded(form));
        QCOMPARE(column("R"), (QStringList{"4", "2", "0", "1"}));
        QCOMPARE(prompts.messages, QStringList());

        form->findChild<QPushButton*>("BitBtn2")->click();
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(TableToolsWindowTest)
#include "table_tools_window_test.moc"
