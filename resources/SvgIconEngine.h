#pragma once

#include <QIconEngine>
#include <QPixmap>
#include <QString>

#include <map>
#include <memory>
#include <tuple>

class QSvgRenderer;

namespace vantor {

// An icon drawn from an SVG resource at whatever size it is asked for, only when it is asked
// for: start-up renders just the pictures actually shown. The disabled look is a grey version of
// the picture on the window colour, as toolbar buttons of a desktop show it.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QString path);
    ~SvgIconEngine() override;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

    // The grey, disabled version of a picture (exposed for tests).
    static QImage DisabledImage(const QImage& normal);

private:
    QSvgRenderer& Renderer();

    QString m_path;
    std::unique_ptr<QSvgRenderer> m_renderer;              // made on first use
    std::map<std::tuple<int, int, int>, QPixmap> m_cache;  // (width, height, mode)
};

}  // namespace vantor
