// What the pyramid step buttons of a chart window read: the age-structure shares of every
// projected year of a single-region projection, its base year and year count Y, and the
// program-wide pyramid frame cursor. The projection result set provides it; tests use a fake.
#pragma once

#include <vector>

namespace zandor::ui {

class PyramidFrames {
public:
    virtual ~PyramidFrames() = default;

    virtual int baseYear() const = 0;
    // Y: end year minus base year. Projected year index y = 0..Y-1 is calendar year
    // base year + y + 1.
    virtual int yearCount() const = 0;
    // The shares of each age row in projected year y, male shares negative.
    virtual std::vector<double> maleShares(int y) const = 0;
    virtual std::vector<double> femaleShares(int y) const = 0;

    // The frame cursor k (1..Y): "<<<" shows calendar year base year + k next.
    virtual int frameCursor() const = 0;
    virtual void setFrameCursor(int k) = 0;
};

}  // namespace zandor::ui
