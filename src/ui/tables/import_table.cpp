#include "ui/tables/import_table.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "tables/table_error.h"
#include "tables/table_file.h"
#include "tables/table_import.h"
#include "ui/common/prompts.h"
#include "ui/common/runner.h"
#include "ui/tables/new_table.h"
#include "text/refusal.h"

namespace zandor::ui {
namespace {

const QString kSourceFilter = QStringLiteral(
    "CSV 或 Excel 工作簿 (*.csv *.CSV *.xlsx *.XLSX *.xlsm);;CSV (*.csv *.CSV);;Excel 工作簿 (*.xlsx *.XLSX *.xlsm)");
const QString kTargetFilter = QStringLiteral("*.db (*.db);;*.dbf (*.dbf)");
const QString kTargetSuffix = QStringLiteral("db");
const QString kFileExists = QStringLiteral(" 文件已存在.");
const QString kNoSource = QStringLiteral("请先选择要导入的文件.");
const QString kSummary = QStringLiteral("%1 条记录, %2 个字段 (预览前 %3 条)");
const QString kTypeRow = QStringLiteral("类型");
constexpr std::size_t kPreviewRows = 20;

// How the preview names a field's type: as the structure windows do, with a Char's width.
QString typeText(const tables::FieldDef& field)
{
    const QString kind = QString::fromUtf8(tables::kindName(field.kind));
    return field.kind == tables::FieldKind::Char ? QStringLiteral("%1(%2)").arg(kind).arg(field.size) : kind;
}

// The work's progress in the progress window, and the 停止 button heard between records.
tables::ReadHook readHook(const Feedback& feedback)
{
    return [&feedback](std::size_t read) {
        if (read % 4096 == 0) {
            feedback.progress(0, 0, "已读取 " + std::to_string(read) + " 条记录");
            feedback.throwIfStopped();
        }
    };
}

}  // namespace

TImport_Frm::TImport_Frm(OpenTable openTable, QWidget* parent)
    : QDialog(parent), openTable_(std::move(openTable)), runner_(new Runner(this))
{
    setObjectName(QStringLiteral("Import_Frm"));
    setWindowTitle(QStringLiteral("导入数据"));
    resize(720, 480);

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto button = [this](const char* name, const QString& caption, void (TImport_Frm::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Button1 = button("Button1", QStringLiteral("浏览…"), &TImport_Frm::Button1Click);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEnabled(false);
    ComboBox1->setMinimumContentsLength(16);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TImport_Frm::ComboBox1Change);
    Label4 = label("Label4", QString());

    StringGrid1 = new QTableWidget(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);

    Button2 = button("Button2", QStringLiteral("导入"), &TImport_Frm::Button2Click);
    Button2->setEnabled(false);
    Button3 = button("Button3", QStringLiteral("取消"), &TImport_Frm::Button3Click);

    auto* source = new QGridLayout;
    source->addWidget(label("Label1", QStringLiteral("源文件:")), 0, 0);
    source->addWidget(Edit1, 0, 1);
    source->addWidget(Button1, 0, 2);
    source->addWidget(label("Label2", QStringLiteral("工作表:")), 1, 0);
    source->addWidget(ComboBox1, 1, 1, Qt::AlignLeft);
    source->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label4, 1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addWidget(label("Label3", QStringLiteral("预览 (第一行为各字段的类型):")));
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}

void TImport_Frm::Button1Click()
{
    const QString name = Prompts::openFileName(this, kSourceFilter);
    if (!name.isEmpty())
        chooseSource(name);
}

void TImport_Frm::chooseSource(const QString& path)
{
    source_ = path;
    Edit1->setText(QDir::toNativeSeparators(path));
    clearPreview();
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
        ComboBox1->setEnabled(false);
    }
    if (tables::isWorkbookPath(path.toStdString())) {
        std::vector<std::string> sheets;
        try {
            sheets = tables::workbookSheets(path.toStdString());
        } catch (const std::exception& e) {
            Prompts::information(this, QString::fromStdString(e.what()));
            return;
        }
        const QSignalBlocker quiet(ComboBox1);
        for (const std::string& sheet : sheets)
            ComboBox1->addItem(QString::fromStdString(sheet));
        ComboBox1->setEnabled(true);
    }
    showPreview();
}

void TImport_Frm::ComboBox1Change()
{
    clearPreview();
    showPreview();
}

std::optional<std::string> TImport_Frm::chosenSheet() const
{
    if (!ComboBox1->isEnabled() || ComboBox1->currentIndex() < 0)
        return std::nullopt;
    return ComboBox1->currentText().toStdString();
}

void TImport_Frm::clearPreview()
{
    previewed_ = false;
    Button2->setEnabled(false);
    StringGrid1->clear();
    StringGrid1->setRowCount(0);
    StringGrid1->setColumnCount(0);
    Label4->clear();
}

// Reads the whole source as the import will (a value no table holds is refused here
// already), and shows the types it gives a Paradox table and the first records.
void TImport_Frm::showPreview()
{
    const std::string source = source_.toStdString();
    const std::optional<std::string> sheet = chosenSheet();
    runner_->run(
        windowTitle(),
        [source, sheet](const Feedback& feedback) {
            return tables::previewImport(source, tables::TableFormat::Paradox, sheet, kPreviewRows, readHook(feedback));
        },
        [this](const RunOutcome& outcome, std::optional<tables::ImportPreview> preview) {
            if (preview)
                presentPreview(*preview);
            else if (outcome.kind != RunOutcome::Kind::Stopped)
                Prompts::information(this, outcome.message);
        });
}

void TImport_Frm::presentPreview(const tables::ImportPreview& preview)
{
    const int columns = static_cast<int>(preview.fields.size());
    StringGrid1->setColumnCount(columns);
    StringGrid1->setRowCount(static_cast<int>(preview.rows.size()) + 1);
    QStringList names;
    for (const tables::FieldDef& field : preview.fields)
        names << QString::fromStdString(field.name);
    StringGrid1->setHorizontalHeaderLabels(names);
    QStringList rowNames{kTypeRow};
    for (std::size_t r = 1; r <= preview.rows.size(); ++r)
        rowNames << QString::number(r);
    StringGrid1->setVerticalHeaderLabels(rowNames);
    QFont bold = StringGrid1->font();
    bold.setBold(true);
    for (int c = 0; c < columns; ++c) {
        auto* type = new QTableWidgetItem(typeText(preview.fields[static_cast<std::size_t>(c)]));
        type->setFont(bold);
        StringGrid1->setItem(0, c, type);
    }
    for (std::size_t r = 0; r < preview.rows.size(); ++r)
        for (int c = 0; c < columns && c < static_cast<int>(preview.rows[r].size()); ++c)
            StringGrid1->setItem(static_cast<int>(r) + 1, c,
                                 new QTableWidgetItem(QString::fromStdString(preview.rows[r][static_cast<std::size_t>(c)])));
    StringGrid1->resizeColumnsToContents();
    Label4->setText(kSummary.arg(preview.records).arg(columns).arg(std::min(preview.records, kPreviewRows)));
    previewed_ = true;
    Button2->setEnabled(true);
}

void TImport_Frm::Button2Click()
{
    if (!previewed_) {
        Prompts::information(this, kNoSource);
        return;
    }
    const QString path = Prompts::saveFileName(this, kTargetFilter, kTargetSuffix);
    if (!path.isEmpty())
        importInto(QString::fromStdString(tables::withDefaultExtension(path.toStdString())));
}

void TImport_Frm::importInto(const QString& path)
{
    if (QFileInfo::exists(path)) {
        Prompts::information(this, path + kFileExists);
        return;
    }
    const std::string source = source_.toStdString();
    const std::string target = path.toStdString();
    const std::optional<std::string> sheet = chosenSheet();
    runner_->run(
        windowTitle(),
        [source, target, sheet](const Feedback& feedback) {
            const tables::ReadHook afterRead = readHook(feedback);
            const tables::CopyHook afterRecord = [&feedback](std::size_t copied) {
                if (copied % 4096 == 0) {
                    feedback.progress(0, 0, "已写入 " + std::to_string(copied) + " 条记录");
                    feedback.throwIfStopped();
                }
            };
            try {
                return sheet ? tables::importWorkbook(source, target, sheet, afterRead, afterRecord)
                             : tables::importCsv(source, target, afterRead, afterRecord);
            } catch (const tables::TableExists&) {
                // Another program created a table at this name meanwhile; it is kept.
                throw Refusal(target + kFileExists.toStdString());
            }
        },
        [this, path](const RunOutcome& outcome, auto imported) {
            if (!imported) {
                if (outcome.kind != RunOutcome::Kind::Stopped)
                    Prompts::information(this, outcome.message);
                return;
            }
            if (openTable_(path)) {
                showFormatRemarks(this, *imported);
                accept();
            }
        });
}

void TImport_Frm::Button3Click() { reject(); }

}  // namespace zandor::ui
