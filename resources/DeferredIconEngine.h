#pragma once

#include <QIcon>
#include <QIconEngine>

#include <functional>
#include <optional>

namespace vantor {

// An icon that is made only when something first needs its pictures or sizes: it holds a
// function that makes the real icon, calls it once, then answers everything from that icon.
// Meant for icons known to exist (it reports itself as not null without making the icon), whose
// making is costly and which may never be drawn, such as the overflow buttons of a menu bar or
// toolbar.
class DeferredIconEngine final : public QIconEngine {
public:
    using Maker = std::function<QIcon()>;

    explicit DeferredIconEngine(Maker maker);
    ~DeferredIconEngine() override;
    DeferredIconEngine& operator=(const DeferredIconEngine&) = delete;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    bool isNull() override;
    QIconEngine* clone() const override;
    QString key() const override;

    // Whether the real icon has been made (exposed for tests).
    bool IsMade() const { return m_icon.has_value(); }

private:
    DeferredIconEngine(const DeferredIconEngine& other);
    const QIcon& Icon();

    Maker m_maker;
    std::optional<QIcon> m_icon;
};

}  // namespace vantor
