#pragma once

#include "tests/support/WaitUntil.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vantor::test {

// One device simulator process with a log of its own, ended with the object.
class SimulatorProcess final {
public:
    explicit SimulatorProcess(const QStringList& extraArguments = {})
    {
        m_logPath = m_dir.filePath(QStringLiteral("devsim.log"));
        m_process.setProgram(QStringLiteral(VANTOR_DEVSIM_PATH));
        m_process.setArguments(QStringList{QStringLiteral("--log"), m_logPath} + extraArguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~SimulatorProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    bool WaitReady()
    {
        return m_process.waitForStarted(5000) &&
               WaitUntil([this] { return LogText().contains(QLatin1String("listening on")); }, 10000);
    }
    bool Running() const { return m_process.state() == QProcess::Running; }

    QString LogText() const
    {
        QFile file(m_logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QTemporaryDir m_dir;
    QString m_logPath;
    QProcess m_process;
};

// Writes a device file into a folder; its path.
inline QString WriteDeviceFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("devices.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

}  // namespace vantor::test
