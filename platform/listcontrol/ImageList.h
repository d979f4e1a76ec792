#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <vector>

class QPainter;

namespace vantor::lc {

// A list of equally sized images addressed by index, as list controls and headers use them.
// An image added as an icon is drawn at the list's size only when it is first needed, so that
// a list whose pictures are not shown yet costs nothing to fill.
class ImageList final {
public:
    explicit ImageList(QSize imageSize)
        : m_imageSize(imageSize)
    { }

    QSize ImageSize() const { return m_imageSize; }
    int Count() const { return static_cast<int>(m_images.size()); }
    bool Contains(int index) const { return index >= 0 && index < Count(); }

    // Adds the icon, to be rendered at the list's size on first use; returns its index.
    int Add(const QIcon& icon);
    int Add(const QPixmap& pixmap);
    QPixmap Image(int index) const;  // null pixmap for a bad index

    // Draws image `index` at `topLeft`, clipped to `clip` size; blended 50 % with the
    // highlight colour when `blend50` is set (selected item in a focused list).
    void Draw(QPainter& painter, int index, const QPoint& topLeft, const QSize& clip, bool blend50) const;

private:
    struct Entry {
        // Filled in on first use; the icon is dropped once drawn.
        mutable QIcon icon;
        mutable QPixmap image;
        mutable bool pending = false;  // `icon` not yet drawn into `image`
    };

    const QPixmap& Rendered(int index) const;

    QSize m_imageSize;
    std::vector<Entry> m_images;
};

}  // namespace vantor::lc
