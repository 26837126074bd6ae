// The program's icons, drawn in code so that they share one look at every size: a table
// sheet with a badge for the table commands, and plain glyphs for the record navigator.
#pragma once

#include <QIcon>

namespace zandor::ui {

enum class IconKind {
    NewTable,
    OpenTable,
    CloseTable,
    SaveTable,
    Wizard,
    SingleRegion,
    UrbanRural,
    First,
    Prior,
    Next,
    Last,
    Insert,
    Delete,
    Edit,
    Post,
    Cancel,
    Refresh,
};

QIcon icon(IconKind kind);

}  // namespace zandor::ui
