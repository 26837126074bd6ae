// The projection wizard walked by object name from "预测向导(&Y)" to a finished projection,
// with typed and with file-loaded data, its listings compared with zandor-cli project on
// the same data in a table; the files of "读取" and "保存", the refusals, and "取消".
#include <QtTest>

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "projection/messages.h"
#include "projection_window_support.h"
#include "tables/numeric_column.h"
#include "text/numbers.h"
#include "ui/projection/single_region_frm.h"
#include "ui/wizard/wizard_frm.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::TSingle_Region_frm;
using zandor::ui::Tdefine_wizard_frm;
using zandor::ui::Tvendol;
using zandor::ui::Twizard_Frm01;
using zandor::ui::Twizard_Frm02;
using zandor::ui::Twizard_Frm03;
namespace text = zandor::text;

namespace {

// The sample table's five series by field name.
std::vector<double> sampleColumn(const char* field)
{
    auto table = zandor::tables::Table::open(samplePath().toStdString(), true);
    return zandor::tables::readNumericColumn(table, field);
}

// zandor-cli project over the sample with the five fields, for the years given.
QStringList cliListing(const QString& entry, int baseYear, int endYear)
{
    QProcess cli;
    cli.start(QStringLiteral(ZANDOR_CLI_PATH),
              {"project", samplePath(), "--male-pop", "男性人口", "--female-pop", "女性人口", "--male-rates",
               "男性死亡率", "--female-rates", "女性死亡率", "--fertility", "年龄别生育率", "--base-year",
               QString::number(baseYear), "--end-year", QString::number(endYear), "--listing", entry});
    if (!cli.waitForFinished(120000) || cli.exitCode() != 0)
        qFatal("zandor-cli project failed: %s", cli.readAllStandardError().constData());
    QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The main window and the wizard opened from its menu.
struct Fixture {
    Fixture() : window(std::make_unique<Tvendol>(Edition::Full))
    {
        window->show();
        action(window.get(), QStringLiteral("N8"))->trigger();
    }

    template <class Step>
    Step* step() const { return window->session().dialogs.of<Step>(); }
    TSingle_Region_frm* projection() const { return window->singleRegionForm(); }

    // Step 1 with its three boxes, then "下一步".
    void startWith(int ageGroups, int baseYear, int endYear) const
    {
        auto* first = step<Tdefine_wizard_frm>();
        child<QSpinBox>(first, "SpinEdit1")->setValue(ageGroups);
        child<QSpinBox>(first, "SpinEdit3")->setValue(baseYear);
        child<QSpinBox>(first, "SpinEdit4")->setValue(endYear);
        child<QPushButton>(first, "Button1")->click();
    }
    // Types `values` into a value column of a step's grid, from its first row on.
    static void type(QWidget* window, int column, const std::vector<double>& values, std::size_t first = 0)
    {
        auto* model = child<QTableView>(window, "StringGrid1")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            QVERIFY(model->setData(model->index(r, column), QString::fromStdString(text::formatRoundTrip(
                                                                  values.at(first + static_cast<std::size_t>(r))))));
    }
    // "读取" of a step answered with `path`.
    void read(QWidget* window, const QString& path)
    {
        prompts.openAnswers = {path};
        child<QPushButton>(window, "BitBtn1")->click();
    }
    static QStringList valueColumn(QWidget* window, int column)
    {
        QStringList cells;
        auto* model = child<QTableView>(window, "StringGrid1")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            cells << model->index(r, column).data().toString();
        return cells;
    }
    QString projectionCell(const char* grid, int row, int column) const
    {
        return child<QAbstractItemView>(projection(), grid)->model()->index(row - 1, column - 1).data().toString();
    }
    void next(QWidget* window) const { child<QPushButton>(window, "BitBtn3")->click(); }

    // "开始预测" and the listings of the results dialog.
    QStringList listing(const QString& entry) const
    {
        auto* results = projection()->resultForm();
        child<QComboBox>(results, "ComboBox1")->setCurrentText(entry);
        child<QPushButton>(results, "BitBtn2")->click();
        auto* shown = results->findChildren<zandor::ui::Tpop_data_resultForm1*>().last();
        QStringList lines;
        for (const auto& line : shown->lines())
            lines << QString::fromStdString(line);
        shown->Button2Click();
        return lines;
    }

    QTemporaryDir dir;
    PromptRecorder prompts;
    std::unique_ptr<Tvendol> window;
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A CSV of the sample's ages and the fields named, as zandor-cli dump would write a table
// of those fields.
QByteArray sampleCsv(const std::vector<const char*>& fields)
{
    std::vector<std::vector<double>> columns;
    QByteArray csv = "年龄";
    for (const char* field : fields) {
        csv += QByteArray(",") + field;
        columns.push_back(sampleColumn(field));
    }
    csv += "\n";
    for (std::size_t age = 0; age < columns[0].size(); ++age) {
        csv += QByteArray::number(qulonglong(age));
        for (const auto& c : columns)
            csv += "," + QByteArray::fromStdString(text::formatRoundTrip(c[age]));
        csv += "\n";
    }
    return csv;
}

}  // namespace

class WizardWindowTest : public QObject {
    Q_OBJECT

private slots:
    void stepOneOpensWithItsDefaultsAndCancelClosesOneWindow()
    {
        Fixture f;
        auto* first = f.step<Tdefine_wizard_frm>();
        QVERIFY(first && first->isVisible() && !first->isModal());
        auto* ages = child<QSpinBox>(first, "SpinEdit1");
        QCOMPARE((QList<int>{ages->value(), ages->minimum(), ages->maximum()}), (QList<int>{90, 50, 120}));
        QCOMPARE(child<QSpinBox>(first, "SpinEdit3")->value(), 1990);
        QCOMPARE(child<QSpinBox>(first, "SpinEdit4")->value(), 2000);
        child<QAbstractButton>(f.window.get(), "ToolButton10")->click();  // a fresh step 1
        QVERIFY(f.step<Tdefine_wizard_frm>() != first);

        child<QPushButton>(f.step<Tdefine_wizard_frm>(), "Button1")->click();
        auto* second = f.step<Twizard_Frm01>();
        QVERIFY(second->isVisible());
        QCOMPARE(Fixture::valueColumn(second, 0).size(), 90);
        QCOMPARE(Fixture::valueColumn(second, 0).last(), QString("89"));
        QVERIFY(f.window->session().wizardData);
        QCOMPARE(f.window->session().projectionYearCount, 10);  // columns 1991 to 2000
        QCOMPARE(child<QSpinBox>(f.projection(), "SpinEdit10")->value(), 1990);
        QCOMPARE(child<QSpinBox>(f.projection(), "SpinEdit11")->value(), 2000);

        child<QPushButton>(second, "BitBtn4")->click();
        QVERIFY(!second->isVisible());
        QVERIFY(f.window->isVisible());
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void typedAndLoadedDataProjectAsTheTableDoes_data()
    {
        QTest::addColumn<bool>("fromFiles");
        QTest::newRow("typed") << false;
        QTest::newRow("files") << true;
    }

    void typedAndLoadedDataProjectAsTheTableDoes()
    {
        QFETCH(bool, fromFiles);
        Fixture f;
        f.startWith(101, 2000, 2005);
        // The three data steps, typed or read from CSV files of the sample's columns.
        const std::vector<std::vector<const char*>> fields = {
            {"男性人口", "女性人口"}, {"男性死亡率", "女性死亡率"}, {"年龄别生育率"}};
        for (std::size_t s = 0; s < fields.size(); ++s) {
            QWidget* step = s == 0 ? static_cast<QWidget*>(f.step<Twizard_Frm01>())
                                   : s == 1 ? static_cast<QWidget*>(f.step<Twizard_Frm02>()) : f.step<Twizard_Frm03>();
            QVERIFY(step->isVisible());
            if (fromFiles)
                f.read(step, writeFile(f.dir, QString("%1.csv").arg(s), sampleCsv(fields[s])));
            for (std::size_t c = 0; !fromFiles && c < fields[s].size(); ++c)
                Fixture::type(step, int(c) + 1, sampleColumn(fields[s][c]), s == 2 ? 15 : 0);
            f.next(step);
            QVERIFY(!step->isVisible());
        }
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));

        // The projection dialog, modal, its field lists and year boxes off, ready to run.
        TSingle_Region_frm* dialog = f.projection();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"})
            QVERIFY(!child<QComboBox>(dialog, name)->isEnabled());
        QVERIFY(!child<QSpinBox>(dialog, "SpinEdit10")->isEnabled());
        QVERIFY(!child<QSpinBox>(dialog, "SpinEdit11")->isEnabled());
        QCOMPARE(f.projectionCell("StringGrid5", 1, 5), QString("10000"));
        QCOMPARE(f.projectionCell("StringGrid5", 2, 5), QString("0.012"));
        child<QPushButton>(dialog, "BitBtn2")->click();
        QVERIFY(runsEnded(dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        QVERIFY(dialog->resultForm());
        QVERIFY(!dialog->isVisible());
        for (const char* entry : {"总人口数", "总人口年龄结构"})
            QCOMPARE(f.listing(entry), cliListing(entry, 2000, 2005));

        // From now on the menu's projection dialog runs without chosen fields.
        const QString copy = f.dir.filePath("s.DB");
        QVERIFY(QFile::copy(samplePath(), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(f.window->openTable(copy));
        action(f.window.get(), "Projection1")->trigger();
        child<QPushButton>(f.projection(), "BitBtn2")->click();
        QVERIFY(runsEnded(f.projection()));
        QVERIFY(!f.prompts.messages.contains(QString::fromUtf8(zandor::projection::message::kTooFewFields.data())));
    }

    // "保存" then "读取" gives the same columns; a 35-line and a 36-line fertility file; the
    // sex ratio of the first population line.
    void filesAndTheirEdges()
    {
        Fixture f;
        f.startWith(90, 1990, 2000);
        auto* population = f.step<Twizard_Frm01>();
        QByteArray lines = "5200 4800\n";
        for (int age = 1; age < 90; ++age)
            lines += QByteArray::number(5000 - 40 * age) + "  " + QByteArray::number(4900 - 38.5 * age) + "\n";
        f.read(population, writeFile(f.dir, "pop.txt", lines));
        const QStringList male = Fixture::valueColumn(population, 1), female = Fixture::valueColumn(population, 2);
        QCOMPARE(male.first(), QString("5200"));
        QCOMPARE(female[3], QString("4784.5"));
        f.prompts.saveAnswers = {f.dir.filePath("saved")};
        child<QPushButton>(population, "BitBtn2")->click();
        Fixture::type(population, 1, std::vector<double>(90, 1.0));
        f.read(population, f.dir.filePath("saved"));
        QCOMPARE(Fixture::valueColumn(population, 1), male);
        QCOMPARE(Fixture::valueColumn(population, 2), female);
        // A bad line names the file and the line, and the grid stays.
        f.read(population, writeFile(f.dir, "bad.txt", "1 2\n3 x\n"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].contains(f.dir.filePath("bad.txt") + "第2行"));
        QCOMPARE(Fixture::valueColumn(population, 1), male);
        f.prompts.messages.clear();
        f.next(population);
        for (int c = 1; c <= 10; ++c)
            QCOMPARE(f.projectionCell("StringGrid2", 1, c), QString("108.3333"));

        auto* rates = f.step<Twizard_Frm02>();
        QByteArray rateLines;
        for (int age = 0; age < 90; ++age)
            rateLines += QByteArray::number(0.001 + 0.0005 * age * age / 90) + " " +
                         QByteArray::number(0.0008 + 0.0004 * age * age / 90) + "\n";
        f.read(rates, writeFile(f.dir, "rates.txt", rateLines));
        f.next(rates);

        auto* fertility = f.step<Twizard_Frm03>();
        QByteArray rates35;
        for (int age = 15; age <= 49; ++age)
            rates35 += age == 25 ? "0.5\n" : "0\n";
        f.read(fertility, writeFile(f.dir, "35.txt", rates35));
        f.next(fertility);
        QCOMPARE(f.projectionCell("StringGrid1", 1, 1), QString(".5"));
        QCOMPARE(f.projectionCell("StringGrid4", 11, 1), QString("1"));
        QCOMPARE(f.projectionCell("StringGrid4", 36, 1), QString("1"));
        // Esc on the projection dialog holding the wizard's schedules asks first.
        f.prompts.confirmAnswers = {true};
        f.projection()->reject();
        QVERIFY(f.prompts.questions.contains("确认放弃输入的数据?"));
        QVERIFY(!fertility->isVisible());

        // The 36th line is age 50: it enters the TFR, not the pattern, and is saved with the rest.
        fertility->show();
        f.read(fertility, writeFile(f.dir, "36.txt", rates35 + "0.5\n"));
        QCOMPARE(Fixture::valueColumn(fertility, 1).size(), 35);
        f.next(fertility);
        QCOMPARE(f.projectionCell("StringGrid1", 1, 1), QString("1"));
        QCOMPARE(f.projectionCell("StringGrid4", 11, 1), QString(".5"));
        QCOMPARE(f.projectionCell("StringGrid4", 36, 1), QString(".5"));
        f.prompts.saveAnswers = {f.dir.filePath("36 saved.txt")};
        child<QPushButton>(fertility, "BitBtn2")->click();
        QFile saved(f.dir.filePath("36 saved.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().count('\n'), 36);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void refusalsKeepTheStep()
    {
        Fixture f;
        f.startWith(70, 1990, 2000);
        auto* population = f.step<Twizard_Frm01>();
        auto* model = child<QTableView>(population, "StringGrid1")->model();
        QVERIFY(model->setData(model->index(4, 2), "4 800"));
        f.next(population);
        QCOMPARE(f.prompts.messages,
                 QStringList{"第5行女性列(年龄4): " + QString::fromStdString(text::invalidNumberMessage("4 800"))});
        QVERIFY(population->isVisible());
        QVERIFY(model->setData(model->index(4, 2), "-1"));
        f.prompts.messages.clear();
        f.next(population);
        QCOMPARE(f.prompts.messages, QStringList{"数据格式不正确."});
        QVERIFY(population->isVisible());
        QVERIFY(model->setData(model->index(4, 2), "4800"));
        f.prompts.messages.clear();
        f.next(population);
        QVERIFY(f.prompts.messages.isEmpty());

        // Seventy age groups cannot make the base life table.
        auto* rates = f.step<Twizard_Frm02>();
        f.next(rates);
        QCOMPARE(f.prompts.messages,
                 QStringList{QString::fromStdString(zandor::projection::message::tooFewAgeGroups(70))});
        QVERIFY(rates->isVisible());
        QVERIFY(!f.step<Twizard_Frm03>());
        child<QPushButton>(rates, "BitBtn5")->click();
        QVERIFY(!rates->isVisible());
    }
};

QTEST_MAIN(WizardWindowTest)
#include "wizard_window_test.moc"
