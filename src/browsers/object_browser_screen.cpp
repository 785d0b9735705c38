#include "object_browser_screen.h"

#include "ui_browsers_object_browser_screen.h"

#include "object_page_parts.h"
#include "partition_tree.h"

#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/detail_controls.h"
#include "ui/double_click.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/script_memo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStackedWidget>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavimond {
namespace {

// The kind boxes in the order of their top nodes.
struct KindBox {
    const char *box;
    const char *caption;
    const char *word;
    const char *page;
    bool ticked;
};
const KindBox kKinds[] = {
    {"tabcbox", "Table", "TABLE", "tabpage", true},
    {"indcbox", "Index", "INDEX", "idxpage", true},
    {"viewcbox", "View", "VIEW", "viewpage", true},
    {"funcbox", "Function", "FUNCTION", "funpage", false},
    {"seqcbox", "Sequence", "SEQUENCE", "seqpage", false},
    {"trigcbox", "Trigger", "TRIGGER", "triggerpage", false},
    {"syncbox", "Synonym", "SYNONYM", "synpage", false},
    {"dircbox", "Directory", "DIRECTORY", "dirpage", false},
    {"jobcbox", "Job", "JOB", "jobpage", false},
    {"packcbox", "Package", "PACKAGE", "packpage", false},
    {"proccbox", "Procedure", "PROCEDURE", "procpage", false},
    {"progcbox", "Program", "PROGRAM", "progpage", false},
};

struct OptionBox {
    const char *box;
    const char *caption;
};
const OptionBox kTableOptions[] = {
    {"trotablest", "Table:Structure"}, {"trostat", "Statistics"}, {"tropart", "Partitioning"}, {"troind", "Indexes"},
    {"trocon", "Constraints"},         {"trosto", "Storage"},     {"troddl", "DDL"},
};
const OptionBox kIndexOptions[] = {
    {"irost", "Index:Structure"}, {"irostat", "Statistics"}, {"iropart", "Partitioning"},
    {"irostore", "Storage"},      {"iroddl", "DDL"},
};

// The Scripts tab: a radio per kind, each showing a panel of the memos in which that
// kind's statements are built.
struct ScriptPanel {
    const char *radio;
    const char *caption;
    const char *panel;
    const char *title;
    std::initializer_list<const char *> memos;
};
const ScriptPanel kScriptPanels[] = {
    {"objgenrbut", "Generic", "objpanel", " Generic ", {"mainobj"}},
    {"objtabrbut",
     "Table",
     "tabpanel",
     " Table ",
     {"objtabcols", "tabst", "tabparts", "tabidxmemo", "tabconmemo", "tabddl", "tabsto"}},
    {"objstatbut", "Statistics", "statpanel", " Statistics ", {"tabstats1", "tabstats2", "tabstats3", "idxstats1"}},
    {"objindbut", "Index", "idxpanel", " Index ", {"idxst", "idxcols", "idxparts", "idxsto", "idxddl"}},
    {"objfunbut", "Function", "funpanel", "Function", {"funsrcmem"}},
    {"objseqbut", "Sequence", "seqpanel", " Sequence ", {"seqsqlmem", "seqddlmem"}},
    {"objviewbut", "View", "viewpanel", " View ", {"viewmem", "viewddlmem"}},
    {"objtrigbut", "Trigger", "trigpanel", " Trigger ", {"trigmem", "trigddlmem"}},
    {"objsynbut", "Synonym", "synpanel", " Synonym ", {"synmem", "synddlmem"}},
    {"objdirbut", "Directory", "dirpanel", " Directory ", {"dirmem", "dirddlmem"}},
    {"objjobbut", "Job", "jobpanel", "Job ", {"jobmem", "jobddlmem"}},
    {"objpackbut", "Package", "packpanel", " Package ", {"packsrcmem"}},
    {"objprocbut", "Procedure", "procpanel", " Procedure ", {"procsrcmem"}},
    {"objprogbut", "Program", "progpanel", " Program ", {"progsrcmem"}},
};

QLineEdit *filterEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(QStringLiteral("%"), parent);
    e->setObjectName(QLatin1String(name));
    forceUpperCase(*e);
    return e;
}

QCheckBox *checkBox(const char *name, const char *caption, bool ticked, QWidget *parent)
{
    auto *box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(ticked);
    return box;
}

