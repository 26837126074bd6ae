// Adding result fields to the current table: an analysis writes its results, one value a row,
// into new Float fields at the end of the table the main window has open.
#pragma once

#include <string>
#include <vector>

#include "tables/statements.h"
#include "tables/table.h"

namespace zandor::tables {

// One result field: its name and its values in row order (rows beyond them stay null).
struct ResultColumn {
    std::string name;
    std::vector<double> values;
};

// The refusal of an analysis whose new field would take a name the table has:
// zandor::Refusal(name + "变量已存在，请输入新的变量名.") for the first such name, in order.
// Names compare as both table formats treat them: ASCII letters without regard to case
// ("result" is the field "RESULT"), Chinese and every other character exactly.
void refuseExistingNames(const Table& current, const std::vector<std::string>& names);

// Adds the Float fields of `columns`, in their order, to the table `current` has open, with
// their values, in one rewrite of the table: the table has all of them afterwards or, when
// anything fails, it is byte for byte as it was. `current` is closed for the rewrite and is
// open on the new structure afterwards, at its first row (on the unchanged table after a
// failure, which is passed on).
//
// Refused before anything changes: a name the table has (see refuseExistingNames), a name
// with blanks or given twice, more values than rows, a value no table can hold (TableError).
// `afterRecord` is called after each row written (it may throw to abandon the rewrite).
// Returns the remarks of the format (a dBase name shortened to 10 bytes).
std::vector<std::string> addResultFields(Table& current, const std::vector<ResultColumn>& columns,
                                         const RecordHook& afterRecord = {});

// The same for one field.
std::vector<std::string> addResultField(Table& current, const std::string& name, const std::vector<double>& values);

}  // namespace zandor::tables
