// The application shell as the operator meets it: caption, menus, toolbar, status bar, command
// enabling and check marks, prompts, the About box, start-up failures and the missing shortcuts.
#include "app/CAboutDlg.h"
#include "app/CDorvexApp.h"
#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "platform/FontPreload.h"
#include "platform/IndicatorStatusBar.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/StringTable.h"
#include "tests/app/ModalCloser.h"
#include "tests/support/LoopbackDevice.h"
#include "tests/support/WaitUntil.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

namespace vantor {
namespace {

using test::LoopbackDevice;
using test::MakeReply;
using test::ModalCloser;
using test::WaitUntil;

constexpr std::array kDeviceCommands = {ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
                                        ids::ID_UPDATE_FIRMWARE};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app = std::make_unique<CDorvexApp>(test::LoopbackAddresses(m_device.Port()));
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->MainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_view = m_frame->View();
        ASSERT_NE(m_view, nullptr);
    }

    QAction* Action(int id) const { return m_frame->CommandAction(id); }
    IndicatorStatusBar* Bar() const { return m_frame->StatusBar(); }
    QString MessagePane() const { return Bar()->DisplayedPaneText(0); }

    // Lets the event loop go idle once, which is when command states are brought up to date.
    static void Idle() { test::RunEventLoopFor(20); }

    void AddRows(int count)
    {
        const std::uint16_t port = m_view->Endpoint()->LocalPort();
        for (int n = 1; n <= count; ++n)
            m_device.Send(MakeReply(static_cast<std::uint8_t>(n)), port);
        ASSERT_TRUE(WaitUntil([&] { return m_view->GetItemCount() == count; }));
    }

    LoopbackDevice m_device;
    std::unique_ptr<CDorvexApp> m_app;
    CMainFrame* m_frame = nullptr;
    CDorvexView* m_view = nullptr;
};

struct MenuItem {
    const char* text;  // nullptr: separator
    int commandId;
};

TEST_F(MainFrameTest, CaptionAndIcon)
{
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("Vantor Config V1.30"));
    // The package, vantor-cli --version and the manual pages carry the project's version: the
    // caption's number is its major and minor part.
    EXPECT_EQ(QStringLiteral("Vantor Config V%1.%2")
                  .arg(VANTOR_VERSION_MAJOR)
                  .arg(VANTOR_VERSION_MINOR, 2, 10, QLatin1Char('0')),
              m_frame->windowTitle());
    EXPECT_FALSE(m_frame->windowIcon().isNull());
    EXPECT_TRUE(m_frame->isVisible());
}

TEST_F(MainFrameTest, MenuBarHasFileViewHelpWithTheirItemsInOrder)
{
    const QList<QAction*> menus = m_frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    const std::array<QString, 3> titles = {QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")};
    const std::array<std::vector<MenuItem>, 3> items = {
        std::vector<MenuItem>{{"E&xit", ids::ID_APP_EXIT}},
        std::vector<MenuItem>{{"&Tool Bar", ids::ID_VIEW_TOOLBAR},
                              {"&Status Bar", ids::ID_VIEW_STATUS_BAR},
                              {nullptr, 0},
                              {"&Auto Arrange", ids::ID_VIEW_AUTOARRANGE},
                              {nullptr, 0},
                              {"&Refresh", ids::ID_REFRESH}},
        std::vector<MenuItem>{{"&About Vantor Config...", ids::ID_APP_ABOUT}},
    };
    for (std::size_t m = 0; m < 3; ++m) {
        SCOPED_TRACE(titles[m].toStdString());
        EXPECT_EQ(menus[static_cast<qsizetype>(m)]->text(), titles[m]);
        QMenu* menu = menus[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items[m].size()));
        for (std::size_t i = 0; i < items[m].size(); ++i) {
            QAction* action = actions[static_cast<qsizetype>(i)];
            if (items[m][i].text == nullptr) {
                EXPECT_TRUE(action->isSeparator()) << "item " << i;
                continue;
            }
            EXPECT_EQ(action->text(), QString::fromUtf8(items[m][i].text));
            EXPECT_EQ(action, Action(items[m][i].commandId)) << "the menu item is the command's own action";
        }
    }
}

