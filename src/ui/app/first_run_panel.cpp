#include "ui/app/first_run_panel.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/common/icons.h"
#include "zandor_version.h"

namespace zandor::ui {

QString FirstRunPanel::samplePath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                           + QLatin1String(kDataDirFromProgram)
                           + QStringLiteral("/samples/single_region.DB"));
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
                          QStringLiteral("单区域人口示例：0-100 岁的人口、死亡率与生育率（合成数据）"));
    WizardLink = link("WizardLink", IconKind::Wizard, QStringLiteral("人口预测向导"),
                      QStringLiteral("没有准备好的数据表时，逐步输入基础数据，进行单区域人口预测"));

    connect(OpenTableLink, &QCommandLinkButton::clicked, &openTable, &QAction::trigger);
    connect(WizardLink, &QCommandLinkButton::clicked, &wizard, &QAction::trigger);
    const QString sample = samplePath();
    if (QFileInfo::exists(sample))
        connect(OpenSampleLink, &QCommandLinkButton::clicked, this, [openSample, sample] { openSample(sample); });
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
