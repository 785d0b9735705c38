#pragma once

#include "core/settings.h"

namespace tavimond::test {

// Settings a screen reads, set by the test.
class TestSettings : public Settings {
public:
    QString folder;
    QString service = QStringLiteral("TAVIDB");
    QString csvName = QStringLiteral("csvexport.csv");
    QString delimiter = QStringLiteral(",");

    QString metafileFolder() const override { return folder; }
    QString serviceName() const override { return service; }
    QString csvFileName() const override { return csvName; }
    QString csvDelimiter() const override { return delimiter; }
};

} // namespace tavimond::test
