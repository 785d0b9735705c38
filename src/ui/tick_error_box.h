#pragma once

#include <QMessageBox>

namespace tavimond {

// The error box of one timer. A modal box would hold its timer up (Qt fires no timer
// again while its own tick waits in a box), so that a short network drop at night would
// stop sampling until morning. This box does not block: it shows the latest error and
// how many ticks failed since it opened, while the ticks go on and sampling resumes
// as soon as the database answers again. Its component name is TickErrorBox_ and the
// timer's.
class TickErrorBox : public QMessageBox {
    Q_OBJECT
public:
    explicit TickErrorBox(const QString &timer, QWidget *parent = nullptr);

    // One more failed tick: its message, and the box shown if it was closed.
    void report(const QString &text);
    // Ticks failed since the box last opened.
    int failures() const { return failures_; }

private:
    QString timer_;
    int failures_ = 0;
};

// Reports a failed tick in that timer's box, made on first use.
void showTickError(const QString &timer, const QString &text);
// That timer's box, if one was made.
TickErrorBox *tickErrorBox(const QString &timer);

} // namespace tavimond
