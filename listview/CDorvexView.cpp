#include "listview/CDorvexView.h"

#include "listview/DeviceRowOrder.h"
#include "listview/NetworkMessages.h"
#include "platform/DefaultBrowser.h"
#include "platform/IndicatorStatusBar.h"
#include "platform/ParentFrame.h"
#include "platform/ProfileStore.h"
#include "platform/listcontrol/ListControl.h"
#include "platform/listcontrol/ListControlData.h"
#include "platform/listcontrol/TextBytes.h"
#include "protocol/DeviceRow.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QTimerEvent>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <string_view>

namespace vantor {
namespace {

using namespace vantor::lc;

struct ColumnSetup {
    int headingId;
    int fmt;
    int width;
};

// The six columns, in logical order; field n of the row record is shown in column n.
constexpr std::array<ColumnSetup, kRowFieldCount> kColumns = {{
    {ids::IDS_COL_DEVICE_NAME, LVCFMT_LEFT, 120},
    {ids::IDS_COL_IP_ADDRESS, LVCFMT_LEFT, 120},
    {ids::IDS_COL_SUBNET_MASK, LVCFMT_LEFT, 120},
    {ids::IDS_COL_GATEWAY, LVCFMT_LEFT, 120},
    {ids::IDS_COL_MAC, LVCFMT_LEFT, 130},
    {ids::IDS_COL_VERSION, LVCFMT_RIGHT, 95},
}};

// Grid lines, header drag-and-drop, full-row select; every other extended style off.
constexpr unsigned kExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;
static_assert(kExtendedStyle == 0x31);

// The header's sort key at start: the IP address column, ascending.
constexpr int kInitialSortKey = 2;

// The commands that act on the selected devices: offered only while a row is selected.
constexpr std::array kDeviceCommands = {ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
                                        ids::ID_UPDATE_FIRMWARE};

// Context menu (resource 142), top to bottom; 0 is a separator.
constexpr std::array kContextMenu = {ids::ID_MODIFY_IP,        ids::ID_MODIFY_MAC,
                                     ids::ID_WEB_BROWSER,      ids::ID_SOFT_RESET,
                                     ids::ID_UPDATE_FIRMWARE,  0,
                                     ids::ID_VIEW_AUTOARRANGE, 0,
                                     ids::ID_REFRESH};

// A handful of late rows are cheaper to place one by one than to sort everything; many (rows
// that came in while Auto Arrange was off, or in an icon type) are sorted in one go.
constexpr int kMaxRowsPlacedOneByOne = 16;

bool IsDeviceCommand(int commandId)
{
    return std::find(kDeviceCommands.begin(), kDeviceCommands.end(), commandId) != kDeviceCommands.end();
}

}  // namespace

CDorvexView::CDorvexView(ParentFrame& frame, EndpointAddresses addresses, QWidget* parent)
    : CListViewEx(parent)
    , m_frame(frame)
    , m_addresses(std::move(addresses))
    , m_imageListSmall(QSize(16, 16))
    , m_imageListLarge(QSize(32, 32))
{
    // The same seven pictures in both lists, in image-index order. One icon per picture serves
    // both lists (and both indexes of a repeated picture), so each drawing is read once; the
    // lists draw a picture at their size when it is first shown.
    std::array<QIcon, kListImageIcons.size()> icons;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const auto first = static_cast<std::size_t>(
            std::find(kListImageIcons.begin(), kListImageIcons.end(), kListImageIcons[i]) - kListImageIcons.begin());
        icons[i] = first < i ? icons[first] : ListIcon(kListImageIcons[i]);
    }
    for (const QIcon& icon : icons)
        m_imageListLarge.Add(icon);
    for (const QIcon& icon : icons)
        m_imageListSmall.Add(icon);
    m_bAutoArrange = 1;

    PreCreateWindow();

    // No standard editing key (copy and the like) does anything in the list.
    Control().DetailsView()->installEventFilter(this);
    Control().IconView()->installEventFilter(this);
    // What a screen reader announces for the list (the cells and headings speak for themselves).
    Control().DetailsView()->setAccessibleName(QStringLiteral("Device list"));
    Control().IconView()->setAccessibleName(QStringLiteral("Device list"));
}

CDorvexView::~CDorvexView()
{
    // The rows go while this part of the object still hears of their deletion, so every record
    // is released with its row; the control outlives the image lists, so it lets go of them.
    OnDestroy();
    Control().DetailsView()->removeEventFilter(this);
    Control().IconView()->removeEventFilter(this);
    SetImageList(nullptr, LVSIL_SMALL);
    SetImageList(nullptr, LVSIL_NORMAL);
    delete m_contextMenu.data();
}

