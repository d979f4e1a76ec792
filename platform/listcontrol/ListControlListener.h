#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <functional>
#include <utility>

class QPainter;

namespace vantor::lc {

// The control's own handling of one mouse or key message, run at most once: a listener may run
// it before, after or instead of its own reaction.
class ControlHandling {
public:
    explicit ControlHandling(std::function<void()> handling)
        : m_handling(std::move(handling))
    { }
    void operator()()
    {
        if (!m_done) {
            m_done = true;
            m_handling();
        }
    }
    bool Done() const { return m_done; }

private:
    std::function<void()> m_handling;
    bool m_done = false;
};

// Notifications the list control sends about itself (the messages a control reflects to the
// window class that hosts it). Every handler has a do-nothing default.
class ListControlListener {
public:
    virtual ~ListControlListener() = default;

    // Display-text request for a cell whose text is LPSTR_TEXTCALLBACK.
    virtual void OnGetDispInfo(NMLVDISPINFOA& /*info*/) { }
    // A click on a header item (info.iSubItem is the control column).
    virtual void OnColumnClick(const NMLISTVIEW& /*info*/) { }
    // A right click in the list area (not on the header).
    virtual void OnRightClick(const NMLISTVIEW& /*info*/) { }
    // A context-menu request on the header, at a global position.
    virtual void OnHeaderContextMenu(const QPoint& /*globalPos*/) { }
    // One item was deleted (sent once per item, also by DeleteAllItems).
    virtual void OnItemDeleted(int /*item*/, LPARAM /*itemData*/) { }
    // Item selection or focus changed.
    virtual void OnItemStateChanged() { }
    // Custom draw stages; the answer is a combination of CDRF_* flags.
    virtual unsigned OnCustomDraw(NMLVCUSTOMDRAW& /*draw*/) { return CDRF_DODEFAULT; }
    // Background erase of the list area before items are painted; true when the handler
    // painted the whole clip rectangle itself.
    virtual bool OnEraseBackground(QPainter& /*painter*/, const QRect& /*clip*/) { return false; }
    // Header notifications, sent after the control has applied the change.
    virtual void OnHeaderEndDrag(int /*column*/, int /*newOrder*/) { }
    virtual void OnHeaderEndTrack(int /*column*/) { }
    virtual void OnHeaderItemChanged(int /*column*/) { }
    virtual void OnHeaderDividerDblClick(int /*column*/) { }
    // The list was scrolled horizontally.
    virtual void OnHScroll() { }
    virtual void OnSetFocus() { }
    virtual void OnKillFocus() { }
    // The system colours (palette) changed.
    virtual void OnSysColorChange() { }

    // ---- Owner-drawn report lists and message pass-through ----
    // Paints one item of a report list with the owner-draw style (LVS_OWNERDRAWFIXED); the
    // control paints nothing of the item itself (grid lines excepted).
    virtual void OnDrawItem(DRAWITEMSTRUCT& /*draw*/) { }
    // A mouse or key message of the details view before the control acts on it. Answer false to
    // let the control handle it (unless `control` was run already); true when the listener dealt
    // with it, running `control` itself where the control should see the message too.
    virtual bool OnInputMessage(const LISTINPUT& /*input*/, ControlHandling& /*control*/) { return false; }
    // Hit test: the control has answered in `info`; the listener may refine the answer.
    virtual void OnHitTest(LVHITTESTINFO& /*info*/) { }
};

}  // namespace vantor::lc
