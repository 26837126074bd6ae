#include "ui/app/application.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <memory>

#include "ui/app/main_window.h"
#include "ui/app/quenta_logo.h"
#include "ui/session/session.h"
#include "zandor_version.h"

namespace zandor::ui {

Tvendol* createMainWindow(Edition edition, const QString& tablePath)
{
    auto* window = new Tvendol(edition);
    window->session().helpFile = kStartHelpFile;
    if (!tablePath.isEmpty())
        window->openTable(QFileInfo(tablePath).absoluteFilePath());
    return window;
}

bool setUpApplication(QApplication& app, Edition edition)
{
    QApplication::setApplicationName(edition == Edition::Full ? QStringLiteral("Zandor") : QStringLiteral("ZandorT"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QApplication::installTranslator(qtTexts))
        return true;
    delete qtTexts;
    return false;
}

int runApplication(int argc, char** argv, Edition edition)
{
    const char* program = edition == Edition::Full ? "Zandor" : "ZandorT";
    // --version answers without a display, before any window exists.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", program, kVersion);
        return 0;
    }
    QApplication app(argc, argv);
    setUpApplication(app, edition);

    {
        // The splash stays until its timer ends or the user clicks it.
        auto splash = std::make_unique<TQuentaLOGO>();
        splash->show();
        splash->repaint();
        QEventLoop wait;
        QObject::connect(splash.get(), &TQuentaLOGO::finished, &wait, &QEventLoop::quit);
        if (splash->timerEnabled())
            wait.exec();
        splash->hide();
    }

    // Apart from --version the program takes no options; a table path given to it (as run.sh
    // does with the sample, or a file manager opening a table) is opened as the current table.
    const QStringList args = QApplication::arguments();
    std::unique_ptr<Tvendol> window(createMainWindow(edition, args.size() > 1 ? args.at(1) : QString()));
    window->showMaximized();
    return QApplication::exec();
}

}  // namespace zandor::ui
