#pragma once

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace tavimond::test {

// The folder of the tests' data files: TAVIMOND_TEST_DATA when it is set (ctest sets
// it), else the source tree's, as the build knew it, so that a test program also runs
// on its own.
inline QString testDataFolder()
{
    const QString set = qEnvironmentVariable("TAVIMOND_TEST_DATA");
    return set.isEmpty() ? QStringLiteral(TAVIMOND_SOURCE_TEST_DATA) : set;
}

// A file of the source tree, by its path from the tree's top (the data folder's
// grandparent): the README and the manual that tests read as a user would.
inline QString sourceFile(const QString &name)
{
    QFile f(testDataFolder() + QStringLiteral("/../../") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

} // namespace tavimond::test
