#pragma once

#include "platform/listcontrol/ListControlListener.h"

#include <QColor>
#include <QPainter>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantor::lc::test {

// Records every notification of the list control; display-text and custom-draw answers are
// supplied by the test.
class RecordingListener final : public ListControlListener {
public:
    struct DispInfoRequest {
        int item;
        int column;
        LPARAM itemData;
        int capacity;
    };
    struct DrawCall {
        unsigned stage;
        int item;
        int column;
        bool painterValid;
    };

    void OnGetDispInfo(NMLVDISPINFOA& info) override
    {
        dispInfo.push_back({info.item.iItem, info.item.iSubItem, info.item.lParam, info.item.cchTextMax});
        if (answerText)
            answerText(info);
    }
    void OnColumnClick(const NMLISTVIEW& info) override { columnClicks.push_back(info.iSubItem); }
    void OnRightClick(const NMLISTVIEW& info) override { rightClicks.push_back(info); }
    void OnHeaderContextMenu(const QPoint& globalPos) override { headerMenus.push_back(globalPos); }
    void OnItemDeleted(int item, LPARAM itemData) override { deleted.emplace_back(item, itemData); }
    void OnItemStateChanged() override { ++stateChanges; }
    unsigned OnCustomDraw(NMLVCUSTOMDRAW& draw) override
    {
        if (recordDraws)
            draws.push_back({draw.dwDrawStage, draw.dwItemSpec, draw.iSubItem, draw.painter != nullptr});
        return customDraw ? customDraw(draw) : CDRF_DODEFAULT;
    }
    bool OnEraseBackground(QPainter& painter, const QRect& clip) override
    {
        ++erases;
        if (!eraseColor.isValid())
            return false;
        painter.fillRect(clip, eraseColor);
        return true;
    }
    void OnHeaderEndDrag(int column, int newOrder) override { endDrags.emplace_back(column, newOrder); }
    void OnHeaderEndTrack(int column) override { endTracks.push_back(column); }
    void OnHeaderItemChanged(int column) override { itemChanges.push_back(column); }
    void OnHeaderDividerDblClick(int column) override { dividerDblClicks.push_back(column); }
    void OnHScroll() override { ++hScrolls; }
    void OnSetFocus() override { ++focusIns; }
    void OnKillFocus() override { ++focusOuts; }
    void OnSysColorChange() override { ++colorChanges; }

    std::function<void(NMLVDISPINFOA&)> answerText;
    std::function<unsigned(NMLVCUSTOMDRAW&)> customDraw;
    QColor eraseColor;  // invalid: leave the erase to the control
    bool recordDraws = false;

    std::vector<DispInfoRequest> dispInfo;
    std::vector<int> columnClicks;
    std::vector<NMLISTVIEW> rightClicks;
    std::vector<QPoint> headerMenus;
    std::vector<std::pair<int, LPARAM>> deleted;
    int stateChanges = 0;
    std::vector<DrawCall> draws;
    int erases = 0;
    std::vector<std::pair<int, int>> endDrags;
    std::vector<int> endTracks;
    std::vector<int> itemChanges;
    std::vector<int> dividerDblClicks;
    int hScrolls = 0;
    int focusIns = 0;
    int focusOuts = 0;
    int colorChanges = 0;
};

}  // namespace vantor::lc::test
