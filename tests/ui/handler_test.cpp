#include "common/recording_sink.h"
#include "db/error.h"
#include "ui/handler.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavimond;

// An exception ends the handler in the error box, earlier changes stay, and the next
// signal runs it again; handlers take the leading signal arguments they need.
TEST(Handler, AnExceptionEndsTheHandlerInTheErrorBoxAndEarlierChangesStay)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    QPushButton button;
    int steps = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded([&] {
        ++steps;
        throw DbError("ORA-00942: table or view does not exist");
    }));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(sink.errors, QStringList(2, "ORA-00942: table or view does not exist"));

    sink.clear();
    runGuarded([] { throw std::runtime_error("plain failure"); });
    EXPECT_EQ(sink.errors, QStringList{"plain failure"});

    sink.clear();
    QComboBox box;
    QStringList seen;
    QObject::connect(&box, &QComboBox::currentIndexChanged, &box, guarded([&](int i) {
        if (i == 1)
            throw Error("second item");
        seen << QString::number(i);
    }));
    QObject::connect(&box, &QComboBox::currentTextChanged, &box, guarded([&] { seen << "text"; }));
    box.addItems({"a", "b"});
    box.setCurrentIndex(1);
    EXPECT_EQ(seen, (QStringList{"0", "text", "text"}));
    EXPECT_EQ(sink.errors, QStringList{"second item"});
}
