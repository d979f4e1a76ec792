// The lock-key panes against a real X server: an Xvfb of its own (started with -noreset so that
// the keyboard state survives between clients), the lock state changed through the X keyboard
// extension, and the panes following on the next key event. Skips where Xvfb is missing.
#include "platform/IndicatorStatusBar.h"
#include "platform/LockKeys.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
// xkb.h names a struct member "explicit"; keep the keyword out of its way.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::array kIndicators = {0, vantor::ids::ID_INDICATOR_CAPS, vantor::ids::ID_INDICATOR_NUM,
                                    vantor::ids::ID_INDICATOR_SCRL, vantor::ids::ID_INDICATOR_ONLINE};

// ---- child: runs on the xcb platform against the test's X server ---------------------------

int Fail(const char* what)
{
    std::fprintf(stderr, "x11 child: %s\n", what);
    return 1;
}

void SetLocks(xcb_connection_t* connection, bool on)
{
    // Caps Lock is the Lock modifier, Num Lock the second extra modifier in the default keymap.
    const std::uint8_t mask = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
    xcb_xkb_latch_lock_state(connection, XCB_XKB_ID_USE_CORE_KBD, mask, on ? mask : 0, 0, 0, 0, 0, 0);
    xcb_flush(connection);
}

int RunChild(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return Fail("not on the xcb platform");
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return Fail("no X connection");
    xcb_connection_t* connection = x11->connection();

    QMainWindow window;
    auto* bar = new vantor::IndicatorStatusBar(&window);
    window.setStatusBar(bar);
    bar->SetIndicators(kIndicators);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return Fail("window not exposed");

    SetLocks(connection, true);
    const std::optional<vantor::LockKeyState> on = vantor::ReadLockKeys();
    if (!on.has_value() || !on->capsLock || !on->numLock)
        return Fail("locks not read as on");
    // Nothing polls: the panes change on the next key event reaching the window.
    QTest::keyClick(window.windowHandle(), Qt::Key_A);
    if (bar->DisplayedPaneText(1) != QLatin1String("CAP") || bar->DisplayedPaneText(2) != QLatin1String("NUM"))
        return Fail("panes did not follow the key event (on)");

    SetLocks(connection, false);
    const std::optional<vantor::LockKeyState> off = vantor::ReadLockKeys();
    if (!off.has_value() || off->capsLock || off->numLock)
        return Fail("locks not read as off");
    QTest::keyClick(window.windowHandle(), Qt::Key_A);
    if (!bar->DisplayedPaneText(1).isEmpty() || !bar->DisplayedPaneText(2).isEmpty())
        return Fail("panes did not follow the key event (off)");
    return 0;
}

// ---- parent: an X server of its own ---------------------------------------------------------

class XServer final {
public:
    XServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        for (int number = 140; number < 160 && m_display.isEmpty(); ++number) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            m_process.start(xvfb, {QStringLiteral(":%1").arg(number), QStringLiteral("-noreset"),
                                   QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 5000 && m_process.state() != QProcess::NotRunning && !QFile::exists(socket))
                m_process.waitForFinished(50);
            if (m_process.state() != QProcess::NotRunning && QFile::exists(socket))
                m_display = QStringLiteral(":%1").arg(number);
        }
    }
    ~XServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    QString Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

TEST(LockKeysX11, PanesFollowTheServersLockStateOnKeyEvents)
{
    XServer server;
    if (server.Display().isEmpty())
        GTEST_SKIP() << "no Xvfb to test against";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), server.Display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    // The child is this very program, run on the xcb platform.
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--x11-child")});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--x11-child")
        return RunChild(argc, argv);
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
