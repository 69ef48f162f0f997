#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The status document with the backend this instance runs on added as its
// last field ("backend":"sway"), so scripts and bug reports can tell which
// way the shortcuts reach us. A document that is not an object comes back
// unchanged.
std::string withBackend(std::string statusDocument, std::string_view backend);

}  // namespace corvane