TEST_F(MainFrameTest, ToolbarHasSevenButtonsAndTwoSeparatorsInOrder)
{
    QToolBar* toolbar = m_frame->ToolBar();
    ASSERT_NE(toolbar, nullptr);
    const std::array<int, 9> expected = {
        ids::ID_REFRESH,         0, ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER, ids::ID_SOFT_RESET,
        ids::ID_UPDATE_FIRMWARE, 0, ids::ID_APP_ABOUT};
    const std::array<const char*, 9> tooltips = {"Refresh",         nullptr,       "Modify IP",
                                                 "Modify MAC",      "Web Browser", "Soft Reset",
                                                 "Update Firmware", nullptr,       "About"};
    const QList<QAction*> actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 9);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QAction* action = actions[static_cast<qsizetype>(i)];
        SCOPED_TRACE(i);
        if (expected[i] == 0) {
            EXPECT_TRUE(action->isSeparator());
            continue;
        }
        EXPECT_EQ(action, Action(expected[i]));
        EXPECT_FALSE(action->icon().isNull());
        EXPECT_EQ(action->toolTip(), QString::fromUtf8(tooltips[i]));
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->iconSize(), QSize(32, 32));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_TRUE(button->autoRaise()) << "flat buttons";
    }
    EXPECT_EQ(toolbar->iconSize(), QSize(32, 32));
    EXPECT_FALSE(toolbar->isMovable());
    EXPECT_FALSE(toolbar->isFloatable());
    EXPECT_EQ(m_frame->toolBarArea(toolbar), Qt::TopToolBarArea);
}

TEST_F(MainFrameTest, DeviceButtonsAreGreyedWithoutASelectedRow)
{
    AddRows(2);
    Idle();
    for (const int id : kDeviceCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Action(ids::ID_REFRESH)->isEnabled());
    EXPECT_TRUE(Action(ids::ID_APP_ABOUT)->isEnabled());

    m_view->SetItemState(1, lc::LVIS_SELECTED | lc::LVIS_FOCUSED, lc::LVIS_SELECTED | lc::LVIS_FOCUSED);
    Idle();
    for (const int id : kDeviceCommands) {
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
        EXPECT_TRUE(m_frame->ToolBar()->widgetForAction(Action(id))->isEnabled()) << id;
    }

    // A new search empties the list: nothing selected, greyed again.
    m_frame->RouteCommand(ids::ID_REFRESH);
    Idle();
    for (const int id : kDeviceCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Action(ids::ID_REFRESH)->isEnabled());
    EXPECT_TRUE(Action(ids::ID_APP_ABOUT)->isEnabled());
}

TEST_F(MainFrameTest, DeviceCommandsGoToTheViewEvenFromTheToolbar)
{
    AddRows(1);
    m_view->SetItemState(0, lc::LVIS_SELECTED | lc::LVIS_FOCUSED, lc::LVIS_SELECTED | lc::LVIS_FOCUSED);
    Idle();
    {
        test::ModalCloser cancelEveryDialog(nullptr);
        for (const int id : kDeviceCommands)
            EXPECT_TRUE(m_view->OnCommand(id)) << "the view handles " << id;
    }
    // Refresh from the toolbar reaches the view: the list empties and a request goes out.
    m_device.TakeReceived();
    QTest::mouseClick(m_frame->ToolBar()->widgetForAction(Action(ids::ID_REFRESH)), Qt::LeftButton);
    EXPECT_EQ(m_view->GetItemCount(), 0);
    EXPECT_EQ(m_device.TakeReceived().size(), 1u);
}

TEST_F(MainFrameTest, ToolbarAndStatusBarTogglesUncheckAndCheck)
{
    struct Toggle {
        int commandId;
        QWidget* widget;
    };
    for (const Toggle toggle :
         {Toggle{ids::ID_VIEW_TOOLBAR, m_frame->ToolBar()}, Toggle{ids::ID_VIEW_STATUS_BAR, Bar()}}) {
        SCOPED_TRACE(toggle.commandId);
        QAction* action = Action(toggle.commandId);
        Idle();
        EXPECT_TRUE(action->isChecked());
        EXPECT_TRUE(toggle.widget->isVisible());

        action->trigger();
        Idle();
        EXPECT_FALSE(toggle.widget->isVisible());
        EXPECT_FALSE(action->isChecked());

        action->trigger();
        Idle();
        EXPECT_TRUE(toggle.widget->isVisible());
        EXPECT_TRUE(action->isChecked());
    }
}

TEST_F(MainFrameTest, AutoArrangeIsCheckedAndToggles)
{
    QAction* action = Action(ids::ID_VIEW_AUTOARRANGE);
    Idle();
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(m_view->AutoArrange(), 1);
    action->trigger();
    Idle();
    EXPECT_EQ(m_view->AutoArrange(), 0);
    EXPECT_FALSE(action->isChecked());
    action->trigger();
    Idle();
    EXPECT_EQ(m_view->AutoArrange(), 1);
    EXPECT_TRUE(action->isChecked());
}

