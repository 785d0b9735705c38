// Tablespaces and their files: dba_tablespaces, dba_data_files, dba_temp_files and
// v$tablespace on their own, and the storage browser's list of every tablespace with
// its data files and temporary files.
#include "tablespace_catalogue.h"
#include "../select_eval.h"
#include "../server.h"

#include "../../error.h"

#include <algorithm>

namespace tavimond::sim {
namespace {

QString number(std::optional<qint64> v)
{
    return v ? QString::number(*v) : QString();
}

QString yesNo(bool v)
{
    return QLatin1String(v ? "YES" : "NO");
}

const QStringList kTablespaceColumns{QStringLiteral("TABLESPACE_NAME"),
                                     QStringLiteral("BLOCK_SIZE"),
                                     QStringLiteral("INITIAL_EXTENT"),
                                     QStringLiteral("NEXT_EXTENT"),
                                     QStringLiteral("MIN_EXTENTS"),
                                     QStringLiteral("MAX_EXTENTS"),
                                     QStringLiteral("PCT_INCREASE"),
                                     QStringLiteral("MIN_EXTLEN"),
                                     QStringLiteral("STATUS"),
                                     QStringLiteral("CONTENTS"),
                                     QStringLiteral("LOGGING"),
                                     QStringLiteral("FORCE_LOGGING"),
                                     QStringLiteral("EXTENT_MANAGEMENT"),
                                     QStringLiteral("ALLOCATION_TYPE"),
                                     QStringLiteral("PLUGGED_IN"),
                                     QStringLiteral("SEGMENT_SPACE_MANAGEMENT"),
                                     QStringLiteral("DEF_TAB_COMPRESSION"),
                                     QStringLiteral("RETENTION"),
                                     QStringLiteral("BIGFILE")};

const QStringList kFileColumns{
    QStringLiteral("FILE_NAME"),    QStringLiteral("FILE_ID"),        QStringLiteral("TABLESPACE_NAME"),
    QStringLiteral("BYTES"),        QStringLiteral("BLOCKS"),         QStringLiteral("STATUS"),
    QStringLiteral("RELATIVE_FNO"), QStringLiteral("AUTOEXTENSIBLE"), QStringLiteral("MAXBYTES"),
    QStringLiteral("MAXBLOCKS"),    QStringLiteral("INCREMENT_BY"),   QStringLiteral("USER_BYTES"),
    QStringLiteral("USER_BLOCKS"),  QStringLiteral("ONLINE_STATUS")};

// A dba_tablespaces row, in kTablespaceColumns' order.
QStringList tablespaceCells(const TablespaceCatalogue::Tablespace &t)
{
    return {t.name,
            QString::number(t.blockSize),
            QString::number(t.initialExtent),
            number(t.nextExtent),
            QString::number(t.minExtents),
            number(t.maxExtents),
            t.pctIncrease ? QString::number(*t.pctIncrease) : QString(),
            QString::number(t.minExtlen),
            t.status,
            t.contents,
            t.logging,
            t.forceLogging,
            t.extentManagement,
            t.allocationType,
            t.pluggedIn,
            t.segmentSpaceManagement,
            t.defTabCompression,
            t.retention,
            yesNo(t.bigfile)};
}

// A dba_data_files row, in kFileColumns' order (dba_temp_files: without the last).
QStringList fileCells(const TablespaceCatalogue::File &f)
{
    return {f.name,
            QString::number(f.fileId),
            f.tablespace,
            QString::number(f.bytes()),
            QString::number(f.blocks),
            f.status,
            QString::number(f.relativeFno),
            yesNo(f.autoextensible),
            QString::number(f.maxBytes()),
            QString::number(f.maxBlocks),
            QString::number(f.incrementBy),
            QString::number(f.userBlocks() * StorageLayout::kBlockSize),
            QString::number(f.userBlocks()),
            f.onlineStatus};
}

Table filesView(const TablespaceCatalogue &catalogue, bool temporary)
{
    Table t(temporary ? kFileColumns.mid(0, kFileColumns.size() - 1) : kFileColumns);
    for (const TablespaceCatalogue::File &f : catalogue.files())
        if (f.temporary == temporary)
            t.addRow(fileCells(f));
    return t;
}

// Reads a statement's tokens in order against the shape it must have.
class Reader {
public:
    explicit Reader(const Statement &s) : tokens_(s.tokens()) {}

