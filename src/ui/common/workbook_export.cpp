#include "ui/common/workbook_export.h"

#include <QString>

#include <exception>

#include "ui/common/prompts.h"

namespace zandor::ui {

bool exportWorkbook(QWidget* parent, const std::function<std::vector<tables::XlsxSheetSpec>()>& makeSheets)
{
    const QString name = Prompts::saveFileName(parent, QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (name.isEmpty())
        return false;
    try {
        tables::writeXlsxFile(name.toStdString(), makeSheets());
    } catch (const std::exception& e) {
        Prompts::information(parent, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

}  // namespace zandor::ui
