#pragma once

class QAction;

namespace vantor {

class IndicatorStatusBar;

// What a view may ask of the frame it lives in: the frame's action of a command (so that a
// context menu offers the very actions of the menu bar and toolbar, with their routing and
// enabling) and the frame's status bar.
class ParentFrame {
public:
    // The frame's action for a command id, or null when the frame has none.
    virtual QAction* CommandAction(int commandId) const = 0;
    // The frame's status bar, or null before the frame has made it.
    virtual IndicatorStatusBar* StatusBar() const = 0;
    // Asks every command's enabling handler now, e.g. right before a context menu opens.
    virtual void UpdateCommandStates() = 0;

protected:
    ParentFrame() = default;
    ~ParentFrame() = default;
    ParentFrame(const ParentFrame&) = default;
    ParentFrame& operator=(const ParentFrame&) = default;
};

}  // namespace vantor
