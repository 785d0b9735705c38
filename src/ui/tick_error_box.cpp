#include "tick_error_box.h"

#include <QApplication>
#include <QHash>
#include <QMainWindow>
#include <QPointer>

namespace tavimond {
namespace {

QHash<QString, QPointer<TickErrorBox>> &boxes()
{
    static QHash<QString, QPointer<TickErrorBox>> all;
    return all;
}

// The application's main window. Not the active window: a tick may fail while another
// box is open, and a tick box made that box's child would close with it, its count lost.
QWidget *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(w))
            return w;
    return nullptr;
}

} // namespace

TickErrorBox::TickErrorBox(const QString &timer, QWidget *parent)
    : QMessageBox(QMessageBox::Critical, QStringLiteral("Tavimond"), QString(), QMessageBox::Ok, parent), timer_(timer)
{
    setObjectName(QStringLiteral("TickErrorBox_") + timer);
    setModal(false);
    setWindowModality(Qt::NonModal);
    // Closed, it counts afresh when the next failure opens it.
    connect(this, &QMessageBox::finished, this, [this] { failures_ = 0; });
}

void TickErrorBox::report(const QString &text)
{
    ++failures_;
    setText(text);
    setInformativeText(failures_ == 1
                           ? QStringLiteral("1 tick of %1 failed since this box opened; the ticks go on.").arg(timer_)
                           : QStringLiteral("%1 ticks of %2 failed since this box opened; the ticks go on.")
                                 .arg(failures_)
                                 .arg(timer_));
    if (!isVisible())
        show();
}

void showTickError(const QString &timer, const QString &text)
{
    QPointer<TickErrorBox> &box = boxes()[timer];
    if (!box) {
        box = new TickErrorBox(timer, mainWindow());
        if (!box->parent()) // no window to go with: it goes with the application
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, box, &QObject::deleteLater);
    }
    box->report(text);
}

TickErrorBox *tickErrorBox(const QString &timer)
{
    return boxes().value(timer);
}

} // namespace tavimond
