// vantor-devsim: emulates Vantor devices on UDP port 36 (see README.md and --help).

#include "tools/devsim/DeviceSimulator.h"
#include "tools/devsim/SimulatorCommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>  // stdout, stderr

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantor-devsim"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    vantor::devsim::SimulatorCommandLine commandLine;
    switch (commandLine.Parse(QCoreApplication::arguments())) {
    case vantor::devsim::SimulatorCommandLine::Result::Help:
        out << commandLine.HelpText();
        return 0;
    case vantor::devsim::SimulatorCommandLine::Result::Error:
        err << "vantor-devsim: " << commandLine.ErrorText() << "\nTry 'vantor-devsim --help'.\n";
        return 2;
    case vantor::devsim::SimulatorCommandLine::Result::Run:
        break;
    }
    const vantor::devsim::SimulatorSetup& setup = commandLine.Setup();

    if (setup.listOnly) {
        for (const auto& device : setup.devices)
            out << device.ToLine() << '\n';
        return 0;
    }

    QFile log;
    bool opened = false;
    if (setup.logPath.isEmpty() || setup.logPath == QLatin1String("-")) {
        opened = log.open(stdout, QIODevice::WriteOnly);
    } else {
        log.setFileName(setup.logPath);
        opened = log.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (!opened) {
        err << "vantor-devsim: cannot write the log " << setup.logPath << ": " << log.errorString() << '\n';
        return 2;
    }

    vantor::devsim::DeviceSimulator simulator(setup.devices, setup.options);
    // Flushed line by line, so whoever reads the log meanwhile sees every datagram at once.
    QObject::connect(&simulator, &vantor::devsim::DeviceSimulator::logLine, &simulator, [&log](const QString& line) {
        log.write(line.toUtf8());
        log.write("\n");
        log.flush();
    });
    QString error;
    if (!simulator.Start(&error)) {
        err << "vantor-devsim: " << error << '\n';
        return 1;
    }
    return QCoreApplication::exec();
}
