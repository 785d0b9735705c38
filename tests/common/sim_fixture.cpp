#include "sim_fixture.h"

namespace tavimond::test {

QList<QStringList> allRows(Connection &cnn, const QStringList &sql)
{
    Query q(cnn);
    q.setSql(sql);
    q.open();
    QList<QStringList> out;
    for (; !q.eof(); q.next()) {
        QStringList r;
        for (int i = 0; i < q.fieldCount(); ++i)
            r << q.field(i);
        out << r;
    }
    return out;
}

SimFixture::SimFixture() : server(sim::Server::instance()), tables_(std::make_shared<QHash<QString, sim::Result>>())
{
    server.reset(11, sim::ClockMode::Manual);
    auto tables = tables_;
    server.add({QStringLiteral("test tables"),
                [tables](const sim::Statement &s) {
                    const auto t = s.tokenAfter(QStringLiteral("from"));
                    return t && tables->contains(t->text);
                },
                [tables](const sim::Statement &s, sim::Context &) {
                    return tables->value(s.tokenAfter(QStringLiteral("from"))->text);
                }});
    cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                             Logon{QStringLiteral("system"), QStringLiteral("manager"), QStringLiteral("TAVIDB")}});
    query_ = std::make_unique<Query>(cnn);
}

void SimFixture::setRows(const QString &table, const QStringList &columns, const QList<QStringList> &rows)
{
    auto t = std::make_shared<sim::Table>(columns);
    for (const QStringList &r : rows)
        t->addRow(r);
    tables_->insert(table.toLower(), t);
}

Query &SimFixture::open(const QString &table)
{
    query_->setSql({QStringLiteral("select * from ") + table});
    query_->open();
    return *query_;
}

} // namespace tavimond::test
