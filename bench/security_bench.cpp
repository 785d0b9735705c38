// Build Tree on the security browser for a user who reaches 2,000 roles holding 50,000
// grants, shown and painted: the whole wait, the simulated instance's share of it (the
// same statements answered again on their own) and the program's own time, beside the
// statements sent and those the walk would send without reading each role once.
#include "bench_support.h"

#include "browsers/security_browser_screen.h"
#include "core/messages.h"
#include "db/connection.h"
#include "db/sim/dictionary/security_model.h"
#include "db/sim/server.h"

#include <QApplication>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tavimond;

namespace {

constexpr int kRoles = 2000;
constexpr int kTableGrantsPerRole = 24; // and one system grant: 50,000 grants in all
constexpr int kDiamonds = 50;           // roles also granted by a second role

QString role(int i)
{
    return QStringLiteral("BENCH_ROLE_%1").arg(i, 4, 10, QLatin1Char('0'));
}

// BENCH_USER holds role 0; role i holds roles 2i+1 and 2i+2, so all 2,000 are reached,
// ten deep; the first fifty also hold a role of the last layer that another role holds.
void addBenchGrants(sim::SecurityModel &m)
{
    m.addUser({QStringLiteral("BENCH_USER"), 900, QStringLiteral("OPEN"), QStringLiteral("2026-01-01 00:00:00"), {},
               {}, QStringLiteral("DEFAULT"), QStringLiteral("USERS"), QStringLiteral("TEMP"), false});
    m.grantRole(QStringLiteral("BENCH_USER"), role(0));
    for (int i = 0; i < kRoles; ++i) {
        m.addRole(role(i));
        for (const int child : {2 * i + 1, 2 * i + 2})
            if (child < kRoles)
                m.grantRole(role(i), role(child));
        if (i < kDiamonds)
            m.grantRole(role(i), role(kRoles - 1 - i));
        m.grantSystem(role(i), QStringLiteral("CREATE SESSION"));
        for (int t = 0; t < kTableGrantsPerRole; ++t)
            m.grantTable(role(i), QStringLiteral("SALES"), QStringLiteral("BENCH_TABLE_%1").arg(t, 3, 10, QLatin1Char('0')),
                         t % 3 ? QStringLiteral("SELECT") : QStringLiteral("UPDATE"));
    }
}

// The screen with BENCH_USER selected in the list and the grant tree in view.
struct TreeBench {
    TreeBench()
    {
        sim::Server::instance().reset(1, sim::ClockMode::Manual);
        sim::Server::instance().keepStatements(true); // the statements are counted and answered again
        addBenchGrants(sim::Server::instance().model().state<sim::SecurityModel>());
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<SecurityBrowserScreen>(ScreenContext{cnn, settings});
        screen->resize(1142, 698);
        screen->show();
        screen->findChild<QLineEdit *>(QStringLiteral("secfilter"))->setText(QStringLiteral("BENCH_USER"));
        screen->Button3Click();
        auto *list = screen->findChild<QTreeWidget *>(QStringLiteral("securitytree"));
        list->setCurrentItem(list->topLevelItem(0)->child(0));
        screen->findChild<QRadioButton *>(QStringLiteral("userrolehier"))->click();
        tree = screen->findChild<QTreeWidget *>(QStringLiteral("userroletree"));
    }
    // Build Tree pressed, and the tree painted.
    void buildTree()
    {
        screen->btbtnClick();
        tree->repaint();
        QApplication::processEvents();
    }
    void count(benchmark::State &state)
    {
        int nodes = 0, expanded = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it, ++nodes)
            expanded += (*it)->text(0).contains(QLatin1String("(R)")) && (*it)->childCount() > 0;
        state.counters["nodes"] = nodes;
        state.counters["statements"] = double(sim::Server::instance().statements().size());
        state.counters["statements_one_per_role_node"] = double(expanded + 1);
    }

    bench::BenchSettings settings;
    Connection cnn;
    std::unique_ptr<SecurityBrowserScreen> screen;
    QTreeWidget *tree = nullptr;
};

// Made on first use, gone before the application.
std::unique_ptr<TreeBench> theBench;

TreeBench &bench()
{
    if (!theBench)
        theBench = std::make_unique<TreeBench>();
    return *theBench;
}

// What the user waits for against the simulated instance, which answers every statement.
void BuildTreeWithSimulatedInstance(benchmark::State &state)
{
    TreeBench &b = bench();
    for (auto _ : state) {
        sim::Server::instance().clearStatements();
        b.buildTree();
    }
    b.count(state);
}
BENCHMARK(BuildTreeWithSimulatedInstance)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The program's own time: the same statements answered at once with the rows the
// simulated instance gave them, so that what remains is the program's.
void BuildTreeProgramOwnTime(benchmark::State &state)
{
    TreeBench &b = bench();
    sim::Server &server = sim::Server::instance();
    server.clearStatements();
    b.buildTree();
    auto answers = std::make_shared<QHash<QString, sim::Result>>();
    sim::SessionInfo who;
    who.user = QStringLiteral("bench");
    const QStringList sent = server.statements();
    for (const QString &sql : sent)
        answers->insert(sql, server.execute(sql, 30, who));
    server.add({QStringLiteral("answers at hand"), [answers](const sim::Statement &s) { return answers->contains(s.sql()); },
                [answers](const sim::Statement &s, sim::Context &) { return answers->value(s.sql()); }});
    for (auto _ : state) {
        server.clearStatements();
        b.buildTree();
    }
    b.count(state);
}
BENCHMARK(BuildTreeProgramOwnTime)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();


} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv, [] { theBench.reset(); });
}
