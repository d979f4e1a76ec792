// vantor-layoutblock: writes the column layout block that Vantor Config reads from its per-user
// profile (Settings/Overview) at start, from a readable description. The program itself only
// ever reads the block; this tool is how one is made. See --help and the README.

#include "platform/ProfileStore.h"
#include "tools/layoutblock/LayoutDescription.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

using namespace vantor;
using namespace vantor::layoutblock;

constexpr int kDeviceListColumns = 6;

QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The [Settings] section exactly as QSettings writes it into the profile file.
QString IniText(const QByteArray& block)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("profile.conf"));
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Settings/Overview"), block);
        ini.sync();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantor-layoutblock"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes the column layout block Vantor Config reads at start (profile section Settings, entry "
                       "Overview): visibility, width and display order of each column, and the sort key.\n"
                       "Without options it prints the program's own default layout as hexadecimal.\n\n"
                       "Columns: one entry per column, in the list's column order (Device Name, IP Address, Subnet "
                       "Mask, Gateway IP, MAC, Version), separated by commas: STATE:WIDTH[:ORDER] with STATE 'shown' "
                       "or 'hidden', WIDTH in pixels and ORDER the display position from 0 (default: the column's "
                       "own place). The first column cannot be hidden.\n"
                       "Sort key: 0 unsorted, k ascending and -k descending by column k (1 = Device Name, 2 = IP "
                       "Address, ...)."));
    parser.addHelpOption();
    const QCommandLineOption columnsOption(QStringLiteral("columns"), QStringLiteral("The columns (see above)."),
                                           QStringLiteral("list"));
    const QCommandLineOption sortKeyOption(QStringLiteral("sort-key"), QStringLiteral("The sort key (default 2)."),
                                           QStringLiteral("key"));
    const QCommandLineOption iniOption(QStringLiteral("ini"),
                                       QStringLiteral("Print the profile file's [Settings] section instead of hex."));
    const QCommandLineOption writeOption(QStringLiteral("write-profile"),
                                         QStringLiteral("Write the block into the per-user profile (~/.config/Dorvex/"
                                                        "Dorvex.conf on Linux)."));
    const QCommandLineOption profileDirOption(
        QStringLiteral("profile-dir"),
        QStringLiteral("With --write-profile: use DIR instead of the user's configuration directory "
                       "(the file becomes DIR/Dorvex/Dorvex.conf)."),
        QStringLiteral("dir"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("Also make blocks the program refuses (sort key or orders out of range, odd widths)."));
    const QCommandLineOption decodeOption(QStringLiteral("decode"),
                                          QStringLiteral("Print the readable form of a block given in hex."),
                                          QStringLiteral("hex"));
    parser.addOptions(
        {columnsOption, sortKeyOption, iniOption, writeOption, profileDirOption, forceOption, decodeOption});
    parser.process(app);

    if (parser.isSet(decodeOption)) {
        const std::optional<std::vector<std::uint8_t>> block = FromHex(parser.value(decodeOption));
        if (!block) {
            err << "vantor-layoutblock: --decode: not hexadecimal bytes\n";
            return 2;
        }
        out << Describe(*block) << '\n';
        return 0;
    }

    const bool force = parser.isSet(forceOption);
    ColumnLayout layout = DefaultDeviceListLayout();
    QString error;
    if (parser.isSet(columnsOption)) {
        const auto columns = ParseColumns(parser.value(columnsOption), force, &error);
        if (!columns) {
            err << "vantor-layoutblock: --columns: " << error << '\n';
            return 2;
        }
        layout.columns = *columns;
    }
    if (parser.isSet(sortKeyOption)) {
        const std::optional<std::int32_t> key = ParseSortKey(parser.value(sortKeyOption), &error);
        if (!key) {
            err << "vantor-layoutblock: --sort-key: " << error << '\n';
            return 2;
        }
        layout.sortKey = *key;
    }
    if (const QString problem = ProblemText(layout); !problem.isEmpty() && !force) {
        err << "vantor-layoutblock: " << problem << " (the program would refuse the block; --force makes it anyway)\n";
        return 2;
    }
    if (layout.columns.size() != kDeviceListColumns)
        err << "vantor-layoutblock: warning: the device list has " << kDeviceListColumns
            << " columns; it ignores a block for " << layout.columns.size() << '\n';
    if (!layout.columns.empty() && !layout.columns.front().visible)
        err << "vantor-layoutblock: warning: the first column cannot be hidden; the program keeps it shown\n";

    const QByteArray block = ToByteArray(layout.Encode());
    if (parser.isSet(writeOption)) {
        if (parser.isSet(profileDirOption)) {
            const QString dir = parser.value(profileDirOption);
            if (!QDir().mkpath(dir)) {
                err << "vantor-layoutblock: cannot make " << dir << '\n';
                return 2;
            }
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
        }
        QSettings profile(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProfileOrganization),
                          QString::fromLatin1(kProfileApplication));
        profile.setValue(QStringLiteral("Settings/Overview"), block);
        profile.sync();
        if (profile.status() != QSettings::NoError) {
            err << "vantor-layoutblock: cannot write " << profile.fileName() << '\n';
            return 2;
        }
        out << "wrote Settings/Overview to " << profile.fileName() << '\n';
        return 0;
    }
    if (parser.isSet(iniOption))
        out << IniText(block);
    else
        out << ToHex(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(block.constData()),
                                                   static_cast<std::size_t>(block.size())))
            << '\n';
    return 0;
}
