#pragma once

// Readable GoogleTest output for Qt's strings.
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline std::ostream &operator<<(std::ostream &os, const QString &s)
{
    return os << s.toStdString();
}
