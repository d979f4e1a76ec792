#include "app/CMainFrame.h"

#include "app/CDorvexDoc.h"
#include "listview/CDorvexView.h"
#include "platform/IndicatorStatusBar.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include <array>

namespace vantor {
namespace {

// Status bar panes, left to right.
constexpr std::array kIndicators = {ids::ID_SEPARATOR, ids::ID_INDICATOR_CAPS, ids::ID_INDICATOR_NUM,
                                    ids::ID_INDICATOR_SCRL, ids::ID_INDICATOR_ONLINE};
constexpr int kOnlinePaneIndex = 4;
constexpr int kOnlinePaneWidth = 100;

// Toolbar buttons, left to right; 0 is a separator.
constexpr std::array kToolbarButtons = {
    ids::ID_REFRESH,         0, ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
    ids::ID_UPDATE_FIRMWARE, 0, ids::ID_APP_ABOUT};
constexpr int kToolbarImageSize = 32;

// Room the window opens with: all six columns of the list fit.
constexpr QSize kDefaultSize(800, 500);

}  // namespace

CMainFrame::CMainFrame(CDorvexDoc& document, CommandTarget* application, EndpointAddresses addresses, QWidget* parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_application(application)
    , m_addresses(std::move(addresses))
{
    setWindowTitle(LoadString(ids::IDR_MAINFRAME));
    setWindowIcon(AppIcon());
    resize(kDefaultSize);
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate()
{
    CreateActions();
    CreateMenus();
    PrepareToolbarPictures();
    // The toolbar comes before the view: it needs no fonts, which the view waits for.
    if (!CreateToolBar())
        return -1;

    // The frame's own creation makes the view; its creation starts the first search.
    auto* view = new CDorvexView(*this, m_addresses, this);
    m_view = view;
    setCentralWidget(view);
    if (view->OnCreate() != 0)
        return -1;

    if (m_beforeFirstText)
        m_beforeFirstText();
    if (!CreateStatusBar())
        return -1;

    // The view's first update, once everything it sets up exists: the online count reads 0,
    // the columns, icons, context menu and sort key are set, a saved layout is applied.
    view->OnInitialUpdate();

    // Enabling is asked whenever the program is about to wait for events, and when a menu opens.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { UpdateCommandStates(); });
    UpdateCommandStates();
    return 0;
}

QAction* CMainFrame::AddCommandAction(int commandId, const QString& text, bool checkable)
{
    auto* action = new QAction(text, this);
    action->setCheckable(checkable);
    action->setStatusTip(CommandPrompt(commandId));
    const QString tooltip = CommandTooltip(commandId);
    if (!tooltip.isEmpty())
        action->setToolTip(tooltip);
    const QIcon icon = ToolbarIcon(commandId);
    if (!icon.isNull())
        action->setIcon(icon);
    // Menus show no icons, as the desktop framework's menus do.
    action->setIconVisibleInMenu(false);
    // No keyboard shortcut of any kind: the program has none that works.
    action->setShortcuts({});
    connect(action, &QAction::triggered, this, [this, commandId] { RouteCommand(commandId); });
    m_actions.emplace(commandId, action);
    return action;
}

void CMainFrame::CreateActions()
{
    AddCommandAction(ids::ID_APP_EXIT, QStringLiteral("E&xit"));
    AddCommandAction(ids::ID_VIEW_TOOLBAR, QStringLiteral("&Tool Bar"), true);
    AddCommandAction(ids::ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"), true);
    AddCommandAction(ids::ID_VIEW_AUTOARRANGE, QStringLiteral("&Auto Arrange"), true);
    AddCommandAction(ids::ID_REFRESH, QStringLiteral("&Refresh"));
    AddCommandAction(ids::ID_APP_ABOUT, QStringLiteral("&About Vantor Config..."));
    AddCommandAction(ids::ID_MODIFY_IP, QStringLiteral("Modify IP"));
    AddCommandAction(ids::ID_MODIFY_MAC, QStringLiteral("Modify MAC"));
    AddCommandAction(ids::ID_WEB_BROWSER, QStringLiteral("Web Browser"));
    AddCommandAction(ids::ID_SOFT_RESET, QStringLiteral("Soft Reset"));
    AddCommandAction(ids::ID_UPDATE_FIRMWARE, QStringLiteral("Update Firmware "));
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(CommandAction(ids::ID_APP_EXIT));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(CommandAction(ids::ID_VIEW_TOOLBAR));
    view->addAction(CommandAction(ids::ID_VIEW_STATUS_BAR));
    view->addSeparator();
    view->addAction(CommandAction(ids::ID_VIEW_AUTOARRANGE));
    view->addSeparator();
    view->addAction(CommandAction(ids::ID_REFRESH));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(CommandAction(ids::ID_APP_ABOUT));

    for (QMenu* menu : {file, view, help})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuCommandStates(menu->actions()); });
}

void CMainFrame::PrepareToolbarPictures()
{
    // Start-up reads the installed fonts on another thread (CDorvexApp::InitInstance) and
    // everything from the view on waits for them; the toolbar's pictures need none, so they are
    // drawn in that wait and the first paint only copies them. The disabled look is made from
    // the normal one, so the normal pictures serve every button.
    const QSize size(kToolbarImageSize, kToolbarImageSize);
    for (const int commandId : kToolbarButtons)
        if (const QAction* action = CommandAction(commandId))
            static_cast<void>(action->icon().pixmap(size));
}

bool CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar%1").arg(ids::AFX_IDW_TOOLBAR));
    // Fixed under the menu bar: no gripper, no dragging off, no docking elsewhere.
    m_wndToolBar->setMovable(false);
    m_wndToolBar->setFloatable(false);
    m_wndToolBar->setAllowedAreas(Qt::TopToolBarArea);
    m_wndToolBar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const int commandId : kToolbarButtons) {
        if (commandId == 0)
            m_wndToolBar->addSeparator();
        else
            m_wndToolBar->addAction(CommandAction(commandId));
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new IndicatorStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("statusbar%1").arg(ids::AFX_IDW_STATUS_BAR));
    m_wndStatusBar->SetIdleText(LoadString(ids::IDS_READY));
    if (!m_wndStatusBar->SetIndicators(kIndicators))
        return false;
    m_wndStatusBar->SetPaneInfo(kOnlinePaneIndex, ids::ID_INDICATOR_ONLINE, IndicatorStatusBar::SBPS_NORMAL,
                                kOnlinePaneWidth);
    setStatusBar(m_wndStatusBar);
    return true;
}

