#include "tables/field_calculator.h"

#include <cmath>

#include "tables/table.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "tables/table_lock.h"
#include "text/numbers.h"

namespace zandor::tables {

const std::vector<std::string>& operationItems()
{
    static const std::vector<std::string> items = {"+", "-", "*", "/"};
    return items;
}

const std::vector<std::string>& transformItems()
{
    static const std::vector<std::string> items = {"ABS()", "Ln()",  "1/10", "%",     "1/1000", "*10",
                                                   "*100",  "*1000", "1/X",  "Exp()", "Round()"};
    return items;
}

Operation operationAt(int position)
{
    return position > 0 && position < static_cast<int>(operationItems().size()) ? static_cast<Operation>(position)
                                                                                 : Operation::Add;
}

Transform transformAt(int position)
{
    return position > 0 && position < static_cast<int>(transformItems().size()) ? static_cast<Transform>(position)
                                                                                : Transform::Abs;
}

namespace {

std::optional<double> finite(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> operate(Operation operation, double a, double b)
{
    switch (operation) {
    case Operation::Add: return finite(a + b);
    case Operation::Subtract: return finite(a - b);
    case Operation::Multiply: return finite(a * b);
    case Operation::Divide:
        if (b == 0)
            return std::nullopt;
        return finite(a / b);
    }
    return std::nullopt;
}

std::optional<double> transform(Transform transform, double a)
{
    switch (transform) {
    case Transform::Abs: return finite(std::fabs(a));
    case Transform::Ln:
        if (!(a > 0))
            return std::nullopt;
        return finite(std::log(a));
    case Transform::Div10: return finite(a / 10);
    case Transform::Percent: return finite(a / 100);
    case Transform::Div1000: return finite(a / 1000);
    case Transform::Mul10: return finite(a * 10);
    case Transform::Mul100: return finite(a * 100);
    case Transform::Mul1000: return finite(a * 1000);
    case Transform::Reciprocal:
        if (a == 0)
            return std::nullopt;
        return finite(1 / a);
    case Transform::Exp: return finite(std::exp(a));
    case Transform::Round: return finite(text::roundHalfEven(a));
    }
    return std::nullopt;
}

namespace {

int requireField(const Table& table, const std::string& name)
{
    const int index = table.fieldIndex(name);
    if (index < 0)
        throw TableError("Field '" + name + "' not found in " + table.path());
    return index;
}

}  // namespace

CalculationOutcome computeField(Table& table, const FieldCalculation& calculation,
                                const std::function<void(std::size_t rows)>& afterRow)
{
    const int target = requireField(table, calculation.target);
    const int first = requireField(table, calculation.first);
    const int second = calculation.mode == CalculatorMode::Operate ? requireField(table, calculation.second) : -1;
    const FieldInfo targetField = table.fields()[static_cast<std::size_t>(target)];
    if (targetField.kind() == FieldKind::Date)
        throw TableError("The date field " + targetField.name + " of " + table.path() + " cannot take a number");
    if (table.readOnly())
        throw TableError("The table " + table.path() + " is read-only");
    const std::string path = table.path();
    // Held from the first row read to the new table in place: no other program's change
    // comes between, and no reader sees a part of the column new.
    const TableLock lock = TableLock::acquire(path, TableLock::Mode::Exclusive);

    // The whole column first, up to the first row that cannot be computed or stored.
    CalculationOutcome outcome;
    std::vector<double> column;
    std::string storeError;
    for (table.first(); !table.eof(); table.next()) {
        const double a = toDouble(table.value(first));
        std::optional<double> result;
        switch (calculation.mode) {
        case CalculatorMode::Operate: result = operate(calculation.operation, a, toDouble(table.value(second))); break;
        case CalculatorMode::Replace: result = finite(a); break;
        case CalculatorMode::Transform: result = transform(calculation.transform, a); break;
        }
        if (!result) {
            outcome.failedRow = table.recNo();
            break;
        }
        try {
            coerceToField(*result, targetField);
        } catch (const TableError& e) {
            storeError = std::string(e.what()) + " (row " + std::to_string(table.recNo() + 1) +
                         "; the rows before it keep their new values)";
            break;
        }
        column.push_back(*result);
        if (afterRow)
            afterRow(column.size());
    }

    // Then the table in one rewrite: a failure or a kill leaves it as it was or wholly new.
    if (!column.empty()) {
        const std::size_t computed = column.size();
        rewriteFieldValues(table.file(), path, target, column, [&](std::size_t written) {
            if (afterRow)
                afterRow(computed + written);
        });
        table = Table::open(path);
        table.moveTo(table.recordCount());
    }
    if (!storeError.empty())
        throw TableError(storeError);
    outcome.rowsWritten = column.size();
    return outcome;
}

}  // namespace zandor::tables
