#include "ui/app/about_frm.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/common/icons.h"
#include "zandor_version.h"

namespace zandor::ui {
namespace {

// The picture beside the product name: a population pyramid in a rounded frame.
class Picture : public QWidget {
public:
    explicit Picture(QWidget* parent) : QWidget(parent) { setFixedSize(72, 72); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x2f, 0x6f, 0xc8), 2));
        p.setBrush(QColor(0xe8, 0xf0, 0xfb));
        p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 8, 8);
        icon(IconKind::SingleRegion).paint(&p, rect().adjusted(12, 12, -12, -12));
    }
};

}  // namespace

TAbout_Frm::TAbout_Frm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About_Frm"));
    setWindowTitle(QStringLiteral("关于") + QStringLiteral("Velmora"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);

    Shape1 = new Picture(Panel1);
    Shape1->setObjectName(QStringLiteral("Shape1"));

    auto label = [this](const char* name, const QString& text, int points, bool bold) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QLatin1String(name));
        QFont f = l->font();
        if (points > 0)
            f.setPointSize(points);
        f.setBold(bold);
        l->setFont(f);
        l->installEventFilter(this);
        return l;
    };
    auto* product = label("ProductName", QStringLiteral("Velmora"), 20, true);
    auto* shortName = label("ShortName", QStringLiteral("(Zandor)"), 12, false);
    auto* release = label("Version", QStringLiteral("版本 %1 (Linux, Qt %2)").arg(QLatin1String(kVersion), QLatin1String(qVersion())), 0, false);
    auto* purpose = label("Comments", QStringLiteral("人口数据管理、质量评价、生命表与人口预测"), 0, false);
    auto* maker = label("Copyright", QStringLiteral("Zandor 开发组"), 0, false);

    auto* names = new QVBoxLayout;
    names->addWidget(product);
    names->addWidget(shortName);
    names->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Shape1);
    top->addSpacing(12);
    top->addLayout(names, 1);
    auto* inner = new QVBoxLayout(Panel1);
    inner->addLayout(top);
    inner->addSpacing(10);
    inner->addWidget(release);
    inner->addWidget(purpose);
    inner->addWidget(maker);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Panel1);
    Panel1->installEventFilter(this);
    Shape1->installEventFilter(this);
    setFixedSize(sizeHint().expandedTo(QSize(360, 220)));
}

void TAbout_Frm::Panel1Click() { close(); }

void TAbout_Frm::Shape1MouseDown() { close(); }

bool TAbout_Frm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == Shape1) {
        Shape1MouseDown();
        return true;
    }
    // The labels lie on the panel: a click on them is a click on the panel.
    if (event->type() == QEvent::MouseButtonRelease && watched != Shape1) {
        Panel1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zandor::ui