// An options panel laid over the kind boxes: its boxes, and "X" to close it.
QGroupBox *optionPanel(const char *name, const QString &title, std::span<const OptionBox> boxes,
                       const char *closeButton, QWidget *parent)
{
    auto *panel = new QGroupBox(title, parent);
    panel->setObjectName(QLatin1String(name));
    panel->setAutoFillBackground(true);
    auto *grid = new QGridLayout(panel);
    for (size_t i = 0; i < boxes.size(); ++i)
        grid->addWidget(checkBox(boxes[i].box, boxes[i].caption, true, panel), int(i / 2), int(i % 2));
    auto *close = new QPushButton(QStringLiteral("X"), panel);
    close->setObjectName(QLatin1String(closeButton));
    close->setFixedWidth(28);
    grid->addWidget(close, int((boxes.size() + 1) / 2), 1, Qt::AlignRight);
    panel->hide();
    return panel;
}

// An options panel covers the kind boxes, and so takes them out of reach, the one that
// opened it too: the focus goes into the panel, to its first option, and when "X"
// closes it, back to that box.
void showOptions(QGroupBox &panel, std::span<const OptionBox> boxes)
{
    panel.show();
    panel.raise();
    panel.findChild<QCheckBox *>(QLatin1String(boxes.front().box))->setFocus(Qt::OtherFocusReason);
}

void hideOptions(QGroupBox &panel, QCheckBox &opener)
{
    panel.hide();
    opener.setFocus(Qt::OtherFocusReason);
}

} // namespace

ObjectBrowserScreen::ObjectBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("obj_brws_page"), context, parent), ui_(std::make_unique<Ui::ObjectBrowserScreenForm>())
{
    ui_->setupUi(this);
    buildRetrieveTab();
    buildScriptsTab();
    // Each column wide enough for its header.
    for (const GridHeaders &g : gridHeaders())
        if (auto *view = findChild<GridView *>(g.grid))
            for (int c = 0; c < g.headers.size(); ++c)
                view->setColumnWidth(
                    c, std::max(view->columnWidth(c), view->fontMetrics().horizontalAdvance(g.headers.at(c)) + 16));
}

ObjectBrowserScreen::~ObjectBrowserScreen() = default;

const QStringList &ObjectBrowserScreen::kindWords()
{
    static const QStringList words = [] {
        QStringList w;
        for (const KindBox &k : kKinds)
            w << QLatin1String(k.word);
        return w;
    }();
    return words;
}

