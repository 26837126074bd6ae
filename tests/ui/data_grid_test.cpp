// DBGrid1 and DBNavigator1 over tables held in memory: on-demand reading of huge tables,
// editing in place with posting on row change, Save, Close and Exit, refusal of values a
// field cannot hold, store failures, the navigator's commands and column colouring.
#include <QtTest>

#include <cmath>

#include <QLineEdit>
#include <QToolButton>

#include <memory>

#include "test_support.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/table_model.h"

using namespace testing_support;
using zandor::ui::DataGrid;
using zandor::ui::TableModel;
using zandor::ui::Tvendol;

namespace {

struct Fixture {
    std::unique_ptr<Tvendol> window;
    std::shared_ptr<MemoryStore> file;
    DataGrid* grid = nullptr;
    TableModel* model = nullptr;

    QModelIndex cell(int row, int column) const { return model->index(row, column); }
    QString text(int row, int column) const { return cell(row, column).data().toString(); }
    QToolButton* button(const char* name) const { return window->findChild<QToolButton*>(QLatin1String(name)); }
    double stored(std::size_t row, std::size_t column) const { return tables::toDouble(file->stored(row).at(column)); }
};

Fixture showTable(std::shared_ptr<MemoryStore> store, zandor::Edition edition = zandor::Edition::Full)
{
    Fixture f;
    f.window = std::make_unique<Tvendol>(edition);
    f.file = store;
    f.window->session().setCurrentTable(tables::Table(std::make_unique<MemoryTableFile>(store)),
                                        QStringLiteral("/data/memory.DB"));
    f.grid = f.window->grid();
    f.model = f.grid->tableModel();
    return f;
}

// Opens the cell editor on a cell and types into it, leaving the editor open.
void typeIntoCell(DataGrid* grid, const QModelIndex& index, const QString& text)
{
    grid->setCurrentIndex(index);
    grid->edit(index);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(text);
}

}  // namespace

class DataGridTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheCurrentTable()
    {
        auto f = showTable(populationTable());
        QCOMPARE(f.grid->objectName(), QString("DBGrid1"));
        QCOMPARE(f.model->columnCount(), 3);
        QCOMPARE(f.model->rowCount(), 5);
        QCOMPARE(f.model->headerData(0, Qt::Horizontal).toString(), QString("年龄"));
        QCOMPARE(f.model->headerData(2, Qt::Horizontal).toString(), QString("女性人口"));
        QCOMPARE(f.text(0, 0), QString("0"));
        QCOMPARE(f.text(3, 1), QString("1003"));
        QCOMPARE(f.grid->currentIndex(), f.cell(0, 0));
    }

    void editIsPostedWhenTheRowChanges()
    {
        auto f = showTable(populationTable());
        QVERIFY(f.model->setData(f.cell(1, 1), "1234.5"));
        QCOMPARE(f.file->writes, std::size_t(0));
        QCOMPARE(f.text(1, 1), QString("1234.5"));
        QCOMPARE(f.model->editRow(), 1);

        f.grid->setCurrentIndex(f.cell(1, 2));  // same row: still in edit
        QCOMPARE(f.file->writes, std::size_t(0));
        f.grid->setCurrentIndex(f.cell(2, 2));
        QCOMPARE(f.file->writes, std::size_t(1));
        QCOMPARE(f.stored(1, 1), 1234.5);
        QCOMPARE(f.model->editRow(), -1);
    }

    void typedCellIsStoredOnEnterAndRowChange()
    {
        auto f = showTable(populationTable());
        f.window->show();
        f.grid->setFocus();
        f.grid->setCurrentIndex(f.cell(2, 2));
        QTest::keyClick(f.grid, Qt::Key_7, Qt::NoModifier);  // typing starts the editor
        auto* editor = f.grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(f.model->editRow(), 2);
        QTest::keyClicks(editor, "77");
        QCOMPARE(editor->text(), QString("777"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits once the key is handled
        QCOMPARE(f.text(2, 2), QString("777"));
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.grid->currentIndex().row(), 3);
        QCOMPARE(f.stored(2, 2), 777.0);
    }

    void editInTheCellEditorIsPostedBy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("保存(&S)") << "Save1";
        QTest::newRow("保存数据表") << "ToolButton9";
        QTest::newRow("关闭(&C)") << "Close1";
        QTest::newRow("关闭数据表") << "ToolButton8";
        QTest::newRow("退出(&X)") << "Exit1";
        QTest::newRow("navigator post") << "nbPost";
        QTest::newRow("navigator next") << "nbNext";
        QTest::newRow("data preparation, cancelled") << "N10";
    }

    void editInTheCellEditorIsPostedBy()
    {
        QFETCH(QString, command);
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        f.window->show();
        typeIntoCell(f.grid, f.cell(1, 2), "4321");
        if (QAction* a = action(f.window.get(), command))
            a->trigger();
        else
            f.button(command.toLatin1().constData())->click();
        QCOMPARE(f.stored(1, 2), 4321.0);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join('\n')));
    }

    void textInAFloatFieldIsRefusedAndTheOldValueKept()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        QVERIFY(!f.model->setData(f.cell(0, 1), "abc"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages.first(), QString("字段“男性人口”第 1 行: “abc”不是有效的数值"));
        QCOMPARE(f.text(0, 1), QString("1000"));
        QCOMPARE(f.model->editRow(), -1);
        QCOMPARE(f.file->writes, std::size_t(0));
    }

    void refusedCellInARecordInEditKeepsTheOtherChanges()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        QVERIFY(f.model->setData(f.cell(0, 1), "5"));
        QVERIFY(!f.model->setData(f.cell(0, 2), "x9"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(f.text(0, 2), QString("900"));
        QCOMPARE(f.model->editRow(), 0);
        QVERIFY(f.grid->postPendingEdit());
        QCOMPARE(f.stored(0, 1), 5.0);
        QCOMPARE(f.stored(0, 2), 900.0);
    }

    void readOnlyTableRefusesEdits()
    {
        PromptRecorder prompts;
        auto file = populationTable();
        file->readOnlyFile = true;
        auto f = showTable(file);
        QVERIFY(!(f.model->flags(f.cell(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!f.button("nbInsert")->isEnabled());
        QVERIFY(!f.button("nbDelete")->isEnabled());
        QVERIFY(!f.button("nbEdit")->isEnabled());
        QVERIFY(!f.model->edit(0));
        QCOMPARE(prompts.messages.size(), 1);
    }

    void unstorableEditKeepsTheTableOpenAndTheRecordInEdit()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        f.file->failWrites = true;
        QVERIFY(f.model->setData(f.cell(1, 1), "55"));
        action(f.window.get(), "Close1")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("Disk full"));
        QCOMPARE(f.window->session().tableOpen(), true);
        QCOMPARE(f.model->editRow(), 1);
        QCOMPARE(f.text(1, 1), QString("55"));

        f.file->failWrites = false;
        action(f.window.get(), "Save1")->trigger();
        QCOMPARE(f.stored(1, 1), 55.0);
        QCOMPARE(f.model->editRow(), -1);
    }

    void leavingARecordThatCannotBeStoredReturnsToIt()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        f.file->failWrites = true;
        QVERIFY(f.model->setData(f.cell(1, 1), "55"));
        f.grid->setCurrentIndex(f.cell(3, 1));
        QCOMPARE(prompts.messages.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(f.grid->currentIndex().row(), 1);
        QCOMPARE(f.model->editRow(), 1);
    }

    void exitWithAnEditThatCannotBeStoredAsksFirst()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        f.window->show();
        f.file->failWrites = true;
        QVERIFY(f.model->setData(f.cell(1, 1), "55"));
        prompts.confirmAnswers = {false};
        QVERIFY(!f.window->close());
        QCOMPARE(f.window->session().tableOpen(), true);
        QCOMPARE(f.model->editRow(), 1);
        prompts.confirmAnswers = {true};
        QVERIFY(f.window->close());
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(f.file->writes, std::size_t(0));
    }

    void navigatorMovesBetweenRecords()
    {
        auto f = showTable(populationTable());
        QVERIFY(!f.button("nbFirst")->isEnabled());
        QVERIFY(!f.button("nbPrior")->isEnabled());
        f.button("nbLast")->click();
        QCOMPARE(f.grid->currentIndex().row(), 4);
        QVERIFY(!f.button("nbNext")->isEnabled());
        QVERIFY(!f.button("nbLast")->isEnabled());
        f.button("nbPrior")->click();
        QCOMPARE(f.grid->currentIndex().row(), 3);
        f.button("nbFirst")->click();
        QCOMPARE(f.grid->currentIndex().row(), 0);
        f.button("nbNext")->click();
        QCOMPARE(f.grid->currentIndex().row(), 1);
    }

    void navigatorInsertsAndPostsARecord()
    {
        auto f = showTable(populationTable());
        f.button("nbInsert")->click();
        QCOMPARE(f.model->rowCount(), 6);
        QCOMPARE(f.grid->currentIndex().row(), 5);
        QCOMPARE(f.model->headerData(5, Qt::Vertical).toString(), QString("*"));
        QVERIFY(f.button("nbPost")->isEnabled());
        QVERIFY(f.model->setData(f.cell(5, 0), "5"));
        QVERIFY(f.model->setData(f.cell(5, 1), "1.5e3"));
        QCOMPARE(f.file->recordCount(), std::size_t(5));
        f.button("nbPost")->click();
        QCOMPARE(f.file->recordCount(), std::size_t(6));
        QCOMPARE(f.stored(5, 0), 5.0);
        QCOMPARE(f.stored(5, 1), 1500.0);
        QVERIFY(tables::isNull(f.file->stored(5).at(2)));
        QCOMPARE(f.model->rowCount(), 6);
        QVERIFY(!f.button("nbPost")->isEnabled());
    }

    void navigatorCancelDropsAnInsertAndAnEdit()
    {
        auto f = showTable(populationTable());
        f.button("nbInsert")->click();
        f.button("nbCancel")->click();
        QCOMPARE(f.model->rowCount(), 5);
        QCOMPARE(f.file->recordCount(), std::size_t(5));

        f.grid->setCurrentIndex(f.cell(2, 1));
        QVERIFY(f.model->setData(f.cell(2, 1), "1"));
        f.button("nbCancel")->click();
        QCOMPARE(f.text(2, 1), QString("1002"));
        QCOMPARE(f.file->writes, std::size_t(0));
    }

    void navigatorDeletesOnlyAfterConfirmation()
    {
        PromptRecorder prompts;
        auto f = showTable(populationTable());
        f.grid->setCurrentIndex(f.cell(1, 0));
        prompts.confirmAnswers = {false};
        f.button("nbDelete")->click();
        QCOMPARE(prompts.questions, QStringList{"删除当前记录?"});
        QCOMPARE(f.model->rowCount(), 5);
        prompts.confirmAnswers = {true};
        f.button("nbDelete")->click();
        QCOMPARE(f.model->rowCount(), 4);
        QCOMPARE(f.file->recordCount(), std::size_t(4));
        QCOMPARE(f.text(1, 0), QString("2"));
    }

    void navigatorEditAndRefresh()
    {
        auto f = showTable(populationTable());
        f.window->show();
        f.grid->setCurrentIndex(f.cell(3, 1));
        f.button("nbEdit")->click();
        QCOMPARE(f.model->editRow(), 3);
        QVERIFY(!f.button("nbRefresh")->isEnabled());
        QVERIFY(!f.button("nbEdit")->isEnabled());
        f.button("nbCancel")->click();
        QVERIFY(f.button("nbRefresh")->isEnabled());

        // A change made to the file behind the grid shows after a refresh.
        QCOMPARE(f.text(3, 1), QString("1003"));
        f.file->rows[3] = {std::int64_t(3), 8.0, 9.0};
        QCOMPARE(f.text(3, 1), QString("1003"));
        f.button("nbRefresh")->click();
        QCOMPARE(f.text(3, 1), QString("8"));
        QCOMPARE(f.grid->currentIndex().row(), 3);
    }

    void columnsAreMarkedAndResetToWhite()
    {
        auto f = showTable(populationTable());
        f.grid->markColumn(1, Qt::yellow);
        f.grid->markField("女性人口", Qt::green);
        QCOMPARE(f.cell(4, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
        QCOMPARE(f.cell(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::green));
        QCOMPARE(f.cell(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        f.grid->resetColumnColours();
        for (int c = 0; c < 3; ++c)
            QCOMPARE(f.grid->columnColour(c), QColor(Qt::white));
    }

    // What is drawn, not what the model says: on the saturated blue of a marked column the
    // digits stand out (contrast of at least 4.5:1), in every row, current row or not.
    void markedColumnsAreReadableAsDrawn()
    {
        auto f = showTable(populationTable());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QColor fill(Qt::blue);
        f.grid->markField("女性人口", fill);
        const QImage shot = f.grid->viewport()->grab().toImage();
        auto luminance = [](const QColor& c) {
            auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
        };
        const double fillLight = luminance(fill);
        for (int row : {0, 1, 3}) {
            const QRect cell = f.grid->visualRect(f.cell(row, 2)).adjusted(2, 2, -2, -2);
            double best = 1;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const double light = luminance(shot.pixelColor(x, y));
                    best = std::max(best, (std::max(light, fillLight) + 0.05) / (std::min(light, fillLight) + 0.05));
                }
            QVERIFY2(best >= 4.5, qPrintable(QStringLiteral("row %1: %2").arg(row).arg(best)));
        }
    }

    void damagedRecordIsReportedOnceAndTheRestShown()
    {
        PromptRecorder prompts;
        auto file = populationTable();
        file->damaged = {2};
        auto f = showTable(file);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCoreApplication::processEvents();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("damaged"));
        QCOMPARE(f.text(2, 1), QString());
        QCOMPARE(f.text(3, 1), QString("1003"));
        f.grid->viewport()->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(prompts.messages.size(), 1);
    }

    void aMillionRowsOpenWithoutReadingThemAll()
    {
        constexpr std::size_t kRows = 1'000'000;
        auto store = std::make_shared<MemoryStore>();
        store->fields = {field("年龄", tables::StorageType::LongInt), field("人口", tables::StorageType::Number)};
        store->count = kRows;
        store->generate = [](std::size_t row) { return tables::Record{std::int64_t(row), static_cast<double>(row) * 2}; };
        auto f = showTable(store);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCoreApplication::processEvents();
        QCOMPARE(f.model->rowCount(), int(kRows));
        QVERIFY2(f.file->reads <= 4 * zandor::ui::RowCache::kBlockRows, qPrintable(QString::number(f.file->reads)));
        QCOMPARE(f.text(0, 1), QString("0"));

        f.button("nbLast")->click();
        QCoreApplication::processEvents();
        QCOMPARE(f.grid->currentIndex().row(), int(kRows) - 1);
        QCOMPARE(f.text(int(kRows) - 1, 0), QString("999999"));
        QVERIFY2(f.file->reads <= 8 * zandor::ui::RowCache::kBlockRows, qPrintable(QString::number(f.file->reads)));

        QVERIFY(f.model->setData(f.cell(int(kRows) - 1, 1), "7"));
        f.button("nbFirst")->click();
        QCOMPARE(f.stored(kRows - 1, 1), 7.0);
    }
};

QTEST_MAIN(DataGridTest)
#include "data_grid_test.moc"
