#pragma once

#include <QString>

namespace tavimond::test {

// The folder of the tests' data files: TAVIMOND_TEST_DATA when it is set (ctest sets
// it), else the source tree's, as the build knew it, so that a test program also runs
// on its own.
inline QString testDataFolder()
{
    const QString set = qEnvironmentVariable("TAVIMOND_TEST_DATA");
    return set.isEmpty() ? QStringLiteral(TAVIMOND_SOURCE_TEST_DATA) : set;
}

} // namespace tavimond::test