QList<GridHeaders> ObjectBrowserScreen::gridHeaders() const
{
    return {
        {QStringLiteral("idxpartitiongrid"),
         {QStringLiteral("Index Name"),
          QStringLiteral("Partition Name"),
          QStringLiteral("SubPartition Name"),
          QStringLiteral("Tablespace Name"),
          QStringLiteral("Compressed"),
          QStringLiteral("High Value"),
          QStringLiteral("Buffer Pool"),
          QStringLiteral("Ini Trans"),
          QStringLiteral("Max Trans"),
          QStringLiteral("Number Rows"),
          QStringLiteral("Avg Leafs per key"),
          QStringLiteral("Avg Data per key"),
          QStringLiteral("B Level"),
          QStringLiteral("Leaf Blocks"),
          QStringLiteral("Distinct Keys"),
          QStringLiteral("Sample Size"),
          QStringLiteral("Last Analyzed"),
          QStringLiteral("Cluster Factor"),
          QStringLiteral("Global Stats"),
          QStringLiteral("User Stats"),
          QStringLiteral("Extents"),
          QStringLiteral("MBytes"),
          QStringLiteral("Blocks")},
         {}},
        {QStringLiteral("idxcolsgrid"),
         {QStringLiteral("Position"), QStringLiteral("Name"), QStringLiteral("Length"), QStringLiteral("Char Length"),
          QStringLiteral("Descending")},
         {}},
        {QStringLiteral("objcongrid"),
         {QStringLiteral("Constraint Name"), QStringLiteral("Constraint Type"), QStringLiteral("Status"),
          QStringLiteral("Search Condition"), QStringLiteral("Deferrable"), QStringLiteral("Deferred"),
          QStringLiteral("Columns")},
         {}},
        {QStringLiteral("objindexgrid"),
         {QStringLiteral("Index Name"), QStringLiteral("Column Position"), QStringLiteral("Column Name")},
         {}},
        {QStringLiteral("partitiongrid"),
         {QStringLiteral("Table Name"),  QStringLiteral("Partition Name"),  QStringLiteral("Sub Partition Name"),
          QStringLiteral("Num Rows"),    QStringLiteral("Blocks"),          QStringLiteral("Empty Blocks"),
          QStringLiteral("Avg Space"),   QStringLiteral("Chain Count"),     QStringLiteral("Avg Row Length"),
          QStringLiteral("Sample Size"), QStringLiteral("Last Analyzed"),   QStringLiteral("Tablespace"),
          QStringLiteral("Compressed"),  QStringLiteral("Buffer Pool"),     QStringLiteral("Init Trans"),
          QStringLiteral("User Stats"),  QStringLiteral("Global Stats"),    QStringLiteral("Inserts"),
          QStringLiteral("Deletes"),     QStringLiteral("Updates"),         QStringLiteral("Last Change"),
          QStringLiteral("Truncated"),   QStringLiteral("Segment Dropped"), QStringLiteral("High Value"),
          QStringLiteral("Extesnts"),    QStringLiteral("MBytes"),          QStringLiteral("Blocks")},
         {}},
        {QStringLiteral("objextstatsgrid"),
         {QStringLiteral("Column Name"), QStringLiteral("Bucket #"), QStringLiteral("Endpoint Value")},
         {}},
        {QStringLiteral("objtabcolsgrid"),
         {QStringLiteral("ID"), QStringLiteral("Column Name"), QStringLiteral("Data Type"), QStringLiteral("Length"),
          QStringLiteral("Precision"), QStringLiteral("Scale"), QStringLiteral("Nullable"), QStringLiteral("Default"),
          QStringLiteral("Histograms")},
         {}},
    };
}

void ObjectBrowserScreen::buildRetrieveTab()
{
    QWidget *tab = ui_->objretrievetab;
    auto *layout = new QHBoxLayout(tab);
    auto *splitter = new QSplitter(Qt::Horizontal, tab);
    layout->addWidget(splitter);

    auto *left = new QWidget(splitter);
    auto *column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    auto *filters = new QGridLayout;
    schema_name_text = filterEdit("schema_name_text", left);
    obj_name_text = filterEdit("obj_name_text", left);
    filters->addWidget(new QLabel(QStringLiteral("Schema Name"), left), 0, 0);
    filters->addWidget(schema_name_text, 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("Object Name"), left), 1, 0);
    filters->addWidget(obj_name_text, 1, 1);
    column->addLayout(filters);

    // The kind boxes, with the two options panels laid over them.
    auto *kinds = new QWidget(left);
    auto *overlay = new QGridLayout(kinds);
    overlay->setContentsMargins(0, 0, 0, 0);
    auto *boxes = new QWidget(kinds);
    auto *boxGrid = new QGridLayout(boxes);
    for (size_t i = 0; i < std::size(kKinds); ++i) {
        QCheckBox *box = checkBox(kKinds[i].box, kKinds[i].caption, kKinds[i].ticked, boxes);
        boxGrid->addWidget(box, int(i / 3), int(i % 3));
        kindBoxes_ << box;
    }
    kindBoxes_.at(0)->setToolTip(QStringLiteral("Right click for table retrieval options"));
    kindBoxes_.at(1)->setToolTip(QStringLiteral("Right click for index retrieval options"));
    kindBoxes_.at(0)->installEventFilter(this);
    kindBoxes_.at(1)->installEventFilter(this);
    overlay->addWidget(boxes, 0, 0);
    taboptpanel =
        optionPanel("taboptpanel", QStringLiteral(" Table Retrieval Options "), kTableOptions, "Button64", kinds);
    idxoptpanel =
        optionPanel("idxoptpanel", QStringLiteral(" Index Retrieval Options"), kIndexOptions, "Button65", kinds);
    overlay->addWidget(taboptpanel, 0, 0);
    overlay->addWidget(idxoptpanel, 0, 0);
    keepCoveredOutOfReach(*kinds);
    column->addWidget(kinds);

    auto *load = new QPushButton(QStringLiteral("Load/Filter"), left);
    load->setObjectName(QStringLiteral("Button141"));
    column->addWidget(load);
    objtree = new QTreeWidget(left);
    objtree->setObjectName(QStringLiteral("objtree"));
    objtree->setHeaderHidden(true);
    objtree->setUniformRowHeights(true);
    objtree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(objtree, 1);

    // One detail page per kind, all in one place; the page of the kind shown last is in front.
    details_ = new QStackedWidget(splitter);
    details_->setObjectName(QStringLiteral("objdetails"));
    for (const KindBox &k : kKinds) {
        auto *page = new QTabWidget(details_);
        page->setObjectName(QLatin1String(k.page));
        details_->addWidget(page);
        pages_.insert(QLatin1String(k.word), page);
    }
    tabpage = pages_.value(QStringLiteral("TABLE"));
    buildTablePage(tabpage);
    idxpage = pages_.value(QStringLiteral("INDEX"));
    buildIndexPage(idxpage);
    buildCodePages();
    buildSchedulerPages();
    details_->setCurrentWidget(tabpage);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({330, 800});

    connect(load, &QPushButton::clicked, this, guarded([this] { Button141Click(); }));
    connect(findChild<QPushButton *>(QStringLiteral("Button64")), &QPushButton::clicked, this,
            guarded([this] { Button64Click(); }));
    connect(findChild<QPushButton *>(QStringLiteral("Button65")), &QPushButton::clicked, this,
            guarded([this] { Button65Click(); }));
    onDoubleClick(objtree, [this] { objtreeDblClick(); });
}

