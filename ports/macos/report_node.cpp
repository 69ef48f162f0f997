#include "ports/macos/report_node.hpp"

namespace corvane::macos {

namespace {

PlistValue translate(const ReportNode& node, int depth) {
    if (depth >= maximumReportDepth) return PlistValue{};
    switch (node.kind()) {
        case ReportNode::Kind::string:
            if (auto text = node.string()) return PlistValue(std::move(*text));
            return PlistValue{};
        case ReportNode::Kind::integer:
            return PlistValue::integer(node.integer());
        case ReportNode::Kind::real:
            return PlistValue::real(node.real());
        case ReportNode::Kind::boolean:
            return PlistValue(node.boolean());
        case ReportNode::Kind::array: {
            PlistValue::Array array;
            array.reserve(node.count());
            for (std::size_t i = 0; i < node.count(); ++i)
                array.push_back(translate(node.child(i), depth + 1));
            return PlistValue(std::move(array));
        }
        case ReportNode::Kind::dictionary: {
            PlistValue::Dictionary dictionary;
            for (std::size_t i = 0; i < node.count(); ++i) {
                const ReportNode& key = node.key(i);
                if (key.kind() != ReportNode::Kind::string) continue;
                auto name = key.string();
                if (!name) continue;
                dictionary.insert_or_assign(std::move(*name), translate(node.child(i), depth + 1));
            }
            return PlistValue(std::move(dictionary));
        }
        case ReportNode::Kind::other:
            break;
    }
    return PlistValue{};
}

}  // namespace

PlistValue plistFrom(const ReportNode& node) {
    return translate(node, 0);
}

}  // namespace corvane::macos
