#pragma once

#include "ports/xdg/unique_fd.hpp"

namespace corvane::xharness {

// The settings store's descriptor owner serves the harness too.
using UniqueFd = xdg::UniqueFd;

// A pipe whose two ends are close-on-exec (only descriptors handed over
// explicitly reach a child).
struct Pipe {
    UniqueFd read;
    UniqueFd write;
    // Throws std::runtime_error on failure.
    static Pipe make();
};

}  // namespace corvane::xharness