void ObjectBrowserScreen::buildScriptsTab()
{
    QWidget *tab = ui_->objscriptstab;
    auto *layout = new QHBoxLayout(tab);
    auto *radios = new QVBoxLayout;
    auto *group = new QButtonGroup(tab);
    scriptPanels_ = new QStackedWidget(tab);
    scriptPanels_->setObjectName(QStringLiteral("objscriptpanels"));
    for (const ScriptPanel &p : kScriptPanels) {
        auto *radio = new QRadioButton(QString::fromUtf8(p.caption), tab);
        radio->setObjectName(QLatin1String(p.radio));
        group->addButton(radio);
        radios->addWidget(radio);
        auto *panel = new QGroupBox(QString::fromUtf8(p.title), scriptPanels_);
        panel->setObjectName(QLatin1String(p.panel));
        for (const char *memo : p.memos)
            addScriptMemo(panel, QLatin1String(memo),
                          memo == std::string_view("mainobj") ? QStringLiteral("Object ID Retrieval") : QString(), {},
                          MemoAccess::ReadOnlySkyBlue);
        scriptPanels_->addWidget(panel);
        connect(radio, &QRadioButton::clicked, this, guarded([this, panel] { scriptRadioClick(panel); }));
    }
    radios->addStretch();
    layout->addLayout(radios);
    layout->addWidget(scriptPanels_, 1);
    findChild<QRadioButton *>(QStringLiteral("objgenrbut"))->setChecked(true);
    scriptPanels_->setCurrentIndex(0);
}

bool ObjectBrowserScreen::eventFilter(QObject *watched, QEvent *event)
{
    Qt::MouseButton button = Qt::NoButton;
    if (event->type() == QEvent::MouseButtonPress)
        button = static_cast<QMouseEvent *>(event)->button();
    else if (event->type() == QEvent::ContextMenu &&
             static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
        button = Qt::RightButton; // the menu key, the keyboard's right click
    if (button != Qt::NoButton) {
        if (watched == kindBoxes_.at(0))
            runGuarded([&] { tabcboxMouseDown(button); });
        else if (watched == kindBoxes_.at(1))
            runGuarded([&] { indcboxMouseDown(button); });
    }
    return Screen::eventFilter(watched, event);
}

QPlainTextEdit *ObjectBrowserScreen::scriptMemo(const char *name) const
{
    return scriptPanels_->findChild<QPlainTextEdit *>(QLatin1String(name));
}

Query &ObjectBrowserScreen::query(const char *name)
{
    std::unique_ptr<Query> &q = queries_[QLatin1String(name)];
    if (!q)
        q = std::make_unique<Query>(cnn());
    return *q;
}

GridView *ObjectBrowserScreen::gridView(const char *name, int columns, QWidget *parent)
{
    auto *view = new GridView(parent);
    view->setObjectName(QLatin1String(name));
    view->setColCount(columns);
    return view;
}

ResultGrid &ObjectBrowserScreen::grid(const char *name) const
{
    return *findChild<GridView *>(QLatin1String(name))->grid();
}

QPlainTextEdit *ObjectBrowserScreen::detailMemo(const char *name, QWidget *parent)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    showAsDetail(*memo);
    return memo;
}

