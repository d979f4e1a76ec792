// The browser command value's text rule, and where the default browser's program is found.
#include "platform/DefaultBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantor {
namespace {

TEST(BrowserPathFromCommandValue, TakesTheTextThroughTheFirstExeAndDropsALeadingQuote)
{
    const std::string padded251 = std::string(252, 'a');
    struct Case {
        std::string value;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {R"("C:\Program Files\Browser\browser.exe" -osint -url "%1")", R"(C:\Program Files\Browser\browser.exe)"},
        {R"(C:\Browser\BROWSER.ExE %1)", R"(C:\Browser\BROWSER.ExE)"},
        {R"("C:\exec\tools\browser.exe")", R"(C:\exe)"},  // the first "exe" wins, even in a folder name
        {R"("C:\Browser\browser.com" %1)", std::nullopt},
        {"", std::nullopt},
        {"\"", std::nullopt},
        {std::string("C:\\b\0rowser.exe", 15), std::nullopt},  // only the value's own text counts
        {padded251 + "exe", padded251 + "exe"},                // 255 bytes, "exe" at 252
        {padded251 + "aexe", std::nullopt},                    // does not fit the 256-byte buffer
        {std::string(300, 'x') + "exe", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BrowserPathFromCommandValue(c.value), c.path) << c.value;
}

// A temporary home with stand-in browser programs and desktop files.
class FindBrowserCommandTest : public ::testing::Test {
protected:
    QString Program(const QString& relativePath)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    void Write(const QString& relativePath, const QByteArray& content)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), m_dir.filePath(QStringLiteral("share")));
        environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), m_dir.filePath(QStringLiteral("etc")));
        environment.insert(QStringLiteral("PATH"), m_dir.filePath(QStringLiteral("bin")));
        return environment;
    }

    QTemporaryDir m_dir;
};

TEST_F(FindBrowserCommandTest, EachSourceIsAskedInTurn)
{
    EXPECT_EQ(FindBrowserCommand(Environment()), std::nullopt) << "no browser anywhere";
    // Found on the PATH, the first of the three names first.
    const QString www = Program(QStringLiteral("bin/www-browser"));
    EXPECT_EQ(FindBrowserCommand(Environment()), www);
    const QString sensible = Program(QStringLiteral("bin/sensible-browser"));
    EXPECT_EQ(FindBrowserCommand(Environment()), sensible);
    const QString xwww = Program(QStringLiteral("bin/x-www-browser"));
    EXPECT_EQ(FindBrowserCommand(Environment()), xwww);

    // The desktop's default http handler comes before them; an entry without a program is passed over.
    const QString desktop = Program(QStringLiteral("opt/desk browser"));
    Write(QStringLiteral("share/applications/desk.desktop"),
          "[Desktop Entry]\nName=Desk\nExec=\"" + desktop.toUtf8() + "\" %u\n");
    Write(QStringLiteral("share/applications/gone.desktop"), "[Desktop Entry]\nExec=/nowhere/gone %u\n");
    Write(QStringLiteral(".config/mimeapps.list"),
          "[Added Associations]\nx-scheme-handler/http=other.desktop\n"
          "[Default Applications]\nx-scheme-handler/http=gone.desktop;desk.desktop;\n");
    EXPECT_EQ(FindBrowserCommand(Environment()), desktop);

    // $BROWSER first: its first entry's program; a first entry that is no program is not used.
    QProcessEnvironment withVariable = Environment();
    withVariable.insert(QStringLiteral("BROWSER"), QStringLiteral("/nowhere/browser:") + xwww);
    EXPECT_EQ(FindBrowserCommand(withVariable), desktop);
    const QString variable = Program(QStringLiteral("bin/chosen"));
    withVariable.insert(QStringLiteral("BROWSER"), QStringLiteral("chosen %s:/nowhere/browser"));
    EXPECT_EQ(FindBrowserCommand(withVariable), variable);
}

}  // namespace
}  // namespace vantor
