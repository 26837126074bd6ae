#include "ui/app/help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The manual is compiled into a static library: its resources are registered by hand.
static void initialiseResources() { Q_INIT_RESOURCE(zandor); }

namespace zandor::ui {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    initialiseResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Velmora 帮助"));
    resize(820, 640);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);

    auto* back = new QPushButton(QStringLiteral("后退"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    auto* forward = new QPushButton(QStringLiteral("前进"), this);
    forward->setObjectName(QStringLiteral("HelpForward"));
    auto* contents = new QPushButton(QStringLiteral("目录"), this);
    contents->setObjectName(QStringLiteral("HelpContents"));
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this,
            [this] { browser_->setSource(manualUrl(QString(), QStringLiteral("contents"))); });
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
}

QUrl HelpWindow::manualUrl(const QString&, const QString& topic)
{
    initialiseResources();
    // The program names its help file "C:\Zandor_Help\Zandor.HLP" at start and "\Zandor.hlp"
    // in the Help menu; both are this one bundled manual.
    QUrl url(QStringLiteral("qrc:/help/index.html"));
    if (!topic.isEmpty())
        url.setFragment(topic);
    return url;
}

void HelpWindow::showTopic(const QString& helpFile, const QString& topic)
{
    browser_->setSource(manualUrl(helpFile, topic));
    show();
    raise();
    activateWindow();
}

}  // namespace zandor::ui
