#pragma once

#include "../server.h"

#include <functional>
#include <vector>

namespace tavimond::sim {

// One dictionary view of the security model: its rows for a statement that reads it
// (a view may read the statement's parameters to build only the rows that can pass).
struct SecurityView {
    QString name;
    std::function<Table(const Statement &query, Context &ctx)> rows;
};

// Each family of security views, in its own file.
void addUserViews(std::vector<SecurityView> &out);
void addRoleViews(std::vector<SecurityView> &out);
void addProfileViews(std::vector<SecurityView> &out);
void addQuotaViews(std::vector<SecurityView> &out);
void addPrivilegeViews(std::vector<SecurityView> &out);

} // namespace tavimond::sim
