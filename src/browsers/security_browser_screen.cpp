#include "security_browser_screen.h"

#include "ui_browsers_security_browser_screen.h"

#include "browsers/grant_tree.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/detail_controls.h"
#include "ui/double_click.h"
#include "ui/handler.h"
#include "ui/script_memo.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTime>

namespace tavimond {
namespace {

// The user's attributes: the column of dba_users, the edit that shows it and its label,
// three to a column.
struct UserField {
    const char *column;
    const char *edit;
    const char *label;
};
const UserField kUserFields[] = {
    {"username", "username", "Username"},
    {"user_id", "userid", "User ID"},
    {"account_status", "userstat", "Status"},
    {"created", "usercreated", "Created"},
    {"lock_date", "userlockd", "Lock Date"},
    {"expiry_date", "userexpd", "Expiry Date"},
    {"profile", "userprof", "Profile"},
    {"default_tablespace", "userdeft", "Def TSpace"},
    {"temporary_tablespace", "usertempt", "Temp TSpace"},
};

// The kinds of the tree: the box that asks for a kind, its root's text and the tag its
// records carry.
struct Kind {
    QCheckBox *box;
    QString root;
    QString tag;
};

QStringList securityLines(const QString &filter)
{
    const QString pattern = sqlQuote(filter);
    return {
        QStringLiteral("select 'USER', username from dba_users where "),
        QStringLiteral("username like ") + pattern,
        QStringLiteral("union"),
        QStringLiteral("select 'ROLE', role from dba_roles where "),
        QStringLiteral("role like ") + pattern,
        QStringLiteral("union"),
        QStringLiteral("select 'PROFILE', profile from dba_profiles where "),
        QStringLiteral("profile like ") + pattern,
        QStringLiteral("union"),
        QStringLiteral("select 'TSQ', tablespace_name from dba_ts_quotas where "),
        QStringLiteral("tablespace_name like ") + pattern,
        QStringLiteral("order by 1,2"),
    };
}

QStringList userLines(const QString &name)
{
    return {
        QStringLiteral("select username,user_id,account_status,created,lock_date, "),
        QStringLiteral("expiry_date,profile,default_tablespace,temporary_tablespace  "),
        QStringLiteral("from dba_users  "),
        QStringLiteral("where  "),
        QStringLiteral("username = ") + sqlQuote(name),
    };
}

QStringList profileLines(const QString &name)
{
    return {
        QStringLiteral("select resource_type,resource_name,limit from dba_profiles "),
        QStringLiteral("where  "),
        QStringLiteral("profile = ") + sqlQuote(name),
        QStringLiteral("order by 1,2"),
    };
}

QStringList quotaLines(const QString &name)
{
    return {
        QStringLiteral("select username,bytes,max_bytes,blocks,max_blocks,dropped "),
        QStringLiteral("from dba_ts_quotas   "),
        QStringLiteral("where tablespace_name = ") + sqlQuote(name),
        QStringLiteral("order by 1"),
    };
}

// Writes a request's lines into its memo and runs them.
void runLines(QPlainTextEdit &memo, Query &query, const QStringList &lines)
{
    memo.setPlainText(lines.join(QLatin1Char('\n')));
    query.setSql(lines);
    OpenQuery(query);
}

// Loads an open query into a grid emptied first, and trims the rows left empty.
void dumpInto(Query &query, ResultGrid &grid)
{
    LoadQueryIntoGrid(query, grid, QString(), nullptr, nullptr, true, QStringLiteral("Dump"), QStringLiteral("Single"),
                      false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100);
    GridTailTrim(grid);
}

} // namespace

SecurityBrowserScreen::SecurityBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("secpage"), context, parent), ui_(std::make_unique<Ui::SecurityBrowserScreenForm>()),
      secquery(std::make_unique<Query>(cnn())), userquery(std::make_unique<Query>(cnn())),
      userrolequery(std::make_unique<Query>(cnn())), profilequery(std::make_unique<Query>(cnn())),
      tsququery(std::make_unique<Query>(cnn())), rolequery(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);

    forceUpperCase(*ui_->secfilter);
    ui_->secfilter->setText(QStringLiteral("%"));

    auto *fields = new QGridLayout(ui_->userfields);
    fields->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < int(std::size(kUserFields)); ++i) {
        auto *edit = new QLineEdit(ui_->userfields);
        edit->setObjectName(QLatin1String(kUserFields[i].edit));
        showAsDetail(*edit);
        const int row = i % 3, column = (i / 3) * 2;
        fields->addWidget(new QLabel(QLatin1String(kUserFields[i].label), ui_->userfields), row, column);
        fields->addWidget(edit, row, column + 1);
        userEdits_ << edit;
    }
    for (QWidget *detail : std::initializer_list<QWidget *>{ui_->rolename, ui_->profilename, ui_->tsquname,
                                                            ui_->securitytree, ui_->userroletree, ui_->roletree})
        showAsDetail(*detail);
    showGrantTree(false);

    QWidget *scripts = ui_->secscriptstab;
    securitysql = addScriptMemo(scripts, QStringLiteral("securitysql"), QStringLiteral("Security Object Retrieval"),
                                securityLines(QStringLiteral("%")), MemoAccess::ReadOnlySkyBlue);
    usersql = addScriptMemo(scripts, QStringLiteral("usersql"), QStringLiteral("User Retrieval"), userLines(QString()),
                            MemoAccess::ReadOnlySkyBlue);
    userrolesql = addScriptMemo(scripts, QStringLiteral("userrolesql"), QStringLiteral("User\\Role Retrieval"),
                                grantsQueryLines(QString()), MemoAccess::ReadOnlySkyBlue);
    profilememo = addScriptMemo(scripts, QStringLiteral("profilememo"), QStringLiteral("Profile Retrieval"),
                                profileLines(QString()), MemoAccess::ReadOnlySkyBlue);
    tsqumemo = addScriptMemo(scripts, QStringLiteral("tsqumemo"), QStringLiteral("Tablespace Quota Retrieval"),
                             quotaLines(QString()), MemoAccess::ReadOnlySkyBlue);

    connect(ui_->Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(ui_->userrolesum, &QRadioButton::clicked, this, guarded([this] { userrolesumClick(); }));
    connect(ui_->userrolehier, &QRadioButton::clicked, this, guarded([this] { userrolehierClick(); }));
    connect(ui_->btbtn, &QPushButton::clicked, this, guarded([this] { btbtnClick(); }));
    connect(ui_->btexpbtn, &QPushButton::clicked, this, guarded([this] { btexpbtnClick(); }));
    connect(ui_->btcolbtn, &QPushButton::clicked, this, guarded([this] { btcolbtnClick(); }));
    connect(ui_->roleexpbtn, &QPushButton::clicked, this, guarded([this] { roleexpbtnClick(); }));
    connect(ui_->rolecolbtn, &QPushButton::clicked, this, guarded([this] { rolecolbtnClick(); }));
    // A double-click anywhere in the three trees, on a node or not.
    for (QTreeWidget *tree : {ui_->securitytree, ui_->userroletree, ui_->roletree})
        onDoubleClick(tree, [this] { securitytreeDblClick(); });
}

