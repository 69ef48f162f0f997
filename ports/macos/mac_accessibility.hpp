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
    Element applicationElement(const Application& application) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    void setMessagingTimeout(const Element& element, float seconds) override;
    // The Mac never hands a closed window's element to a new window (an
    // element is an object, not a reused number), so a frame saved for a
    // closed window can never be taken for another's: nothing to watch.
    std::unique_ptr<Observation> observeDestruction(const Element&, std::function<void()>) override {
        return nullptr;
    }
};

}  // namespace corvane::macos
