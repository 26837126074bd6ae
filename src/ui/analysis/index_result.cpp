#include "ui/analysis/index_result.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/result_workbooks.h"
#include "tables/output_file.h"
#include "ui/common/button_row.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/common/workbook_export.h"

namespace zandor::ui {

namespace {

const QString kCannotSave = QStringLiteral("无法保存文件 %1:\n%2");

QLineEdit* bandBox(QWidget* parent, const char* name, const std::string& text)
{
    auto* edit = named(new QLineEdit(QString::fromStdString(text), parent), name);
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

TIndex_Result_frm* showIndexResult(analysis::IndexReport report, QWidget* parent)
{
    auto* window = new TIndex_Result_frm(std::move(report), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}

TIndex_Result_frm::TIndex_Result_frm(analysis::IndexReport report, QWidget* parent)
    : QDialog(parent), report_(std::move(report))
{
    setObjectName(QStringLiteral("Index_Result_frm"));
    setWindowTitle(QStringLiteral("数据质量评价"));

    ListBox1 = named(new QListWidget(this), "ListBox1");
    for (const std::string& line : report_.lines)
        ListBox1->addItem(QString::fromStdString(line));

    auto* bands = new QGroupBox(QStringLiteral("指数范围"), this);
    Edit1 = bandBox(bands, "Edit1", report_.bands[0]);
    Edit2 = bandBox(bands, "Edit2", report_.bands[1]);
    Edit3 = bandBox(bands, "Edit3", report_.bands[2]);
    auto* bandLayout = new QGridLayout(bands);
    bandLayout->addWidget(new QLabel(QStringLiteral("好:"), bands), 0, 0);
    bandLayout->addWidget(Edit1, 1, 0);
    bandLayout->addWidget(new QLabel(QStringLiteral("可接受"), bands), 0, 1);
    bandLayout->addWidget(Edit2, 1, 1);
    bandLayout->addWidget(new QLabel(QStringLiteral("不可接受:"), bands), 0, 2);
    bandLayout->addWidget(Edit3, 1, 2);

    BandLabel = named(new QLabel(report_.band ? QString::fromStdString(analysis::bandLine(*report_.band)) : QString(), this),
                      "BandLabel");

    BitBtn1 = named(new QPushButton(QStringLiteral("保存"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    BitBtn3 = named(new QPushButton(QStringLiteral("导出Excel"), this), "BitBtn3");
    connect(BitBtn3, &QPushButton::clicked, this, &TIndex_Result_frm::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TIndex_Result_frm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TIndex_Result_frm::BitBtn2Click);

    auto* buttons = buttonRow({BitBtn1, BitBtn3, BitBtn2});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(bands);
    layout->addWidget(BandLabel);
    layout->addLayout(buttons);
    resize(360, 420);
}

// Saves the lines, the bands and the band line as a UTF-8 text file; the file is replaced
// only once all of it is written.
void TIndex_Result_frm::BitBtn1Click()
{
    const QString path = Prompts::saveFileName(this, QStringLiteral("文本文件 (*.txt)"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    const std::string text = analysis::reportText(report_);
    try {
        tables::writeOutputFile(path.toStdString(), text);
    } catch (const tables::OutputFileError& e) {
        Prompts::information(this, kCannotSave.arg(path, QString::fromStdString(e.reason())));
    }
}

// The index values and the bands as a workbook.
void TIndex_Result_frm::BitBtn3Click()
{
    exportWorkbook(this, [this] { return analysis::qualitySheets(report_); });
}

void TIndex_Result_frm::BitBtn2Click() { close(); }

}  // namespace zandor::ui
