#include "common/recording_sink.h"
#include "db/error.h"
#include "ui/handler.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavimond;

TEST(Handler, AnExceptionEndsTheHandlerInTheErrorBoxAndEarlierChangesStay)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    QPushButton button;
    int steps = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded([&] {
        ++steps;
        throw DbError(QStringLiteral("ORA-00942: table or view does not exist"));
        ++steps; // never reached
    }));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(sink.errors, QStringList(2, QStringLiteral("ORA-00942: table or view does not exist")));

    sink.clear();
    runGuarded([] { throw std::runtime_error("plain failure"); });
    EXPECT_EQ(sink.errors, QStringList{QStringLiteral("plain failure")});
}

TEST(Handler, HandlersTakeTheLeadingSignalArgumentsTheyNeed)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    QComboBox box;
    QStringList seen;
    QObject::connect(&box, &QComboBox::currentIndexChanged, &box, guarded([&](int i) {
        if (i == 1)
            throw Error(QStringLiteral("second item"));
        seen << QString::number(i);
    }));
    QObject::connect(&box, &QComboBox::currentTextChanged, &box, guarded([&] { seen << QStringLiteral("text"); }));
    box.addItems({QStringLiteral("a"), QStringLiteral("b")});
    box.setCurrentIndex(1);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("0"), QStringLiteral("text"), QStringLiteral("text")}));
    EXPECT_EQ(sink.errors, QStringList{QStringLiteral("second item")});
}