void ObjectBrowserScreen::Button141Click()
{
    // 1-2. The tree from scratch, a top node per ticked kind in the boxes' order. It does
    // not paint while it is rebuilt; whatever way this ends (a statement that fails to
    // open included) it paints again, showing what it holds. Children are attached once
    // all are read: a reading cut short leaves the kind nodes alone, as a statement that
    // failed at once does.
    QList<QTreeWidgetItem *> tops;
    std::vector<QList<QTreeWidgetItem *>> children;
    bool complete = false;
    objtree->setUpdatesEnabled(false);
    const auto attach = qScopeGuard([&] {
        for (qsizetype k = 0; k < tops.size(); ++k) {
            if (complete)
                tops.at(k)->addChildren(children[size_t(k)]);
            else
                qDeleteAll(children[size_t(k)]);
        }
        objtree->setUpdatesEnabled(true);
    });
    objtree->clear();
    QHash<QString, int> tickedAt;
    for (int k = 0; k < kindBoxes_.size(); ++k) {
        if (!kindBoxes_.at(k)->isChecked())
            continue;
        tickedAt.insert(kindWords().at(k), int(tops.size()));
        tops << new QTreeWidgetItem(QStringList{kindWords().at(k)});
    }
    objtree->addTopLevelItems(tops);
    children.resize(size_t(tops.size()));

    // 3-4. The statement, with the filters as literals whose quotes are doubled; "%" and
    // "_" stay the wildcards they are.
    Query &objquery = runScript("mainobj", "objquery",
                                {QStringLiteral("select object_type,owner,object_name from dba_objects where "),
                                 QStringLiteral("upper(owner) like ") + sqlQuote(schema_name_text->text()),
                                 QStringLiteral(" and upper(object_name) like ") + sqlQuote(obj_name_text->text()),
                                 QStringLiteral("order by 1,2,3")});

    // 5. Children in the query's order under the kind whose word the type is; other
    // types are passed over.
    if (tickedAt.isEmpty()) {
        objquery.close();
        return;
    }
    for (; !objquery.eof(); objquery.next()) {
        const auto kind = tickedAt.constFind(objquery.field(0));
        if (kind == tickedAt.constEnd())
            continue;
        children[size_t(kind.value())] << new QTreeWidgetItem(
            QStringList{objquery.field(1) + QLatin1Char('.') + objquery.field(2)});
    }
    complete = true;
    // 6.
    objquery.close();
}

void ObjectBrowserScreen::tabcboxMouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    showOptions(*taboptpanel, kTableOptions);
}

void ObjectBrowserScreen::Button64Click()
{
    hideOptions(*taboptpanel, *kindBoxes_.at(0));
}

void ObjectBrowserScreen::indcboxMouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    showOptions(*idxoptpanel, kIndexOptions);
}

void ObjectBrowserScreen::Button65Click()
{
    hideOptions(*idxoptpanel, *kindBoxes_.at(1));
}

void ObjectBrowserScreen::scriptRadioClick(QWidget *panel)
{
    scriptPanels_->setCurrentWidget(panel);
}

void ObjectBrowserScreen::showDetailPage(QTabWidget *page)
{
    details_->setCurrentWidget(page);
}

void ObjectBrowserScreen::segmentSums(const char *memo, const char *queryName, const QString &owner,
                                      const QString &name, DetailEdits sums)
{
    Query &q = runScript(memo, queryName,
                         {QStringLiteral("select sum(extents),sum(round(bytes/1024/1024,4)),sum(blocks) "),
                          QStringLiteral("from dba_segments  "), QStringLiteral("where  "),
                          QStringLiteral("owner =  ") + owner + QStringLiteral(" and "),
                          QStringLiteral("segment_name =  ") + name + QStringLiteral(" ")});
    edits_.copyByPosition(q, sums);
    q.close();
}

