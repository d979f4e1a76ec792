#pragma once

#include "tools/devsim/SimDevice.h"
#include "tools/devsim/SimulatorOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <vector>

namespace vantor::devsim {

// Everything the command line asks for, checked.
struct SimulatorSetup {
    SimulatorOptions options;
    std::vector<SimDevice> devices;
    QString logPath;  // empty or "-": standard output
    bool listOnly = false;
};

// Parses the simulator's command line. Bad options and unreadable or malformed device files
// are reported as errors (the program exits with 2 for them).
class SimulatorCommandLine final {
    Q_DISABLE_COPY_MOVE(SimulatorCommandLine)

public:
    enum class Result { Run, Help, Error };

    SimulatorCommandLine();

    // `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
    Result Parse(const QStringList& arguments);
    const SimulatorSetup& Setup() const { return m_setup; }
    QString ErrorText() const { return m_error; }
    QString HelpText() const;

private:
    QString ReadOptions();

    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_devices;
    QCommandLineOption m_bind;
    QCommandLineOption m_port;
    QCommandLineOption m_replyAddress;
    QCommandLineOption m_replyPort;
    QCommandLineOption m_rebootSeconds;
    QCommandLineOption m_firmwareSeconds;
    QCommandLineOption m_answerTwice;
    QCommandLineOption m_replySize;
    QCommandLineOption m_late;
    QCommandLineOption m_repeat;
    QCommandLineOption m_log;
    QCommandLineOption m_list;
    SimulatorSetup m_setup;
    QString m_error;
};

}  // namespace vantor::devsim
