// The 人口分析 menu: data quality and the adjustment of age data, the life table, the end-of-year structure,
// standardization, the two projections and (ZandorT) target planning.
#include <QMenu>
#include <QMenuBar>

#include "ui/analysis/age_adjust_frm.h"
#include "ui/analysis/data_quality_frm.h"
#include "ui/analysis/life_table_frm.h"
#include "ui/analysis/pop_stru_end_frm.h"
#include "ui/analysis/standardization_frm.h"
#include "ui/analysis/target_planning_frm.h"
#include "ui/analysis/un_sex_age_frm.h"
#include "ui/app/main_window.h"
#include "ui/projection/multi_pop_frm.h"
#include "ui/projection/single_region_frm.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

namespace zandor::ui {

QMenu* Tvendol::buildAnalysisMenu()
{
    QMenu* analysis = addSubmenu(menuBar(), "PopulationAnalysis1", QStringLiteral("人口分析（&P）"));
    QMenu* quality = addSubmenu(analysis, "N2", QStringLiteral("数据质量评价(&E)"));
    addCommand(quality, "N3", QStringLiteral("年龄结构法(&A)"), &Tvendol::N3Click);
    addCommand(quality, "N4", QStringLiteral("联合国法(&U)"), &Tvendol::N4Click);
    addCommand(quality, "N13", QStringLiteral("年龄数据调整(&J)"), &Tvendol::N13Click);
    addCommand(analysis, "LifeTable1", QStringLiteral("生命表(&L)"), &Tvendol::LifeTable1Click);
    addCommand(analysis, "N7", QStringLiteral("推算年末人口结构(&U)"), &Tvendol::N7Click);
    if (session_->edition() == Edition::Full)
        addCommand(analysis, "N12", QStringLiteral("人口数据标准化(&Z)"), &Tvendol::N12Click);
    QMenu* projection = addSubmenu(analysis, "N5", QStringLiteral("人口预测(&P)"));
    addCommand(projection, "Projection1", QStringLiteral("单区域人口预测(&S)"), &Tvendol::Projection1Click);
    addCommand(projection, "N6", QStringLiteral("分城乡人口预测(&M)"), &Tvendol::N6Click);
    if (session_->edition() == Edition::Target)
        addCommand(analysis, "Simulation1", QStringLiteral("人口目标分析(&S)"), &Tvendol::Simulation1Click);
    return analysis;
}

void Tvendol::N3Click()
{
    openDialog([this] { return new TData_quality_frm(*session_, this); });
}

void Tvendol::N4Click()
{
    openDialog([this] { return new TUN_sex_age_frm(*session_, this); });
}

void Tvendol::N13Click()
{
    openDialog([this] { return new TAge_adjust_frm(*session_, this); });
}

void Tvendol::LifeTable1Click()
{
    openDialog([this] { return new TLife_table_frm(*session_, this); });
}

void Tvendol::N7Click()
{
    openDialog([this] { return new Tpop_stru_end_Frm(*session_, this); });
}

void Tvendol::N12Click()
{
    openDialog([this] { return new Tstandardization_Frm(*session_, this); });
}

void Tvendol::Projection1Click()
{
    openDialog([this] { return new TSingle_Region_frm(*session_, DBGrid1, this); });
}

void Tvendol::N6Click()
{
    openDialog([this] { return new Tmulti_pop_Frm(*session_, this); });
}

void Tvendol::Simulation1Click()
{
    openDialog([this] { return new TTarget_Planning_Frm1(*session_, this); });
}

}  // namespace zandor::ui
