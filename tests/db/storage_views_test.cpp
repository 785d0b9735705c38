// The simulated instance's tablespaces and files: dba_tablespaces, dba_data_files,
// dba_temp_files, v$tablespace, and the storage browser's list of them.
#include "db/db_support.h"
#include "db/sim/dictionary/tablespace_catalogue.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class StorageViews : public ::testing::Test {
protected:
    QList<QStringList> rows(const QString &sql) { return db.rows(sql); }

    test::SimDb db{11};
};

} // namespace

TEST_F(StorageViews, FilesHoldTheLayoutsExtentsBelongToKnownTablespacesAndTheListNeedsItsShape)
{
    const auto &catalogue = db.model().state<sim::TablespaceCatalogue>();
    for (const auto &f : catalogue.files()) {
        if (!f.temporary) {
            EXPECT_GE(f.blocks, catalogue.extentEnd(f.fileId)) << f.fileId;
        }
        EXPECT_GT(f.userBlocks(), 0);
        if (f.autoextensible) {
            EXPECT_GE(f.maxBlocks, f.blocks) << f.fileId;
        }
    }

    // Every file's tablespace is listed, with the contents its files fit; numbers are unique.
    QHash<QString, QString> contents;
    QSet<QString> numbers;
    for (const QStringList &r : rows("select ts#, name from v$tablespace"))
        numbers.insert(r.at(0));
    for (const QStringList &r : rows("select tablespace_name, contents from dba_tablespaces"))
        contents.insert(r.at(0), r.at(1));
    EXPECT_EQ(numbers.size(), contents.size());
    for (const QStringList &r : rows("select tablespace_name from dba_data_files"))
        EXPECT_NE(contents.value(r.at(0), "?"), "TEMPORARY") << r.at(0).toStdString();
    const QList<QStringList> temp = rows("select tablespace_name from dba_temp_files");
    ASSERT_EQ(temp.size(), 2);
    for (const QStringList &r : temp)
        EXPECT_EQ(contents.value(r.at(0)), "TEMPORARY");

    // The list query with a filter whose quote was not doubled never reaches the instance.
    const QString broken = QStringLiteral(
        "select df.tablespace_name, df.file_name from dba_tablespaces ts, dba_data_files df where "
        "upper(ts.tablespace_name) like 'O'X' and upper(df.file_name) like '%' and df.tablespace_name = "
        "ts.tablespace_name union select tf.tablespace_name, tf.file_name from dba_tablespaces ts, dba_temp_files tf "
        "where upper(ts.tablespace_name) like '%' and upper(tf.file_name) like '%' and tf.tablespace_name = "
        "ts.tablespace_name order by 1,2");
    EXPECT_EQ(db.error(broken), "The statement was not sent: it has a text literal that is never closed.");
    QString fixed = broken;
    fixed.replace("'O'X'", "'%'");
    const QList<QStringList> all = rows(fixed);
    EXPECT_EQ(all.size(), rows("select file_id from dba_data_files").size() + 2);
    EXPECT_EQ(all.first().size(), 32);
}
