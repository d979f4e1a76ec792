#include "platform/DefaultBrowser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <cctype>

#ifdef _WIN32
#include <QSettings>
#endif

namespace vantor {
namespace {

// The last start position of "exe" that is looked at (the buffer's 256 bytes, less the three
// letters and the terminator).
constexpr std::size_t kLastExeStart = kBrowserCommandBufferSize - 4;

bool IsLetter(char character, char lower)
{
    return std::tolower(static_cast<unsigned char>(character)) == lower;
}

#ifndef _WIN32

QString Value(const QProcessEnvironment& environment, const char* name, const QString& fallback = {})
{
    const QString value = environment.value(QString::fromLatin1(name));
    return value.isEmpty() ? fallback : value;
}

QStringList Directories(const QProcessEnvironment& environment, const char* name, const QString& fallback)
{
    return Value(environment, name, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

// The first word of a command line, with double quotes around it removed.
QString ProgramOfCommandLine(const QString& commandLine)
{
    const QString line = commandLine.trimmed();
    if (line.startsWith(QLatin1Char('"'))) {
        const qsizetype closing = line.indexOf(QLatin1Char('"'), 1);
        return closing > 0 ? line.mid(1, closing - 1) : QString();
    }
    return line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
}

// A program name or path as an executable file, or nothing.
std::optional<QString> Executable(const QString& program, const QProcessEnvironment& environment)
{
    if (program.isEmpty())
        return std::nullopt;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo file(program);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
        return std::nullopt;
    }
    const QStringList path = Directories(environment, "PATH", QString());
    const QString found = QStandardPaths::findExecutable(program, path);
    if (found.isEmpty())
        return std::nullopt;
    return found;
}

// The value of a key in one group of a desktop-style file ("[Group]" lines, "key=value" lines).
QString DesktopFileValue(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

std::optional<QString> FromBrowserVariable(const QProcessEnvironment& environment)
{
    const QString first = Value(environment, "BROWSER").section(QLatin1Char(':'), 0, 0);
    return Executable(ProgramOfCommandLine(first), environment);
}

std::optional<QString> FromDesktopDefault(const QProcessEnvironment& environment)
{
    const QString home = Value(environment, "HOME", QDir::homePath());
    const QString configHome = Value(environment, "XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    const QString dataHome = Value(environment, "XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    QStringList applicationDirs = {dataHome + QStringLiteral("/applications")};
    for (const QString& dir : Directories(environment, "XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        applicationDirs << dir + QStringLiteral("/applications");

    QStringList listFiles = {configHome + QStringLiteral("/mimeapps.list")};
    for (const QString& dir : Directories(environment, "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        listFiles << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : applicationDirs)
        listFiles << dir + QStringLiteral("/mimeapps.list");

    for (const QString& listFile : listFiles) {
        const QString handlers =
            DesktopFileValue(listFile, QStringLiteral("Default Applications"), QStringLiteral("x-scheme-handler/http"));
        for (const QString& desktopId : handlers.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& dir : applicationDirs) {
                const QString exec = DesktopFileValue(dir + QLatin1Char('/') + desktopId,
                                                      QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
                if (const std::optional<QString> program = Executable(ProgramOfCommandLine(exec), environment))
                    return program;
            }
        }
    }
    return std::nullopt;
}

#endif

}  // namespace

std::optional<std::string> BrowserPathFromCommandValue(std::string_view value)
{
    // The value and its terminator must fit the buffer; a NUL ends the value's own text.
    if (value.size() >= kBrowserCommandBufferSize)
        return std::nullopt;
    value = value.substr(0, value.find('\0'));
    std::size_t exe = std::string_view::npos;
    for (std::size_t i = 0; i <= kLastExeStart && i + 3 <= value.size(); ++i) {
        if (IsLetter(value[i], 'e') && IsLetter(value[i + 1], 'x') && IsLetter(value[i + 2], 'e')) {
            exe = i;
            break;
        }
    }
    if (exe == std::string_view::npos)
        return std::nullopt;
    // A leading quote is never part of "exe", so the program text is never empty.
    const std::size_t first = value.front() == '"' ? 1 : 0;
    return std::string(value.substr(first, exe + 3 - first));
}

std::optional<QString> FindBrowserCommand(const QProcessEnvironment& environment)
{
#ifdef _WIN32
    Q_UNUSED(environment);
    const QSettings command(QStringLiteral("HKEY_CLASSES_ROOT\\HTTP\\shell\\open\\command"), QSettings::NativeFormat);
    const QByteArray value = command.value(QStringLiteral("Default")).toString().toLocal8Bit();
    if (const std::optional<std::string> path = BrowserPathFromCommandValue(value.toStdString()))
        return QString::fromLocal8Bit(*path);
    return std::nullopt;
#else
    if (const std::optional<QString> program = FromBrowserVariable(environment))
        return program;
    if (const std::optional<QString> program = FromDesktopDefault(environment))
        return program;
    for (const char* name : {"x-www-browser", "sensible-browser", "www-browser"}) {
        if (const std::optional<QString> program = Executable(QString::fromLatin1(name), environment))
            return program;
    }
    return std::nullopt;
#endif
}

}  // namespace vantor
