#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <optional>

namespace tavimond {

// The connection string as the user builds it: the db.ini prefix, then the user,
// password and data source typed on the settings screen. The three values are
// kept apart so that a driver can pass them safely, whatever characters they hold.
struct Logon {
    QString user;
    QString password;
    QString dataSource;
};

struct ConnectionString {
    QString prefix;
    std::optional<Logon> logon;

    // The text shown to the user: prefix + "User ID=u;Password=p;Data Source=s;".
    QString text() const;

    // The prefix's attributes in order ("key=value;" pairs; braces protect ';').
    QList<QPair<QString, QString>> prefixAttributes() const;
    // Value of a prefix attribute, matched without regard to case; empty when absent.
    QString attribute(const QString &key) const;
    bool isSimulated() const;
};

// Value ready for an ODBC "key=value;" list: braced (inner "}" doubled) when it holds
// ';', '{' or '}', or blanks at either end; otherwise unchanged.
QString odbcValue(const QString &value);

} // namespace tavimond
