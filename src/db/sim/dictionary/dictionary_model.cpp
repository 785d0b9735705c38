#include "dictionary_model.h"

#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

// The generated application schemas of a large dictionary, and what their objects are
// named after.
const char *const kFillerSchemas[] = {
    "ERP_AP",  "ERP_AR",  "ERP_GL",  "ERP_FA",  "ERP_CE",  "ERP_PO",  "ERP_OM",  "ERP_INV", "ERP_WIP", "ERP_BOM",
    "ERP_MRP", "ERP_WSH", "ERP_QP",  "ERP_HR",  "ERP_PAY", "ERP_BEN", "ERP_PA",  "ERP_GMS", "ERP_OKC", "ERP_CS",
    "ERP_JTF", "ERP_AMS", "ERP_ASO", "ERP_IEX", "ERP_ZX",  "ERP_XLA", "ERP_IBY", "ERP_CN",  "ERP_PN",  "ERP_EAM",
    "ERP_MSC", "ERP_FTE", "ERP_WMS", "ERP_RCV", "ERP_CST", "ERP_PJM", "ERP_OKS", "ERP_IGI", "ERP_JL",  "ERP_JA",
};
const char *const kFillerWords[] = {
    "ACCOUNTS", "ALLOCATIONS", "BALANCES", "BATCHES",    "CALENDARS", "CHARGES",      "CONTRACTS",
    "COSTS",    "HEADERS",     "HOLDS",    "INTERFACES", "JOURNALS",  "LINES",        "LOTS",
    "PERIODS",  "RATES",       "RECEIPTS", "RULES",      "SCHEDULES", "TRANSACTIONS",
};
// One group of filler objects: a kind and the suffix of its name.
struct FillerKind {
    const char *type;
    const char *suffix;
    bool publicSynonym;
};
const FillerKind kFillerGroup[] = {
    {"TABLE", "", false},      {"INDEX", "_PK", false},     {"INDEX", "_N1", false},
    {"TABLE", "_TL", false},   {"INDEX", "_TL_PK", false},  {"SYNONYM", "", true},
    {"VIEW", "_V", false},     {"PACKAGE", "_PKG", false},  {"PACKAGE BODY", "_PKG", false},
    {"TABLE", "_ALL", false},  {"INDEX", "_ALL_N1", false}, {"LOB", "", false},
    {"SEQUENCE", "_S", false}, {"TRIGGER", "_BRI", false},  {"INDEX", "_N2", false},
    {"SYNONYM", "_V", true},
};
constexpr qint64 kFillerFirstId = 2000000;

bool lessRow(const DictionaryModel::ObjectRow &a, const DictionaryModel::ObjectRow &b)
{
    if (const int c = QString::compare(a.type, b.type, Qt::CaseSensitive))
        return c < 0;
    if (const int c = QString::compare(a.owner, b.owner, Qt::CaseSensitive))
        return c < 0;
    if (const int c = QString::compare(a.name, b.name, Qt::CaseSensitive))
        return c < 0;
    return QString::compare(a.subobject, b.subobject, Qt::CaseSensitive) < 0;
}

} // namespace

DictionaryModel::DictionaryModel(Model &model) : layout_(model.state<StorageLayout>())
{
    buildTables(model);
    buildIndexes(model);
    buildObjects();
}

void DictionaryModel::buildObjects()
{
    laidOut_.clear();
    for (const StorageLayout::DbObject &o : layout_.objects())
        laidOut_.push_back({o.owner, o.name, o.subobject, o.type, o.objectId, o.dataObjectId});
    std::sort(laidOut_.begin(), laidOut_.end(), lessRow);
    objects_ = laidOut_;
}

void DictionaryModel::setObjectCount(qint64 count)
{
    views_.remove(QStringLiteral("dba_objects"));
    objects_ = laidOut_;
    const qint64 filler = count - qint64(laidOut_.size());
    if (filler <= 0)
        return;
    objects_.reserve(size_t(count));
    // The types and owners are shared texts; only the names are made per object.
    std::vector<QString> types, owners, words;
    for (const FillerKind &k : kFillerGroup)
        types.push_back(QString::fromLatin1(k.type));
    for (const char *s : kFillerSchemas)
        owners.push_back(QString::fromLatin1(s));
    for (const char *w : kFillerWords)
        words.push_back(QString::fromLatin1(w));
    const QString publicOwner = QStringLiteral("PUBLIC");
    const qint64 groupSize = qint64(std::size(kFillerGroup));
    const qint64 schemas = qint64(owners.size());
    const qint64 wordCount = qint64(words.size());
    for (qint64 i = 0; i < filler; ++i) {
        const qint64 g = i / groupSize;
        const FillerKind &k = kFillerGroup[i % groupSize];
        const QString &owner = owners[size_t(g % schemas)];
        const QString prefix = owner.mid(4);
        ObjectRow row;
        row.type = types[size_t(i % groupSize)];
        row.objectId = kFillerFirstId + i;
        if (row.type == QLatin1String("LOB")) {
            row.owner = owner;
            row.name = QStringLiteral("SYS_LOB%1C00005$$").arg(kFillerFirstId + g, 10, 10, QLatin1Char('0'));
        } else {
            row.owner = k.publicSynonym ? publicOwner : owner;
            row.name = prefix + QLatin1Char('_') + words[size_t((g / schemas) % wordCount)] + QLatin1Char('_') +
                       QStringLiteral("%1").arg(g / (schemas * wordCount), 5, 10, QLatin1Char('0')) +
                       QLatin1String(k.suffix);
        }
        const bool segment = row.type == QLatin1String("TABLE") || row.type == QLatin1String("INDEX") ||
                             row.type == QLatin1String("LOB");
        row.dataObjectId = segment ? row.objectId : 0;
        objects_.push_back(std::move(row));
    }
    std::sort(objects_.begin(), objects_.end(), lessRow);
}

} // namespace tavimond::sim