SecurityBrowserScreen::~SecurityBrowserScreen() = default;

QList<GridHeaders> SecurityBrowserScreen::gridHeaders() const
{
    return {
        {QStringLiteral("userrolegrid"),
         {QStringLiteral("Priv Type"), QStringLiteral("Grantee"), QStringLiteral("Priv Name"),
          QStringLiteral("Grantable"), QStringLiteral("Table ID"), QStringLiteral("Column ID"), QStringLiteral("Owner")},
         {75, 96, 121, 57, 236, 116, 64}},
        {QStringLiteral("profilegrid"),
         {QStringLiteral("Resource Type"), QStringLiteral("Resoruce Name"), QStringLiteral("Limit")},
         {224, 249, 272}},
        {QStringLiteral("tsqugrid"),
         {QStringLiteral("Username"), QStringLiteral("Bytes"), QStringLiteral("Max Bytes"), QStringLiteral("Blocks"),
          QStringLiteral("Max blocks"), QStringLiteral("Dropped")},
         {168, 120, 119, 121, 120, 106}},
    };
}

void SecurityBrowserScreen::Button3Click()
{
    QTreeWidget &tree = *ui_->securitytree;
    tree.clear();
    const Kind kinds[] = {{ui_->usercbox, QStringLiteral("USER"), QStringLiteral("USER")},
                          {ui_->rolecbox, QStringLiteral("ROLE"), QStringLiteral("ROLE")},
                          {ui_->profilecbox, QStringLiteral("PROFILE"), QStringLiteral("PROFILE")},
                          {ui_->tsqcbox, QStringLiteral("T/S QUOTAS"), QStringLiteral("TSQ")}};
    // Each ticked kind's root, and the names read for it, handed over in one go once all
    // are read: a reading cut short leaves the roots alone, as a statement that failed
    // at once does.
    QList<std::pair<QString, QTreeWidgetItem *>> roots;
    for (const Kind &k : kinds)
        if (k.box->isChecked())
            roots.append({k.tag, new QTreeWidgetItem(&tree, QStringList{k.root})});
    QHash<QTreeWidgetItem *, QList<QTreeWidgetItem *>> names;

    runLines(*securitysql, *secquery, securityLines(ui_->secfilter->text()));
    try {
        for (; !secquery->eof(); secquery->next()) {
            const QString tag = secquery->field(0);
            for (const auto &[rootTag, root] : roots)
                if (rootTag == tag)
                    names[root].append(new QTreeWidgetItem(QStringList{secquery->field(1)}));
        }
    } catch (...) {
        for (const QList<QTreeWidgetItem *> &read : std::as_const(names))
            qDeleteAll(read);
        throw;
    }
    for (const auto &[tag, root] : roots)
        root->addChildren(names.value(root));
    secquery->close();
}

