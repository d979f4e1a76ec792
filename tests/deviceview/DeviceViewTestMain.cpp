// Entry point of the device view tests: a QApplication, and a per-user profile store of the
// tests' own in a temporary directory, so the real one is never read or written.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QTemporaryDir profileDir;
    if (!profileDir.isValid()) {
        std::fprintf(stderr, "no temporary directory for the profile store\n");
        return 1;
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profileDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
