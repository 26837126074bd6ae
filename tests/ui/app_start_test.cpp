// The program's start: both editions come up with a main window titled "Velmora" that shows
// the table it was given.
#include <QtTest>

#include <QMainWindow>
#include <QTableWidget>

#include <memory>

#include "ui/app/application.h"

class AppStartTest : public QObject {
    Q_OBJECT
private slots:
    void bothEditionsStart()
    {
        for (auto edition : {zandor::Edition::Full, zandor::Edition::Target}) {
            std::unique_ptr<QMainWindow> window(zandor::ui::createMainWindow(edition, QString()));
            QCOMPARE(window->windowTitle(), QString("Velmora"));
        }
    }

    void showsTheSampleTable()
    {
        const QString sample = QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB");
        if (!QFile::exists(sample))
            QSKIP("no sample table");
        std::unique_ptr<QMainWindow> window(zandor::ui::createMainWindow(zandor::Edition::Full, sample));
        auto* grid = qobject_cast<QTableWidget*>(window->centralWidget());
        QVERIFY(grid);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("年龄"));
        QCOMPARE(grid->rowCount(), 101);
    }
};

QTEST_MAIN(AppStartTest)
#include "app_start_test.moc"
