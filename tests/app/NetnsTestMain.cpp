// The main of the tests that use the real ports: they run only inside the private network
// namespace made by scripts/netns; anywhere else they skip (exit code 77) without sending anything.
#include "tests/app/NetworkNamespace.h"

#include <QApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!vantor::test::InPrivateNetworkNamespace()) {
        std::fprintf(stderr, "%s: not inside the private network namespace of scripts/netns; skipped\n",
                     qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
        return 77;
    }
    return RUN_ALL_TESTS();
}
