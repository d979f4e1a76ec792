#include "listview/NetworkMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(ReportPortOpenFailure, ShowsModalWarningWithPortAndOkButton)
{
    int argc = 1;
    char name[] = "protocol_report_port_failure_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool seen = false;

    // The box runs its own loop; look for it from inside that loop and press OK.
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        probe.stop();
        seen = true;
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    // Bounded: should the box never appear, close whatever is modal so the test ends.
    QTimer::singleShot(10000, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    probe.start();

    ReportPortOpenFailure();

    ASSERT_TRUE(seen);
    EXPECT_EQ(caption, QStringLiteral("Dorvex"));
    EXPECT_EQ(text, QString::fromUtf8("Socket port '4000' Open fail \xEF\xBC\x81"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

}  // namespace
}  // namespace vantor
