#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

namespace vantor::test {

// Answers the modal dialogs a command opens, one step per dialog, in the order they open (from
// the dialogs' own event loops). A dialog left over when the steps run out is cancelled.
class DialogScript final {
public:
    using Step = std::function<void(QDialog&)>;

    explicit DialogScript(std::vector<Step> steps);
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Dialogs answered so far, and the class name of each.
    int Answered() const { return static_cast<int>(m_seen.size()); }
    const std::vector<QString>& Seen() const { return m_seen; }

    // Types a password into the prompt and presses Enter.
    static Step Password(const QString& text);
    // Escape: the dialog is cancelled.
    static Step Cancel();
    // Fills the address dialog's controls that are given (0 = leave as opened) and confirms.
    static Step Addresses(quint32 ip, quint32 mask = 0, quint32 gateway = 0);

private:
    void Poll();

    std::vector<Step> m_steps;
    std::vector<QString> m_seen;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};

}  // namespace vantor::test
