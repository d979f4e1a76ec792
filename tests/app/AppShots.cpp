// Renders the main window (with a few devices listed), the About box and the artwork to PNG
// files for a look by eye: app_shots <output directory>. Uses loopback ports only.
#include "app/CAboutDlg.h"
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "listview/CDorvexView.h"
#include "listview/NetworkMessages.h"
#include "platform/listcontrol/ListControl.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"
#include "tests/support/LoopbackDevice.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPainter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include <cstdio>
#include <string_view>
#include <vector>

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
    const std::array toolbar = {vantor::ids::ID_REFRESH,    vantor::ids::ID_MODIFY_IP,
                                vantor::ids::ID_MODIFY_MAC, vantor::ids::ID_WEB_BROWSER,
                                vantor::ids::ID_SOFT_RESET, vantor::ids::ID_UPDATE_FIRMWARE,
                                vantor::ids::ID_APP_ABOUT};
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

vantor::DEVICE_PACKET Sample(std::string_view name, std::uint8_t model, const vantor::Ipv4Bytes& ip,
                             const vantor::Ipv4Bytes& mask, const vantor::Ipv4Bytes& gateway, std::uint8_t macLast,
                             std::uint8_t major, std::uint8_t minor)
{
    vantor::DEVICE_PACKET reply;
    reply.SetNameField(name);
    reply.SetModelCode(model);
    reply.SetIpAddress(ip);
    reply.SetSubnetMask(mask);
    reply.SetGateway(gateway);
    reply.SetMacAddress({0x00, 0x1A, 0x2B, 0x3C, 0x4D, macLast});
    reply.SetVersion(major, minor);
    return reply;
}

// The simulator's eight sample devices.
std::vector<vantor::DEVICE_PACKET> SampleDevices()
{
    return {
        Sample("Lab1", 31, {192, 168, 1, 100}, {255, 255, 255, 0}, {192, 168, 1, 1}, 0x01, 1, 0x30),
        Sample("", 31, {192, 168, 1, 20}, {255, 255, 255, 0}, {192, 168, 1, 1}, 0x02, 1, 0x30),
        Sample("Gate-East", 32, {192, 168, 1, 3}, {255, 255, 255, 0}, {0, 0, 0, 0}, 0x03, 2, 0x05),
        Sample("Pump", 7, {10, 0, 0, 10}, {255, 0, 0, 0}, {10, 0, 0, 1}, 0x04, 3, 0x11),
        Sample("Warehouse-Door-7", 32, {10, 0, 0, 9}, {255, 255, 0, 0}, {10, 0, 0, 1}, 0x05, 0x0A, 0x05),
        Sample("", 32, {172, 16, 5, 1}, {255, 255, 255, 0}, {172, 16, 5, 254}, 0x06, 2, 0x00),
        Sample("%d %s", 31, {192, 168, 1, 250}, {255, 255, 255, 0}, {192, 168, 1, 1}, 0x07, 1, 0x02),
        Sample("Roof", 0, {192, 168, 0, 7}, {255, 255, 255, 0}, {192, 168, 0, 1}, 0x08, 1, 0x30),
    };
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

    for (const vantor::DEVICE_PACKET& reply : SampleDevices())
        device.Send(reply, programPort);
    ProcessEventsFor(300);
    view->SetItemState(2, vantor::lc::LVIS_SELECTED | vantor::lc::LVIS_FOCUSED,
                       vantor::lc::LVIS_SELECTED | vantor::lc::LVIS_FOCUSED);
    ProcessEventsFor(200);
    // Sorted by IP address as text, with the arrow and the shaded column.
    ok = Save(frame->grab(), dir, QStringLiteral("main-window.png")) && ok;

    // A click on Version: the arrow moves there, the rows go by name.
    emit view->Control().Header()->sectionClicked(5);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-by-name.png")) && ok;
    emit view->Control().Header()->sectionClicked(5);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-by-name-descending.png")) && ok;

    // The subnet mask hidden from the header's menu, then sorted by MAC.
    view->SetColumnVisible(2, false);
    emit view->Control().Header()->sectionClicked(3);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-hidden-column.png")) && ok;
    view->SetColumnVisible(2, true);

    // The list types reached only by their command ids.
    frame->RouteCommand(vantor::ids::ID_VIEW_LARGEICON);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-large-icons.png")) && ok;
    frame->RouteCommand(vantor::ids::ID_VIEW_SMALLICON);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-small-icons.png")) && ok;
    frame->RouteCommand(vantor::ids::ID_VIEW_DETAILS);
    emit view->Control().Header()->sectionClicked(1);
    ProcessEventsFor(100);

    // The prompt of a hovered toolbar button.
    QWidget* refreshButton = frame->ToolBar()->widgetForAction(frame->CommandAction(vantor::ids::ID_REFRESH));
    QStatusTipEvent tip(frame->CommandAction(vantor::ids::ID_REFRESH)->statusTip());
    QCoreApplication::sendEvent(refreshButton, &tip);
    ProcessEventsFor(100);
    ok = Save(frame->grab(), dir, QStringLiteral("main-window-prompt.png")) && ok;

    vantor::CAboutDlg about(frame);
    about.show();
    ProcessEventsFor(200);
    ok = Save(about.grab(), dir, QStringLiteral("about-box.png")) && ok;
    about.close();

    // The message of a search that had no adapter to send through.
    QTimer::singleShot(200, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ok = box != nullptr && Save(box->grab(), dir, QStringLiteral("no-adapter-message.png")) && ok;
        if (box != nullptr)
            box->close();
    });
    vantor::ReportNoNetworkAdapter(frame);

    ok = Save(IconSheet(), dir, QStringLiteral("artwork.png")) && ok;
    return ok ? 0 : 1;
}
