#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vantor::test {

// Waits (from the nested event loop of a modal box) for the active modal widget or popup, hands
// it to an inspector, then closes it. Used before the call that opens the box.
class ModalCloser final {
public:
    using Inspector = std::function<void(QWidget*)>;
    enum class Kind { Modal, Popup };

    explicit ModalCloser(Inspector inspect, Kind kind = Kind::Modal);
    ~ModalCloser();
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;

    // How many boxes were seen and closed.
    int Seen() const { return m_seen; }

private:
    void Poll();

    Inspector m_inspect;
    Kind m_kind;
    QTimer m_timer;
    int m_seen = 0;
};

}  // namespace vantor::test
