#include "resources/SvgIconEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace vantor {

SvgIconEngine::SvgIconEngine(QString path)
    : m_path(std::move(path))
{ }

SvgIconEngine::~SvgIconEngine() = default;

QSvgRenderer& SvgIconEngine::Renderer()
{
    if (!m_renderer)
        m_renderer = std::make_unique<QSvgRenderer>(m_path);
    return *m_renderer;
}

bool SvgIconEngine::isNull()
{
    return !Renderer().isValid();
}

QSize SvgIconEngine::actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/)
{
    // Square pictures, scaled to fit.
    const int side = std::min(size.width(), size.height());
    return {side, side};
}

QPixmap SvgIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    const QSize actual = actualSize(size, mode, state);
    if (actual.isEmpty() || !Renderer().isValid())
        return {};
    // Only the disabled look differs; active and selected show the normal picture.
    const int look = mode == QIcon::Disabled ? 1 : 0;
    const auto key = std::make_tuple(actual.width(), actual.height(), look);
    if (const auto it = m_cache.find(key); it != m_cache.end())
        return it->second;

    QPixmap pixmap;
    if (look == 1) {
        // Made from the normal picture, which is drawn once for both looks: a toolbar button
        // shows the other look as soon as its command is enabled or disabled.
        pixmap = QPixmap::fromImage(DisabledImage(this->pixmap(actual, QIcon::Normal, state).toImage()));
    } else {
        QImage image(actual, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            Renderer().render(&painter, QRectF(QPointF(0, 0), QSizeF(actual)));
        }
        pixmap = QPixmap::fromImage(std::move(image));
    }
    m_cache.emplace(key, pixmap);
    return pixmap;
}

void SvgIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap picture = pixmap(rect.size() * ratio, mode, state);
    picture.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), picture);
}

QIconEngine* SvgIconEngine::clone() const
{
    return new SvgIconEngine(m_path);  // QIcon takes ownership of the clone
}

QString SvgIconEngine::key() const
{
    return QStringLiteral("vantor-svg");
}

QImage SvgIconEngine::DisabledImage(const QImage& normal)
{
    QImage image = normal.convertToFormat(QImage::Format_ARGB32);
    const QColor window = QGuiApplication::palette().color(QPalette::Disabled, QPalette::Window);
    const int windowRed = window.red();
    const int windowGreen = window.green();
    const int windowBlue = window.blue();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            // Two thirds the picture's grey, one third the window colour: shapes stay readable
            // but the colour is gone.
            const int grey = 2 * qGray(pixel);
            line[x] =
                qRgba((grey + windowRed) / 3, (grey + windowGreen) / 3, (grey + windowBlue) / 3, qAlpha(pixel) * 4 / 5);
        }
    }
    return image;
}

}  // namespace vantor
