#pragma once

#include <QString>

namespace tavimond {

// The values of the settings screen that other screens read when they need them.
class Settings {
public:
    virtual ~Settings() = default;
    // The metafile folder ("Metafile Location"): threshold files, sidlist.txt, SQL lists.
    virtual QString metafileFolder() const = 0;
    // The service name as chosen or typed ("SID").
    virtual QString serviceName() const = 0;
    // The export file name and delimiter ("CSV filename", "CSV Delimeter").
    virtual QString csvFileName() const = 0;
    virtual QString csvDelimiter() const = 0;
};

} // namespace tavimond