void CDorvexView::PreCreateWindow()
{
    m_nViewMode = kDetails;
    ModifyStyle(0, LVS_REPORT);
}

// ---- Window life --------------------------------------------------------------------------------

int CDorvexView::OnCreate()
{
    DeviceSearch::Handlers handlers;
    handlers.reply = [this](const DEVICE_PACKET& reply, int interfaceIndex) { AddReplyRow(reply, interfaceIndex); };
    handlers.portOpenFailed = [this] { ReportPortOpenFailure(this); };
    handlers.noInterface = [this] { ReportNoNetworkAdapter(this); };
    handlers.research = [this] { OnRefresh(); };
    m_search = std::make_unique<DeviceSearch>(std::move(handlers), m_addresses);
    OnRefresh();
    return 0;
}

void CDorvexView::OnInitialUpdate()
{
    ShowOnlineCount(0);

    // The first popup of the context menu: the frame's own actions, so a chosen item is
    // enabled and routed exactly like the same command on the menu bar. The main window owns
    // the popup (it is shown on the window's behalf); the view releases it.
    delete m_contextMenu.data();
    m_contextMenu = new QMenu(window());
    for (const int commandId : kContextMenu) {
        if (commandId == 0) {
            m_contextMenu->addSeparator();
        } else if (QAction* action = m_frame.CommandAction(commandId)) {
            m_contextMenu->addAction(action);
        }
    }
    connect(m_contextMenu.data(), &QMenu::aboutToShow, this, [this] { m_frame.UpdateCommandStates(); });

    SetExtendedStyle(0, kExtendedStyle);
    InsertDeviceColumns();

    SetImageList(&m_imageListLarge, LVSIL_NORMAL);
    SetImageList(&m_imageListSmall, LVSIL_SMALL);

    ShowSortArrow(false);
    ShadeSortedColumn(false);
    SetSortKey(kInitialSortKey);

    if (GetColumnCount() >= 1)
        ApplySavedLayout();

    m_nSortParam = SortKey();
    SortAllRows();
}

void CDorvexView::InsertDeviceColumns()
{
    for (int column = 0; column < kRowFieldCount; ++column) {
        const ColumnSetup& setup = kColumns[static_cast<std::size_t>(column)];
        QByteArray heading = LoadString(setup.headingId).toUtf8();
        LVCOLUMNA descriptor;
        descriptor.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        descriptor.fmt = setup.fmt;
        descriptor.cx = setup.width;
        descriptor.pszText = heading.data();
        descriptor.iSubItem = column;
        InsertColumn(column, descriptor);
        if (column >= 1)
            AllowColumnHiding(column);
    }
}

void CDorvexView::ApplySavedLayout()
{
    // The program only reads this value; a block that does not fit the list is ignored or
    // refused by the layout code itself.
    if (const std::optional<QByteArray> block =
            ReadProfileBinary(QStringLiteral("Settings"), QStringLiteral("Overview")))
        ApplyColumnLayout(*block);
}

void CDorvexView::OnDestroy()
{
    DeleteAllItems();
    m_search.reset();  // its timers and its endpoint go with it
}

// ---- Search cycle -------------------------------------------------------------------------------

void CDorvexView::OnRefresh()
{
    if (!m_search)
        return;  // no window: nothing to search with
    DeleteAllItems();
    m_search->Start();
}

void CDorvexView::OnTimer(int timerId)
{
    if (m_search)
        m_search->OnTimer(timerId);
}

void CDorvexView::SetTimer(int timerId, int milliseconds)
{
    if (m_search)
        m_search->SetTimer(timerId, milliseconds);
}

void CDorvexView::KillTimer(int timerId)
{
    if (m_search)
        m_search->KillTimer(timerId);
}

bool CDorvexView::IsTimerRunning(int timerId) const
{
    return m_search && m_search->IsTimerRunning(timerId);
}

void CDorvexView::OnReply(const DEVICE_PACKET& reply)
{
    if (m_search)
        m_search->AcceptReply(reply);
    else
        AppendDeviceRow(reply);  // no search to count it (no window)
}

void CDorvexView::AddReplyRow(const DEVICE_PACKET& reply, int interfaceIndex)
{
    AppendDeviceRow(reply, interfaceIndex);
    ShowOnlineCount(m_search->Online());
}

