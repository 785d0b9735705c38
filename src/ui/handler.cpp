#include "handler.h"

#include "core/messages.h"
#include "db/error.h"

#include <QApplication>
#include <QMessageBox>

namespace tavimond {
namespace {

class MessageBoxSink : public MessageSink {
public:
    void error(const QString &text) override
    {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Tavimond"), text);
    }
    void info(const QString &text) override
    {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Tavimond"), text);
    }
};

} // namespace

void runGuarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Error &e) {
        messages().error(e.message());
    } catch (const std::bad_alloc &) {
        messages().error(QStringLiteral("Out of memory."));
    } catch (const std::exception &e) {
        messages().error(QString::fromUtf8(e.what()));
    }
}

void installMessageBoxes()
{
    static MessageBoxSink sink;
    setMessageSink(&sink);
}

} // namespace tavimond
