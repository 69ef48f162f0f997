#pragma once

#include <cstddef>

namespace corvane::detail {

// boost::hash_combine's mixing step, widened to size_t: folds one more hashed
// field into a running hash so that field order matters.
inline std::size_t hashCombine(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

}  // namespace corvane::detail
