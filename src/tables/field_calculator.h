// The field calculator: fills one field of a table, row by row, from other fields of the
// same row: an arithmetic operation on two fields, a copy of a field, or a transformation of
// one field (absolute value, logarithm, scaling, reciprocal, exponential, rounding).
//
// Operands are read as floating point (an empty value reads as 0). The result is stored as a
// floating-point value and the table store converts it for other target kinds: an Integer
// field takes it rounded half to even (a value beyond the 32-bit range is refused), a Char
// field its text in the general 15-digit form, a Boolean field "true" for every value but 0;
// a Date field takes no number and is refused before any row changes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::tables {

class Table;

// The message of a row that cannot be computed.
inline constexpr std::string_view kDataError = "Data Error!";

enum class CalculatorMode { Operate, Replace, Transform };

// The operations in the order of the calculator's operator list ("+", "-", "*", "/").
enum class Operation { Add, Subtract, Multiply, Divide };

// The transformations in the order of its function list ("ABS()", "Ln()", "1/10", "%",
// "1/1000", "*10", "*100", "*1000", "1/X", "Exp()", "Round()").
enum class Transform { Abs, Ln, Div10, Percent, Div1000, Mul10, Mul100, Mul1000, Reciprocal, Exp, Round };

const std::vector<std::string>& operationItems();
const std::vector<std::string>& transformItems();

// The operation or transformation at `position` of its list; any other position (a typed
// text that is no item) is addition, or the absolute value.
Operation operationAt(int position);
Transform transformAt(int position);

// One value. Nothing when the row cannot be computed: division by 0, the logarithm of a
// value not above 0, the reciprocal of 0, and any result that is no finite number (which no
// table can hold as a number).
std::optional<double> operate(Operation operation, double a, double b);
std::optional<double> transform(Transform transform, double a);

struct FieldCalculation {
    CalculatorMode mode = CalculatorMode::Operate;
    std::string target;
    std::string first;   // A
    std::string second;  // B, for Operate only
    Operation operation = Operation::Add;
    Transform transform = Transform::Abs;
};

struct CalculationOutcome {
    std::size_t rowsWritten = 0;
    // The 0-based row that could not be computed ("Data Error!"); the rows before it hold
    // their new values, it and the rows after it are unchanged.
    std::optional<std::size_t> failedRow;
};

// Walks `table` from its first row to its end and computes the target's new values; each
// row's operands are those it holds before, so the target may also be an operand. The new
// values are then written in one rewrite of the table (under its exclusive lock), so that a
// failure or a killed process leaves the old table or the new one, never a mix; `table` is
// then open on the new table, at its end. Throws TableError before any row changes for an
// unknown field name, a Date target, a read-only table or one whose fields a rewrite cannot
// keep, and on a row whose value the target cannot hold (the rows before it take their new
// values, as at a row that cannot be computed). `afterRow` is called with the number of
// rows computed and then rewritten so far (twice the rows computed at the end); it may
// throw to abandon the calculation with the table unchanged.
CalculationOutcome computeField(Table& table, const FieldCalculation& calculation,
                                const std::function<void(std::size_t rows)>& afterRow = {});

}  // namespace zandor::tables
