#include "driver.h"

#include "connection_string.h"
#include "odbc/odbc_session.h"
#include "sim/server.h"

namespace tavimond {

std::unique_ptr<Session> openSession(const ConnectionString &cs)
{
    if (cs.isSimulated())
        return sim::Server::instance().logon(cs);
    return odbc::connect(cs);
}

} // namespace tavimond
