#pragma once

#include "core/settings.h"

namespace tavimond::bench {

// The settings a screen reads in a benchmark: files go to /tmp.
class BenchSettings : public Settings {
public:
    QString metafileFolder() const override { return QStringLiteral("/tmp"); }
    QString serviceName() const override { return QStringLiteral("TAVIDB"); }
    QString csvFileName() const override { return QStringLiteral("/tmp/csvexport.csv"); }
    QString csvDelimiter() const override { return QStringLiteral(","); }
};

} // namespace tavimond::bench
