#pragma once
// Runs the real vantor-cli and vantor-devsim for the namespace tests.

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

namespace vantor::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QString BuildPath(const char* program)
{
    return QString::fromLocal8Bit(qgetenv("VANTOR_BUILD_DIR")) + QLatin1Char('/') + QLatin1String(program);
}

// Only what scripts/netns and tests/cli/two-adapter-lab make may be here; anything else means
// the machine's own interfaces are visible and nothing may be broadcast.
inline bool InsidePrivateNamespace()
{
    const QStringList allowed = {QStringLiteral("lo"), QStringLiteral("va"), QStringLiteral("vb"), QStringLiteral("ea"),
                                 QStringLiteral("eb")};
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!allowed.contains(interface.name()))
            return false;
    }
    return true;
}

inline void StartCli(QProcess& process, const QStringList& args, const QStringList& extraEnvironment = {},
                     const QString& program = BuildPath("vantor-cli"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VANTOR_PASSWORD"));
    for (const QString& entry : extraEnvironment)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    process.start(program, args);
}

inline CliRun FinishCli(QProcess& process)
{
    CliRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline CliRun RunCli(const QStringList& args, const QStringList& extraEnvironment = {})
{
    QProcess process;
    StartCli(process, args, extraEnvironment);
    return FinishCli(process);
}

// The "devices" array of a --json run.
inline QJsonArray JsonDevices(const CliRun& run)
{
    const QJsonDocument document = QJsonDocument::fromJson(run.out);
    EXPECT_TRUE(document.isObject()) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(document.object().value(QStringLiteral("schema_version")).toInt(), 1);
    return document.object().value(QStringLiteral("devices")).toArray();
}

inline QStringList Values(const QJsonArray& devices, const char* field)
{
    QStringList values;
    for (const auto& device : devices)
        values << device.toObject().value(QLatin1String(field)).toString();
    return values;
}

// The simulator's log lines for datagrams it received other than discovery requests.
inline QStringList CommandLines(const QString& logPath)
{
    QFile file(logPath);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("RX ") && !line.contains(" discovery "))
            lines << QString::fromUtf8(line);
    }
    return lines;
}

// The command lines once the simulator has logged at least `count` of them, or what it has
// logged when `timeoutMs` runs out: a datagram sent is not yet a datagram the simulator read.
inline QStringList AwaitCommandLines(const QString& logPath, qsizetype count, int timeoutMs = 10000)
{
    QStringList lines = CommandLines(logPath);
    for (int waited = 0; lines.size() < count && waited < timeoutMs; waited += 25) {
        QThread::msleep(25);
        lines = CommandLines(logPath);
    }
    return lines;
}

}  // namespace vantor::test
