// Tpop_result_Form1 and Tpop_data_resultForm1 over a projection of the sample table: the
// catalogue of each edition, the text listing of every entry (as the engine lists it), typed
// entries, "显示" pressed again and again, "取消", and "存盘" writing an RTF document that an
// independent reader (unrtf, when installed) turns back into the listing.
#include <QtTest>

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include "projection/indicators.h"
#include "projection_window_support.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/pop_result_frm.h"
#include "ui/projection/rtf_document.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::Tpop_data_resultForm1;
using zandor::ui::Tpop_result_Form1;
using zandor::ui::Tvendol;
namespace projection = zandor::projection;

Q_DECLARE_METATYPE(zandor::Edition)

namespace {

QString readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

// unrtf's HTML (its text output knows no GBK) back to lines of text: paragraphs end in
// <br>, characters outside ASCII are numeric entities.
QStringList textOfUnrtfHtml(const QString& html)
{
    QString body = html.section(QStringLiteral("<body>"), 1).section(QStringLiteral("</body>"), 0, 0);
    body.remove(QLatin1Char('\n'));
    body.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    body.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    QString text;
    static const QRegularExpression entity(QStringLiteral("&#(\\d+);|&(amp|lt|gt|quot|nbsp);"));
    qsizetype last = 0;
    for (auto it = entity.globalMatch(body); it.hasNext();) {
        const auto m = it.next();
        text += body.mid(last, m.capturedStart() - last);
        if (!m.captured(1).isEmpty()) {
            const char32_t c = m.captured(1).toUInt();
            text += QString::fromUcs4(&c, 1);
        } else {
            const QString name = m.captured(2);
            text += name == "amp" ? "&" : name == "lt" ? "<" : name == "gt" ? ">" : name == "quot" ? "\"" : " ";
        }
        last = m.capturedEnd();
    }
    text += body.mid(last);
    return text.split(QLatin1Char('\n'));
}

}  // namespace

class ProjectionResultsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void catalogueOfEachEdition_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<int>("entries");
        QTest::newRow("Zandor") << Edition::Full << 36;
        QTest::newRow("ZandorT") << Edition::Target << 33;
    }

    void catalogueOfEachEdition()
    {
        QFETCH(Edition, edition);
        QFETCH(int, entries);
        ResultsFixture f(edition);
        QCOMPARE(f.dialog->windowTitle(), QString("预测结果"));
        auto* list = f.get<QComboBox>("ComboBox1");
        QVERIFY(list->isEditable());
        QCOMPARE(list->count(), entries);
        QCOMPARE(list->currentText(), QString("总人口数"));
        QCOMPARE(list->itemText(entries - 1), QString("人口预测参数设置"));
        QCOMPARE(list->itemText(21), QString("总人口年龄结构"));
        QVERIFY(f.get<QRadioButton>("RadioButton12")->isChecked());
        QCOMPARE(f.get<QRadioButton>("RadioButton12")->text(), QString("数据显示"));
        QCOMPARE(f.get<QRadioButton>("RadioButton1")->text(), QString("线形图"));
        QCOMPARE(f.get<QRadioButton>("RadioButton15")->text(), QString("直方图"));
        QCOMPARE(f.get<QPushButton>("BitBtn2")->text(), QString("显示"));
        QCOMPARE(f.get<QPushButton>("BitBtn1")->text(), QString("取消"));
    }

    // Every entry of the list, and texts that are no entry, list what the engine lists.
    void everyEntryListsAsTheEngine_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::newRow("Zandor") << Edition::Full;
        QTest::newRow("ZandorT") << Edition::Target;
    }

    void everyEntryListsAsTheEngine()
    {
        QFETCH(Edition, edition);
        ResultsFixture f(edition);
        QStringList entries;
        for (const auto& entry : projection::indicatorCatalogue(edition))
            entries << QString::fromStdString(entry);
        entries << "我的指标" << "流动人口规模 ";
        for (const QString& entry : entries) {
            Tpop_data_resultForm1* listing = f.showListing(entry);
            QVERIFY2(listing, qPrintable(entry));
            QVERIFY(listing->isVisible());
            QCOMPARE(listing->windowTitle(), QString("人口预测结果"));
            QCOMPARE(listing->lines(), projection::textListing(f.results(), entry.toStdString(), edition));
            listing->Button2Click();
            QVERIFY(!listing->isVisible());
        }
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void typedEntryListsTheTotalPopulation()
    {
        ResultsFixture f;
        const auto total = f.showListing("总人口数")->lines();
        const auto typed = f.showListing("人口总量")->lines();
        QCOMPARE(typed.size(), total.size());
        QCOMPARE(typed[1], std::string("人口总量"));
        QCOMPARE(std::vector<std::string>(typed.begin() + 2, typed.end()),
                 std::vector<std::string>(total.begin() + 2, total.end()));
        QCOMPARE(total.size(), std::size_t(2 + 5));
        QCOMPARE(total[2].substr(0, 8), std::string("2001    "));
    }

    void showCanBePressedAgainAndAgain()
    {
        ResultsFixture f;
        int& cursor = f.window->session().singleRegion.pyramidFrameCursor;
        for (int press = 1; press <= 3; ++press) {
            cursor = 1;
            f.get<QPushButton>("BitBtn2")->click();
            QCOMPARE(f.dialog->findChildren<Tpop_data_resultForm1*>().size(), press);
            QCOMPARE(cursor, 5);
        }
        QVERIFY(f.dialog->isVisible());
    }

    void cancelPaintsTheMainGridWhite()
    {
        ResultsFixture f;
        auto* grid = f.window->grid();
        grid->markColumn(1, Qt::red);
        grid->markColumn(5, QColor(0, 128, 0));
        f.get<QPushButton>("BitBtn1")->click();
        QVERIFY(!f.dialog->isVisible());
        for (int c = 0; c < 6; ++c)
            QCOMPARE(grid->columnColour(c), QColor(Qt::white));
    }

    void rtfDocumentTexts_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("body");  // the paragraph as written, "\par" excluded
        QTest::newRow("plain") << "2001    12345" << "2001    12345";
        QTest::newRow("RTF's own characters") << "a{b}\\c" << "a\\{b\\}\\\\c";
        QTest::newRow("Chinese: Unicode value, GBK bytes as fallback")
            << "总人口" << "{\\uc2\\u24635\\'d7\\'dc}{\\uc2\\u20154\\'c8\\'cb}{\\uc2\\u21475\\'bf\\'da}";
        QTest::newRow("one-byte GBK character") << "€" << "{\\uc1\\u8364\\'80}";
        QTest::newRow("outside GBK") << "กa" << "\\u3585?a";
        QTest::newRow("above 32767 is negative") << "한" << "\\u-10916?";
        QTest::newRow("outside the BMP as two halves") << "😀" << "\\u-10179?\\u-8704?";
        QTest::newRow("tab and control characters") << QString("a\tb\x01" "c") << "a\\tab b" "c";
    }

    void rtfDocumentTexts()
    {
        QFETCH(QString, line);
        QFETCH(QString, body);
        const std::string document = zandor::ui::rtfDocument({line.toStdString()});
        const std::string head =
            "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052{\\fonttbl{\\f0\\fswiss\\fcharset134 MS Sans Serif;}}\n"
            "\\uc1\\pard\\plain\\f0\\fs20 ";
        QCOMPARE(QString::fromStdString(document), QString::fromStdString(head) + body + "\\par\n}\n");
        for (unsigned char c : document)
            QVERIFY(c < 0x80);
    }

    void saveWritesAnRtfFile()
    {
        ResultsFixture f;
        Tpop_data_resultForm1* listing = f.showListing("总人口年龄结构");
        QVERIFY(listing);
        const QString path = f.dir.filePath("年龄结构.rtf");
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'x'));  // an existing file is replaced whole
        }
        f.prompts.saveAnswers << path;
        child<QPushButton>(listing, "Button1")->click();
        QCOMPARE(f.prompts.saveFilters, QStringList{QString()});
        QCOMPARE(f.prompts.saveSuffixes, QStringList{QString()});
        QVERIFY(f.prompts.messages.isEmpty());
        const QString written = readFile(path);
        QCOMPARE(written, QString::fromStdString(zandor::ui::rtfDocument(listing->lines())));
        QVERIFY(written.contains("\\fcharset134 MS Sans Serif"));
        QVERIFY(written.contains("{\\uc2\\u24180\\'c4\\'ea}"));  // 年

        // A cancelled save dialog writes nothing.
        const QString other = f.dir.filePath("other.rtf");
        child<QPushButton>(listing, "Button1")->click();
        QVERIFY(!QFile::exists(other));

        // A folder that does not exist is reported.
        const QString missing = f.dir.filePath("no such folder/listing.rtf");
        f.prompts.saveAnswers << missing;
        child<QPushButton>(listing, "Button1")->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].startsWith("无法保存文件 " + missing));
    }

    // What the user saved is what a word processor reads: unrtf turns the file back into the
    // listing (it joins runs of spaces, so lines are compared with their blanks simplified).
    void savedFileReadsBackInAnIndependentReader()
    {
        const QString unrtf = QStandardPaths::findExecutable("unrtf");
        if (unrtf.isEmpty())
            QSKIP("unrtf is not installed");
        ResultsFixture f;
        for (const QString& entry : {QString("人口预测参数设置"), QString("总人口年龄结构"), QString("0--14岁人口比重")}) {
            Tpop_data_resultForm1* listing = f.showListing(entry);
            QVERIFY(listing);
            const QString path = f.dir.filePath("listing.rtf");
            f.prompts.saveAnswers << path;
            child<QPushButton>(listing, "Button1")->click();
            QProcess reader;
            reader.start(unrtf, {"--html", path});
            QVERIFY(reader.waitForFinished(30000));
            QCOMPARE(reader.exitCode(), 0);
            const QStringList read = textOfUnrtfHtml(QString::fromUtf8(reader.readAllStandardOutput()));
            QStringList expected;
            for (const std::string& line : listing->lines())
                expected << QString::fromStdString(line).simplified();
            QStringList actual;
            for (const QString& line : read)
                actual << line.simplified();
            while (!actual.isEmpty() && actual.last().isEmpty() && actual.size() > expected.size())
                actual.removeLast();
            QCOMPARE(actual, expected);
        }
    }

    // 导出Excel: every indicator group a sheet, years as rows, read back by openpyxl.
    void exportExcelWritesOneSheetPerIndicatorGroup()
    {
        ResultsFixture f;
        const QString path = f.dir.filePath("预测结果.xlsx");
        f.prompts.saveAnswers << path;
        f.get<QPushButton>("BitBtn3")->click();
        QCOMPARE(f.prompts.messages, QStringList());
        QVERIFY(QFile::exists(path));
        if (!openpyxlAvailable())
            QSKIP("python3-openpyxl is not installed (scripts/install-deps.sh): the workbook is not read back");
        const QStringList read = readWithOpenpyxl(path);
        QStringList sheets;
        for (const QString& line : read)
            if (!line.contains(QLatin1Char('|')))
                sheets << line;
        const int years = f.results().yearCount;
        QCOMPARE(sheets, (QStringList{QStringLiteral("人口总量\t%1\t6").arg(years + 1),
                                      QStringLiteral("出生死亡\t%1\t8").arg(years + 1),
                                      QStringLiteral("年龄结构\t%1\t20").arg(years + 1),
                                      QStringLiteral("流动人口\t%1\t4").arg(years + 1),
                                      QStringLiteral("预测参数\t%1\t43").arg(years + 1),
                                      QStringLiteral("2005年年龄结构\t%1\t3").arg(f.results().ageCount + 1)}));
        // The first year's total as the engine has it; births shown as whole persons.
        const QStringList totals = read[2].split(QLatin1Char('\t'));
        QCOMPARE(totals[0], QStringLiteral("2001|0"));
        QCOMPARE(totals[1].section(QLatin1Char('|'), 0, 0).toDouble(), f.results().total[0]);
        const QStringList births = read[5].split(QLatin1Char('\t'));
        QCOMPARE(births[5].section(QLatin1Char('|'), 1), QStringLiteral("0"));
    }

    void listingKeepsItsLines()
    {
        Tpop_data_resultForm1 window;
        const std::vector<std::string> lines = {"", "总人口数", "2001    10055330", "  indented  "};
        window.setLines(lines);
        QCOMPARE(window.lines(), lines);
    }
};

QTEST_MAIN(ProjectionResultsWindowTest)
#include "projection_results_window_test.moc"
