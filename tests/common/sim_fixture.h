#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "db/sim/server.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <memory>

namespace tavimond::test {

// Opens the statement on the connection and reads every row, each as its cells' texts.
QList<QStringList> allRows(Connection &cnn, const QStringList &sql);

// A simulated instance reset for one test, with a logged-on connection and tables the
// test fills: "select * from <name>" answers with the rows given for <name>.
class SimFixture {
public:
    SimFixture();

    void setRows(const QString &table, const QStringList &columns, const QList<QStringList> &rows);
    // Opens "select * from <table>" on a query of this fixture's connection.
    Query &open(const QString &table);

    Connection cnn;
    sim::Server &server;

private:
    std::shared_ptr<QHash<QString, sim::Result>> tables_;
    std::unique_ptr<Query> query_;
};

} // namespace tavimond::test