CDorvexView* CMainFrame::View() const
{
    return m_view.data();
}

QAction* CMainFrame::CommandAction(int commandId) const
{
    const auto it = m_actions.find(commandId);
    return it != m_actions.end() ? it->second : nullptr;
}

bool CMainFrame::RouteCommand(int commandId)
{
    if (m_view && m_view->OnCommand(commandId))
        return true;
    if (m_document.OnCommand(commandId))
        return true;
    if (OnCommand(commandId))
        return true;
    return m_application != nullptr && m_application->OnCommand(commandId);
}

CommandUI CMainFrame::RouteCommandUI(int commandId)
{
    CommandUI ui;
    if (m_view && m_view->OnUpdateCommandUI(commandId, ui))
        return ui;
    if (m_document.OnUpdateCommandUI(commandId, ui))
        return ui;
    if (OnUpdateCommandUI(commandId, ui))
        return ui;
    if (m_application != nullptr)
        m_application->OnUpdateCommandUI(commandId, ui);
    return ui;
}

void CMainFrame::UpdateCommandStates()
{
    for (const auto& [commandId, action] : m_actions)
        UpdateCommandState(commandId, *action);
}

void CMainFrame::UpdateMenuCommandStates(const QList<QAction*>& actions)
{
    for (const auto& [commandId, action] : m_actions)
        if (actions.contains(action))
            UpdateCommandState(commandId, *action);
}

void CMainFrame::UpdateCommandState(int commandId, QAction& action)
{
    // Setting an unchanged state is free: the action only signals a real change.
    const CommandUI ui = RouteCommandUI(commandId);
    action.setEnabled(ui.enabled);
    if (action.isCheckable())
        action.setChecked(ui.checked);
}

bool CMainFrame::OnCommand(int commandId)
{
    if (commandId == ids::ID_VIEW_TOOLBAR && m_wndToolBar != nullptr) {
        m_wndToolBar->setVisible(m_wndToolBar->isHidden());
        return true;
    }
    if (commandId == ids::ID_VIEW_STATUS_BAR && m_wndStatusBar != nullptr) {
        m_wndStatusBar->setVisible(m_wndStatusBar->isHidden());
        return true;
    }
    return false;
}

bool CMainFrame::OnUpdateCommandUI(int commandId, CommandUI& ui)
{
    // Checked while shown; "shown" means not hidden by the operator, also while the frame itself
    // is not on screen yet.
    if (commandId == ids::ID_VIEW_TOOLBAR && m_wndToolBar != nullptr) {
        ui.checked = !m_wndToolBar->isHidden();
        return true;
    }
    if (commandId == ids::ID_VIEW_STATUS_BAR && m_wndStatusBar != nullptr) {
        ui.checked = !m_wndStatusBar->isHidden();
        return true;
    }
    return false;
}

bool CMainFrame::event(QEvent* event)
{
    // A hovered menu item or toolbar button shows its prompt in the message pane; leaving it
    // brings back the idle text.
    if (event->type() == QEvent::StatusTip) {
        if (m_wndStatusBar != nullptr)
            m_wndStatusBar->ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The document is never modified, so there is nothing to ask. Closing destroys the view:
    // its timers stop and the endpoint is released before the window goes.
    if (m_view)
        m_view->OnDestroy();
    event->accept();
}

}  // namespace vantor
