// Saving a life-table result grid as a Paradox table: one 20-character text field per grid
// column (field00 to field07), one record per grid row, the heading row included.
#pragma once

#include <string>

#include "text/text_grid.h"

namespace zandor::analysis {

// The message after a successful save.
inline constexpr const char* kLifeTableSaved = "File already Saved!";

// The file a chosen save name stands for: a name without a folder lies in `tableFolder` (the
// folder of the current table), and the file always has the extension .db (a name ending in
// ".db" in any case is kept as it is; otherwise ".db" is added).
std::string lifeTableSavePath(const std::string& chosenName, const std::string& tableFolder);

// Writes `grid` as a new Paradox table at `path` (as lifeTableSavePath gives it). An existing
// file is refused with "File" + path + " already exist, Please change another file name!" and
// left as it was. A failure part-way removes what was written and throws the table store's
// TableError; a text longer than 20 characters is refused by the store the same way.
void saveLifeTableGrid(const text::TextGrid& grid, const std::string& path);

}  // namespace zandor::analysis