void CDorvexView::ShowOnlineCount(int count)
{
    IndicatorStatusBar* statusBar = m_frame.StatusBar();
    if (statusBar == nullptr)
        return;
    // The pane is repainted with the rest of the window once the replies of this turn of the
    // event loop are in: the endpoint hands on replies a slice of at most a frame at a time,
    // so the count on screen is never more than a frame behind, and a burst does not paint the
    // window once per row.
    statusBar->SetPaneText(statusBar->CommandToIndex(ids::ID_INDICATOR_ONLINE),
                           LoadString(ids::IDS_ONLINE) + QString::asprintf(" : %d", count), false);
}

// ---- Rows ---------------------------------------------------------------------------------------

void CDorvexView::AppendDeviceRow(const DEVICE_PACKET& reply, int interfaceIndex)
{
    // The record is written in one buffer and copied into the store, where it stays put; its
    // address is the row's item data.
    std::array<char, kRowRecordBufferSize> buffer;
    std::size_t length = WriteRowRecord(reply, buffer);
    std::string longRecord;
    std::string_view built(buffer.data(), std::min(length, buffer.size()));
    if (length > buffer.size()) {
        longRecord = BuildRowRecord(reply);
        built = longRecord;
    }
    const std::optional<RowRecordStore::Entry> entry = m_records.Add(built);
    if (!entry)
        return;
    const lc::LPARAM itemData = entry->itemData;
    m_rowInterfaces.Note(entry->id, interfaceIndex);

    // Each field is followed by a NUL inside the record, so it can be handed over as it is;
    // the list copies the texts.
    const std::string_view fields = entry->record;
    const auto fieldText = [fields](int field) { return const_cast<char*>(RowRecordField(fields, field).data()); };

    // The row joins the end of the list, and the sort policy below puts it in its place. When
    // the list is being kept sorted and every row is in order, that place is known now (the
    // upper bound: where a stable sort would put a row added last), so the row is inserted
    // there at once; the list ends up exactly as after appending and sorting.
    const int count = GetItemCount();
    const bool insertInPlace = KeepsRowsSorted() && m_ordered.OrdersAll(m_nSortParam, count);
    int position = count;
    const OrderedRowKeys::Key key = OrderedRowKeys::MakeKey(fields, m_nSortParam, itemData);
    if (insertInPlace)
        position = m_ordered.UpperBound(key, [&](lc::LPARAM other) { return CompareWithRecordOf(fields, other); });
    LVITEMA item;
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.iSubItem = 0;
    item.pszText = fieldText(0);
    item.iImage = RowIconIndex(reply.ModelCode());
    item.lParam = itemData;
    const int row = InsertItem(item);
    if (row < 0) {
        m_records.Remove(itemData);  // the record goes with the refused row
        return;
    }
    if (insertInPlace) {
        if (row == position)
            m_ordered.Insert(row, key);
        else
            m_ordered.Clear();  // not where it was meant to go: the next sort is a full one
    }

    for (int column = 1; column < kRowFieldCount; ++column) {
        LVITEMA cell;
        cell.iSubItem = column;
        cell.pszText = fieldText(column);
        SetItemText(row, cell);
    }
    ApplySortPolicy();
}

void CDorvexView::OnDeleteItem(int item, lc::LPARAM userData)
{
    // Removing a row keeps the others in order; the row's key goes with it.
    m_ordered.Remove(item, userData);
    m_records.Remove(userData);
    if (m_records.Count() == 0)
        m_rowInterfaces.Clear();
}

std::optional<std::string_view> CDorvexView::RecordAt(int row) const
{
    // Item data is looked up, never followed as an address.
    const std::optional<RowRecordStore::Entry> entry = m_records.Find(GetItemData(row));
    return entry ? std::optional(entry->record) : std::nullopt;
}

CDorvexView::RowId CDorvexView::RowIdAt(int row) const
{
    const std::optional<RowRecordStore::Entry> entry = m_records.Find(GetItemData(row));
    return entry ? entry->id : kNoRow;
}

int CDorvexView::FindRow(RowId id) const
{
    const std::optional<RowRecordStore::Entry> entry = m_records.FindId(id);
    if (!entry)
        return -1;  // the row is gone; its identity is never given again
    LVFINDINFOA find;
    find.flags = LVFI_PARAM;
    find.lParam = entry->itemData;
    return FindItem(-1, find);
}

std::vector<CDorvexView::RowId> CDorvexView::SelectedRowIds() const
{
    std::vector<RowId> ids;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
        if (const RowId id = RowIdAt(row); id != kNoRow)
            ids.push_back(id);
    }
    return ids;
}

