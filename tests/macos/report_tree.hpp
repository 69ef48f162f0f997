#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/macos/report_node.hpp"

namespace corvane::macos::testing {

// A property list built by a test, standing in for the framework objects
// the window server hands over.
class ReportTree final : public ReportNode {
public:
    using Entry = std::pair<ReportTree, ReportTree>;

    static ReportTree text(std::string s) { return ReportTree(Kind::string, std::move(s)); }
    // A string object that cannot be written as UTF-8.
    static ReportTree unwritableText() { return ReportTree(Kind::string, std::nullopt); }
    static ReportTree integer(std::int64_t i) {
        ReportTree t(Kind::integer);
        t.integer_ = i;
        return t;
    }
    static ReportTree real(double d) {
        ReportTree t(Kind::real);
        t.real_ = d;
        return t;
    }
    static ReportTree boolean(bool b) {
        ReportTree t(Kind::boolean);
        t.boolean_ = b;
        return t;
    }
    static ReportTree other() { return ReportTree(Kind::other); }
    static ReportTree array(std::vector<ReportTree> items) {
        ReportTree t(Kind::array);
        for (auto& item : items) t.children_.push_back(std::make_shared<ReportTree>(std::move(item)));
        return t;
    }
    static ReportTree dictionary(std::vector<Entry> entries) {
        ReportTree t(Kind::dictionary);
        for (auto& [key, value] : entries) {
            t.keys_.push_back(std::make_shared<ReportTree>(std::move(key)));
            t.children_.push_back(std::make_shared<ReportTree>(std::move(value)));
        }
        return t;
    }

    Kind kind() const override { return kind_; }
    std::optional<std::string> string() const override { return string_; }
    std::int64_t integer() const override { return integer_; }
    double real() const override { return real_; }
    bool boolean() const override { return boolean_; }
    std::size_t count() const override { return children_.size(); }
    const ReportNode& child(std::size_t index) const override { return *children_.at(index); }
    const ReportNode& key(std::size_t index) const override { return *keys_.at(index); }

private:
    explicit ReportTree(Kind kind, std::optional<std::string> s = {}) : kind_(kind), string_(std::move(s)) {}

    Kind kind_;
    std::optional<std::string> string_;
    std::int64_t integer_ = 0;
    double real_ = 0;
    bool boolean_ = false;
    std::vector<std::shared_ptr<ReportTree>> children_;
    std::vector<std::shared_ptr<ReportTree>> keys_;
};

}  // namespace corvane::macos::testing
