#pragma once

#include <sys/types.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <variant>

#include "app/platform/application.hpp"
#include "app/platform/element.hpp"
#include "core/rect.hpp"

namespace corvane {

// A value read from or written to an attribute. `Other` stands for anything
// the product never interprets (a string, an array, ...).
struct OtherValue {
    friend bool operator==(const OtherValue&, const OtherValue&) = default;
};
using AXValue = std::variant<OtherValue, Element, Point, Size, bool>;

// Status codes as the accessibility service reports them; 0 is success.
enum class AXStatus : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidElement = -25202,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    apiDisabled = -25211,
    noValue = -25212,
};

struct AXCopyResult {
    AXStatus status = AXStatus::failure;
    std::optional<AXValue> value;  // absent when nothing came back
};

// Attribute and action names the product uses.
namespace AXName {
inline constexpr std::string_view focusedWindow = "AXFocusedWindow";
inline constexpr std::string_view position = "AXPosition";
inline constexpr std::string_view size = "AXSize";
inline constexpr std::string_view enhancedUserInterface = "AXEnhancedUserInterface";
inline constexpr std::string_view main = "AXMain";
inline constexpr std::string_view focused = "AXFocused";
inline constexpr std::string_view raise = "AXRaise";
// Not an attribute of the system's own: the steps (a Size) in which a window
// grows and shrinks, such as a terminal's character cell. Ports whose
// windows resize freely report it unsupported.
inline constexpr std::string_view sizeIncrement = "CRVNSizeIncrement";
}  // namespace AXName

// Ends a watch when destroyed; see Accessibility::observeDestruction.
class Observation {
public:
    virtual ~Observation() = default;
};

// Control of other applications' windows. Positions and sizes are in the
// top-left space: origin at the primary display's top-left corner, y down;
// a window's frame is its outer frame, decorations included.
//
// Threads: the window mover calls from the main thread; desktop moves call
// from their serial queue. Implementations must allow both.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // True when this process may control other applications' windows.
    virtual bool isProcessTrusted() = 0;
    // Raises the system's own request for access (if the platform has one).
    // Never waits for the answer.
    virtual void requestTrust() = 0;

    // The application element of an application the workspace reported.
    // Never fails: an element of an application that has gone just fails
    // every later call.
    virtual Element applicationElement(const Application& application) = 0;

    // Reads an attribute. A non-success status or an absent value means
    // there is nothing to act on; the value's kind is the caller's to check.
    virtual AXCopyResult copyAttribute(const Element& element, std::string_view attribute) = 0;
    // Writes an attribute. Writes may be silently ignored by the target.
    virtual AXStatus setAttribute(const Element& element, std::string_view attribute,
                                  const AXValue& value) = 0;
    virtual AXStatus performAction(const Element& element, std::string_view action) = 0;
    // Later calls on this element give up after `seconds`.
    virtual void setMessagingTimeout(const Element& element, float seconds) = 0;

    // Main thread. Calls `destroyed` on the main thread once the window is
    // closed for good, unless the returned observation has ended first.
    // Null when the window cannot be watched (it is already gone); the
    // caller then knows nothing more about it.
    virtual std::unique_ptr<Observation> observeDestruction(const Element& window,
                                                            std::function<void()> destroyed) = 0;

protected:
    Accessibility() = default;
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;
};

}  // namespace corvane
