#pragma once

#include "platform/LockKeys.h"

#include <QStatusBar>
#include <QString>

#include <optional>
#include <span>
#include <vector>

class QLabel;

namespace vantor {

// A status bar made of panes, each named by an indicator id. Pane 0 is the message pane: it
// stretches, shows the idle text, and shows a command's prompt while the command is hovered.
// The other panes sit at the right edge. Panes of the three lock indicators show their text
// only while the key is on; the state is read again on each key press or release and whenever a
// window of the program is activated.
class IndicatorStatusBar final : public QStatusBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IndicatorStatusBar)

public:
    // Pane styles (the values of the desktop framework they stand for).
    static constexpr unsigned SBPS_NORMAL = 0x0000;
    static constexpr unsigned SBPS_NOBORDERS = 0x0100;
    static constexpr unsigned SBPS_POPOUT = 0x0200;
    static constexpr unsigned SBPS_DISABLED = 0x04000000;
    static constexpr unsigned SBPS_STRETCH = 0x08000000;

    // Indicator ids with a meaning of their own.
    static constexpr int kMessagePaneId = 0;
    static constexpr int kCapsLockId = 59137;
    static constexpr int kNumLockId = 59138;
    static constexpr int kScrollLockId = 59139;

    explicit IndicatorStatusBar(QWidget* parent = nullptr);
    ~IndicatorStatusBar() override;

    // Makes one pane per id, left to right. An id other than 0 gets the text of its string and
    // a width that fits it. Replaces any earlier panes.
    bool SetIndicators(std::span<const int> ids);
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    // Index of the pane with this indicator id, or -1.
    int CommandToIndex(int id) const;

    // Pane text. Out-of-range indexes are refused (false / empty text).
    bool SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    // What the pane shows at the moment (blank for a disabled pane).
    QString DisplayedPaneText(int index) const;

    // Pane id, style and content width in pixels; the pane's widget is exactly that wide.
    bool SetPaneInfo(int index, int id, unsigned style, int width);
    bool GetPaneInfo(int index, int& id, unsigned& style, int& width) const;
    // The widget that draws a pane (for layout checks), or null.
    QWidget* PaneWidget(int index) const;

    // Text of the message pane when nothing is hovered.
    void SetIdleText(const QString& text);
    QString IdleText() const { return m_idleText; }
    // Shows a command's prompt in the message pane; an empty prompt brings back the idle text.
    void ShowPrompt(const QString& prompt);

    // Enables or blanks the three lock panes for a given state; nothing known blanks them all.
    void ApplyLockKeys(const std::optional<LockKeyState>& state);
    // Reads the state from the window system and applies it.
    void RefreshLockKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pane {
        int id = 0;
        unsigned style = SBPS_NORMAL;
        int width = 0;
        QString text;
        QLabel* label = nullptr;  // owned by the status bar (Qt parent)
    };

    bool IsValidIndex(int index) const;
    void ShowPane(const Pane& pane);
    void SetPaneEnabled(int id, bool enabled);

    std::vector<Pane> m_panes;
    QString m_idleText;
};

}  // namespace vantor
