// DBNavigator1: the record navigator under the grid (first, prior, next, last, insert,
// delete, edit, post, cancel, refresh).
#pragma once

#include <QWidget>

class QToolButton;

namespace zandor::ui {

class DataGrid;

class Navigator : public QWidget {
    Q_OBJECT
public:
    explicit Navigator(DataGrid& grid, QWidget* parent = nullptr);

    // Enables the buttons that make sense for the grid's current row and edit state.
    void updateButtons();

private:
    DataGrid& grid_;
    QToolButton* first_;
    QToolButton* prior_;
    QToolButton* next_;
    QToolButton* last_;
    QToolButton* insert_;
    QToolButton* delete_;
    QToolButton* edit_;
    QToolButton* post_;
    QToolButton* cancel_;
    QToolButton* refresh_;
};

}  // namespace zandor::ui
