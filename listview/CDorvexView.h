#pragma once

#include "commands/BrowserCommand.h"
#include "commands/CommandExchange.h"
#include "listview/CListViewEx.h"
#include "listview/OrderedRowKeys.h"
#include "listview/RowInterfaces.h"
#include "listview/RowRecordStore.h"
#include "platform/CommandTarget.h"
#include "platform/listcontrol/ImageList.h"
#include "protocol/DeviceSearch.h"

#include <QMenu>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vantor {

class ParentFrame;

// The device list: one row per device that answered the current search, in a report-style
// list with six columns (name, IP address, subnet mask, gateway, MAC, version), a 16 x 16 icon
// per row, sortable and hideable columns and a context menu with the device commands.
//
// The view owns the search cycle with its UDP endpoint and two timers (timer 1 the search window,
// timer 2 the one-shot re-search after a device command) and makes the rows of the replies it
// accepts. It is also the first command target of the frame's routing.
//
// Each row's item data is its row record (the six fields, each ended by a NUL), owned by the
// view and released with its row. While Auto Arrange is on in the details type, the list is
// kept sorted by the sort parameter: a new row is put in its place by a binary search when the
// rows before it are known to be in order, so a burst of replies does not cost a full sort per
// row.
class CDorvexView final : public CListViewEx, public CommandTarget, public CommandRows {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDorvexView)

