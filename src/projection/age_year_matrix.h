// A series by age and projected year (lx, Lx, fertility rates, the fertility pattern, the
// age-structure shares). Each year is one column, stored contiguously so that a year's
// schedule is walked in age order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zandor::projection {

class AgeYearMatrix {
public:
    AgeYearMatrix() = default;
    AgeYearMatrix(int ages, int years) { resize(ages, years); }

    int ageCount() const { return ages_; }
    int yearCount() const { return years_; }

    // Cells that stay inside keep their value; new cells are 0.
    void resize(int ages, int years) {
        if (ages < 0 || years < 0) throw std::invalid_argument("age-year matrix: negative size");
        if (ages == ages_ && years == years_) return;
        std::vector<double> cells(static_cast<std::size_t>(ages) * static_cast<std::size_t>(years), 0.0);
        for (int y = 0; y < std::min(years, years_); ++y) {
            for (int a = 0; a < std::min(ages, ages_); ++a) {
                cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(ages) + static_cast<std::size_t>(a)] =
                    (*this)(a, y);
            }
        }
        cells_ = std::move(cells);
        ages_ = ages;
        years_ = years;
    }

    double& operator()(int age, int year) { return cells_[indexOf(age, year)]; }
    double operator()(int age, int year) const { return cells_[indexOf(age, year)]; }

    std::span<double> year(int y) { return {cells_.data() + columnStart(y), static_cast<std::size_t>(ages_)}; }
    std::span<const double> year(int y) const {
        return {cells_.data() + columnStart(y), static_cast<std::size_t>(ages_)};
    }

    friend bool operator==(const AgeYearMatrix&, const AgeYearMatrix&) = default;

private:
    std::size_t columnStart(int year) const {
        if (year < 0 || year >= years_) {
            throw std::out_of_range("age-year matrix: no year column " + std::to_string(year) + " (" +
                                    std::to_string(years_) + " years)");
        }
        return static_cast<std::size_t>(year) * static_cast<std::size_t>(ages_);
    }

    std::size_t indexOf(int age, int year) const {
        if (age < 0 || age >= ages_ || year < 0 || year >= years_) {
            throw std::out_of_range("age-year matrix: no cell at age " + std::to_string(age) + ", year column " +
                                    std::to_string(year) + " (" + std::to_string(ages_) + " ages, " +
                                    std::to_string(years_) + " years)");
        }
        return static_cast<std::size_t>(year) * static_cast<std::size_t>(ages_) + static_cast<std::size_t>(age);
    }

    int ages_ = 0;
    int years_ = 0;
    std::vector<double> cells_;
};

}  // namespace zandor::projection
