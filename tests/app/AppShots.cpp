// Renders the main window (with a few devices listed), the About box and the artwork to PNG
// files for a look by eye: app_shots <output directory>. Uses loopback ports only.
#include "app/CAboutDlg.h"
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "resources/Icons.h"
#include "tests/app/LoopbackDevice.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <cstdio>

namespace {

bool Save(const QPixmap& pixmap, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    const bool ok = pixmap.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Runs the event loop, letting it go idle, so that command states are brought up to date.
void ProcessEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QPixmap IconSheet()
{
    const std::array toolbar = {32772, 32780, 32781, 32782, 32783, 32814, 57664};
    const std::array icons = {128, 158, 151, 147, 153, 155, 157};
    QPixmap sheet(8 + 8 * 72, 8 + 4 * 72);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int x = 8;
    for (const int id : toolbar) {
        painter.drawPixmap(x, 8, vantor::ToolbarIcon(id).pixmap(64, 64));
        painter.drawPixmap(x, 80, vantor::ToolbarIcon(id).pixmap(32, 32));
        painter.drawPixmap(x + 40, 80, vantor::ToolbarIcon(id).pixmap(32, 32, QIcon::Disabled));
        x += 72;
    }
    x = 8;
    for (const int id : icons) {
        painter.drawPixmap(x, 152, vantor::ListIcon(id).pixmap(64, 64));
        painter.drawPixmap(x, 224, vantor::ListIcon(id).pixmap(32, 32));
        painter.drawPixmap(x + 40, 224, vantor::ListIcon(id).pixmap(16, 16));
        x += 72;
    }
    return sheet;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots"));
    QDir().mkpath(dir.path());

    vantor::test::LoopbackDevice device;
    vantor::CDorvexApp app(vantor::test::LoopbackAddresses(device.Port()));
    if (!app.InitInstance())
        return 1;
    vantor::CMainFrame* frame = app.MainFrame();
    vantor::CDorvexView* view = frame->View();
    const std::uint16_t programPort = view->Endpoint()->LocalPort();
    ProcessEventsFor(100);
    bool ok = Save(frame->grab(), dir, QStringLiteral("main-window-start.png"));

    device.Send(vantor::test::MakeReply(100), programPort);
    device.Send(vantor::test::MakeReply(20, vantor::kModelCodeOrvik), programPort);
    vantor::DEVICE_PACKET foreign = vantor::test::MakeReply(7, 5);
    device.Send(foreign, programPort);
    vantor::DEVICE_PACKET unnamed = vantor::test::MakeReply(3);
    unnamed.setNameField("");
    device.Send(unnamed, programPort);
    ProcessEventsFor(300);
    view->ListWidget()->setCurrentItem(view->ListWidget()->topLevelItem(1));
    ProcessEventsFor(200);

    ok = Save(frame->grab(), dir, QStringLiteral("main-window.png")) && ok;

    // The prompt of a hovered toolbar button.
    QWidget* refreshButton = frame->ToolBar()->widgetForAction(frame->CommandAction(32772));
    QStatusTipEvent tip(frame->CommandAction(32772)->statusTip());
    QCoreApplication::sendEvent(refreshButton, &tip);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-prompt.png")) && ok;

    vantor::CAboutDlg about(frame);
    about.show();
    ProcessEventsFor(200);
    ok = Save(about.grab(), dir, QStringLiteral("about-box.png")) && ok;
    about.close();

    ok = Save(IconSheet(), dir, QStringLiteral("artwork.png")) && ok;
    return ok ? 0 : 1;
}
