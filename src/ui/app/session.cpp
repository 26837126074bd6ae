#include "ui/app/session.h"

#include <utility>

namespace zandor::ui {

Session::Session(Edition edition, QObject* parent) : QObject(parent), edition_(edition) {}

Session::~Session()
{
    // The window posts pending edits before it goes; this is the last safety net and must
    // not throw out of a destructor.
    try {
        table_.close();
    } catch (...) {
    }
}

void Session::setCurrentTable(tables::Table table, const QString& name)
{
    if (table_.isOpen())
        table_.close();
    table_ = std::move(table);
    currentTableName = name;
    tableOpen = table_.isOpen() ? 1 : 0;
    emit tableChanged();
}

void Session::closeCurrentTable()
{
    if (table_.isOpen()) {
        table_.close();
        tableOpen = 0;
        emit tableChanged();
        return;
    }
    tableOpen = 0;
}

QStringList Session::fieldNames() const
{
    QStringList names;
    if (!table_.isOpen())
        return names;
    for (const auto& field : table_.fields())
        names << QString::fromStdString(field.name);
    return names;
}

}  // namespace zandor::ui
