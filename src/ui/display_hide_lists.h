#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QListWidget;
class QListWidgetItem;

namespace tavimond {

class Chart;

// Two lists of series keys, "Display" and "Hide", with the buttons between them: "<"
// moves the selected hidden key to the end of the display list, ">" the selected
// displayed key to the end of the hide list, "<<" and ">>" move every key. Every series
// titled with a moved key, in every chart the lists drive, becomes active (drawn) or
// inactive (hidden, its points kept); "<<" and ">>" switch every series of the charts.
class DisplayHideLists : public QWidget {
    Q_OBJECT
public:
    struct Names {
        QString displayList;
        QString hideList;
        QString showSelected; // "<"
        QString hideSelected; // ">"
        QString showAll;      // "<<"
        QString hideAll;      // ">>"
    };

    explicit DisplayHideLists(const Names &names, QWidget *parent = nullptr);

    void setCharts(const QList<Chart *> &charts);

    // Appends each key that neither list holds to the end of the display list, in the
    // order given (exact, case-sensitive comparison).
    void addKeys(const QStringList &keys);
    void clear();

    QStringList displayed() const;
    QStringList hidden() const;

    // The buttons' actions; "<" and ">" do nothing without a selected key.
    void showSelected();
    void hideSelected();
    void showAll();
    void hideAll();

    QListWidget *displayList() const { return display_; }
    QListWidget *hideList() const { return hide_; }

private:
    void moveSelected(QListWidget *from, QListWidget *to, bool active);
    void moveAll(QListWidget *from, QListWidget *to, bool active);
    void switchSeries(const QString *title, bool active);

    QListWidget *display_;
    QListWidget *hide_;
    QList<QPointer<Chart>> charts_;
};

} // namespace tavimond
