#pragma once

#include <optional>
#include <string>

namespace corvane {

// Starting the application when the user logs in. Main thread only.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    // True exactly when the system will start the application at login.
    virtual bool isEnabled() = 0;
    // Each returns absent on success, or a description of the error.
    virtual std::optional<std::string> registerItem() = 0;
    virtual std::optional<std::string> unregisterItem() = 0;

protected:
    LoginItem() = default;
    LoginItem(const LoginItem&) = delete;
    LoginItem& operator=(const LoginItem&) = delete;
};

}  // namespace corvane