void ObjectBrowserScreen::storageSection(const char *box, const char *memo, const char *queryName, const QString &owner,
                                         const QString &name, DetailEdits main, DetailEdits sums)
{
    if (pages::ticked(this, box)) {
        segmentSums(memo, queryName, owner, name, sums);
        return;
    }
    for (const DetailEdit &e : main)
        if (e.tab && QLatin1String(e.tab) == QLatin1String("Storage"))
            edits_.setText(e.edit, QString());
}

ObjectBrowserScreen::PartitionTab ObjectBrowserScreen::buildPartitionTab(QTabWidget *page, const char *dialogRadio,
                                                                         const char *gridRadio, const char *treeName,
                                                                         const char *gridName, int columns,
                                                                         DetailEdits edits, size_t wide, QLabel *label,
                                                                         size_t labelBefore)
{
    QWidget *tab = pages::newTab(page, "Partitioning");
    auto *layout = new QVBoxLayout(tab);
    PartitionTab p;
    p.dialogRadio = pages::radio(dialogRadio, "Dialog View", true, tab);
    p.gridRadio = pages::radio(gridRadio, "Grid View", false, tab);
    auto *radios = new QHBoxLayout;
    radios->addWidget(p.dialogRadio);
    radios->addWidget(p.gridRadio);
    radios->addStretch();
    layout->addLayout(radios);
    p.view = new QStackedWidget(tab);
    p.dialog = new QWidget(p.view);
    auto *dialogLayout = new QHBoxLayout(p.dialog);
    p.tree = new QTreeWidget(p.dialog);
    p.tree->setObjectName(QLatin1String(treeName));
    p.tree->setHeaderHidden(true);
    showAsDetail(*p.tree);
    dialogLayout->addWidget(p.tree, 1);
    // Two edits a row; the label and the wide edit (a bound such as TO_DATE(...)) a row each.
    auto *grid = new QGridLayout;
    int row = 0, pair = 0;
    const auto newRow = [&] {
        if (pair > 0)
            ++row;
        pair = 0;
    };
    for (size_t i = 0; i < edits.size(); ++i) {
        if (label && i == labelBefore) {
            newRow();
            label->setParent(p.dialog);
            grid->addWidget(label, row++, 0, 1, 4);
        }
        if (i == wide) {
            newRow();
            edits_.add(grid, row++, 0, edits[i], p.dialog, 2);
            continue;
        }
        edits_.add(grid, row, pair, edits[i], p.dialog);
        if (++pair == 2)
            newRow();
    }
    newRow();
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row, 1);
    dialogLayout->addLayout(grid, 2);
    p.view->addWidget(p.dialog);
    p.view->addWidget(gridView(gridName, columns, p.view));
    layout->addWidget(p.view, 1);
    return p;
}

void ObjectBrowserScreen::buildStorageTab(QTabWidget *page, DetailEdits main, DetailEdits sums)
{
    QWidget *storage = pages::newTab(page, "Storage");
    auto *grid = new QGridLayout(storage);
    const int row = edits_.layOut(grid, 0, main, QStringLiteral("Storage"), 2, storage);
    grid->setRowStretch(edits_.layOut(grid, row, sums, QStringLiteral("Storage"), 2, storage), 1);
}

void ObjectBrowserScreen::objtreeDblClick()
{
    // Only an object node: a child of a kind node, "owner.name" split at its first ".".
    const QTreeWidgetItem *node = selectedNode(*objtree);
    if (!node || nodeLevel(*node) != 1)
        return;
    const QString kind = node->parent()->text(0);
    const QString text = node->text(0);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const QString owner = dot < 0 ? text : text.left(dot);
    const QString name = dot < 0 ? QString() : text.mid(dot + 1);
    // The branch of the kind word, compared whole and with its case.
    if (kind == QLatin1String("TABLE"))
        tableBranch(owner, name, text);
    else if (kind == QLatin1String("INDEX"))
        indexBranch(owner, name, text);
    else if (kind == QLatin1String("FUNCTION") || kind == QLatin1String("PACKAGE") ||
             kind == QLatin1String("PROCEDURE"))
        sourceBranch(kind, owner, name);
    else if (kind == QLatin1String("SEQUENCE"))
        sequenceBranch(owner, name);
    else if (kind == QLatin1String("VIEW"))
        viewBranch(owner, name);
    else if (kind == QLatin1String("TRIGGER"))
        triggerBranch(owner, name);
    else if (kind == QLatin1String("SYNONYM"))
        synonymBranch(owner, name, text);
    else if (kind == QLatin1String("DIRECTORY"))
        directoryBranch(owner, name);
    else if (kind == QLatin1String("JOB"))
        jobBranch(owner, name);
    else if (kind == QLatin1String("PROGRAM"))
        programBranch(owner, name);
}

