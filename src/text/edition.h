// The two editions built from one source tree; each program's main() fixes which it is.
#pragma once

namespace zandor {

enum class Edition {
    Full,    // Zandor
    Target,  // ZandorT: no migrant features, no standardization, with target planning
};

}  // namespace zandor
