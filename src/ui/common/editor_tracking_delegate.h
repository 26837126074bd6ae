// An item delegate that remembers the cell editor it opened, so that a grid can store what is
// still being typed when a command (save, close, a dialog button) acts on the grid.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace zandor::ui {

class EditorTrackingDelegate : public QStyledItemDelegate {
public:
    EditorTrackingDelegate(QObject* parent, QPointer<QWidget>* openEditor)
        : QStyledItemDelegate(parent), openEditor_(openEditor)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        *openEditor_ = editor;
        return editor;
    }

private:
    QPointer<QWidget>* openEditor_;
};

}  // namespace zandor::ui
