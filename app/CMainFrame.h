#pragma once

#include "platform/CommandTarget.h"
#include "platform/ParentFrame.h"
#include "protocol/CListSocket.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <utility>

class QAction;
class QMenu;
class QToolBar;

namespace vantor {

class CDorvexDoc;
class CDorvexView;
class IndicatorStatusBar;

// The main window: menu bar, toolbar, status bar with the online-count pane, and the device
// list view in the middle. Every command of the menu bar, the toolbar and the view's context
// menu is one action here; a triggered action goes to the view first, then to the document, the
// frame and the application, and the same route decides whether it is enabled or checked.
class CMainFrame final : public QMainWindow, public ParentFrame, public CommandTarget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    // The application is the last command target (About, Exit); it may be null. The endpoint
    // addresses go to the view: the protocol's own unless a test injects loopback ones.
    CMainFrame(CDorvexDoc& document, CommandTarget* application, EndpointAddresses addresses = {},
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the window: the view (which starts the first search), the toolbar and the status
    // bar. Returns 0, or -1 when something could not be made.
    int OnCreate();
    // Called by OnCreate before the first part that lays out text (the status bar), after
    // everything that needs no fonts: the application waits there for its font reading.
    void SetBeforeFirstText(std::function<void()> wait) { m_beforeFirstText = std::move(wait); }

    // ParentFrame
    QAction* CommandAction(int commandId) const override;
    IndicatorStatusBar* StatusBar() const override { return m_wndStatusBar; }
    void UpdateCommandStates() override;

    // The frame's own commands: the toolbar and status-bar toggles.
    bool OnCommand(int commandId) override;
    bool OnUpdateCommandUI(int commandId, CommandUI& ui) override;

    // Sends a command along the route; false when nobody handled it.
    bool RouteCommand(int commandId);
    // The state of a command as the route decides it (enabled and unchecked when nobody decides).
    CommandUI RouteCommandUI(int commandId);

    CDorvexView* View() const;
    QToolBar* ToolBar() const { return m_wndToolBar; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // No toolbar/dock toggle menu on a right click: the View menu has the toggles.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    QAction* AddCommandAction(int commandId, const QString& text, bool checkable = false);
    void CreateActions();
    void CreateMenus();
    // Draws the toolbar buttons' pictures at the toolbar's size ahead of the first paint.
    void PrepareToolbarPictures();
    bool CreateToolBar();
    bool CreateStatusBar();
    void UpdateMenuCommandStates(const QList<QAction*>& actions);
    void UpdateCommandState(int commandId, QAction& action);

    IndicatorStatusBar* m_wndStatusBar = nullptr;  // child widget
    QToolBar* m_wndToolBar = nullptr;              // child widget

    CDorvexDoc& m_document;
    CommandTarget* m_application;
    EndpointAddresses m_addresses;
    std::function<void()> m_beforeFirstText;
    QPointer<CDorvexView> m_view;
    std::map<int, QAction*> m_actions;  // children of the frame
};

}  // namespace vantor
