#pragma once

#include "../driver.h"

namespace tavimond {
struct ConnectionString;
}

namespace tavimond::odbc {

// The ODBC string for SQLDriverConnect: the prefix's attributes (without Provider),
// then UID, PWD and DBQ from the logon, each value braced where it needs to be.
QString driverConnectString(const ConnectionString &cs);

// Connects through the ODBC driver manager; throws DbError with the driver's message.
std::unique_ptr<Session> connect(const ConnectionString &cs);

// Number text as the system reads it: "." as the decimal mark whatever the
// client's settings ("1234,5" becomes "1234.5").
QString normaliseNumber(const QString &text);

} // namespace tavimond::odbc
