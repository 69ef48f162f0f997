#pragma once

#include "ports/compositor/plugin_channel.hpp"

namespace corvane::gnome {

// The GNOME Shell extension's own object, exported on the shell's
// connection: Apply(operations) answers with the state afterwards.
class GnomeChannel final : public compositor::PluginChannel {
public:
    static constexpr const char* service = "org.gnome.Shell";
    static constexpr const char* path = "/io/github/corvane/Extension";
    static constexpr const char* interface = "io.github.corvane.Extension1";

    std::optional<compositor::Snapshot> apply(const std::vector<compositor::Operation>& operations,
                                              std::chrono::milliseconds deadline) override;
    void post(const std::vector<compositor::Operation>& operations) override;
};

}  // namespace corvane::gnome
