// The main of every test program: a QApplication on the offscreen platform, so
// that widget tests need no display, messages recorded instead of shown, and every
// statement the simulated instance receives kept for the tests to read.
#include "recording_sink.h"

#include "db/sim/server.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    tavimond::test::RecordingSink sink;
    tavimond::setMessageSink(&sink);
    tavimond::sim::Server::instance().keepStatements(true);
    const int rc = RUN_ALL_TESTS();
    tavimond::setMessageSink(nullptr);
    return rc;
}