TEST_F(MainFrameTest, StatusBarPanesAndTexts)
{
    IndicatorStatusBar* bar = Bar();
    ASSERT_EQ(bar->PaneCount(), 5);
    const std::array<int, 5> ids = {0, ids::ID_INDICATOR_CAPS, ids::ID_INDICATOR_NUM, ids::ID_INDICATOR_SCRL,
                                    ids::ID_INDICATOR_ONLINE};
    for (int i = 0; i < 5; ++i) {
        int id = -1;
        unsigned style = 0;
        int width = 0;
        ASSERT_TRUE(bar->GetPaneInfo(i, id, style, width));
        EXPECT_EQ(id, ids[static_cast<std::size_t>(i)]);
        EXPECT_EQ(bar->CommandToIndex(ids[static_cast<std::size_t>(i)]), i);
    }
    EXPECT_EQ(MessagePane(), QStringLiteral("Ready"));
    const int online = bar->CommandToIndex(ids::ID_INDICATOR_ONLINE);
    EXPECT_EQ(bar->DisplayedPaneText(online), QStringLiteral("Online : 0"));
    int id = 0;
    unsigned style = 0;
    int width = 0;
    ASSERT_TRUE(bar->GetPaneInfo(online, id, style, width));
    EXPECT_EQ(width, 100);
    EXPECT_EQ(style, IndicatorStatusBar::SBPS_NORMAL);
    EXPECT_EQ(bar->PaneWidget(online)->width(), 100);
    EXPECT_TRUE(bar->PaneWidget(online)->isEnabled());
    // The online pane is the rightmost of the panes, the message pane the leftmost and widest.
    EXPECT_GT(bar->PaneWidget(online)->x(), bar->PaneWidget(3)->x());
    EXPECT_LT(bar->PaneWidget(0)->x(), bar->PaneWidget(1)->x());
    EXPECT_GT(bar->PaneWidget(0)->width(), bar->PaneWidget(online)->width());
}

TEST_F(MainFrameTest, HoveringAToolbarButtonShowsItsPromptThenReady)
{
    QWidget* button = m_frame->ToolBar()->widgetForAction(Action(ids::ID_MODIFY_IP));
    // The way a hovered widget announces its prompt; it travels up to the frame.
    QStatusTipEvent enter(button->statusTip());
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(MessagePane(), QStringLiteral("Modify IP which selects device。"));
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(MessagePane(), QStringLiteral("Ready"));
}

TEST_F(MainFrameTest, MovingTheMouseOverAButtonShowsItsPrompt)
{
    // The pointer is only tracked over a window that is on screen.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
    QWidget* button = m_frame->ToolBar()->widgetForAction(Action(ids::ID_REFRESH));
    QTest::mouseMove(button, button->rect().center());
    EXPECT_TRUE(WaitUntil([&] { return MessagePane() == QStringLiteral("Search all device again。"); }, 2000))
        << MessagePane().toStdString();
    QTest::mouseMove(m_view, m_view->rect().center());
    EXPECT_TRUE(WaitUntil([&] { return MessagePane() == QStringLiteral("Ready"); }, 2000))
        << MessagePane().toStdString();
}

TEST_F(MainFrameTest, HoveringAutoArrangeInTheMenuShowsItsPromptAndItHasNoTooltip)
{
    QMenu* viewMenu = m_frame->menuBar()->actions().at(1)->menu();
    ASSERT_NE(viewMenu, nullptr);
    viewMenu->popup(m_frame->mapToGlobal(QPoint(40, 20)));
    ASSERT_TRUE(WaitUntil([&] { return viewMenu->isVisible(); }));
    viewMenu->setActiveAction(Action(ids::ID_VIEW_AUTOARRANGE));
    EXPECT_EQ(MessagePane(), QStringLiteral("Auto arrange。"));
    viewMenu->setActiveAction(Action(ids::ID_REFRESH));
    EXPECT_EQ(MessagePane(), QStringLiteral("Search all device again。"));
    viewMenu->close();
    EXPECT_TRUE(WaitUntil([&] { return MessagePane() == QStringLiteral("Ready"); }, 2000));
    EXPECT_FALSE(viewMenu->toolTipsVisible());
    EXPECT_EQ(Action(ids::ID_VIEW_AUTOARRANGE)->statusTip(), QStringLiteral("Auto arrange。"));
}

