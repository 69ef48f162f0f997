#pragma once

#include <QColor>
#include <QWidget>
#include <string>

namespace corvane {

// A symbol drawn by our own painter at a fixed size: the action symbols of
// the rows and the check mark and warning triangle of the status rows.
class GlyphLabel final : public QWidget {
public:
    GlyphLabel(int size, QWidget* parent = nullptr);
    void setGlyph(const std::string& symbol, const QColor& color);
    const std::string& symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string symbol_;
    QColor color_;
};

}  // namespace corvane
