// The get_tree reply, read on every press. It is read as a stream of JSON
// events into nodes holding only what a window is known by: a document of
// the whole reply (properties, marks, gaps, swallow rules, three more
// rectangles per node) took longer to build than the rest of the press.

#include <nlohmann/json.hpp>

#include "ports/i3ipc/ipc_replies.hpp"

namespace corvane::i3ipc {

namespace {

using nlohmann::json;

// Deep trees come only from a broken peer; below this depth nodes are
// passed over unread, which also bounds the reader's own stack.
constexpr int kMaxDepth = 64;

struct Node {
    std::string type, name, floating;
    std::optional<double> id, pid, window;
    bool hasAppId = false;
    bool focused = false;
    std::optional<Rect> rect;
    std::vector<Node> nodes, floatingNodes;
};

struct RectFields {
    std::optional<double> x, y, width, height;
    std::optional<Rect> rect() const {
        if (!x || !y || !width || !height || *width < 0 || *height < 0) return std::nullopt;
        return Rect{*x, *y, *width, *height};
    }
};

// Builds the nodes from the parser's events. Objects and arrays under keys
// we do not read are skipped by counting, without a frame each.
class TreeBuilder final : public json::json_sax_t {
public:
    std::optional<Node> root;

    bool null() override { return true; }
    bool boolean(bool value) override {
        if (auto* node = currentNode(); node && key() == "focused") node->focused = value;
        return true;
    }
    bool number_integer(json::number_integer_t value) override { return number(static_cast<double>(value)); }
    bool number_unsigned(json::number_unsigned_t value) override {
        return number(static_cast<double>(value));
    }
    bool number_float(json::number_float_t value, const std::string&) override { return number(value); }
    bool string(json::string_t& value) override {
        auto* node = currentNode();
        if (!node) return true;
        const std::string& k = key();
        if (k == "type")
            node->type = std::move(value);
        else if (k == "name")
            node->name = std::move(value);
        else if (k == "floating")
            node->floating = std::move(value);
        else if (k == "app_id")
            node->hasAppId = true;
        return true;
    }
    bool binary(json::binary_t&) override { return true; }

    bool start_object(std::size_t) override {
        if (skipping_ > 0 || root) return skip();
        if (frames_.empty()) return push(Frame::Kind::node);
        Frame& top = frames_.back();
        if (top.kind == Frame::Kind::children) {
            return nodeDepth_ > kMaxDepth ? skip() : push(Frame::Kind::node);
        }
        if (top.kind == Frame::Kind::node && top.key == "rect") return push(Frame::Kind::rect);
        return skip();
    }
    bool key(json::string_t& value) override {
        if (skipping_ == 0 && !frames_.empty()) frames_.back().key = std::move(value);
        return true;
    }
    bool end_object() override {
        if (skipping_ > 0) return unskip();
        Frame done = std::move(frames_.back());
        frames_.pop_back();
        if (done.kind == Frame::Kind::rect) {
            frames_.back().node.rect = done.rect.rect();
            return true;
        }
        --nodeDepth_;
        if (frames_.empty())
            root = std::move(done.node);
        else
            frames_.back().list.push_back(std::move(done.node));
        return true;
    }
    bool start_array(std::size_t) override {
        if (skipping_ > 0 || frames_.empty()) return skip();
        const Frame& top = frames_.back();
        if (top.kind == Frame::Kind::node && (top.key == "nodes" || top.key == "floating_nodes")) {
            const bool floatingList = top.key == "floating_nodes";
            frames_.emplace_back().kind = Frame::Kind::children;
            frames_.back().floatingList = floatingList;
            return true;
        }
        return skip();
    }
    bool end_array() override {
        if (skipping_ > 0) return unskip();
        Frame done = std::move(frames_.back());
        frames_.pop_back();
        Node& owner = frames_.back().node;
        (done.floatingList ? owner.floatingNodes : owner.nodes) = std::move(done.list);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const json::exception&) override { return false; }

private:
    struct Frame {
        enum class Kind { node, rect, children };
        Kind kind = Kind::node;
        std::string key;            // node, rect: the key whose value comes next
        Node node;                  // node
        RectFields rect;            // rect
        bool floatingList = false;  // children
        std::vector<Node> list;     // children
    };

    const std::string& key() const {
        static const std::string none;
        return skipping_ == 0 && !frames_.empty() ? frames_.back().key : none;
    }
    Node* currentNode() {
        if (skipping_ > 0 || frames_.empty() || frames_.back().kind != Frame::Kind::node) return nullptr;
        return &frames_.back().node;
    }
    bool number(double value) {
        if (skipping_ > 0 || frames_.empty()) return true;
        Frame& top = frames_.back();
        if (top.kind == Frame::Kind::node) {
            if (top.key == "id")
                top.node.id = value;
            else if (top.key == "pid")
                top.node.pid = value;
            else if (top.key == "window")
                top.node.window = value;
        } else if (top.kind == Frame::Kind::rect) {
            if (top.key == "x")
                top.rect.x = value;
            else if (top.key == "y")
                top.rect.y = value;
            else if (top.key == "width")
                top.rect.width = value;
            else if (top.key == "height")
                top.rect.height = value;
        }
        return true;
    }
    bool push(Frame::Kind kind) {
        if (kind == Frame::Kind::node) ++nodeDepth_;
        frames_.emplace_back().kind = kind;
        return true;
    }
    bool skip() {
        ++skipping_;
        return true;
    }
    bool unskip() {
        --skipping_;
        return true;
    }

    std::vector<Frame> frames_;
    int nodeDepth_ = 0;
    long skipping_ = 0;
};

struct Context {
    std::string output;
    std::string workspace;
    Rect workspaceRect;
};

void collect(const Node& node, Context context, bool floating, std::vector<WindowNode>& out) {
    if (node.type == "output") context.output = node.name;
    if (node.type == "workspace") {
        context.workspace = node.name;
        context.workspaceRect = node.rect.value_or(Rect{});
    }
    // A window is a container with a client: sway gives Wayland clients an
    // app_id and X clients a window id; i3 gives every client a window id.
    const bool hasClient = node.window || node.hasAppId;
    if ((node.type == "con" || node.type == "floating_con") && hasClient && !context.workspace.empty() &&
        node.id && node.rect) {
        WindowNode window;
        window.id = static_cast<std::int64_t>(*node.id);
        if (node.pid && *node.pid > 0) window.pid = static_cast<pid_t>(*node.pid);
        if (node.window && *node.window > 0 && *node.window <= 0xffffffff)
            window.xWindow = static_cast<std::uint32_t>(*node.window);
        window.rect = *node.rect;
        window.floating = floating || node.type == "floating_con" || node.floating == "user_on" ||
                          node.floating == "auto_on";
        window.focused = node.focused;
        window.workspace = context.workspace;
        window.output = context.output;
        window.workspaceRect = context.workspaceRect;
        out.push_back(std::move(window));
    }
    for (const auto& child : node.nodes) collect(child, context, floating, out);
    for (const auto& child : node.floatingNodes) collect(child, context, true, out);
}

}  // namespace

std::optional<Tree> parseTree(std::string_view payload) {
    TreeBuilder builder;
    if (!json::sax_parse(payload.begin(), payload.end(), &builder) || !builder.root) return std::nullopt;
    Tree tree;
    collect(*builder.root, Context{}, false, tree.windows);
    return tree;
}

}  // namespace corvane::i3ipc
