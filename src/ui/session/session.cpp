#include "ui/session/session.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace zandor::ui {

QWidget* NewestDialogs::find(const QMetaObject& type) const
{
    const auto it = std::find_if(newest_.begin(), newest_.end(), [&](const auto& entry) { return entry.first == &type; });
    return it == newest_.end() ? nullptr : it->second.data();
}

QWidget* NewestDialogs::remember(QWidget* dialog)
{
    const QMetaObject* type = dialog->metaObject();
    for (auto& [kind, instance] : newest_) {
        if (kind == type) {
            QWidget* previous = instance.data();
            instance = dialog;
            return previous == dialog ? nullptr : previous;
        }
    }
    newest_.emplace_back(type, dialog);
    return nullptr;
}

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
    // Taken first: when another program is rewriting the table, nothing changes here.
    tables::TableLock lock;
    if (table.isOpen())
        lock = tables::TableLock::acquire(table.path(), tables::TableLock::Mode::Shared);
    if (table_.isOpen())
        table_.close();
    tableLock_ = std::move(lock);
    table_ = std::move(table);
    currentTableName = name;
    emit tableChanged();
}

void Session::closeCurrentTable()
{
    if (table_.isOpen()) {
        table_.close();
        tableLock_.release();
        emit tableChanged();
    }
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
