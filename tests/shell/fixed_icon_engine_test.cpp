#include "app/shell/fixed_icon_engine.hpp"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "app/shell/status_mark.hpp"

namespace corvane {
namespace {

QPixmap filled(int size, QColor color) {
    QPixmap pixmap(size, size);
    pixmap.fill(color);
    return pixmap;
}

TEST(FixedIcon, ServesItsOwnPixmapsAndScalesOnlyDown) {
    const QPixmap small = filled(16, Qt::red);
    const QPixmap large = filled(32, Qt::blue);
    const QIcon icon = fixedIcon({large, QPixmap(), small});

    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    // An exact size is the pixmap given, not a copy made for a cache.
    EXPECT_EQ(icon.pixmap(QSize(16, 16)).cacheKey(), small.cacheKey());
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).cacheKey(), large.cacheKey());
    // In between: the next larger one, scaled down.
    const QPixmap between = icon.pixmap(QSize(24, 24));
    EXPECT_EQ(between.size(), QSize(24, 24));
    EXPECT_EQ(between.toImage().pixelColor(12, 12), QColor(Qt::blue));
    // Larger than any: the largest as it is, never blown up.
    EXPECT_EQ(icon.actualSize(QSize(64, 64)), QSize(32, 32));
    EXPECT_EQ(icon.pixmap(QSize(64, 64)).size(), QSize(32, 32));
    // Every mode shows the same drawing.
    EXPECT_EQ(icon.pixmap(QSize(16, 16), QIcon::Disabled).cacheKey(), small.cacheKey());
}

TEST(FixedIcon, PaintsCentredInTheRect) {
    const QIcon icon = fixedIcon({filled(16, Qt::red)});
    QImage canvas(40, 20, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    icon.paint(&painter, QRect(0, 0, 40, 20));
    painter.end();
    EXPECT_EQ(canvas.pixelColor(20, 10), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(11, 10), QColor(Qt::transparent));
    EXPECT_EQ(canvas.pixelColor(12, 2), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(12, 1), QColor(Qt::transparent));
}

TEST(FixedIcon, AnEmptySetIsANullIcon) {
    EXPECT_TRUE(fixedIcon({}).isNull());
    EXPECT_TRUE(fixedIcon({QPixmap()}).pixmap(QSize(16, 16)).isNull());
}

TEST(StatusMark, DimmedIsTheSameDrawingFaded) {
    const QImage full = statusMarkIcon().pixmap(QSize(24, 24)).toImage();
    const QImage dimmed = statusMarkIcon(dimmedOpacity).pixmap(QSize(24, 24)).toImage();
    ASSERT_EQ(full.size(), QSize(24, 24));
    ASSERT_EQ(dimmed.size(), full.size());
    int drawn = 0;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            const int alpha = qAlpha(full.pixel(x, y));
            if (alpha == 0) {
                EXPECT_EQ(qAlpha(dimmed.pixel(x, y)), 0);
                continue;
            }
            ++drawn;
            EXPECT_NEAR(qAlpha(dimmed.pixel(x, y)), alpha * dimmedOpacity, 2.0) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 24 * 24 / 4);
}

}  // namespace
}  // namespace corvane