void SecurityBrowserScreen::securitytreeDblClick()
{
    const QTreeWidgetItem *node = selectedNode(*ui_->securitytree);
    if (!node || nodeLevel(*node) != 1)
        return;
    const QString type = node->parent()->text(0);
    const QString name = node->text(0);
    if (type == QLatin1String("USER"))
        showUser(name);
    else if (type == QLatin1String("ROLE"))
        showRole(name);
    else if (type == QLatin1String("PROFILE"))
        showProfile(name);
    else if (type == QLatin1String("T/S QUOTAS"))
        showQuotas(name);
}

void SecurityBrowserScreen::showUser(const QString &name)
{
    ui_->secpage2->setCurrentIndex(0);
    ResultGrid &grants = *ui_->userrolegrid->grid();
    grants.empty();
    for (QLineEdit *edit : userEdits_)
        edit->clear();

    runLines(*usersql, *userquery, userLines(name));
    for (; !userquery->eof(); userquery->next())
        for (int i = 0; i < userEdits_.size(); ++i)
            userEdits_.at(i)->setText(userquery->field(QLatin1String(kUserFields[i].column)));
    userquery->close();

    BuildGrantsQuery(*userrolequery, *userrolesql, name);
    dumpInto(*userrolequery, grants);
}

void SecurityBrowserScreen::showRole(const QString &name)
{
    ui_->secpage2->setCurrentIndex(1);
    ui_->rolename->setText(name);
    fillGrantTree(*ui_->roletree, *rolequery, *userrolesql, name);
}

void SecurityBrowserScreen::showProfile(const QString &name)
{
    ui_->secpage2->setCurrentIndex(2);
    ResultGrid &limits = *ui_->profilegrid->grid();
    limits.empty();
    ui_->profilename->setText(name);
    runLines(*profilememo, *profilequery, profileLines(name));
    dumpInto(*profilequery, limits);
}

void SecurityBrowserScreen::showQuotas(const QString &name)
{
    ui_->secpage2->setCurrentIndex(3);
    ResultGrid &holders = *ui_->tsqugrid->grid();
    holders.empty();
    ui_->tsquname->setText(name);
    runLines(*tsqumemo, *tsququery, quotaLines(name));
    dumpInto(*tsququery, holders);
}

void SecurityBrowserScreen::userrolesumClick()
{
    showGrantTree(false);
}

void SecurityBrowserScreen::userrolehierClick()
{
    showGrantTree(true);
}

void SecurityBrowserScreen::showGrantTree(bool tree)
{
    ui_->userrolegrid->setVisible(!tree);
    for (QWidget *w : std::initializer_list<QWidget *>{ui_->userroletree, ui_->btbtn, ui_->btexpbtn, ui_->btcolbtn})
        w->setVisible(tree);
}

void SecurityBrowserScreen::btbtnClick()
{
    const QTreeWidgetItem *node = selectedNode(*ui_->securitytree);
    if (!node)
        return;
    fillGrantTree(*ui_->userroletree, *userrolequery, *userrolesql, node->text(0));
}

void SecurityBrowserScreen::btexpbtnClick()
{
    ui_->userroletree->expandAll();
}

void SecurityBrowserScreen::btcolbtnClick()
{
    ui_->userroletree->collapseAll();
}

void SecurityBrowserScreen::roleexpbtnClick()
{
    ui_->roletree->expandAll();
}

void SecurityBrowserScreen::rolecolbtnClick()
{
    ui_->roletree->collapseAll();
}

} // namespace tavimond
