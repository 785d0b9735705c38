// dbms_metadata.get_ddl of the simulated dictionary: the DDL text of an object as the
// package writes it (a leading line feed, line feeds between the lines).
#include "dictionary_model.h"

#include "../../error.h"

#include <QSet>

namespace tavimond::sim {
namespace {

QString q(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString qualified(const QString &owner, const QString &name)
{
    return q(owner) + QLatin1Char('.') + q(name);
}

QString columnType(const DictionaryModel::Column &c)
{
    if (c.dataType == QLatin1String("NUMBER"))
        return c.dataPrecision.isEmpty() ? c.dataType
                                         : QStringLiteral("NUMBER(%1,%2)").arg(c.dataPrecision, c.dataScale);
    if (c.character)
        return QStringLiteral("%1(%2 BYTE)").arg(c.dataType, c.dataLength);
    if (c.dataType == QLatin1String("RAW"))
        return QStringLiteral("RAW(%1)").arg(c.dataLength);
    return c.dataType;
}

QString storage(const QString &pool)
{
    return QStringLiteral("  STORAGE(INITIAL 65536 NEXT 1048576 MINEXTENTS 1 MAXEXTENTS 2147483645\n"
                          "  PCTINCREASE 0 FREELISTS 1 FREELIST GROUPS 1\n"
                          "  BUFFER_POOL %1 FLASH_CACHE DEFAULT CELL_FLASH_CACHE DEFAULT)")
        .arg(pool.isEmpty() ? QStringLiteral("DEFAULT") : pool);
}

QString columnList(const QStringList &columns)
{
    QStringList quoted;
    for (const QString &c : columns)
        quoted << q(c);
    return quoted.join(QStringLiteral(", "));
}

QString partitionBound(const QString &type, const QString &high)
{
    if (type == QLatin1String("RANGE"))
        return QStringLiteral(" VALUES LESS THAN (%1)").arg(high);
    if (type == QLatin1String("LIST"))
        return QStringLiteral(" VALUES (%1)").arg(high);
    return QString();
}

QString tableDdl(const DictionaryModel &m, const DictionaryModel::TableDef &t)
{
    QStringList lines;
    QStringList items;
    QSet<QString> notNull;
    for (const auto &c : t.constraints)
        if (c.type == QLatin1String("C") && c.generated == QLatin1String("GENERATED NAME") && c.columns.size() == 1)
            notNull.insert(c.columns.front());
    for (const auto &c : t.columns) {
        QString item = q(c.name) + QLatin1Char(' ') + columnType(c);
        if (c.columnId.isEmpty())
            item += QStringLiteral(" INVISIBLE");
        if (!c.dataDefault.isEmpty())
            item += QStringLiteral(" DEFAULT ") + c.dataDefault;
        if (notNull.contains(c.name))
            item += QStringLiteral(" NOT NULL ENABLE");
        items << QLatin1Char('\t') + item;
    }
    for (const auto &c : t.constraints) {
        if (c.generated == QLatin1String("GENERATED NAME") && c.type == QLatin1String("C"))
            continue;
        const QString state =
            c.status == QLatin1String("ENABLED") ? QStringLiteral(" ENABLE") : QStringLiteral(" DISABLE");
        const QString deferral = c.deferred == QLatin1String("DEFERRED")
                                     ? QStringLiteral(" DEFERRABLE INITIALLY DEFERRED")
                                 : c.deferrable == QLatin1String("DEFERRABLE") ? QStringLiteral(" DEFERRABLE")
                                                                               : QString();
        QString item = QStringLiteral("\t CONSTRAINT ") + q(c.name);
        if (c.type == QLatin1String("C")) {
            item += QStringLiteral(" CHECK (") + c.searchCondition + QLatin1Char(')') + deferral + state;
        } else if (c.type == QLatin1String("R")) {
            const DictionaryModel::TableDef *target = nullptr;
            for (const auto &other : m.tables())
                for (const auto &k : other.constraints)
                    if (other.owner == c.rOwner && k.name == c.rConstraintName)
                        target = &other;
            QStringList targetColumns;
            if (target)
                for (const auto &k : target->constraints)
                    if (k.name == c.rConstraintName)
                        targetColumns = k.columns;
            item += QStringLiteral(" FOREIGN KEY (") + columnList(c.columns) + QStringLiteral(")\n\t  REFERENCES ") +
                    qualified(c.rOwner, target ? target->name : c.rConstraintName) + QStringLiteral(" (") +
                    columnList(targetColumns) + QLatin1Char(')') + deferral + state;
        } else {
            const DictionaryModel::IndexDef *x = m.index(t.owner, c.indexName);
            item += (c.type == QLatin1String("P") ? QStringLiteral(" PRIMARY KEY (") : QStringLiteral(" UNIQUE (")) +
                    columnList(c.columns) + QStringLiteral(")\n  USING INDEX PCTFREE 10 INITRANS 2 MAXTRANS 255 ") +
                    QStringLiteral("COMPUTE STATISTICS \n") + storage(x ? x->bufferPool : QString()) +
                    QStringLiteral("\n  TABLESPACE ") + q(x ? x->storage.tablespace : t.storage.tablespace) +
                    QLatin1Char(' ') + deferral + state;
        }
        items << item;
    }
    lines << QString() << QStringLiteral("  CREATE TABLE ") + qualified(t.owner, t.name) + QLatin1Char(' ');
    lines << QStringLiteral("   (") + items.join(QStringLiteral(", \n")).mid(0);
    lines << QStringLiteral("   ) SEGMENT CREATION IMMEDIATE ");
    const QString compress = t.compression == QLatin1String("ENABLED") ? QStringLiteral(" COMPRESS BASIC LOGGING")
                                                                       : QStringLiteral(" NOCOMPRESS LOGGING");
    if (t.partitions.empty()) {
        lines << QStringLiteral("  PCTFREE 10 PCTUSED %1 INITRANS 1 MAXTRANS 255 ")
                     .arg(t.storage.pctUsed.isEmpty() ? QStringLiteral("40") : t.storage.pctUsed);
        lines << compress;
        lines << storage(t.bufferPool);
        lines << QStringLiteral("  TABLESPACE ") + q(t.storage.tablespace) + QLatin1Char(' ');
    } else {
        lines << QStringLiteral("  PCTFREE 10 PCTUSED 40 INITRANS 1 MAXTRANS 255 ");
        lines << compress;
        lines << QStringLiteral("  STORAGE( BUFFER_POOL DEFAULT FLASH_CACHE DEFAULT CELL_FLASH_CACHE DEFAULT)");
        lines << QStringLiteral("  TABLESPACE ") + q(t.partitions.front().tablespace) + QLatin1Char(' ');
        lines << QStringLiteral("  PARTITION BY %1 (%2) ").arg(t.partitioningType, q(t.partitionKey));
        if (!t.subpartitionKey.isEmpty())
            lines << QStringLiteral("  SUBPARTITION BY %1 (%2) ").arg(t.subpartitioningType, q(t.subpartitionKey));
        QStringList parts;
        for (const auto &p : t.partitions) {
            QString text = QStringLiteral("PARTITION ") + q(p.name) + QLatin1Char(' ') +
                           partitionBound(t.partitioningType, p.highValue);
            if (p.subpartitions.empty()) {
                text +=
                    QStringLiteral(" SEGMENT CREATION IMMEDIATE \n  PCTFREE 10 PCTUSED 40 INITRANS 1 MAXTRANS 255 \n") +
                    compress + QLatin1Char('\n') + storage(p.bufferPool) + QStringLiteral("\n  TABLESPACE ") +
                    q(p.tablespace) + QLatin1Char(' ');
            } else {
                QStringList subs;
                for (const auto &s : p.subpartitions)
                    subs << QStringLiteral("SUBPARTITION ") + q(s.name) + QLatin1Char(' ') +
                                partitionBound(t.subpartitioningType, s.highValue) +
                                QStringLiteral(" SEGMENT CREATION IMMEDIATE \n  TABLESPACE ") + q(s.tablespace) +
                                QStringLiteral(" \n NOCOMPRESS ");
                text += QStringLiteral(" \n  PCTFREE 10 PCTUSED 40 INITRANS 1 MAXTRANS 255 \n  STORAGE( BUFFER_POOL "
                                       "DEFAULT) \n  TABLESPACE ") +
                        q(p.tablespace) + QStringLiteral(" \n ( ") + subs.join(QStringLiteral(" , \n  ")) +
                        QStringLiteral(")");
            }
            parts << text;
        }
        lines << QStringLiteral(" (") + parts.join(QStringLiteral(" , \n ")) + QStringLiteral(") ");
        if (t.rowMovement == QLatin1String("ENABLED"))
            lines << QStringLiteral("  ENABLE ROW MOVEMENT ");
    }
    return lines.join(QLatin1Char('\n'));
}

QString indexDdl(const DictionaryModel::IndexDef &x)
{
    QStringList keys;
    if (!x.expression.isEmpty() && x.columns.size() == 1 && x.columns.front().descend == QLatin1String("ASC"))
        keys << x.expression;
    else
        for (const auto &c : x.columns)
            keys << (c.descend == QLatin1String("DESC") ? x.expression + QStringLiteral(" DESC") : q(c.name));
    const QString kind = x.uniqueness == QLatin1String("UNIQUE")  ? QStringLiteral("UNIQUE ")
                         : x.indexType == QLatin1String("BITMAP") ? QStringLiteral("BITMAP ")
                                                                  : QString();
    QStringList lines;
    lines << QString()
          << QStringLiteral("  CREATE ") + kind + QStringLiteral("INDEX ") + qualified(x.owner, x.name) +
                 QStringLiteral(" ON ") + qualified(x.tableOwner, x.tableName) + QStringLiteral(" (") +
                 keys.join(QStringLiteral(", ")) + QStringLiteral(") ");
    const QString attributes =
        QStringLiteral("  PCTFREE 10 INITRANS 2 MAXTRANS 255 ") +
        (x.compression == QLatin1String("ENABLED") ? QStringLiteral("COMPRESS %1 ").arg(x.prefixLength) : QString()) +
        QStringLiteral("COMPUTE STATISTICS ");
    lines << attributes;
    if (x.partitions.empty()) {
        lines << storage(x.bufferPool);
        lines << QStringLiteral("  TABLESPACE ") + q(x.storage.tablespace) + QLatin1Char(' ');
        return lines.join(QLatin1Char('\n'));
    }
    lines << QStringLiteral("  STORAGE( BUFFER_POOL DEFAULT FLASH_CACHE DEFAULT CELL_FLASH_CACHE DEFAULT) LOCAL");
    QStringList parts;
    for (const auto &p : x.partitions) {
        QString text = QStringLiteral("PARTITION ") + q(p.name) + QLatin1Char(' ');
        if (p.subpartitions.empty()) {
            text += QStringLiteral("\n  PCTFREE 10 INITRANS 2 MAXTRANS 255 \n") + storage(p.bufferPool) +
                    QStringLiteral("\n  TABLESPACE ") + q(p.tablespace) + QLatin1Char(' ');
        } else {
            QStringList subs;
            for (const auto &s : p.subpartitions)
                subs << QStringLiteral("SUBPARTITION ") + q(s.name) + QStringLiteral(" \n  TABLESPACE ") +
                            q(s.tablespace) + QLatin1Char(' ');
            text += QStringLiteral("\n  PCTFREE 10 INITRANS 2 MAXTRANS 255 \n  STORAGE( BUFFER_POOL DEFAULT) \n ( ") +
                    subs.join(QStringLiteral(" , \n  ")) + QStringLiteral(")");
        }
        parts << text;
    }
    lines << QStringLiteral(" (") + parts.join(QStringLiteral(" , \n ")) + QLatin1Char(')');
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString DictionaryModel::ddl(const QString &type, const QString &name, const QString &schema) const
{
    static const QStringList known{QStringLiteral("TABLE"),
                                   QStringLiteral("INDEX"),
                                   QStringLiteral("VIEW"),
                                   QStringLiteral("SEQUENCE"),
                                   QStringLiteral("TRIGGER"),
                                   QStringLiteral("SYNONYM"),
                                   QStringLiteral("DIRECTORY"),
                                   QStringLiteral("PROCOBJ"),
                                   QStringLiteral("FUNCTION"),
                                   QStringLiteral("PROCEDURE"),
                                   QStringLiteral("PACKAGE"),
                                   QStringLiteral("TYPE"),
                                   QStringLiteral("MATERIALIZED_VIEW")};
    if (!known.contains(type))
        throw DbError(QStringLiteral("ORA-31600: invalid input value %1 for parameter OBJECT_TYPE in function GET_DDL")
                          .arg(type));
    if (type == QLatin1String("TABLE")) {
        if (const TableDef *t = table(schema, name))
            return tableDdl(*this, *t);
    } else if (type == QLatin1String("INDEX")) {
        const IndexDef *x = index(schema, name);
        if (x && x->indexType != QLatin1String("LOB"))
            return indexDdl(*x);
    } else if (const std::optional<QString> text = codeDdl(type, name, schema)) {
        return *text;
    }
    throw DbError(
        QStringLiteral("ORA-31603: object \"%1\" of type %2 not found in schema \"%3\"").arg(name, type, schema));
}

} // namespace tavimond::sim
