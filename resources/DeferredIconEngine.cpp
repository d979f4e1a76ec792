#include "resources/DeferredIconEngine.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

namespace vantor {

DeferredIconEngine::DeferredIconEngine(Maker maker)
    : m_maker(std::move(maker))
{ }

DeferredIconEngine::DeferredIconEngine(const DeferredIconEngine& other)
    : QIconEngine(other)
    , m_maker(other.m_maker)
    , m_icon(other.m_icon)
{ }

DeferredIconEngine::~DeferredIconEngine() = default;

const QIcon& DeferredIconEngine::Icon()
{
    if (!m_icon)
        m_icon = m_maker ? m_maker() : QIcon();
    return *m_icon;
}

void DeferredIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    // Drawn the way Qt's own pixmap icons draw themselves: a picture for the rectangle's size in
    // device pixels, stretched over the rectangle.
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
}

QPixmap DeferredIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    // The size is in device pixels already: ask the real icon at a ratio of 1, so that it hands
    // its own engine's answer for exactly this size through.
    QPixmap picture = Icon().pixmap(size, 1.0, mode, state);
    picture.setDevicePixelRatio(1.0);
    return picture;
}

QSize DeferredIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    // The size of the picture that would be drawn, which is what a pixmap-based icon reports;
    // asking the real icon instead would apply the screen's pixel ratio a second time.
    return pixmap(size, mode, state).size();
}

QList<QSize> DeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return Icon().availableSizes(mode, state);
}

QString DeferredIconEngine::iconName()
{
    return Icon().name();
}

bool DeferredIconEngine::isNull()
{
    return false;
}

QIconEngine* DeferredIconEngine::clone() const
{
    return new DeferredIconEngine(*this);  // QIcon takes ownership of the clone
}

QString DeferredIconEngine::key() const
{
    return QStringLiteral("vantor-deferred");
}

}  // namespace vantor
