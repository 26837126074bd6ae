#include "ui/app/application.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QTableWidget>

#include <memory>

#include "tables/table.h"
#include "tables/table_error.h"

namespace zandor::ui {
namespace {

// Until the main window with its data-aware grid exists, a table named on the command line
// is shown read-only in a plain grid.
QTableWidget* tableView(const QString& path, QWidget* parent)
{
    auto table = tables::Table::open(path.toStdString(), true);
    auto* grid = new QTableWidget(parent);
    const auto& fields = table.fields();
    grid->setColumnCount(static_cast<int>(fields.size()));
    grid->setRowCount(static_cast<int>(table.recordCount()));
    QStringList headers;
    for (const auto& f : fields)
        headers << QString::fromStdString(f.name);
    grid->setHorizontalHeaderLabels(headers);
    int row = 0;
    for (table.first(); !table.eof(); table.next(), ++row)
        for (int c = 0; c < table.fieldCount(); ++c)
            grid->setItem(row, c, new QTableWidgetItem(QString::fromStdString(tables::toText(table.value(c)))));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

}  // namespace

QMainWindow* createMainWindow(Edition edition, const QString& tablePath)
{
    auto* window = new QMainWindow;
    window->setObjectName(edition == Edition::Full ? "Zandor" : "ZandorT");
    window->setWindowTitle("Velmora");
    window->resize(1000, 700);
    if (!tablePath.isEmpty()) {
        try {
            window->setCentralWidget(tableView(QFileInfo(tablePath).absoluteFilePath(), window));
        } catch (const tables::TableError& e) {
            QMessageBox::information(window, "Velmora", QString::fromStdString(e.what()));
        }
    }
    return window;
}

int runApplication(int argc, char** argv, Edition edition)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(edition == Edition::Full ? "Zandor" : "ZandorT");
    const QStringList args = QApplication::arguments();
    std::unique_ptr<QMainWindow> window(createMainWindow(edition, args.size() > 1 ? args.at(1) : QString()));
    window->showMaximized();
    return QApplication::exec();
}

}  // namespace zandor::ui
