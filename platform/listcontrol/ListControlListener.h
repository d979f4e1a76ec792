#pragma once

#include "platform/listcontrol/ListTypes.h"

class QPainter;

namespace vantor::lc {

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
};

}  // namespace vantor::lc
