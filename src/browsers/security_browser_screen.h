#pragma once

#include "ui/screen.h"

#include <memory>

class QLineEdit;
class QPlainTextEdit;

namespace Ui {
class SecurityBrowserScreenForm;
}

namespace tavimond {

class Query;

// The security browser (secpage): users, roles, profiles and tablespace quotas matching
// one pattern as a tree, and the details of the one double-clicked: a user's attributes
// and grants, a role's grant tree, a profile's limits, a tablespace's quota holders.
class SecurityBrowserScreen : public Screen {
    Q_OBJECT
public:
    explicit SecurityBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SecurityBrowserScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // Load/Filter: rebuilds securitytree from the filter and the kind boxes.
    void Button3Click();
    // The double-click of securitytree, userroletree and roletree: shows the details of
    // the node selected in securitytree. Nothing happens while none is selected.
    void securitytreeDblClick();
    // The privileges area of the User tab: the grid, or the grant tree and its buttons.
    void userrolesumClick();
    void userrolehierClick();
    // Build Tree: the grant tree of the node selected in securitytree, whatever its level.
    void btbtnClick();
    void btexpbtnClick();
    void btcolbtnClick();
    void roleexpbtnClick();
    void rolecolbtnClick();

private:
    void showUser(const QString &name);
    void showRole(const QString &name);
    void showProfile(const QString &name);
    void showQuotas(const QString &name);
    // The privileges area: the grant tree and its buttons, or the grid.
    void showGrantTree(bool tree);

    std::unique_ptr<Ui::SecurityBrowserScreenForm> ui_;
    QList<QLineEdit *> userEdits_; // in the order of the user fields
    QPlainTextEdit *securitysql;
    QPlainTextEdit *usersql;
    QPlainTextEdit *userrolesql;
    QPlainTextEdit *profilememo;
    QPlainTextEdit *tsqumemo;
    std::unique_ptr<Query> secquery;
    std::unique_ptr<Query> userquery;
    std::unique_ptr<Query> userrolequery;
    std::unique_ptr<Query> profilequery;
    std::unique_ptr<Query> tsququery;
    std::unique_ptr<Query> rolequery;
};

} // namespace tavimond
