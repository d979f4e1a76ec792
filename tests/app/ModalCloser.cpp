#include "tests/app/ModalCloser.h"

#include <QApplication>

namespace vantor::test {

ModalCloser::ModalCloser(Inspector inspect, Kind kind)
    : m_inspect(std::move(inspect))
    , m_kind(kind)
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
}

ModalCloser::~ModalCloser() = default;

void ModalCloser::Poll()
{
    QWidget* widget = m_kind == Kind::Modal ? QApplication::activeModalWidget() : QApplication::activePopupWidget();
    if (widget == nullptr || !widget->isVisible())
        return;
    ++m_seen;
    if (m_inspect)
        m_inspect(widget);
    widget->close();
}

}  // namespace vantor::test
