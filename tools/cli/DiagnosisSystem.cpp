#include "tools/cli/DiagnosisSystem.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUdpSocket>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vantor::cli {
namespace {

constexpr int kCommandTimeoutMs = 10000;

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    // /proc files report a size of 0, so read until the end rather than by size.
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args)
{
    CommandResult result;
    const QString name = QString::fromStdString(program);
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (path.isEmpty())
        return result;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The outputs are read as text, so they must not be translated.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    process.start(path, arguments);
    if (!process.waitForStarted())
        return result;
    result.started = true;
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.output = program + " did not finish within " + std::to_string(kCommandTimeoutMs / 1000) + " seconds";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = (process.readAllStandardOutput() + process.readAllStandardError()).toStdString();
    return result;
}

std::vector<ProcessSocket> SocketOwners(const std::vector<std::uint64_t>& inodes)
{
    namespace fs = std::filesystem;
    std::vector<ProcessSocket> owners;
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end; process.increment(error)) {
        const std::string pidText = process->path().filename().string();
        int pid = 0;
        const auto [parsedTo, parseError] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
        if (parseError != std::errc() || parsedTo != pidText.data() + pidText.size())
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(process->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd->path(), linkError);
            const std::optional<std::uint64_t> inode = linkError ? std::nullopt : SocketInodeFromLink(target.string());
            if (!inode || std::find(inodes.begin(), inodes.end(), *inode) == inodes.end())
                continue;
            std::string program = ReadWholeFile((process->path() / "comm").string()).value_or("?");
            while (!program.empty() && program.back() == '\n')
                program.pop_back();
            owners.push_back({pid, program, *inode});
        }
    }
    return owners;
}

PortProbe ProbePort(std::uint16_t port, std::string* error)
{
    QUdpSocket socket;
    if (socket.bind(QHostAddress(QHostAddress::AnyIPv4), port, QUdpSocket::DontShareAddress))
        return PortProbe::Free;
    if (socket.error() == QAbstractSocket::AddressInUseError)
        return PortProbe::InUse;
    if (error != nullptr)
        *error = socket.errorString().toStdString();
    return PortProbe::Failed;
}

}  // namespace

DiagnosisSystem DiagnosisSystem::Real()
{
    return DiagnosisSystem{ReadWholeFile, FileExists, RunCommand,
                           SocketOwners,  ProbePort,  [] { return geteuid() == 0; }};
}

}  // namespace vantor::cli
