#include "app/shell/status_backend.hpp"

namespace corvane {

std::string withBackend(std::string statusDocument, std::string_view backend) {
    if (statusDocument.size() < 2 || statusDocument.front() != '{' || statusDocument.back() != '}')
        return statusDocument;
    std::string field = "\"backend\":\"";
    // Backend names are our own plain words; anything else is dropped rather
    // than allowed to break the document.
    for (const char c : backend)
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) field += c;
    field += "\"";
    statusDocument.pop_back();
    if (statusDocument.size() > 1) statusDocument += ",";
    return statusDocument + field + "}";
}

}  // namespace corvane
