// Image lists: icons are drawn at the list's size when first used, pixmaps are kept or scaled.

#include "platform/listcontrol/ImageList.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace vantor::lc {
namespace {

QIcon SolidIcon(const QColor& colour)
{
    QPixmap picture(64, 64);
    picture.fill(colour);
    return QIcon(picture);
}

TEST(ImageList, IconIsDrawnOnceAtTheListSize)
{
    ImageList list(QSize(16, 16));
    EXPECT_EQ(list.Add(SolidIcon(Qt::red)), 0);
    EXPECT_EQ(list.Add(SolidIcon(Qt::blue)), 1);
    EXPECT_EQ(list.Count(), 2);

    const QPixmap first = list.Image(0);
    ASSERT_EQ(first.size(), QSize(16, 16));
    EXPECT_EQ(first.toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(list.Image(0).cacheKey(), first.cacheKey());  // drawn once
}

TEST(ImageList, DrawRendersAPendingIcon)
{
    ImageList list(QSize(8, 8));
    list.Add(SolidIcon(Qt::green));
    QImage target(20, 20, QImage::Format_ARGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        list.Draw(painter, 0, QPoint(4, 4), QSize(6, 6), false);
    }
    EXPECT_EQ(target.pixelColor(4, 4), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(9, 9), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::white));  // clipped to 6 x 6
}

TEST(ImageList, OneIconServesListsOfDifferentSizes)
{
    const QIcon shared = SolidIcon(Qt::magenta);
    ImageList small(QSize(16, 16));
    ImageList large(QSize(32, 32));
    small.Add(shared);
    large.Add(shared);
    EXPECT_EQ(small.Image(0).size(), QSize(16, 16));
    EXPECT_EQ(large.Image(0).size(), QSize(32, 32));
    EXPECT_EQ(large.Image(0).toImage().pixelColor(31, 31), QColor(Qt::magenta));
}

TEST(ImageList, BadIndexesGiveNothing)
{
    ImageList list(QSize(16, 16));
    list.Add(SolidIcon(Qt::red));
    for (const int index : {-1, 1, 100})
        EXPECT_TRUE(list.Image(index).isNull()) << index;
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::yellow);
    EXPECT_EQ(list.Add(pixmap), 1);
    EXPECT_EQ(list.Image(1).size(), QSize(16, 16));
}

}  // namespace
}  // namespace vantor::lc
