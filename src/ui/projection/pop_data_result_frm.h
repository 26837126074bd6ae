// Tpop_data_resultForm1 ("人口预测结果"): the text listing of a projection indicator, which
// "存盘" saves as a Rich Text Format file.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

namespace zandor::ui {

class Tpop_data_resultForm1 : public QDialog {
    Q_OBJECT
public:
    explicit Tpop_data_resultForm1(QWidget* parent = nullptr);

    // The listing, one text line per line.
    void setLines(const std::vector<std::string>& lines);
    // What the text area holds now, line by line (the user may have edited it).
    std::vector<std::string> lines() const;

public slots:
    void Button1Click();  // 存盘
    void Button2Click();  // 取消

private:
    QTextEdit* RichEdit1;
    QPushButton* Button1;
    QPushButton* Button2;
};

}  // namespace zandor::ui
