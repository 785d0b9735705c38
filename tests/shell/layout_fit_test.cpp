// Every screen and every tab of the main window, at the smallest window a user is
// expected to work in, at the default size and on a large screen: no two controls
// overlap, none is cut below its own minimum or caption, none lies outside what its
// parent shows unless a scroll area can bring it in.
#include "layout_check.h"
#include "shell_support.h"

#include "ui/screen.h"

#include <QLayout>
#include <QMenuBar>

using namespace tavimond;

namespace {

class LayoutFit : public test::LoggedOnWindow, public ::testing::WithParamInterface<QSize> {};

} // namespace

TEST_P(LayoutFit, EveryScreenAndTabFitsTheWindow)
{
    const QSize size = GetParam();
    // A screen whose controls cannot shrink to the window would make the window larger
    // than the user's screen; held at the size, as a small screen holds it, the
    // controls it squeezes are what the user sees.
    const QSize client = size - QSize(0, window.menuBar()->sizeHint().height());
    for (Screen *s : window.screens()) {
        EXPECT_LE(s->minimumSizeHint().width(), client.width()) << s->objectName().toStdString();
        EXPECT_LE(s->minimumSizeHint().height(), client.height()) << s->objectName().toStdString();
    }
    window.layout()->setSizeConstraint(QLayout::SetNoConstraint);
    window.setMinimumSize(0, 0);
    window.resize(size);
    test::settle();
    ASSERT_EQ(window.size(), size);

    QStringList faults;
    auto *stack = qobject_cast<QStackedWidget *>(window.centralWidget());
    ASSERT_TRUE(stack);
    for (Screen *s : window.screens()) {
        stack->setCurrentWidget(s);
        test::walkPages(*s, s->objectName(),
                        [&](const QString &) { test::lookForFaults(window, &window, window.rect(), faults); });
    }
    EXPECT_EQ(faults, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutFit, ::testing::Values(QSize(1024, 700), QSize(1142, 717), QSize(1600, 1000)), [](const auto &info) {
        return QStringLiteral("w%1h%2").arg(info.param.width()).arg(info.param.height()).toStdString();
    });
