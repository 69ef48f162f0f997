#include "ports/compositor/protocol.hpp"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace corvane::compositor {

namespace {

using nlohmann::json;

json parse(std::string_view text) {
    return json::parse(text.begin(), text.end(), nullptr, false);
}

std::optional<std::string> stringAt(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

// Integers only where they fit an int; 3.0 from a JavaScript number counts.
std::optional<std::int64_t> integerAt(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return std::nullopt;
    const double value = it->get<double>();
    if (!std::isfinite(value) || value != std::floor(value)) return std::nullopt;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

std::optional<int> intAt(const json& object, const char* key) {
    const auto value = integerAt(object, key);
    if (!value || *value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(*value);
}

bool boolAt(const json& object, const char* key, bool fallback) {
    const auto it = object.find(key);
    return it != object.end() && it->is_boolean() ? it->get<bool>() : fallback;
}

// A rectangle is four finite numbers with a size that is not negative; a
// compositor reporting less is not reporting a place we could move to.
std::optional<Rect> rectOf(const json& value) {
    if (!value.is_array() || value.size() != 4) return std::nullopt;
    double n[4];
    for (std::size_t i = 0; i < 4; ++i) {
        if (!value[i].is_number()) return std::nullopt;
        n[i] = value[i].get<double>();
        if (!std::isfinite(n[i])) return std::nullopt;
    }
    if (n[2] < 0 || n[3] < 0) return std::nullopt;
    return Rect{n[0], n[1], n[2], n[3]};
}

std::optional<Rect> rectAt(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end()) return std::nullopt;
    return rectOf(*it);
}

json rectJson(const Rect& r) {
    return json::array({r.x, r.y, r.width, r.height});
}

std::optional<WindowInfo> windowOf(const json& value) {
    if (!value.is_object()) return std::nullopt;
    WindowInfo w;
    const auto id = stringAt(value, "id");
    const auto frame = rectAt(value, "frame");
    if (!id || id->empty() || !frame) return std::nullopt;
    w.id = *id;
    w.frame = *frame;
    w.pid = static_cast<pid_t>(std::max<std::int64_t>(0, integerAt(value, "pid").value_or(0)));
    w.title = stringAt(value, "title").value_or("");
    w.appId = stringAt(value, "appId").value_or("");
    w.monitor = intAt(value, "monitor").value_or(0);
    w.desktop = intAt(value, "desktop").value_or(0);
    w.normal = boolAt(value, "normal", true);
    if (const auto it = value.find("increment"); it != value.end() && it->is_array() && it->size() == 2 &&
                                                 (*it)[0].is_number() && (*it)[1].is_number()) {
        const double x = (*it)[0].get<double>();
        const double y = (*it)[1].get<double>();
        // A step below one pixel means the window resizes freely.
        if (std::isfinite(x) && std::isfinite(y)) w.increment = Size{std::max(1.0, x), std::max(1.0, y)};
    }
    return w;
}

json windowJson(const WindowInfo& w) {
    return json{{"id", w.id},
                {"pid", w.pid},
                {"title", w.title},
                {"appId", w.appId},
                {"frame", rectJson(w.frame)},
                {"monitor", w.monitor},
                {"desktop", w.desktop},
                {"normal", w.normal},
                {"increment", json::array({w.increment.width, w.increment.height})}};
}

const char* opName(Operation::Kind kind) {
    switch (kind) {
        case Operation::Kind::frame:
            return "frame";
        case Operation::Kind::monitor:
            return "monitor";
        case Operation::Kind::desktop:
            return "desktop";
        case Operation::Kind::activateDesktop:
            return "activateDesktop";
        case Operation::Kind::focus:
            return "focus";
        case Operation::Kind::beep:
            return "beep";
        case Operation::Kind::rebind:
            return "rebind";
    }
    return "beep";
}

std::optional<Operation> operationOf(const json& value) {
    if (!value.is_object()) return std::nullopt;
    const auto op = stringAt(value, "op");
    if (!op) return std::nullopt;
    const auto window = stringAt(value, "window");
    const auto index = intAt(value, "index");
    if (*op == "frame") {
        const auto rect = rectAt(value, "rect");
        if (!window || !rect) return std::nullopt;
        return Operation::frameOf(*window, *rect);
    }
    if (*op == "monitor") {
        if (!window || !index || *index < 0) return std::nullopt;
        return Operation::monitorOf(*window, *index);
    }
    if (*op == "desktop") {
        if (!window || !index || *index < 0) return std::nullopt;
        return Operation::desktopOf(*window, *index, boolAt(value, "create", false));
    }
    if (*op == "activateDesktop") {
        if (!index || *index < 0) return std::nullopt;
        return Operation::activateDesktop(*index, stringAt(value, "focus").value_or(""));
    }
    if (*op == "focus") {
        if (!window) return std::nullopt;
        return Operation::focusOn(*window);
    }
    if (*op == "beep") return Operation::beep();
    if (*op == "rebind") return Operation::rebind();
    return std::nullopt;
}

}  // namespace

std::optional<PluginHello> decodeHello(std::string_view text) {
    const json root = parse(text);
    if (!root.is_object()) return std::nullopt;
    const auto plugin = stringAt(root, "plugin");
    const auto version = intAt(root, "version");
    if (!plugin || plugin->empty() || !version) return std::nullopt;
    return PluginHello{*plugin, *version, stringAt(root, "shell").value_or("")};
}

std::string encodeHello(const PluginHello& hello) {
    return json{{"plugin", hello.plugin}, {"version", hello.version}, {"shell", hello.shell}}.dump();
}

std::string encodeBindings(const std::vector<Binding>& bindings) {
    json list = json::array();
    for (const auto& b : bindings)
        list.push_back(json{{"name", b.name},
                            {"keyCode", b.keyCode},
                            {"modifiers", b.modifiers},
                            {"accelerator", b.accelerator}});
    return json{{"version", protocolVersion}, {"bindings", std::move(list)}}.dump();
}

std::optional<std::vector<Binding>> decodeBindings(std::string_view text) {
    const json root = parse(text);
    if (!root.is_object()) return std::nullopt;
    const auto it = root.find("bindings");
    if (it == root.end() || !it->is_array()) return std::nullopt;
    std::vector<Binding> bindings;
    for (const auto& entry : *it) {
        if (!entry.is_object()) continue;
        const auto name = stringAt(entry, "name");
        const auto accelerator = stringAt(entry, "accelerator");
        if (!name || !accelerator) continue;
        bindings.push_back(Binding{*name, static_cast<std::uint32_t>(integerAt(entry, "keyCode").value_or(0)),
                                   static_cast<std::uint32_t>(integerAt(entry, "modifiers").value_or(0)),
                                   *accelerator});
    }
    return bindings;
}

std::optional<std::vector<std::string>> decodeReport(std::string_view text) {
    const json root = parse(text);
    if (!root.is_object()) return std::nullopt;
    const auto it = root.find("refused");
    if (it == root.end() || !it->is_array()) return std::nullopt;
    std::vector<std::string> refused;
    for (const auto& name : *it)
        if (name.is_string()) refused.push_back(name.get<std::string>());
    return refused;
}

std::string encodeReport(const std::vector<std::string>& refused) {
    return json{{"refused", refused}}.dump();
}

const MonitorInfo* Snapshot::primary() const {
    for (const auto& m : monitors)
        if (m.primary) return &m;
    return monitors.empty() ? nullptr : &monitors.front();
}

std::optional<WindowPlace> Snapshot::place(std::string_view id) const {
    for (const auto& w : windows)
        if (w.id == id) return w;
    if (window && window->id == id) return WindowPlace{window->id, window->desktop, window->monitor};
    return std::nullopt;
}

std::optional<Snapshot> decodeSnapshot(std::string_view text) {
    const json root = parse(text);
    if (!root.is_object()) return std::nullopt;
    Snapshot s;
    if (const auto it = root.find("window"); it != root.end()) s.window = windowOf(*it);
    if (const auto it = root.find("monitors"); it != root.end() && it->is_array()) {
        for (const auto& m : *it) {
            if (!m.is_object()) continue;
            const auto frame = rectAt(m, "frame");
            if (!frame) continue;
            // A compositor that reports no work area leaves the whole monitor usable.
            s.monitors.push_back(
                MonitorInfo{*frame, rectAt(m, "workArea").value_or(*frame), boolAt(m, "primary", false)});
        }
    }
    if (s.monitors.empty()) return std::nullopt;
    if (const auto it = root.find("desktops"); it != root.end() && it->is_object()) {
        s.desktops.count = std::max(1, intAt(*it, "count").value_or(1));
        s.desktops.current = std::clamp(intAt(*it, "current").value_or(0), 0, s.desktops.count - 1);
        s.desktops.dynamic = boolAt(*it, "dynamic", false);
        s.desktops.primaryOnly = boolAt(*it, "primaryOnly", false);
        // Ids count only when there is one for every desktop.
        if (const auto ids = it->find("ids"); ids != it->end() && ids->is_array() &&
                                              ids->size() == static_cast<std::size_t>(s.desktops.count)) {
            for (const auto& id : *ids) {
                if (!id.is_string()) {
                    s.desktops.ids.clear();
                    break;
                }
                s.desktops.ids.push_back(id.get<std::string>());
            }
        }
    }
    if (const auto it = root.find("windows"); it != root.end() && it->is_array()) {
        for (const auto& w : *it) {
            if (!w.is_object()) continue;
            const auto id = stringAt(w, "id");
            if (!id || id->empty()) continue;
            s.windows.push_back(
                WindowPlace{*id, intAt(w, "desktop").value_or(0), intAt(w, "monitor").value_or(0)});
        }
    }
    s.time = static_cast<std::uint32_t>(std::max<std::int64_t>(0, integerAt(root, "time").value_or(0)));
    // A window index past the monitor list would place it nowhere.
    if (s.window && (s.window->monitor < 0 || s.window->monitor >= static_cast<int>(s.monitors.size())))
        s.window->monitor = 0;
    return s;
}

std::string encodeSnapshot(const Snapshot& s) {
    json monitors = json::array();
    for (const auto& m : s.monitors)
        monitors.push_back(
            json{{"frame", rectJson(m.frame)}, {"workArea", rectJson(m.workArea)}, {"primary", m.primary}});
    json windows = json::array();
    for (const auto& w : s.windows)
        windows.push_back(json{{"id", w.id}, {"desktop", w.desktop}, {"monitor", w.monitor}});
    return json{{"window", s.window ? windowJson(*s.window) : json(nullptr)},
                {"monitors", std::move(monitors)},
                {"desktops", json{{"count", s.desktops.count},
                                  {"current", s.desktops.current},
                                  {"dynamic", s.desktops.dynamic},
                                  {"primaryOnly", s.desktops.primaryOnly},
                                  {"ids", s.desktops.ids}}},
                {"windows", std::move(windows)},
                {"time", s.time}}
        .dump();
}

Operation Operation::frameOf(std::string window, Rect rect) {
    return Operation{Kind::frame, std::move(window), rect, 0, false};
}
Operation Operation::monitorOf(std::string window, int index) {
    return Operation{Kind::monitor, std::move(window), {}, index, false};
}
Operation Operation::desktopOf(std::string window, int index, bool create) {
    return Operation{Kind::desktop, std::move(window), {}, index, create};
}
Operation Operation::activateDesktop(int index, std::string focus) {
    return Operation{Kind::activateDesktop, std::move(focus), {}, index, false};
}
Operation Operation::focusOn(std::string window) {
    return Operation{Kind::focus, std::move(window), {}, 0, false};
}
Operation Operation::beep() {
    return Operation{Kind::beep, {}, {}, 0, false};
}
Operation Operation::rebind() {
    return Operation{Kind::rebind, {}, {}, 0, false};
}

std::string encodeOperations(const std::vector<Operation>& operations) {
    json list = json::array();
    for (const auto& o : operations) {
        json entry{{"op", opName(o.kind)}};
        switch (o.kind) {
            case Operation::Kind::frame:
                entry["window"] = o.window;
                entry["rect"] = rectJson(o.rect);
                break;
            case Operation::Kind::monitor:
                entry["window"] = o.window;
                entry["index"] = o.index;
                break;
            case Operation::Kind::desktop:
                entry["window"] = o.window;
                entry["index"] = o.index;
                entry["create"] = o.create;
                break;
            case Operation::Kind::activateDesktop:
                entry["index"] = o.index;
                if (!o.window.empty()) entry["focus"] = o.window;
                break;
            case Operation::Kind::focus:
                entry["window"] = o.window;
                break;
            case Operation::Kind::beep:
            case Operation::Kind::rebind:
                break;
        }
        list.push_back(std::move(entry));
    }
    return list.dump();
}

std::optional<std::vector<Operation>> decodeOperations(std::string_view text) {
    const json root = parse(text);
    if (!root.is_array()) return std::nullopt;
    std::vector<Operation> operations;
    for (const auto& entry : root)
        if (auto op = operationOf(entry)) operations.push_back(std::move(*op));
    return operations;
}

}  // namespace corvane::compositor
