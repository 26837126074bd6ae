#include "ui/projection/pop_data_result_frm.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "tables/output_file.h"
#include "ui/common/prompts.h"
#include "ui/projection/rtf_document.h"

namespace zandor::ui {

namespace {
const QString kCannotSave = QStringLiteral("无法保存文件 %1:\n%2");
}

Tpop_data_resultForm1::Tpop_data_resultForm1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("pop_data_resultForm1"));
    setWindowTitle(QStringLiteral("人口预测结果"));
    auto* layout = new QVBoxLayout(this);
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    RichEdit1->setFont(font);
    layout->addWidget(RichEdit1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("存盘"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &Tpop_data_resultForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tpop_data_resultForm1::Button2Click);
    resize(640, 520);
}

void Tpop_data_resultForm1::setLines(const std::vector<std::string>& lines)
{
    QStringList texts;
    for (const std::string& line : lines)
        texts << QString::fromStdString(line);
    RichEdit1->setPlainText(texts.join(QLatin1Char('\n')));
}

std::vector<std::string> Tpop_data_resultForm1::lines() const
{
    std::vector<std::string> out;
    for (const QString& line : RichEdit1->toPlainText().split(QLatin1Char('\n')))
        out.push_back(line.toStdString());
    return out;
}

void Tpop_data_resultForm1::Button1Click()
{
    const QString path = Prompts::saveFileName(this, QString(), QString());
    if (path.isEmpty())
        return;
    const std::string document = rtfDocument(lines());
    // The file is replaced only once the whole document is written.
    try {
        tables::writeOutputFile(path.toStdString(), document);
    } catch (const tables::OutputFileError& e) {
        Prompts::information(this, kCannotSave.arg(path, QString::fromStdString(e.reason())));
    }
}

void Tpop_data_resultForm1::Button2Click() { close(); }

}  // namespace zandor::ui