TEST_F(MainFrameTest, OpeningTheViewMenuUpdatesItsCheckMarks)
{
    // Hidden behind the frame's back: the next opening of the menu must show the truth.
    m_frame->ToolBar()->hide();
    QMenu* viewMenu = m_frame->menuBar()->actions().at(1)->menu();
    emit viewMenu->aboutToShow();
    EXPECT_FALSE(Action(ids::ID_VIEW_TOOLBAR)->isChecked());
    m_frame->ToolBar()->show();
    emit viewMenu->aboutToShow();
    EXPECT_TRUE(Action(ids::ID_VIEW_TOOLBAR)->isChecked());
}

TEST_F(MainFrameTest, ContextMenuOffersTheFramesOwnActions)
{
    // Separators belong to the menu and go with it: note what each entry is while it is open.
    std::vector<std::pair<QAction*, bool>> offered;
    {
        ModalCloser closer(
            [&](QWidget* widget) {
                if (auto* menu = qobject_cast<QMenu*>(widget))
                    for (QAction* action : menu->actions())
                        offered.emplace_back(action, action->isSeparator());
            },
            ModalCloser::Kind::Popup);
        QWidget* listArea = m_view->Control().DetailsView()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), listArea->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(listArea, &event);
        EXPECT_EQ(closer.Seen(), 1);
    }
    const std::array<int, 9> expected = {ids::ID_MODIFY_IP,        ids::ID_MODIFY_MAC,
                                         ids::ID_WEB_BROWSER,      ids::ID_SOFT_RESET,
                                         ids::ID_UPDATE_FIRMWARE,  0,
                                         ids::ID_VIEW_AUTOARRANGE, 0,
                                         ids::ID_REFRESH};
    ASSERT_EQ(offered.size(), 9u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == 0)
            EXPECT_TRUE(offered[i].second) << i;
        else
            EXPECT_EQ(offered[i].first, Action(expected[i])) << i;
    }
    EXPECT_EQ(Action(ids::ID_UPDATE_FIRMWARE)->text(), QStringLiteral("Update Firmware "));
}

TEST_F(MainFrameTest, AboutBoxShowsNameVersionNoticeAndClosesWithOk)
{
    QString title;
    QString version;
    QString notice;
    bool okIsDefault = false;
    bool hasIcon = false;
    {
        ModalCloser closer([&](QWidget* widget) {
            auto* dialog = qobject_cast<CAboutDlg*>(widget);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            version = dialog->VersionLabel()->text();
            notice = dialog->NoticeLabel()->text();
            okIsDefault = dialog->OkButton()->isDefault() && dialog->OkButton()->text() == QStringLiteral("OK");
            hasIcon = !dialog->IconLabel()->pixmap().isNull() && !dialog->windowIcon().isNull();
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
            EXPECT_FALSE(dialog->isVisible()) << "OK closes the box";
        });
        Action(ids::ID_APP_ABOUT)->trigger();
        EXPECT_EQ(closer.Seen(), 1);
    }
    EXPECT_EQ(title, QStringLiteral("About Vantor Config"));
    EXPECT_EQ(version, QStringLiteral("Vantor Config v1.30"));
    EXPECT_FALSE(notice.isEmpty());
    EXPECT_TRUE(okIsDefault);
    EXPECT_TRUE(hasIcon);
}

TEST_F(MainFrameTest, StandardShortcutsDoNothing)
{
    AddRows(2);
    m_view->SetItemState(0, lc::LVIS_SELECTED | lc::LVIS_FOCUSED, lc::LVIS_SELECTED | lc::LVIS_FOCUSED);
    Idle();
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    m_device.TakeReceived();

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QAction* action : m_frame->findChildren<QAction*>())
        spies.push_back(std::make_unique<QSignalSpy>(action, &QAction::triggered));

    const std::array<QKeyCombination, 16> keys = {
        QKeyCombination(Qt::ControlModifier, Qt::Key_N), QKeyCombination(Qt::ControlModifier, Qt::Key_O),
        QKeyCombination(Qt::ControlModifier, Qt::Key_S), QKeyCombination(Qt::ControlModifier, Qt::Key_P),
        QKeyCombination(Qt::ControlModifier, Qt::Key_Z), QKeyCombination(Qt::AltModifier, Qt::Key_Backspace),
        QKeyCombination(Qt::ControlModifier, Qt::Key_X), QKeyCombination(Qt::ShiftModifier, Qt::Key_Delete),
        QKeyCombination(Qt::ControlModifier, Qt::Key_C), QKeyCombination(Qt::ControlModifier, Qt::Key_Insert),
        QKeyCombination(Qt::ControlModifier, Qt::Key_V), QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert),
        QKeyCombination(Qt::NoModifier, Qt::Key_F6),     QKeyCombination(Qt::ShiftModifier, Qt::Key_F6),
        QKeyCombination(Qt::ControlModifier, Qt::Key_R), QKeyCombination(Qt::NoModifier, Qt::Key_F5),
    };
    for (QWidget* target : {static_cast<QWidget*>(m_view->Control().DetailsView()), static_cast<QWidget*>(m_frame)}) {
        for (const QKeyCombination key : keys) {
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
            Idle();
        }
    }
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("untouched"));
    EXPECT_EQ(m_view->GetItemCount(), 2);
    EXPECT_TRUE(m_device.TakeReceived().empty());
    EXPECT_TRUE(m_frame->isVisible());
    for (const auto& [id, unused] :
         std::map<int, int>{{ids::ID_REFRESH, 0}, {ids::ID_APP_ABOUT, 0}, {ids::ID_APP_EXIT, 0}})
        EXPECT_TRUE(Action(id)->shortcuts().isEmpty()) << id;
}