    // Moves past the phrase's first occurrence from here on; false when it is absent.
    bool find(const Statement &s, const QString &phrase)
    {
        const int at = s.after(phrase, pos_);
        if (at < 0)
            return false;
        pos_ = at;
        return true;
    }
    // The phrase must come next.
    void expect(const QString &phrase)
    {
        for (const Token &t : Statement::tokenize(phrase)) {
            if (pos_ >= int(tokens_.size()) || tokens_[size_t(pos_)].text != t.text)
                throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
            ++pos_;
        }
    }
    // A string literal must come next; '' is NULL.
    std::optional<QString> literal()
    {
        if (pos_ >= int(tokens_.size()) || tokens_[size_t(pos_)].kind != Token::String)
            throw DbError(QStringLiteral("ORA-00936: missing expression"));
        const QString v = tokens_[size_t(pos_++)].value;
        return v.isEmpty() ? std::nullopt : std::optional<QString>(v);
    }
    bool atEnd() const { return pos_ >= int(tokens_.size()); }

private:
    const std::vector<Token> &tokens_;
    int pos_ = 0;
};

bool like(const QString &text, const std::optional<QString> &pattern)
{
    return pattern && likeMatch(text.toUpper(), *pattern);
}

// Known by its first branch's join: a quote that ends a pattern early hides the rest.
bool isTablespaceFileList(const Statement &s)
{
    return s.has(QStringLiteral("from dba_tablespaces ts , dba_data_files df where"));
}

// The two branches, each with its tablespace and file name patterns, joined by union
// and ordered by tablespace name and block size.
Result tablespaceFileList(const Statement &s, Context &ctx)
{
    Reader r(s);
    std::optional<QString> patterns[2][2];
    const char *const alias[2] = {"df", "tf"};
    for (int branch = 0; branch < 2; ++branch) {
        if (!r.find(s, QStringLiteral("where")))
            throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
        r.expect(QStringLiteral("upper ( ts.tablespace_name ) like"));
        patterns[branch][0] = r.literal();
        r.expect(QStringLiteral("and upper ( %1.file_name ) like").arg(QLatin1String(alias[branch])));
        patterns[branch][1] = r.literal();
        r.expect(QStringLiteral("and %1.tablespace_name = ts.tablespace_name").arg(QLatin1String(alias[branch])));
        r.expect(QLatin1String(branch == 0 ? "union" : "order by 1 , 2"));
    }
    if (!r.atEnd())
        throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));

    const TablespaceCatalogue &catalogue = ctx.model.state<TablespaceCatalogue>();
    QStringList columns = kTablespaceColumns;
    columns << kFileColumns.at(0) << kFileColumns.at(1) << kFileColumns.mid(3);
    auto out = std::make_shared<Table>(columns);
    std::vector<const TablespaceCatalogue::File *> files;
    for (const TablespaceCatalogue::File &f : catalogue.files()) {
        const auto &p = patterns[f.temporary ? 1 : 0];
        if (like(f.tablespace, p[0]) && like(f.name, p[1]))
            files.push_back(&f);
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const auto *a, const auto *b) { return a->tablespace < b->tablespace; });
    for (const TablespaceCatalogue::File *f : files) {
        QStringList cells = tablespaceCells(*catalogue.tablespace(f->tablespace));
        const QStringList file = fileCells(*f);
        cells << file.at(0) << file.at(1) << file.mid(3);
        if (f->temporary)
            cells[18] = QString(); // the branch selects '' for bigfile and online_status
        out->addRow(cells);
    }
    return out;
}

} // namespace

void registerStorageFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("tablespaces with their files"), isTablespaceFileList, tablespaceFileList});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_tablespaces"), [](Context &ctx) {
        Table t(kTablespaceColumns);
        for (const auto &ts : ctx.model.state<TablespaceCatalogue>().tablespaces())
            t.addRow(tablespaceCells(ts));
        return t;
    }));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_data_files"), [](Context &ctx) {
        return filesView(ctx.model.state<TablespaceCatalogue>(), false);
    }));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_temp_files"), [](Context &ctx) {
        return filesView(ctx.model.state<TablespaceCatalogue>(), true);
    }));
    out.push_back(simpleViewRecogniser(QStringLiteral("v$tablespace"), [](Context &ctx) {
        Table t({QStringLiteral("TS#"), QStringLiteral("NAME"), QStringLiteral("INCLUDED_IN_DATABASE_BACKUP"),
                 QStringLiteral("BIGFILE"), QStringLiteral("FLASHBACK_ON"), QStringLiteral("ENCRYPT_IN_BACKUP")});
        for (const auto &ts : ctx.model.state<TablespaceCatalogue>().tablespaces())
            t.addRow({QString::number(ts.number), ts.name, yesNo(ts.contents != QLatin1String("TEMPORARY")),
                      yesNo(ts.bigfile), QStringLiteral("YES"), QString()});
        return t;
    }));
}

} // namespace tavimond::sim
