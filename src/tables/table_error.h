// Errors of the table store: every failure names the file (and field or row where known).
#pragma once

#include <stdexcept>
#include <string>

namespace zandor::tables {

class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zandor::tables
