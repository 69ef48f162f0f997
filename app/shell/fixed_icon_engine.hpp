#pragma once

#include <QIconEngine>
#include <QPixmap>
#include <vector>

namespace corvane {

// An icon made of a fixed set of pixmaps, handed out as they are (or scaled
// down to a smaller request) without going through the toolkit's shared
// pixmap cache. That cache arms a flush timer on its first entry, which
// would wake the otherwise idle application once, half a minute after the
// tray first drew the icon. Every mode and state shows the same pixmaps.
class FixedIconEngine : public QIconEngine {
public:
    // Any order; null pixmaps are dropped.
    explicit FixedIconEngine(std::vector<QPixmap> pixmaps);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;
    bool isNull() override;

private:
    // The smallest pixmap that covers `size`, else the largest; null if none.
    const QPixmap* bestFor(const QSize& size) const;

    std::vector<QPixmap> pixmaps_;
};

// An icon over a FixedIconEngine.
QIcon fixedIcon(std::vector<QPixmap> pixmaps);

}  // namespace corvane