std::optional<std::string> CDorvexView::CellBytes(RowId id, int column) const
{
    if (column < 0 || column >= kRowFieldCount)
        return std::nullopt;
    const std::optional<RowRecordStore::Entry> entry = m_records.FindId(id);
    if (!entry)
        return std::nullopt;
    return std::string(RowRecordField(entry->record, column));
}

int CDorvexView::ReplyInterface(RowId id) const
{
    return m_records.FindId(id) ? m_rowInterfaces.Of(id) : 0;
}

QString CDorvexView::GetItemText(int row, int column) const
{
    return DisplayTextFromBytes(GetItemTextBytes(row, column));
}

std::string CDorvexView::GetItemTextBytes(int row, int column) const
{
    const std::optional<std::string_view> record = RecordAt(row);
    if (!record || column < 0 || column >= kRowFieldCount)
        return {};
    return std::string(RowRecordField(*record, column));
}

std::string CDorvexView::GetItemRecord(int row) const
{
    const std::optional<std::string_view> record = RecordAt(row);
    return record ? std::string(*record) : std::string();
}

// ---- Sorting ------------------------------------------------------------------------------------

void CDorvexView::SortAllRows()
{
    ++m_fullSortCount;
    if (!SortItems(&CompareDeviceRows, m_nSortParam)) {
        m_ordered.Clear();
        return;
    }
    const int count = GetItemCount();
    std::vector<OrderedRowKeys::Key> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        const std::optional<std::string_view> record = RecordAt(row);
        if (!record)
            break;  // a row without a record: only the rows before it are known in order
        keys.push_back(OrderedRowKeys::MakeKey(*record, m_nSortParam, RowRecordItemData(*record)));
    }
    m_ordered.Assign(m_nSortParam, std::move(keys));
}

int CDorvexView::CompareWithRecordOf(std::string_view record, lc::LPARAM otherItemData) const
{
    // The item data comes from the ordered keys; it is looked up, never followed blindly.
    const std::optional<RowRecordStore::Entry> other = m_records.Find(otherItemData);
    return other ? CompareRowRecords(record, other->record, m_nSortParam) : 0;
}

void CDorvexView::KeepRowsSorted()
{
    const int count = GetItemCount();
    const bool orderedPartFits = m_ordered.OrderedBy() == m_nSortParam && m_ordered.Count() <= count;
    if (!orderedPartFits || count - m_ordered.Count() > kMaxRowsPlacedOneByOne) {
        SortAllRows();
        return;
    }
    // Each late row goes after every ordered row that does not compare greater (upper bound),
    // which is where a stable sort would put it. Moving an item keeps its contents and item
    // data; the extension finds its records by item data, not by position.
    while (m_ordered.Count() < count) {
        const int late = m_ordered.Count();
        const std::optional<std::string_view> added = RecordAt(late);
        if (!added) {
            SortAllRows();
            return;
        }
        const OrderedRowKeys::Key key = OrderedRowKeys::MakeKey(*added, m_nSortParam, RowRecordItemData(*added));
        const int place =
            m_ordered.UpperBound(key, [&](lc::LPARAM other) { return CompareWithRecordOf(*added, other); });
        if (place != late && !MoveItem(late, place)) {
            SortAllRows();
            return;
        }
        m_ordered.Insert(place, key);
    }
}

bool CDorvexView::KeepsRowsSorted() const
{
    return m_bAutoArrange == 1 && m_nViewMode == kDetails;
}

void CDorvexView::ApplySortPolicy()
{
    if (KeepsRowsSorted()) {
        // Already showing: the header need not be rewritten for every new row.
        if (!IsSortArrowShown())
            ShowSortArrow(true);
        ShadeSortedColumn(true);
        KeepRowsSorted();
    } else {
        ShowSortArrow(false);
        ShadeSortedColumn(false);
    }
}

void CDorvexView::OnColumnClick(const lc::NMLISTVIEW& info)
{
    // The header's key: the same column again reverses it, another column sorts ascending.
    lc::NMLISTVIEW logical = info;
    ReactToColumnClick(logical);
    const int column = logical.iSubItem;
    if (column < 0)
        return;  // no column there: nothing to sort by

    m_nSortParam = SortParamAfterClick(m_nSortParam, column);
    ShowSortArrow(true);
    ShadeSortedColumn(true);
    SortAllRows();
}

// ---- Context menu -------------------------------------------------------------------------------

void CDorvexView::OnRightClick(const lc::NMLISTVIEW& info)
{
    if (!m_contextMenu)
        return;
    // At the mouse cursor. A menu asked for from the keyboard while the pointer is elsewhere
    // opens at the point the list reported instead, so it stays next to the list.
    QWidget* area = m_nViewMode == kDetails ? Control().DetailsView()->viewport() : Control().IconView()->viewport();
    QPoint position = QCursor::pos();
    if (!area->rect().contains(area->mapFromGlobal(position)))
        position = area->mapToGlobal(info.ptAction);
    m_contextMenu->exec(position);
}

