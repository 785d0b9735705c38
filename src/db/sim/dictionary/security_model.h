#pragma once

#include "../model.h"

#include <QHash>
#include <QString>
#include <vector>

namespace tavimond::sim {

// The simulated database's users, roles, profiles, tablespace quotas and grants.
// The users include every schema owner of the storage layout, and the quotas' used bytes
// are the sizes of the owners' segments in each tablespace. Oracle refuses circular role
// grants; grantRole() does not, so that tests can hand the system data it must survive.
class SecurityModel {
public:
    struct User {
        QString name;
        int id;
        QString status;
        QString created;
        QString lockDate; // empty: NULL
        QString expiryDate;
        QString profile;
        QString defaultTablespace;
        QString temporaryTablespace;
        bool oracleMaintained;
    };
    struct Role {
        QString name;
        bool oracleMaintained;
    };
    struct ProfileLimit {
        QString profile;
        QString resource;
        QString type; // KERNEL or PASSWORD
        QString limit;
    };
    struct Quota {
        QString tablespace;
        QString user;
        qint64 bytes;
        qint64 maxBytes; // -1: unlimited
        qint64 blocks;
        qint64 maxBlocks;
        bool dropped;
    };
    struct RoleGrant {
        QString grantee;
        QString role;
        QString admin; // YES or NO
    };
    struct SystemGrant {
        QString grantee;
        QString privilege;
        QString admin;
    };
    struct TableGrant {
        QString grantee;
        QString owner;
        QString table;
        QString grantor;
        QString privilege;
        QString grantable;
        QString type; // TABLE, VIEW, PACKAGE ...
    };
    struct ColumnGrant {
        QString grantee;
        QString owner;
        QString table;
        QString column;
        QString grantor;
        QString privilege;
        QString grantable;
    };

    explicit SecurityModel(Model &model);

    const std::vector<User> &users() const { return users_; }
    const std::vector<Role> &roles() const { return roles_; }
    const std::vector<ProfileLimit> &profileLimits() const { return limits_; }
    const std::vector<Quota> &quotas() const { return quotas_; }
    const std::vector<RoleGrant> &roleGrants() const { return roleGrants_; }
    const std::vector<SystemGrant> &systemGrants() const { return systemGrants_; }
    const std::vector<TableGrant> &tableGrants() const { return tableGrants_; }
    const std::vector<ColumnGrant> &columnGrants() const { return columnGrants_; }

    // The positions of one grantee's grants in each list, in the order they were made.
    const std::vector<int> &roleGrantsOf(const QString &grantee) const;
    const std::vector<int> &systemGrantsOf(const QString &grantee) const;
    const std::vector<int> &tableGrantsOf(const QString &grantee) const;
    const std::vector<int> &columnGrantsOf(const QString &grantee) const;

    // Further principals and grants, for tests and benchmarks.
    void addUser(const User &user) { users_.push_back(user); }
    void addRole(const QString &name) { roles_.push_back({name, false}); }
    void grantRole(const QString &grantee, const QString &role, const QString &admin = QStringLiteral("NO"));
    void grantSystem(const QString &grantee, const QString &privilege, const QString &admin = QStringLiteral("NO"));
    void grantTable(const QString &grantee, const QString &owner, const QString &table, const QString &privilege,
                    const QString &grantable = QStringLiteral("NO"), const QString &type = QStringLiteral("TABLE"));
    void grantColumn(const QString &grantee, const QString &owner, const QString &table, const QString &column,
                     const QString &privilege, const QString &grantable = QStringLiteral("NO"));

private:
    std::vector<User> users_;
    std::vector<Role> roles_;
    std::vector<ProfileLimit> limits_;
    std::vector<Quota> quotas_;
    std::vector<RoleGrant> roleGrants_;
    std::vector<SystemGrant> systemGrants_;
    std::vector<TableGrant> tableGrants_;
    std::vector<ColumnGrant> columnGrants_;
    QHash<QString, std::vector<int>> roleGrantsOf_, systemGrantsOf_, tableGrantsOf_, columnGrantsOf_;
};

} // namespace tavimond::sim
