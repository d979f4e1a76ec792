#include "listview/CDorvexView.h"

#include "platform/IndicatorStatusBar.h"
#include "platform/ParentFrame.h"
#include "protocol/DeviceRow.h"
#include "protocol/ReportPortOpenFailure.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace vantor {
namespace {

// Column headings, left to right.
constexpr std::array kColumnHeadings = {ids::IDS_COL_DEVICE_NAME, ids::IDS_COL_IP_ADDRESS, ids::IDS_COL_SUBNET_MASK,
                                        ids::IDS_COL_GATEWAY,     ids::IDS_COL_MAC,        ids::IDS_COL_VERSION};
constexpr std::array kColumnWidths = {120, 120, 120, 120, 130, 95};
static_assert(kColumnHeadings.size() == kRowFieldCount);

// The commands that act on the selected devices: offered only while a row is selected.
constexpr std::array kDeviceCommands = {ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
                                        ids::ID_UPDATE_FIRMWARE};

// Context menu, top to bottom; 0 is a separator.
constexpr std::array kContextMenu = {ids::ID_MODIFY_IP,         ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER,
                                     ids::ID_SOFT_RESET,        ids::ID_UPDATE_FIRMWARE, 0,
                                     ids::ID_VIEW_AUTOARRANGE,  0,                  ids::ID_REFRESH};

bool IsDeviceCommand(int commandId)
{
    return std::find(kDeviceCommands.begin(), kDeviceCommands.end(), commandId) != kDeviceCommands.end();
}

// The record travels with its row as item data; the bytes are kept exactly.
constexpr int kRecordRole = Qt::UserRole;

}  // namespace

CDorvexView::CDorvexView(ParentFrame& frame, EndpointAddresses addresses, QWidget* parent)
    : QWidget(parent)
    , m_frame(frame)
    , m_addresses(std::move(addresses))
    , m_list(new QTreeWidget(this))
{
    for (std::size_t i = 0; i < kListImageIcons.size(); ++i)
        m_images[i] = ListIcon(kListImageIcons[i]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setIconSize(QSize(16, 16));
    m_list->setColumnCount(kRowFieldCount);
    QStringList headings;
    for (const int id : kColumnHeadings)
        headings << LoadString(id);
    m_list->setHeaderLabels(headings);
    m_list->header()->setStretchLastSection(false);
    m_list->headerItem()->setTextAlignment(kRowFieldCount - 1, Qt::AlignRight | Qt::AlignVCenter);
    for (int column = 0; column < kRowFieldCount; ++column)
        m_list->setColumnWidth(column, kColumnWidths[static_cast<std::size_t>(column)]);
    // The list reacts to no standard editing key (copy and the like).
    m_list->installEventFilter(this);
}

CDorvexView::~CDorvexView()
{
    OnDestroy();
}

int CDorvexView::OnCreate()
{
    m_socket = std::make_unique<CListSocket>([this](const DEVICE_PACKET& reply) { OnReply(reply); }, m_addresses);
    OnRefresh();
    return 0;
}

void CDorvexView::OnRefresh()
{
    if (!m_socket)
        return;  // no window: nothing to search with
    DeleteAllItems();
    KillTimer(kSearchWindowTimer);
    m_socket->Close();
    m_socket->m_nOnline = 0;
    if (!m_socket->Create()) {
        ReportPortOpenFailure(this);
        return;
    }
    m_socket->EnableBroadcast();
    m_socket->SendTo(DEVICE_PACKET::Discovery());
    SetTimer(kSearchWindowTimer, kSearchWindowMs);
}

void CDorvexView::OnTimer(int timerId)
{
    switch (timerId) {
    case kSearchWindowTimer:
        if (!m_socket)
            return;
        if (m_socket->m_bReplied) {
            // A new device answered in this window: listen for another one.
            m_socket->m_bReplied = false;
            SetTimer(kSearchWindowTimer, kSearchWindowMs);
        } else {
            m_socket->Close();
            KillTimer(kSearchWindowTimer);
        }
        break;
    case kResearchTimer:
        OnRefresh();
        KillTimer(kResearchTimer);
        break;
    default:
        break;
    }
}

void CDorvexView::OnDestroy()
{
    DeleteAllItems();
    KillTimer(kSearchWindowTimer);
    KillTimer(kResearchTimer);
    m_socket.reset();
}

void CDorvexView::SetTimer(int timerId, int milliseconds)
{
    // QBasicTimer::start restarts a running timer with the new period.
    if (timerId == kSearchWindowTimer)
        m_searchWindow.start(milliseconds, this);
    else if (timerId == kResearchTimer)
        m_research.start(milliseconds, this);
}

void CDorvexView::KillTimer(int timerId)
{
    if (timerId == kSearchWindowTimer)
        m_searchWindow.stop();
    else if (timerId == kResearchTimer)
        m_research.stop();
}

bool CDorvexView::IsTimerRunning(int timerId) const
{
    if (timerId == kSearchWindowTimer)
        return m_searchWindow.isActive();
    if (timerId == kResearchTimer)
        return m_research.isActive();
    return false;
}

void CDorvexView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_searchWindow.timerId())
        OnTimer(kSearchWindowTimer);
    else if (event->timerId() == m_research.timerId())
        OnTimer(kResearchTimer);
    else
        QWidget::timerEvent(event);
}

