#include "listview/CDorvexView.h"

#include "listview/NetworkMessages.h"
#include "platform/ParentFrame.h"
#include "platform/ProfileStore.h"
#include "platform/listcontrol/ListControl.h"
#include "protocol/DeviceRow.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QCursor>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include <algorithm>
#include <array>

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

// Context menu (resource 142), top to bottom; 0 is a separator.
constexpr std::array kContextMenu = {ids::ID_MODIFY_IP,        ids::ID_MODIFY_MAC,
                                     ids::ID_WEB_BROWSER,      ids::ID_SOFT_RESET,
                                     ids::ID_UPDATE_FIRMWARE,  0,
                                     ids::ID_VIEW_AUTOARRANGE, 0,
                                     ids::ID_REFRESH};

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
