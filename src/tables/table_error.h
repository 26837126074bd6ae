// Errors of the table store: every failure names the file (and field or row where known).
#pragma once

#include <stdexcept>
#include <string>

namespace zandor::tables {

class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A new table's name is taken: it existed, or another program created it while this one was
// writing. Nothing of the new table is left behind.
class TableExists : public TableError {
public:
    using TableError::TableError;
};

}  // namespace zandor::tables
