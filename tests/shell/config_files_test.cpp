#include "shell/config_files.h"

#include "shell_support.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

struct IniCase {
    const char *what;
    QByteArray file;
    QString prefix;
    std::optional<QString> metafileFolder;
};

} // namespace

TEST(DbIni, TheThreeLineRulesInOrder)
{
    const QList<IniCase> cases{
        {"key line, folder and section",
         "ZADERIRODU=PROD\nMETADATA=/srv/meta\n[PROD]\nProvider=Simulated;\n Opt = 1; \n[PROD_END]\n",
         QStringLiteral("Provider=Simulated; Opt = 1; "), QStringLiteral("/srv/meta")},
        {"key line after its section", "METADATA=/m\n[PROD]\nA=1;\n[PROD_END]\nZADERIRODU=PROD\n", QString(),
         QStringLiteral("/m")},
        {"no key line: only a [] section counts", "[PROD]\nA=1;\n[PROD_END]\n[]\nB=2;\n[_END]\n",
         QStringLiteral("B=2;"), std::nullopt},
        {"two sections: the one named last before it", "ZADERIRODU=B\n[A]\na;\n[A_END]\n[B]\nb;\n[B_END]\n",
         QStringLiteral("b;"), std::nullopt},
        {"a section per key line", "ZADERIRODU=A\n[A]\na;\n[A_END]\nZADERIRODU=B\n[B]\nb;\n[B_END]\n",
         QStringLiteral("a;b;"), std::nullopt},
        {"no _END] line: the section ends with the file", "ZADERIRODU=P\n[P]\nx=1;\ny=2;", QStringLiteral("x=1;y=2;"),
         std::nullopt},
        {"section lines are not read as rules", "ZADERIRODU=P\n[P]\nMETADATA=/x;\nZADERIRODU=Q\n[P_END]\n",
         QStringLiteral("METADATA=/x;ZADERIRODU=Q"), std::nullopt},
        {"an empty METADATA value", "METADATA=\n", QString(), QString()},
        {"a METADATA line without =", "  METADATA\n", QString(), QStringLiteral("  METADATA")},
        {"the text after the first =", "METADATA=/a=b\nZADERIRODU=X=Y\n[X=Y]\nv;\n[X=Y_END]\n", QStringLiteral("v;"),
         QStringLiteral("/a=b")},
        {"matching is case-sensitive", "zaderirodu=P\nmetadata=/m\n[P]\nA=1;\n[P_END]\n", QString(), std::nullopt},
    };
    for (const IniCase &c : cases) {
        test::TempCurrentFolder folder;
        folder.write(QStringLiteral("db.ini"), c.file);
        DbIni ini;
        readDbIni(folder.filePath(QStringLiteral("db.ini")), ini);
        EXPECT_EQ(ini.connectionPrefix, c.prefix) << c.what;
        EXPECT_EQ(ini.metafileFolder, c.metafileFolder) << c.what;
    }
}