// ---- List type and Auto Arrange -----------------------------------------------------------------

void CDorvexView::OnViewAutoArrange()
{
    m_bAutoArrange = m_bAutoArrange == 1 ? 0 : 1;
    if (m_bAutoArrange == 1)
        ModifyStyle(0, LVS_AUTOARRANGE);
    else
        ModifyStyle(LVS_AUTOARRANGE, 0);
}

void CDorvexView::SetListType(int type)
{
    ModifyStyle(static_cast<unsigned>(m_nViewMode), static_cast<unsigned>(type));
    m_nViewMode = type;
}

void CDorvexView::OnViewLargeIcons()
{
    SetListType(kLargeIcons);
    ShowSortArrow(false);
    ShadeSortedColumn(false);
}

void CDorvexView::OnViewSmallIcons()
{
    SetListType(kSmallIcons);
    ShowSortArrow(false);
    ShadeSortedColumn(false);
}

void CDorvexView::OnViewDetails()
{
    SetListType(kDetails);
    ApplySortPolicy();
}

// ---- Device commands ----------------------------------------------------------------------------

void CDorvexView::OnModifyIP()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).ModifyIp();
}

void CDorvexView::OnModifyMAC()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).ModifyMac();
}

void CDorvexView::OnSoftReset()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).SoftReset();
}

void CDorvexView::OnUpdateFirmware()
{
    if (m_search)
        CommandExchange(*this, *m_search, m_commandTiming).UpdateFirmware();
}

void CDorvexView::OnWebBrowser()
{
    const std::optional<QString> browser = FindBrowserCommand();
    if (!browser)
        return;
    // The address is read from its logical column, so a hidden IP Address column changes nothing.
    std::vector<std::string> addresses;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
        addresses.push_back(GetItemTextBytes(row, kIpField));
    OpenWebPages(*browser, addresses, m_launchProgram);
}

// ---- Commands -----------------------------------------------------------------------------------

bool CDorvexView::OnCommand(int commandId)
{
    switch (commandId) {
    case ids::ID_REFRESH:
        OnRefresh();
        return true;
    case ids::ID_VIEW_AUTOARRANGE:
        OnViewAutoArrange();
        return true;
    case ids::ID_VIEW_LARGEICON:
        OnViewLargeIcons();
        return true;
    case ids::ID_VIEW_SMALLICON:
        OnViewSmallIcons();
        return true;
    case ids::ID_VIEW_DETAILS:
        OnViewDetails();
        return true;
    case ids::ID_MODIFY_IP:
        OnModifyIP();
        return true;
    case ids::ID_MODIFY_MAC:
        OnModifyMAC();
        return true;
    case ids::ID_SOFT_RESET:
        OnSoftReset();
        return true;
    case ids::ID_UPDATE_FIRMWARE:
        OnUpdateFirmware();
        return true;
    case ids::ID_WEB_BROWSER:
        OnWebBrowser();
        return true;
    default:
        return false;
    }
}

bool CDorvexView::OnUpdateCommandUI(int commandId, CommandUI& ui)
{
    if (IsDeviceCommand(commandId)) {
        ui.enabled = GetSelectedCount() >= 1;
        ui.checked = false;
        return true;
    }
    switch (commandId) {
    case ids::ID_VIEW_AUTOARRANGE:
        ui.enabled = true;
        ui.checked = m_bAutoArrange == 1;
        return true;
    case ids::ID_VIEW_LARGEICON:
        ui.enabled = true;
        ui.checked = m_nViewMode == kLargeIcons;
        return true;
    case ids::ID_VIEW_SMALLICON:
        ui.enabled = true;
        ui.checked = m_nViewMode == kSmallIcons;
        return true;
    case ids::ID_VIEW_DETAILS:
        ui.enabled = true;
        ui.checked = m_nViewMode == kDetails;
        return true;
    case ids::ID_REFRESH:
        ui.enabled = true;
        ui.checked = false;
        return true;
    default:
        return false;
    }
}

bool CDorvexView::eventFilter(QObject* watched, QEvent* event)
{
    const bool listWidget = watched == Control().DetailsView() || watched == Control().IconView();
    if (listWidget && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste))
            return true;
    }
    return CListViewEx::eventFilter(watched, event);
}

}  // namespace vantor