TEST_F(MainFrameTest, ExitClosesTheWindowAndReleasesTheEndpoint)
{
    Action(ids::ID_APP_EXIT)->trigger();
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_EQ(m_view->Endpoint(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nothing is asked on the way out";
}

TEST_F(MainFrameTest, ClosingRightAfterStartAsksNothing)
{
    ASSERT_TRUE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(m_view->Endpoint(), nullptr);
    EXPECT_FALSE(m_view->IsTimerRunning(CDorvexView::kSearchWindowTimer));
}

struct StartupFailureCase {
    const char* name;
    bool socketsOk;
    bool componentObjectsOk;
    const char* message;
};

class StartupFailureTest : public ::testing::TestWithParam<StartupFailureCase> { };

TEST_P(StartupFailureTest, ShowsItsMessageAndEndsBeforeAnyWindow)
{
    const StartupFailureCase& param = GetParam();
    LoopbackDevice device;
    CDorvexApp::STARTUP_STEPS steps;
    steps.initSockets = [&] { return param.socketsOk; };
    steps.initComponentObjects = [&] { return param.componentObjectsOk; };
    CDorvexApp app(test::LoopbackAddresses(device.Port()), steps);

    QString caption;
    QString text;
    bool started = true;
    {
        ModalCloser closer([&](QWidget* widget) {
            if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                caption = box->windowTitle();
                text = box->text();
            }
        });
        started = app.InitInstance();
        EXPECT_EQ(closer.Seen(), 1);
    }
    EXPECT_FALSE(started);
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_EQ(caption, QStringLiteral("Dorvex"));
    EXPECT_EQ(text, QString::fromUtf8(param.message));
    EXPECT_TRUE(device.TakeReceived().empty()) << "no search without a window";
}

INSTANTIATE_TEST_SUITE_P(Steps, StartupFailureTest,
                         ::testing::Values(StartupFailureCase{"Sockets", false, true, "Windows 通訊端安裝失敗。"},
                                           StartupFailureCase{"ComponentObjects", true, false,
                                                              "OLE 初始化失敗。請確認 OLE 程式庫的版本是否正確。"}),
                         [](const ::testing::TestParamInfo<StartupFailureCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(MainFrameFirstText, WaitsForTheFontsBeforeItsFirstText)
{
    test::LoopbackDevice device;
    CDorvexDoc document;
    int waits = 0;
    CMainFrame frame(document, nullptr, test::LoopbackAddresses(device.Port()));
    frame.SetBeforeFirstText([&] {
        ++waits;
        EXPECT_EQ(frame.StatusBar(), nullptr);  // nothing with text made yet
    });
    ASSERT_EQ(frame.OnCreate(), 0);
    EXPECT_EQ(waits, 1);
    EXPECT_NE(frame.StatusBar(), nullptr);
}

TEST(AppFontPreload, AnApplicationThatNeverStartsStillEnds)
{
    // Made and dropped on a thread of the test's own: a reading left waiting for the
    // application would show as a failure here rather than as a hung test.
    auto ended = std::async(std::launch::async, [] {
        FontPreload fonts;
        CDorvexApp app(test::LoopbackAddresses(test::FreeLoopbackPort()), {}, &fonts);
    });
    EXPECT_EQ(ended.wait_for(std::chrono::seconds(30)), std::future_status::ready);
}

}  // namespace
}  // namespace vantor
