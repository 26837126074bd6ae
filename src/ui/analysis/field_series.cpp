#include "ui/analysis/field_series.h"

#include <QComboBox>

#include <exception>

#include "analysis/age_series.h"
#include "projection/messages.h"
#include "tables/numeric_column.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

bool readChosenField(QWidget* dialog, Session& session, const QComboBox* box, std::vector<double>& into)
{
    const std::string field = box->currentText().toStdString();
    if (field.empty())
        return false;
    try {
        into = tables::readNumericColumn(session.table(), field);
    } catch (const std::exception& e) {
        into.clear();
        Prompts::information(dialog, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

void loadPopulationField(QWidget* dialog, Session& session, const QComboBox* box, std::vector<double>& into)
{
    if (readChosenField(dialog, session, box, into) && analysis::hasNegative(into)) {
        const std::string_view message = projection::message::kBadData;
        Prompts::information(dialog, QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    }
}

}  // namespace zandor::ui
