// Batch move: copying a table into a new table of another format, and the safe rewrite that
// the restructuring statements share with it (write a complete new file beside the target,
// then put it in the target's place).
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "tables/field.h"
#include "tables/table_file.h"

namespace zandor::tables {

// Called after each record copied, with the number copied so far; it may throw to abandon
// the copy (the target is then left as it was).
using CopyHook = std::function<void(std::size_t copied)>;

// Copies every record of `source` into a new table of `format` at `target`, with the
// source's fields (kinds the target cannot hold become the closest it can: Paradox time,
// timestamp and memo fields become text wide enough for every value). An existing target
// is replaced only when the new table is complete; a target that is absent when the copy
// begins is created without replacing, so a table another program puts there meanwhile is
// kept and the copy refused (TableExists). Copying a table onto itself is refused,
// and so is a target name whose extension names another format. Returns the remarks on
// what the format forced (shortened names, changed kinds), one a line.
std::vector<std::string> copyTable(const std::string& source, const std::string& target, TableFormat format,
                                   const CopyHook& afterRecord = {});

// One field of a table being written: its definition and the field of the source table it
// takes its values from (-1: a new field, null where it has no value). `values`, when given,
// are its values one a record from the first, taken instead of the source field's in those
// records; the caller keeps them alive for the write.
struct TargetField {
    FieldDef def;
    int source = -1;
    std::span<const double> values = {};
};

// Whether the values a table reader gives for a field of `storage` in a table of `format` are
// its whole content: binary fields and dBase memo fields (whose records hold only a block
// number) are not; a Paradox memo is carried as the text its record holds.
bool carriedByReader(StorageType storage, TableFormat format);

// The definitions that recreate the fields of `source` in a table of `format`, each taking
// the values of its own field. Text fields get a width that holds every value the source
// has (read through once for kinds without a fixed text width); a value longer than the
// format holds throws TableError naming the field. Changed kinds are noted in `remarks`;
// fields whose content the reader cannot give (carriedByReader) are left out with a remark.
// The field numbered `omit` (0-based), if any, is left out.
std::vector<TargetField> fieldsForFormat(TableFile& source, TableFormat format,
                                         std::vector<std::string>& remarks, int omit = -1);

// What a rewrite does with a table already at the target's name: replace it (restructuring,
// conversion onto an existing table), or refuse it (commands that only create tables).
enum class ExistingTarget { Replace, Refuse };

// Writes every record of `source` into a new table of `format` with `fields`: under the
// target's name in a fresh folder beside it first, then moved into the target's place (with
// companion files such as a dBase .cpg or an ASCII .sch) only when complete and flushed. On
// any failure everything written is removed and the target is untouched. The target is held
// exclusively throughout. With ExistingTarget::Refuse a table at the name, also one another
// program puts there while this one writes, throws TableExists and nothing is replaced.
// Returns the remarks of creating the table.
std::vector<std::string> rewriteTable(TableFile& source, const std::string& target, TableFormat format,
                                      const std::vector<TargetField>& fields, const CopyHook& afterRecord = {},
                                      ExistingTarget existing = ExistingTarget::Replace);

// Creates the table `path` of `format` with `fields`, filled by `fill` when given, in a work
// folder beside it, and moves it with its companion files into place only when complete. An
// existing table of that name is refused (TableExists "The table PATH already exists"), and
// so is an existing companion file (a .cpg beside a new .dbf) and a table that another program
// creates at the name while this one writes: nothing is written or replaced then. Returns the
// remarks of creating the table.
std::vector<std::string> createTable(const std::string& path, TableFormat format, const std::vector<FieldDef>& fields,
                                     const std::function<void(TableFile&)>& fill = {});

}  // namespace zandor::tables