public:
    static constexpr int kSearchWindowTimer = DeviceSearch::kSearchWindowTimer;
    static constexpr int kResearchTimer = DeviceSearch::kResearchTimer;
    static constexpr int kSearchWindowMs = DeviceSearch::kSearchWindowMs;

    // List types (the control's type bits).
    static constexpr int kLargeIcons = 0;
    static constexpr int kDetails = 1;
    static constexpr int kSmallIcons = 2;

    // Builds both image lists; the window is prepared in the details type. The endpoint
    // addresses are the device protocol's unless a test injects loopback ones.
    explicit CDorvexView(ParentFrame& frame, EndpointAddresses addresses = {}, QWidget* parent = nullptr);
    ~CDorvexView() override;

    // ---- Window life --------------------------------------------------------------------------
    // The window is being created: make the endpoint and start the first search. Returns 0.
    int OnCreate();
    // Once, after creation and before the main window is first shown (the frame's status bar
    // must exist): online pane, context menu, styles, columns, image lists, sort key, the saved
    // layout from the per-user profile, and the first sort.
    void OnInitialUpdate();
    // The window is going away: empty list, endpoint destroyed, timers stopped.
    void OnDestroy();

    // ---- Search cycle -------------------------------------------------------------------------
    // Starts a search: empty list, endpoint reopened, discovery request sent, search window set.
    void OnRefresh();
    // Expiry of a view timer (1: search window, 2: re-search; other ids are ignored).
    void OnTimer(int timerId);
    // Window timers by id; setting a running timer restarts it, killing a stopped one does nothing.
    void SetTimer(int timerId, int milliseconds);
    void KillTimer(int timerId);
    bool IsTimerRunning(int timerId) const;
    // A reply the endpoint accepted: counted by the search, then one new row, placed by the
    // sort policy, and the new count in the status bar.
    void OnReply(const DEVICE_PACKET& reply);

    // ---- Sorting and list type ----------------------------------------------------------------
    // While Auto Arrange is on in the details type: arrow and shading on, rows in order of the
    // sort parameter. Otherwise arrow and shading off, rows left as they are.
    void ApplySortPolicy();
    // Command 59397: flips the keep-sorted flag (and the control's auto-arrange style).
    void OnViewAutoArrange();
    // Commands 59409, 59408, 59411.
    void OnViewLargeIcons();
    void OnViewSmallIcons();
    void OnViewDetails();

    int SortParam() const { return m_nSortParam; }
    int AutoArrange() const { return m_bAutoArrange; }
    int ViewMode() const { return m_nViewMode; }
    // How many full sorts the view has asked the control for: the scale tests hold arriving rows
    // to no full sort each, which at tens of thousands of rows the user would feel.
    int FullSortCount() const { return m_fullSortCount; }

    // ---- Device commands (toolbar and row context menu, while a row is selected) --------------
    void OnModifyIP();
    void OnModifyMAC();
    void OnSoftReset();
    void OnUpdateFirmware();
    // Starts the default web browser once per selected row, upper row first, with the row's IP
    // address as its only argument. Every failure is silent.
    void OnWebBrowser();
    // How programs are started (tests record the starts).
    void SetProgramLauncher(ProgramLauncher launcher) { m_launchProgram = std::move(launcher); }
    // The follow-up delays of the device commands (tests shorten the hold).
    void SetCommandTiming(const CommandTiming& timing) { m_commandTiming = timing; }

    // ---- Commands -----------------------------------------------------------------------------
    bool OnCommand(int commandId) override;
    bool OnUpdateCommandUI(int commandId, CommandUI& ui) override;

    // ---- Notifications from the control -------------------------------------------------------
    // A header click sorts: the header key flips or moves, the sort parameter follows the
    // clicked column's field, arrow and shading come on.
    void OnColumnClick(const lc::NMLISTVIEW& info) override;
    // A right click in the list area opens the row context menu (the header keeps its own
    // column menu).
    void OnRightClick(const lc::NMLISTVIEW& info) override;

    // ---- Rows as shown ------------------------------------------------------------------------
    using CListBase::GetItemText;
    // The text of a cell (logical column, hidden columns included); empty for a bad cell.
    QString GetItemText(int row, int column) const;
    // The cell's bytes exactly as received.
    std::string GetItemTextBytes(int row, int column) const;
    // The row record hung on a row (six NUL-terminated fields), empty for a bad row.
    std::string GetItemRecord(int row) const;
    // A row's identity: given to one row only, never again during the program's life, so a
    // command that waited at a prompt reaches exactly the rows it started with.
    static constexpr RowId kNoRow = 0;
    RowId RowIdAt(int row) const;
    // The row that carries an identity now; -1 once that row is gone.
    int FindRow(RowId id) const;
    // Identities of the selected rows, in ascending row order.
    std::vector<RowId> SelectedRowIds() const override;
    // A cell of the row with that identity, read from its record; nothing once the row is gone.
    std::optional<std::string> CellBytes(RowId id, int column) const override;
    // The interface the row's reply came in on; 0 when not known or the row is gone.
    int ReplyInterface(RowId id) const override;
    void DeleteAllRows() override { DeleteAllItems(); }
    QWidget* DialogParent() const override { return window(); }

    // Number of row records the view holds (one per row).
    int RowRecordCount() const { return m_records.Count(); }

    // The search cycle and its endpoint, or null before OnCreate and after OnDestroy.
    const DeviceSearch* Search() const { return m_search.get(); }
    const CListSocket* Endpoint() const { return m_search ? &m_search->Endpoint() : nullptr; }
    // The control, for geometry and painting only: rows and columns change through the
    // extension, never straight through the control.
    const lc::ListControl& Control() const { return CListViewEx::Control(); }

    // The row context menu (null before the first update).
    QMenu* ContextMenu() const { return m_contextMenu.data(); }
    const lc::ImageList& SmallImages() const { return m_imageListSmall; }
    const lc::ImageList& LargeImages() const { return m_imageListLarge; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void OnDeleteItem(int item, lc::LPARAM userData) override;

private:
    // Before the window exists: details type.
    void PreCreateWindow();
    void InsertDeviceColumns();
    void ApplySavedLayout();
    void ShowOnlineCount(int count);
    void SetListType(int type);

    // The search's reply handler: the row of a counted reply and the count in the status bar.
    void AddReplyRow(const DEVICE_PACKET& reply, int interfaceIndex);
    // Appends a row for the reply (that came in on the interface) at the end of the list.
    void AppendDeviceRow(const DEVICE_PACKET& reply, int interfaceIndex = 0);
    // The record of a row, nothing for a bad row.
    std::optional<std::string_view> RecordAt(int row) const;
    // CompareRowRecords of `record` with the record named by `otherItemData` (0 when unknown).
    int CompareWithRecordOf(std::string_view record, lc::LPARAM otherItemData) const;
    // Auto Arrange on in the details type: the rows are kept in order of the sort parameter.
    bool KeepsRowsSorted() const;
    // Full stable sort by the sort parameter; afterwards every row is in order.
    void SortAllRows();
    // Brings the rows into the order of the sort parameter: rows that arrived after the ordered
    // part are placed one by one when that part is ordered by the current parameter and they are
    // few, else everything is sorted.
    void KeepRowsSorted();

    ParentFrame& m_frame;
    EndpointAddresses m_addresses;

    int m_nSortParam = 0;
    lc::ImageList m_imageListSmall;
    lc::ImageList m_imageListLarge;
    QPointer<QMenu> m_contextMenu;  // child of the main window; released by the view
    std::unique_ptr<DeviceSearch> m_search;
    int m_bAutoArrange = 1;
    int m_nViewMode = kDetails;

    // Row records by the item data the rows carry (the record's address), with their rows'
    // identities; identities lead back to item data while their rows live.
    RowRecordStore m_records;
    static_assert(kNoRow == RowRecordStore::kNoRow && std::is_same_v<RowId, RowRecordStore::RowId>);
    // The leading rows known to be in the order of a sort parameter, with their keys; rows
    // after them are in arrival order. Deleting rows keeps the order; appending without sorting
    // leaves the new rows outside the ordered part.
    OrderedRowKeys m_ordered;
    RowInterfaces m_rowInterfaces;
    int m_fullSortCount = 0;
    CommandTiming m_commandTiming;
    ProgramLauncher m_launchProgram = StartDetached;
};

}  // namespace vantor
