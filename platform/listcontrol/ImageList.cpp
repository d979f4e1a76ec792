#include "platform/listcontrol/ImageList.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace vantor::lc {

int ImageList::Add(const QIcon& icon)
{
    m_images.push_back(Entry{icon, QPixmap(), true});
    return Count() - 1;
}

int ImageList::Add(const QPixmap& pixmap)
{
    if (pixmap.size() == m_imageSize) {
        m_images.push_back(Entry{QIcon(), pixmap, false});
    } else {
        QPixmap image(m_imageSize);
        image.fill(Qt::transparent);
        if (!pixmap.isNull()) {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(QRect(QPoint(0, 0), m_imageSize), pixmap);
        }
        m_images.push_back(Entry{QIcon(), std::move(image), false});
    }
    return Count() - 1;
}

QPixmap ImageList::Image(int index) const
{
    if (!Contains(index))
        return {};
    return Rendered(index);
}

const QPixmap& ImageList::Rendered(int index) const
{
    const Entry& entry = m_images[static_cast<std::size_t>(index)];
    if (entry.pending) {
        // Painted into an image of exactly the list's size: QIcon::pixmap may hand back a
        // smaller or device-pixel-ratio scaled pixmap.
        QPixmap image(m_imageSize);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            entry.icon.paint(&painter, QRect(QPoint(0, 0), m_imageSize));
        }
        entry.image = std::move(image);
        entry.icon = QIcon();
        entry.pending = false;
    }
    return entry.image;
}

void ImageList::Draw(QPainter& painter, int index, const QPoint& topLeft, const QSize& clip, bool blend50) const
{
    if (!Contains(index))
        return;
    const QPixmap& image = Rendered(index);
    const QSize size(std::min(clip.width(), image.width()), std::min(clip.height(), image.height()));
    if (size.width() <= 0 || size.height() <= 0)
        return;
    const QRect source(QPoint(0, 0), size);
    if (!blend50) {
        painter.drawPixmap(topLeft, image, source);
        return;
    }
    // Half of the highlight colour over the opaque parts of the image, as a selected icon
    // in a focused list is shown.
    QPixmap blended = image.copy(source);
    {
        QPainter tint(&blended);
        tint.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QColor highlight = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
        highlight.setAlpha(128);
        tint.fillRect(blended.rect(), highlight);
    }
    painter.drawPixmap(topLeft, blended);
}

}  // namespace vantor::lc