void ObjectBrowserScreen::showRecord(const pages::RecordKind &kind, const QStringList &lines, const QString &name,
                                     const QString &ddlOwner, const std::function<void(Query &)> &beforeCopy)
{
    showDetailPage(pages_.value(QLatin1String(kind.word)));
    edits_.clear(kind.edits);
    QPlainTextEdit *target = pageMemo(kind.ddlTarget);
    target->clear();
    scriptMemo(kind.script)->clear();
    Query &q = runScript(kind.script, kind.query, lines);
    if (beforeCopy)
        beforeCopy(q);
    edits_.copyByName(q, kind.edits);
    q.close();
    ddlFetch(QLatin1String(kind.ddlKind), name, ddlOwner, kind.ddlScript, kind.ddlQuery, target, true);
}

QPlainTextEdit *ObjectBrowserScreen::pageMemo(const char *name) const
{
    return details_->findChild<QPlainTextEdit *>(QLatin1String(name));
}

Query &ObjectBrowserScreen::runScript(const char *memo, const char *queryName, const QStringList &lines)
{
    scriptMemo(memo)->setPlainText(lines.join(QLatin1Char('\n')));
    Query &q = query(queryName);
    q.setSql(lines);
    OpenQuery(q);
    return q;
}

void ObjectBrowserScreen::loadGrid(const char *memo, const char *queryName, const QStringList &lines,
                                   const char *gridName)
{
    Query &q = runScript(memo, queryName, lines);
    ResultGrid &g = grid(gridName);
    LoadQueryIntoGrid(q, g, QString(), nullptr, nullptr, true, QStringLiteral("Dump"), QStringLiteral("Single"), false,
                      QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100);
    GridTailTrim(g);
}

void ObjectBrowserScreen::loadMergedGrid(const char *memo, const char *queryName, const QStringList &first,
                                         const QStringList &second, const char *gridName)
{
    scriptMemo(memo)->setPlainText((first + QStringList{QString()} + second).join(QLatin1Char('\n')));
    Query &q = query(queryName);
    ResultGrid &g = grid(gridName);
    bool clearFirst = true;
    try {
        for (const QStringList *lines : {&first, &second}) {
            q.setSql(*lines);
            OpenQuery(q);
            LoadQueryIntoGrid(q, g, QString(), nullptr, nullptr, clearFirst, QStringLiteral("Dump"),
                              QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                              QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100, nullptr,
                              FailedLoad::EmptyGrid);
            clearFirst = false;
        }
    } catch (...) {
        // The rows of the first statement alone are not the section's result (a fetch
        // that fails has emptied the grid already, and said so).
        g.empty();
        throw;
    }
    sortRowsByFirstColumns(g, 3);
    GridTailTrim(g);
}

void ObjectBrowserScreen::ddlFetch(const QString &kind, const QString &name, const QString &owner, const char *memo,
                                   const char *queryName, QPlainTextEdit *target, bool emptyAfterOpen)
{
    // A directory has no owner: its statement takes the kind and the name only.
    QString args = sqlQuote(kind) + QLatin1Char(',') + sqlQuote(name);
    if (kind != QLatin1String("DIRECTORY"))
        args += QLatin1Char(',') + sqlQuote(owner);
    Query &q = runScript(memo, queryName,
                         {QStringLiteral("select dbms_metadata.get_ddl(") + args + QStringLiteral(") from dual")});
    if (emptyAfterOpen)
        target->clear();
    // The text arrives whole, with line feeds, and goes in at once: a DDL of megabytes
    // is set, not appended line by line.
    const QString ddl = q.field(0);
    const QString before = target->toPlainText();
    target->setPlainText(before.isEmpty() ? ddl : before + QLatin1Char('\n') + ddl);
    q.close();
}

} // namespace tavimond
