// A refusal: the program declines with one of its own fixed messages (shown in an information
// box by the windows, written to standard error with exit status 2 by zandor-cli).
#pragma once

#include <stdexcept>
#include <string>

namespace zandor {

class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zandor