bool CDorvexView::OnCommand(int commandId)
{
    if (commandId == ids::ID_REFRESH) {
        OnRefresh();
        return true;
    }
    if (commandId == ids::ID_VIEW_AUTOARRANGE) {
        m_bAutoArrange = m_bAutoArrange == 1 ? 0 : 1;
        return true;
    }
    // The device commands belong to the view; their handlers come with the commands themselves.
    return IsDeviceCommand(commandId);
}

bool CDorvexView::OnUpdateCommandUI(int commandId, CommandUI& ui)
{
    if (IsDeviceCommand(commandId)) {
        ui.enabled = GetSelectedCount() >= 1;
        return true;
    }
    if (commandId == ids::ID_VIEW_AUTOARRANGE) {
        ui.enabled = true;
        ui.checked = m_bAutoArrange == 1;
        return true;
    }
    if (commandId == ids::ID_REFRESH) {
        ui.enabled = true;
        return true;
    }
    return false;
}

void CDorvexView::OnReply(const DEVICE_PACKET& reply)
{
    AppendDeviceRow(reply);
    ++m_socket->m_nOnline;
    ShowOnlineCount(m_socket->m_nOnline);
}

void CDorvexView::ShowOnlineCount(int count)
{
    IndicatorStatusBar* statusBar = m_frame.StatusBar();
    if (statusBar == nullptr)
        return;
    statusBar->SetPaneText(statusBar->CommandToIndex(ids::ID_INDICATOR_ONLINE),
                           LoadString(ids::IDS_ONLINE) + QString::asprintf(" : %d", count), true);
}

void CDorvexView::contextMenuEvent(QContextMenuEvent* event)
{
    m_frame.UpdateCommandStates();
    QMenu menu(this);
    for (const int commandId : kContextMenu) {
        if (commandId == 0) {
            menu.addSeparator();
        } else if (QAction* action = m_frame.CommandAction(commandId)) {
            menu.addAction(action);
        }
    }
    menu.exec(event->globalPos());
}

bool CDorvexView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

int CDorvexView::GetItemCount() const
{
    return m_list->topLevelItemCount();
}

int CDorvexView::GetSelectedCount() const
{
    return static_cast<int>(m_list->selectedItems().size());
}

QString CDorvexView::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

std::string CDorvexView::GetItemRecord(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr)
        return {};
    const QByteArray record = item->data(0, kRecordRole).toByteArray();
    return std::string(record.constData(), static_cast<std::size_t>(record.size()));
}

void CDorvexView::DeleteAllItems()
{
    m_list->clear();
}

void CDorvexView::AppendDeviceRow(const DEVICE_PACKET& reply)
{
    const std::string record = BuildRowRecord(reply);
    auto item = std::make_unique<QTreeWidgetItem>();
    for (int field = 0; field < kRowFieldCount; ++field) {
        const std::string_view text = RowRecordField(record, field);
        // Names are single-byte text; Latin-1 maps every byte to one character.
        item->setText(field, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
    item->setTextAlignment(kRowFieldCount - 1, Qt::AlignRight | Qt::AlignVCenter);
    const int image = RowIconIndex(reply.modelCode());
    if (image >= 0 && image < static_cast<int>(m_images.size()))
        item->setIcon(0, m_images[static_cast<std::size_t>(image)]);
    item->setData(0, kRecordRole, QByteArray(record.data(), static_cast<qsizetype>(record.size())));
    m_list->addTopLevelItem(item.release());  // the list owns the item from here on
}

}  // namespace vantor
