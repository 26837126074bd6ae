// The windows of the projection wizard. The work of each button is in the wizard engine
// (projection/wizard_data.h); the windows show the grids and pass on the outcome.
#include "ui/wizard/wizard_frm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <exception>

#include "projection/messages.h"
#include "projection/wizard_data.h"
#include "ui/common/editor_tracking_delegate.h"
#include "ui/common/named.h"
#include "ui/common/discard_question.h"
#include "ui/common/prompts.h"
#include "ui/projection/schedule_grid.h"
#include "ui/projection/single_region_frm.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

namespace zandor::ui {

namespace wizard = projection::wizard;

namespace {

// The year boxes take any year a calendar can hold, as the projection dialog's do.
constexpr int kFirstYear = 0;
constexpr int kLastYear = 9999;

const QString kOpenFilter = QStringLiteral("txt (*.txt);;csv (*.csv)");

QString messageOf(const std::exception& e) { return QString::fromStdString(e.what()); }

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

// ---- the chain ----

TSingle_Region_frm* WizardChain::projectionDialog() const
{
    if (auto* dialog = session->dialogs.of<TSingle_Region_frm>())
        return dialog;
    return newProjectionDialog();
}

TSingle_Region_frm* WizardChain::newProjectionDialog() const
{
    auto* dialog = new TSingle_Region_frm(*session, mainGrid, owner);
    dialog->useWizardData(baseYear, endYear);
    if (QWidget* previous = session->dialogs.remember(dialog))
        previous->deleteLater();
    return dialog;
}

void WizardChain::remember(QWidget* window) const
{
    // An earlier wizard's window of the same step is let go once it is closed; one still in
    // use stays until the program ends.
    if (QWidget* previous = session->dialogs.remember(window); previous && !previous->isVisible())
        previous->deleteLater();
}

// ---- step 1 ----

Tdefine_wizard_frm::Tdefine_wizard_frm(Session& session, DataGrid* mainGrid, QWidget* parent)
    : QDialog(parent), session_(session), mainGrid_(mainGrid)
{
    setObjectName(QStringLiteral("define_wizard_frm"));
    setWindowTitle(QStringLiteral("人口预测向导 第一步"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    SpinEdit1 = spinBox(this, "SpinEdit1", wizard::kMinimumAgeGroups, wizard::kMaximumAgeGroups,
                        wizard::kDefaultAgeGroups);
    SpinEdit3 = spinBox(this, "SpinEdit3", kFirstYear, kLastYear, wizard::kDefaultBaseYear);
    SpinEdit4 = spinBox(this, "SpinEdit4", kFirstYear, kLastYear, wizard::kDefaultEndYear);
    form->addRow(QStringLiteral("基础数据年龄组数"), SpinEdit1);
    form->addRow(QStringLiteral("基础数据年份"), SpinEdit3);
    form->addRow(QStringLiteral("预测终止年份"), SpinEdit4);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = button(this, "Button1", QStringLiteral("下一步"));
    BitBtn1 = button(this, "BitBtn1", QStringLiteral("取消"));
    buttons->addWidget(Button1);
    buttons->addWidget(BitBtn1);
    layout->addLayout(buttons);
    setMinimumWidth(320);  // room for the caption in the title bar
    connect(Button1, &QPushButton::clicked, this, &Tdefine_wizard_frm::Button1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tdefine_wizard_frm::BitBtn1Click);
}

void Tdefine_wizard_frm::Button1Click()
{
    WizardChain chain{&session_, mainGrid_, parentWidget(), SpinEdit1->value(), SpinEdit3->value(),
                      SpinEdit4->value()};
    // A reversed pair of years would leave the schedules a negative number of columns.
    if (chain.endYear < chain.baseYear) {
        Prompts::information(this, QString::fromStdString(projection::message::endBeforeBase(chain.baseYear,
                                                                                            chain.endYear)));
        return;
    }
    auto* next = new Twizard_Frm01(chain);
    chain.remember(next);
    next->show();
    hide();
    chain.newProjectionDialog();
    session_.projectionYearCount = chain.endYear - chain.baseYear;
    session_.wizardData = true;
}

void Tdefine_wizard_frm::BitBtn1Click() { close(); }

// ---- the data steps ----

WizardDataStep::WizardDataStep(const WizardChain& chain, const Layout& layout)
    : QDialog(chain.owner),
      chain_(chain),
      grid_(wizard::dataGrid(layout.headings, layout.firstAge, layout.storedRows)),
      firstAge_(layout.firstAge),
      shownRows_(layout.shownRows)
{
    setWindowTitle(QString::fromUtf8(layout.caption));
    auto* box = new QVBoxLayout(this);
    auto* label = named(new QLabel(QString::fromUtf8(layout.label), this), "Label1");
    box->addWidget(label);
    // The ages as a column of cells no one edits, the rows kept beyond the shown ones hidden.
    model_ = new TextGridModel(grid_, {.labelsAsCells = true, .shownRows = shownRows_}, this);
    StringGrid1 = named(new QTableView(this), "StringGrid1");
    StringGrid1->setItemDelegate(new EditorTrackingDelegate(StringGrid1, &editor_));
    StringGrid1->setModel(model_);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(96);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    box->addWidget(StringGrid1, 1);

    auto* buttons = new QHBoxLayout;
    BitBtn1 = button(this, "BitBtn1", QStringLiteral("读取"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("保存"));
    BitBtn3 = button(this, "BitBtn3", QStringLiteral("下一步"));
    cancel_ = button(this, layout.cancelName, QStringLiteral("取消"));
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, cancel_})
        buttons->addWidget(b);
    box->addLayout(buttons);
    resize(360, 520);

    connect(BitBtn1, &QPushButton::clicked, this, &WizardDataStep::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &WizardDataStep::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &WizardDataStep::BitBtn3Click);
    connect(cancel_, &QPushButton::clicked, this, &WizardDataStep::cancelClick);
    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { entered_ = true; });
}

void WizardDataStep::tell(const QString& message) { Prompts::information(this, message); }

void WizardDataStep::commitPendingEdit()
{
    if (!editor_)
        return;
    QWidget* editor = editor_;
    editor_ = nullptr;
    // What the delegate says when the user leaves the cell: the view stores and closes it.
    QAbstractItemDelegate* delegate = StringGrid1->itemDelegate();
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

int WizardDataStep::rowsToSave() const { return shownRows_ - 1; }

void WizardDataStep::BitBtn1Click()
{
    const QString path = Prompts::openFileName(this, kOpenFilter);
    if (path.isEmpty())
        return;
    commitPendingEdit();
    try {
        wizard::readValues(grid_, firstAge_, path.toStdString());
        entered_ = true;
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
    model_->reload();
}

void WizardDataStep::BitBtn2Click()
{
    const QString path = Prompts::saveFileName(this, QString(), QString());
    if (path.isEmpty())
        return;
    commitPendingEdit();
    try {
        wizard::writeValues(grid_, rowsToSave(), path.toStdString());
    } catch (const std::exception& e) {
        tell(messageOf(e));
    }
}

void WizardDataStep::BitBtn3Click()
{
    commitPendingEdit();
    TSingle_Region_frm* dialog = chain_.projectionDialog();
    try {
        derive(*dialog);
    } catch (const std::exception& e) {
        // What the press already wrote into the projection dialog stays; the step is not left.
        dialog->showScheduleGrids();
        tell(messageOf(e));
        return;
    }
    dialog->showScheduleGrids();
    leaving_ = true;
    goOn();
}

// "取消" (BitBtn4Click of step 2, BitBtn5Click of steps 3 and 4): this window only.
void WizardDataStep::cancelClick()
{
    leaving_ = true;
    close();
}

// Esc and the title bar's close button: values typed or read into the step are not dropped
// without asking.
void WizardDataStep::reject()
{
    if (leaving_ || mayDiscard(this, entered_))
        QDialog::reject();
    leaving_ = false;
}

// Step 2.
Twizard_Frm01::Twizard_Frm01(const WizardChain& chain)
    : WizardDataStep(chain, Layout{"人口预测向导 第二步", "年龄别人口数", "BitBtn4", {"年龄", "男性", "女性"}, 0,
                                   wizard::byAgeStoredRows(chain.ageGroups), chain.ageGroups + 1})
{
}

void Twizard_Frm01::derive(TSingle_Region_frm& dialog)
{
    wizard::populationStep(chain_.session->singleRegion.inputs, dialog.scheduleGrids(), grid(), chain_.ageGroups,
                           chain_.baseYear, chain_.endYear);
}

void Twizard_Frm01::goOn()
{
    auto* next = new Twizard_Frm02(chain_);
    chain_.remember(next);
    next->show();
    close();
}

// Step 3.
Twizard_Frm02::Twizard_Frm02(const WizardChain& chain)
    : WizardDataStep(chain, Layout{"人口预测向导 第三步", "年龄别死亡率", "BitBtn5", {"年龄", "男性", "女性"}, 0,
                                   chain.ageGroups + 1, chain.ageGroups + 1})
{
}

void Twizard_Frm02::derive(TSingle_Region_frm& dialog)
{
    wizard::deathRateStep(chain_.session->singleRegion.inputs, dialog.scheduleGrids(), grid(), chain_.ageGroups,
                          chain_.baseYear, chain_.endYear);
}

void Twizard_Frm02::goOn()
{
    auto* next = new Twizard_Frm03(chain_);
    chain_.remember(next);
    next->show();
    close();
}

// Step 4.
Twizard_Frm03::Twizard_Frm03(const WizardChain& chain)
    : WizardDataStep(chain, Layout{"人口预测向导 第四步", "年龄生育率", "BitBtn5", {"年龄", "女性"},
                                              wizard::kFertilityFirstAge, wizard::kFertilityStoredRows,
                                              wizard::kFertilityShownRows})
{
}

void Twizard_Frm03::derive(TSingle_Region_frm& dialog)
{
    wizard::fertilityStep(chain_.session->singleRegion.inputs, dialog.scheduleGrids(), grid(), chain_.ageGroups,
                          chain_.baseYear, chain_.endYear);
}

void Twizard_Frm03::goOn()
{
    TSingle_Region_frm* dialog = chain_.projectionDialog();
    hide();
    connect(dialog, &QDialog::finished, this, &QWidget::close, Qt::UniqueConnection);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

int Twizard_Frm03::rowsToSave() const { return wizard::fertilityRowsToSave(grid()); }

}  // namespace zandor::ui
