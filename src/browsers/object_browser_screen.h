#pragma once

#include "detail_edits.h"

#include "ui/screen.h"

#include <QHash>
#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;

namespace Ui {
class ObjectBrowserScreenForm;
}

namespace tavimond {

namespace pages {
struct RecordKind;
}

class GridView;
class Query;
class ResultGrid;

// The object browser (obj_brws_page): the objects of the data dictionary as a tree of
// kinds, filtered by owner and name, and the details of the object double-clicked on a
// page of its kind; on "Scripts" the statements last run for each kind.
class ObjectBrowserScreen : public Screen {
    Q_OBJECT
public:
    explicit ObjectBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~ObjectBrowserScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // "Load/Filter": lists the objects of the ticked kinds whose owner and name match.
    void Button141Click();
    // A mouse button pressed on the "Table" or "Index" box: the right one opens its
    // retrieval options; "X" closes them.
    void tabcboxMouseDown(Qt::MouseButton button);
    void Button64Click();
    void indcboxMouseDown(Qt::MouseButton button);
    void Button65Click();
    // A radio of the Scripts tab: shows the panel of its kind.
    void scriptRadioClick(QWidget *panel);

    // The details of the selected object node, on the page of its kind.
    void objtreeDblClick();

    // Table page.
    void parttreeClick();
    void parttviewClick();
    void partgviewClick();
    void RadioButton22Click();
    void RadioButton23Click();
    void objconddownChange();

    // Index page.
    void idxparttreeClick();
    void RadioButton24Click();
    void RadioButton25Click();

    // The kinds in the order of their boxes and top nodes.
    static const QStringList &kindWords();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildRetrieveTab();
    void buildScriptsTab();
    void buildTablePage(QTabWidget *page);
    void buildIndexPage(QTabWidget *page);
    void buildCodePages();
    void buildSchedulerPages();
    QPlainTextEdit *scriptMemo(const char *name) const;
    Query &query(const char *name);
    GridView *gridView(const char *name, int columns, QWidget *parent);
    ResultGrid &grid(const char *name) const;
    QPlainTextEdit *detailMemo(const char *name, QWidget *parent);

    // Builds a statement in its script memo, sets it into the query and opens it.
    Query &runScript(const char *memo, const char *queryName, const QStringList &lines);
    // Runs a statement into a grid: emptied first, dumped, the empty rows at its end dropped.
    void loadGrid(const char *memo, const char *queryName, const QStringList &lines, const char *gridName);
    // Runs two statements into one grid, emptied first, their rows merged into the
    // order of their first three columns; the script memo shows both.
    void loadMergedGrid(const char *memo, const char *queryName, const QStringList &first, const QStringList &second,
                        const char *gridName);
    // The DDL of an object through dbms_metadata into a memo; `owner` empty for a
    // directory, which has none. The target memo is emptied after the query opens when
    // `emptyAfterOpen`.
    void ddlFetch(const QString &kind, const QString &name, const QString &owner, const char *memo,
                  const char *queryName, QPlainTextEdit *target, bool emptyAfterOpen);
    void showDetailPage(QTabWidget *page);
    // The extents, megabytes and blocks of every segment of that owner and name,
    // whatever its type, into three edits; owner and name quoted already.
    void segmentSums(const char *memo, const char *queryName, const QString &owner, const QString &name,
                     DetailEdits sums);
    // The storage step of a table or an index: the sums when its box is ticked, else the
    // storage parameters (the edits of `main` on "Storage") emptied.
    void storageSection(const char *box, const char *memo, const char *queryName, const QString &owner,
                        const QString &name, DetailEdits main, DetailEdits sums);

    // A "Partitioning" tab: the radios "Dialog View" and "Grid View" over, in one place,
    // the partition tree beside a partition's edits, or the grid of every partition row.
    // `label`, when given, takes a row before edit `labelBefore`; edit `wide` a row of its own.
    struct PartitionTab {
        QTreeWidget *tree;
        QStackedWidget *view;
        QWidget *dialog;
        QRadioButton *dialogRadio;
        QRadioButton *gridRadio;
    };
    PartitionTab buildPartitionTab(QTabWidget *page, const char *dialogRadio, const char *gridRadio,
                                   const char *treeName, const char *gridName, int columns, DetailEdits edits,
                                   size_t wide, QLabel *label = nullptr, size_t labelBefore = 0);
    // A "Storage" tab: the storage parameters (the edits of `main` on it) and the sums.
    void buildStorageTab(QTabWidget *page, DetailEdits main, DetailEdits sums);

    void tableBranch(const QString &owner, const QString &name, const QString &nodeText);
    void indexBranch(const QString &owner, const QString &name, const QString &nodeText);
    void sourceBranch(const QString &kind, const QString &owner, const QString &name);
    void sequenceBranch(const QString &owner, const QString &name);
    void viewBranch(const QString &owner, const QString &name);
    void triggerBranch(const QString &owner, const QString &name);
    void synonymBranch(const QString &owner, const QString &name, const QString &nodeText);
    void directoryBranch(const QString &owner, const QString &name);
    void jobBranch(const QString &owner, const QString &name);
    void programBranch(const QString &owner, const QString &name);
    // The page of a kind that shows one record by name, then its DDL: the page in
    // front and emptied, the statement built and run, `beforeCopy` given the open query,
    // its first record copied into the edits, and the DDL fetched (`ddlOwner` empty for
    // none).
    void showRecord(const pages::RecordKind &kind, const QStringList &lines, const QString &name,
                    const QString &ddlOwner, const std::function<void(Query &)> &beforeCopy = {});
    // A memo of a detail page, by its component name.
    QPlainTextEdit *pageMemo(const char *name) const;

    std::unique_ptr<Ui::ObjectBrowserScreenForm> ui_;
    DetailEditSet edits_;
    std::map<QString, std::unique_ptr<Query>> queries_;

    // Retrieve tab.
    QLineEdit *schema_name_text = nullptr;
    QLineEdit *obj_name_text = nullptr;
    QList<QCheckBox *> kindBoxes_;
    QGroupBox *taboptpanel = nullptr;
    QGroupBox *idxoptpanel = nullptr;
    QTreeWidget *objtree = nullptr;
    QStackedWidget *details_ = nullptr;
    QHash<QString, QTabWidget *> pages_; // by kind word

    // Scripts tab.
    QStackedWidget *scriptPanels_ = nullptr;

    // Table page.
    QTabWidget *tabpage = nullptr;
    QTreeWidget *parttree = nullptr;
    QStackedWidget *partitionView_ = nullptr;
    QWidget *partitionDialog_ = nullptr;
    QComboBox *objconddown = nullptr;
    QStackedWidget *constraintView_ = nullptr;
    QWidget *constraintDialog_ = nullptr;
    QLabel *dms = nullptr;
    QLabel *Label115 = nullptr;
    QPlainTextEdit *tabdefinition = nullptr;

    // Index page.
    QTabWidget *idxpage = nullptr;
    QTreeWidget *idxparttree = nullptr;
    QStackedWidget *idxPartitionView_ = nullptr;
    QWidget *idxPartitionDialog_ = nullptr;
};

} // namespace tavimond
