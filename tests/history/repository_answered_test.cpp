// After every test of the repository screens: none of the statements they sent fell
// through to "table or view does not exist".
#include "db/sim/server.h"

#include <gtest/gtest.h>

namespace {

class EveryRepositoryStatementAnswered : public ::testing::Environment {
public:
    void TearDown() override
    {
        for (const QString &sql : tavimond::sim::Server::instance().unanswered())
            ADD_FAILURE() << "no family of the simulated instance answered:\n" << sql.toStdString();
    }
};

const auto *const kCheck = ::testing::AddGlobalTestEnvironment(new EveryRepositoryStatementAnswered);

} // namespace
