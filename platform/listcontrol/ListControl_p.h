#pragma once

// The list control's private state and the helpers its sources share. Only the
// ListControl*.cpp files include this; it is not part of the control's API and may change
// with them.

#include "platform/listcontrol/ListCellLayout.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"

#include <QTimer>
#include <QtGlobal>

#include <array>
#include <string>
#include <string_view>

class QAbstractItemView;
class QItemSelection;
class QItemSelectionModel;
class QModelIndex;
class QPoint;
class QRect;
class QStackedLayout;

namespace vantor::lc {

class ListCellDelegate;
class ListControlModel;
class ListDetailsView;
class ListHeaderView;
class ListIconView;

inline constexpr unsigned kSelectionBits = LVIS_SELECTED | LVIS_FOCUSED;
inline constexpr unsigned kHotTrackingStyles =
    LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_UNDERLINEHOT;
// Room for a text supplied through the display-text request when the control itself needs
// it (painting, searching); longer answers are cut.
inline constexpr int kCallbackTextCapacity = 1024;

using TextScratch = std::array<char, kCallbackTextCapacity>;

// A caller's output buffer: never the callback marker, which is an address, not storage.
inline bool IsWritableBuffer(const char* buffer, int capacity)
{
    return buffer != nullptr && buffer != LPSTR_TEXTCALLBACK && capacity > 0;
}

// An input text: null and the marker (where a real text is required) read as empty.
inline std::string InputText(const char* text)
{
    if (text == nullptr || text == LPSTR_TEXTCALLBACK)
        return {};
    return std::string(text);
}

// Raises a re-entrancy counter for the guard's lifetime, so that no return path (or
// exception) can leave it raised.
class CounterGuard {
public:
    explicit CounterGuard(int& counter)
        : m_counter(counter)
    {
        ++m_counter;
    }
    ~CounterGuard() { --m_counter; }
    Q_DISABLE_COPY_MOVE(CounterGuard)

private:
    int& m_counter;
};

// ------------------------------------------------------------------------------------------------
struct ListControl::Private {
    explicit Private(ListControl& owner)
        : q(owner)
    { }

    // ---- Texts (ListControlItems.cpp) ----
    std::string_view AskText(int item, int column, char* buffer, int capacity) const;
    std::string_view CellText(int item, int column, TextScratch& scratch) const;
    int CopyCellText(int item, int column, char* buffer, int capacity) const;
    bool IsSubItem(int column) const { return column == 0 || data.IsColumn(column); }

    // ---- Selection: item states are the truth, Qt's selection model follows
    //      (ListControlSelection.cpp) ----
    void ConnectSelection();
    void ScheduleSelectionSync();
    void SyncSelection();
    void OnQtSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnQtCurrentChanged(const QModelIndex& current);
    bool ApplyState(int item, unsigned state, unsigned mask);
    void StateChanged(bool changed, unsigned mask);

    // ---- Header (ListControlColumns.cpp) ----
    void ConnectHeader();
    void SyncHeader();
    void SyncSortIndicator();
    void ApplyWidth(int column, int width);
    void OnSectionResized(int section, int newSize);
    void OnSectionMoved(int section, int newVisual);
    // Debug builds: asserts that the header's sections show the columns' widths and order.
    void CheckHeaderMirror() const;

    // ---- Styles (ListControlStyle.cpp) ----
    void ApplyStyle();
    void ApplyExtendedStyle();
    void ApplyImageLists();
    QAbstractItemView* CurrentView() const;
    bool IsDetails() const { return (data.appearance.style & LVS_TYPEMASK) == LVS_REPORT; }

    // ---- Geometry and hit tests (ListControlGeometry.cpp) ----
    void TrackHot(const QPoint& pos);
    void NotifyRightClick(const QPoint& pos);
    QRect RowRect(int item) const;
    QRect CellRect(int item, int column) const;
    FirstCellParts FirstCell(int item) const;

    ListControl& q;
    ListControlData data;
    ListControlListener* listener = nullptr;
    ListControlModel* model = nullptr;
    QItemSelectionModel* selection = nullptr;
    ListDetailsView* tree = nullptr;
    ListHeaderView* header = nullptr;
    ListCellDelegate* delegate = nullptr;
    ListIconView* icons = nullptr;
    QStackedLayout* stack = nullptr;
    QTimer selectionTimer;
    bool selectionDirty = false;
    int ignoreQtSelection = 0;  // >0 while the control itself changes Qt's selection or rows
    int headerSyncing = 0;      // >0 while the control itself changes the header
    bool sorting = false;
    int hotItem = -1;
    int sortMarkColumn = -1;  // column whose header format last received a sort marker
    int trackingColumn = -1;  // column being resized by the user
};

}  // namespace vantor::lc
