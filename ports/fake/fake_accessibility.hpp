#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/accessibility.hpp"
#include "core/rect.hpp"
#include "ports/fake/fake_call_log.hpp"

namespace corvane::fake {

// Applications (by pid) with windows (by id), each window with a frame, a
// hash value of its own and the focus of its application. Tests script the
// awkward cases: an attribute that cannot be read, an attribute of the wrong
// kind, the enhanced user interface, an application that ignores writes, a
// window that will not grow past a size, revoked trust.
//
// Every call of the Accessibility interface is recorded in the call log as
// "<operation> <attribute> [value]", e.g. "setAttribute AXSize 700x855".
// Without trust every element call fails with apiDisabled, as on the real
// system. Thread-safe.
class FakeAccessibility final : public Accessibility {
public:
    explicit FakeAccessibility(FakeCallLog& log);

    bool isProcessTrusted() override;
    void requestTrust() override;
    // Logged as "applicationElement <pid>".
    Element applicationElement(const Application& application) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    void setMessagingTimeout(const Element& element, float seconds) override;
    // Logged as "observeDestruction window <id>"; removeWindow() ends it.
    std::unique_ptr<Observation> observeDestruction(const Element& window,
                                                    std::function<void()> destroyed) override;

    // --- Scripting (not logged) ---

    // Trust: granted until revoked. Each requestTrust() call is counted.
    void setTrusted(bool trusted);
    int trustRequests() const;

    void addApplication(pid_t pid);
    // Adds a window to the application (adding the application if needed)
    // and returns its id (1, 2, ...). Its hash value derives from the id
    // unless `hashValue` is given. The window is not focused.
    std::uint32_t addWindow(pid_t pid, const Rect& frame,
                            std::optional<std::size_t> hashValue = std::nullopt);
    // A closed window: calls on its element fail with invalidElement, and
    // whoever watches it hears of it (on the calling thread).
    void removeWindow(std::uint32_t window);
    // The window resizes in steps of `increment`, as a terminal does in
    // character cells: it reports the step, and every size written is
    // rounded down to a whole number of steps.
    void setSizeIncrement(std::uint32_t window, Size increment);
    // How many destruction watches are open.
    std::size_t watchCount() const;
    // Makes the window the focused window of its application.
    void focusWindow(std::uint32_t window);
    // Leaves the application without a focused window.
    void clearFocusedWindow(pid_t pid);
    void setWindowHash(std::uint32_t window, std::size_t hashValue);

    // Elements as the interface would hand them out.
    Element windowElement(std::uint32_t window) const;
    static Element appElement(pid_t pid);

    // The window's current frame (top-left space); absent for an unknown window.
    std::optional<Rect> windowFrame(std::uint32_t window) const;
    // The user (or the application) moved the window.
    void setWindowFrame(std::uint32_t window, const Rect& frame);
    // The window refuses to grow past this size (writes are clamped to it).
    void setMaximumSize(std::uint32_t window, Size size);

    // Replaces what reading the attribute gives, on an application or window
    // element: a non-boolean enhanced user interface, a focused window that
    // is no element, a position of the wrong kind. Writes still go through.
    void setAttributeValue(const Element& element, std::string_view attribute, AXValue value);
    // Reading the attribute fails with `status` and yields nothing.
    void makeUnreadable(const Element& element, std::string_view attribute,
                        AXStatus status = AXStatus::cannotComplete);
    // The enhanced user interface attribute of an application (absent by default).
    void setEnhancedUserInterface(pid_t pid, bool on);
    // The stored value of an attribute as the fake holds it now, without a log line.
    std::optional<AXValue> attributeValue(const Element& element, std::string_view attribute) const;
    // The application and its windows reject every write (status cannotComplete, nothing changes).
    void setRejectsWrites(pid_t pid, bool rejects);

    std::vector<std::string> actionsPerformed(std::uint32_t window) const;
    std::optional<float> messagingTimeout(const Element& element) const;

private:
    struct Node {
        std::map<std::string, AXValue, std::less<>> overrides;
        std::map<std::string, AXStatus, std::less<>> unreadable;
        std::optional<float> timeout;
    };
    struct App : Node {
        std::optional<std::uint32_t> focusedWindow;
        bool rejectsWrites = false;
    };
    struct Window : Node {
        pid_t pid = 0;
        Rect frame;
        std::size_t hashValue = 0;
        std::optional<Size> maximumSize;
        std::optional<Size> sizeIncrement;
        bool isMain = false;
        bool isFocused = false;
        std::vector<std::string> actions;
    };

    Node* nodeFor(const Element& element);
    const Node* nodeFor(const Element& element) const;
    bool rejectsWrites(const Element& element) const;
    Element windowElementLocked(std::uint32_t window) const;
    std::optional<AXValue> readLocked(const Element& element, std::string_view attribute) const;
    AXStatus writeLocked(const Element& element, std::string_view attribute, const AXValue& value);

    struct Watch {
        std::uint32_t window = 0;
        std::function<void()> destroyed;
    };
    class WatchEnd;
    void endWatch(std::uint64_t id);

    FakeCallLog& log_;
    mutable std::mutex mutex_;
    std::uint64_t nextWatch_ = 1;
    std::map<std::uint64_t, Watch> watches_;
    bool trusted_ = true;
    int trustRequests_ = 0;
    std::uint32_t nextWindow_ = 1;
    std::map<pid_t, App> apps_;
    std::map<std::uint32_t, Window> windows_;
};

}  // namespace corvane::fake
