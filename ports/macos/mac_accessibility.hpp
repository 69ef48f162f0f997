#pragma once

#include "app/platform/accessibility.hpp"

namespace corvane::macos {

// The accessibility interface of ApplicationServices: application and window
// elements, their attributes and actions, and the trust check with its prompt.
class MacAccessibility final : public Accessibility {
public:
    MacAccessibility() = default;

    bool isProcessTrusted() override;
    void requestTrust() override;
    Element applicationElement(pid_t pid) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    void setMessagingTimeout(const Element& element, float seconds) override;
};

}  // namespace corvane::macos
