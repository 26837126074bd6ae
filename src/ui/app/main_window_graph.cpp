// The 图形 menu: the chart definition dialogs, the scatter plot and the age pyramid of
// fields of the current table.
#include <QMenu>
#include <QMenuBar>

#include "ui/app/main_window.h"
#include "ui/charts/age_stru_frm.h"
#include "ui/charts/chart_def_frm.h"
#include "ui/charts/scatter_frm.h"
#include "ui/session/session.h"

namespace zandor::ui {

QMenu* Tvendol::buildGraphMenu()
{
    QMenu* graph = addSubmenu(menuBar(), "Graph1", QStringLiteral("图形（&G）"));
    addCommand(graph, "Line1", QStringLiteral("线型图(&L)"), &Tvendol::Line1Click);
    addCommand(graph, "Bar1", QStringLiteral("垂直直方图(&B)"), &Tvendol::Bar1Click);
    addCommand(graph, "HorizBar1", QStringLiteral("水平直方图(&H)"), &Tvendol::HorizBar1Click);
    addCommand(graph, "Point1", QStringLiteral("点状图(&P)"), &Tvendol::Point1Click);
    addCommand(graph, "Area1", QStringLiteral("面积图(&A)"), &Tvendol::Area1Click);
    graph->addSeparator()->setObjectName(QStringLiteral("N1"));
    addCommand(graph, "Scator1", QStringLiteral("散点图(&S)"), &Tvendol::Scator1Click);
    addCommand(graph, "AgePyrimider1", QStringLiteral("年龄结构图(&T)"), &Tvendol::AgePyrimider1Click);
    return graph;
}

// 线形图 (TLine_def_frm)
void Tvendol::Line1Click()
{
    openDialog([this] { return new TLine_def_frm(*session_, this); });
}

// 垂直直方图 (TBar_def_frm)
void Tvendol::Bar1Click()
{
    openDialog([this] { return new TBar_def_frm(*session_, this); });
}

// 水平直方图 (THoriz_def_frm)
void Tvendol::HorizBar1Click()
{
    openDialog([this] { return new THoriz_def_frm(*session_, this); });
}

// 点状图 (TPoint_def_frm)
void Tvendol::Point1Click()
{
    openDialog([this] { return new TPoint_def_frm(*session_, this); });
}

// 面积图 (TArea_def_frm)
void Tvendol::Area1Click()
{
    openDialog([this] { return new TArea_def_frm(*session_, this); });
}

// 散点图 (Tscatter_Frm)
void Tvendol::Scator1Click()
{
    openDialog([this] { return new Tscatter_Frm(*session_, this); });
}

// 年龄结构金子塔 (TAge_stru_frm)
void Tvendol::AgePyrimider1Click()
{
    openDialog([this] { return new TAge_stru_frm(*session_, this); });
}

}  // namespace zandor::ui
