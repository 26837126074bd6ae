#include "ui/app/first_run_panel.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "zandor_version.h"

namespace zandor::ui {

QString FirstRunPanel::samplePath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                           + QLatin1String(kDataDirFromProgram)
                           + QStringLiteral("/samples/single_region.DB"));
}

QString FirstRunPanel::sampleCopyFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Velmora 示例");
}

// The installed samples may be read-only (a system folder): the user works on copies, made
// once in the documents folder and then kept with whatever the user changed in them.
QString FirstRunPanel::writableSample(bool& madeNow)
{
    madeNow = false;
    const QString original = samplePath();
    const QDir folder(sampleCopyFolder());
    const QString copy = folder.filePath(QFileInfo(original).fileName());
    if (QFileInfo::exists(copy))
        return copy;
    if (!folder.mkpath(QStringLiteral(".")))
        return original;
    const QDir samples = QFileInfo(original).absoluteDir();
    for (const QFileInfo& table : samples.entryInfoList({QStringLiteral("*.DB"), QStringLiteral("*.db"), QStringLiteral("*.dbf"),
                                                         QStringLiteral("*.DBF")},
                                                        QDir::Files)) {
        const QString target = folder.filePath(table.fileName());
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(table.absoluteFilePath(), target))
            return original;
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    }
    madeNow = QFileInfo::exists(copy);
    return madeNow ? copy : original;
}

FirstRunPanel::FirstRunPanel(QTableView& grid, QAction& openTable, QAction& wizard,
                             std::function<void(const QString&)> openSample)
    : QFrame(grid.viewport()), grid_(grid)
{
    setObjectName(QStringLiteral("FirstRunPanel"));
    setAutoFillBackground(true);

    auto link = [this](const char* name, IconKind kind, const QString& text, const QString& description) {
        auto* button = new QCommandLinkButton(text, description, this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(icon(kind));
        button->setIconSize(QSize(32, 32));
        button->setMinimumWidth(420);
        return button;
    };
    OpenTableLink = link("OpenTableLink", IconKind::OpenTable, QStringLiteral("打开数据表"),
                         QStringLiteral("打开一个 Paradox (.db) 或 dBase (.dbf) 人口数据表"));
    OpenSampleLink = link("OpenSampleLink", IconKind::SingleRegion, QStringLiteral("打开示例数据表"),
                          QStringLiteral("单区域人口示例（合成数据），打开“文档”中 “Velmora 示例” 里可以修改的副本"));
    WizardLink = link("WizardLink", IconKind::Wizard, QStringLiteral("人口预测向导"),
                      QStringLiteral("没有准备好的数据表时，逐步输入基础数据，进行单区域人口预测"));

    connect(OpenTableLink, &QCommandLinkButton::clicked, &openTable, &QAction::trigger);
    connect(WizardLink, &QCommandLinkButton::clicked, &wizard, &QAction::trigger);
    const QString sample = samplePath();
    if (QFileInfo::exists(sample))
        connect(OpenSampleLink, &QCommandLinkButton::clicked, this, [this, openSample] {
            bool madeNow = false;
            const QString copy = writableSample(madeNow);
            openSample(copy);
            if (madeNow)
                Prompts::information(window(), QStringLiteral("示例数据表已复制到 %1，打开的是其中的副本，可以修改；"
                                                              "原来的示例保持不变。")
                                                   .arg(QDir::toNativeSeparators(sampleCopyFolder())));
        });
    else
        OpenSampleLink->setEnabled(false);

    auto* title = new QLabel(QStringLiteral("开始"), this);
    title->setObjectName(QStringLiteral("FirstRunTitle"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);

    auto* column = new QVBoxLayout;
    column->addWidget(title);
    column->addSpacing(8);
    column->addWidget(OpenTableLink);
    column->addWidget(OpenSampleLink);
    column->addWidget(WizardLink);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(column);
    layout->setAlignment(column, Qt::AlignHCenter);
    layout->addStretch(2);

    grid.viewport()->installEventFilter(this);
    if (QAbstractItemModel* model = grid.model()) {
        connect(model, &QAbstractItemModel::modelReset, this, &FirstRunPanel::follow);
        connect(model, &QAbstractItemModel::columnsInserted, this, &FirstRunPanel::follow);
        connect(model, &QAbstractItemModel::columnsRemoved, this, &FirstRunPanel::follow);
    }
    follow();
}

bool FirstRunPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_.viewport() && event->type() == QEvent::Resize)
        follow();
    return QFrame::eventFilter(watched, event);
}

void FirstRunPanel::follow()
{
    const bool noTable = !grid_.model() || grid_.model()->columnCount() == 0;
    setGeometry(grid_.viewport()->rect());
    setVisible(noTable);
    if (noTable)
        raise();
}

}  // namespace zandor::ui
