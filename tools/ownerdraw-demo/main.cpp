// ownerdraw-demo: shows an owner-drawn list to try (hover, click the check boxes, drag the
// "Device" column, Ctrl + numpad plus while it is away from the left edge), or with
// --shots DIR writes the demo's screens as PNG files and exits.

#include "tools/ownerdraw-demo/OwnerDrawDemo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("An owner-drawn list to see and try."));
    parser.addHelpOption();
    const QCommandLineOption shots(QStringLiteral("shots"),
                                   QStringLiteral("Write the screens as PNG files into <dir>."), QStringLiteral("dir"));
    parser.addOption(shots);
    parser.process(app);
    if (parser.isSet(shots)) {
        return vantor::demo::WriteDemoShots(parser.value(shots)) ? 0 : 1;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Owner-drawn list"));
    auto* layout = new QVBoxLayout(&window);
    vantor::demo::DEMO_SETUP setup;
    setup.pinIcons = true;
    auto* list = new vantor::demo::OwnerDrawDemoList(setup, &window);
    layout->addWidget(list);
    layout->addWidget(new QLabel(QStringLiteral("Hover over the items, click the check boxes, drag \"Device\" "
                                                "elsewhere and press Ctrl + numpad plus."),
                                 &window));
    window.resize(520, 280);
    window.show();
    return QApplication::exec();
}
