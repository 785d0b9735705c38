#include "connection_string.h"

namespace tavimond {

QString ConnectionString::text() const
{
    if (!logon)
        return prefix;
    return prefix + QStringLiteral("User ID=") + logon->user + QLatin1Char(';') + QStringLiteral("Password=") +
           logon->password + QLatin1Char(';') + QStringLiteral("Data Source=") + logon->dataSource + QLatin1Char(';');
}

QList<QPair<QString, QString>> ConnectionString::prefixAttributes() const
{
    QList<QPair<QString, QString>> out;
    const QString &s = prefix;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const qsizetype eq = s.indexOf(QLatin1Char('='), i);
        const qsizetype semi = s.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A fragment without '=': skip it.
            i = semi < 0 ? n : semi + 1;
            continue;
        }
        const QString key = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        QString value;
        if (j < n && s.at(j) == QLatin1Char('{')) {
            ++j;
            while (j < n) {
                if (s.at(j) == QLatin1Char('}')) {
                    if (j + 1 < n && s.at(j + 1) == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s.at(j++);
            }
            const qsizetype end = s.indexOf(QLatin1Char(';'), j);
            i = end < 0 ? n : end + 1;
        } else {
            const qsizetype end = s.indexOf(QLatin1Char(';'), j);
            value = s.mid(j, (end < 0 ? n : end) - j);
            i = end < 0 ? n : end + 1;
        }
        if (!key.isEmpty())
            out.append({key, value});
    }
    return out;
}

QString ConnectionString::attribute(const QString &key) const
{
    for (const auto &kv : prefixAttributes())
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0)
            return kv.second;
    return {};
}

bool ConnectionString::isSimulated() const
{
    return attribute(QStringLiteral("Provider")).trimmed().compare(QStringLiteral("Simulated"), Qt::CaseInsensitive) ==
           0;
}

QString odbcValue(const QString &value)
{
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
                             value.contains(QLatin1Char('}')) ||
                             (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
    if (!needsBraces)
        return value;
    QString inner = value;
    inner.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + inner + QLatin1Char('}');
}

} // namespace tavimond
