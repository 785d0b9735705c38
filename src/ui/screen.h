#pragma once

#include <QList>
#include <QStringList>
#include <QTabWidget>
#include <memory>

namespace tavimond {

class Connection;
class KeyColours;
class Settings;

// What the main window hands each screen when it creates it.
struct ScreenContext {
    Connection &cnn;
    const Settings &settings;
};

// Header texts and column widths that start-up writes into one grid.
struct GridHeaders {
    QString grid;        // the grid's component name
    QStringList headers; // row 0, column by column; empty leaves row 0 as it is
    QList<int> widths;   // pixel widths of the first columns; empty, or -1 for a column, keeps the default
};

// The hint text start-up writes into one chart.
struct ChartHint {
    QString chart;
    QString hint;
};

// One screen (a page control of the main window): a set of tabs. Each screen keeps its
// grids' headers and its charts' hints in one table, which start-up applies.
class Screen : public QTabWidget {
    Q_OBJECT
public:
    Screen(const QString &name, ScreenContext context, QWidget *parent = nullptr);

    virtual QList<GridHeaders> gridHeaders() const { return {}; }
    virtual QList<ChartHint> chartHints() const { return {}; }

    // The colours of the keys of this screen's charts: a chart shown on the screen takes
    // its keys' colours from here, so that a key looks the same in all of them.
    const std::shared_ptr<KeyColours> &keyColours() const { return keyColours_; }

protected:
    Connection &cnn() const { return context_.cnn; }
    const Settings &settings() const { return context_.settings; }

private:
    ScreenContext context_;
    std::shared_ptr<KeyColours> keyColours_;
};

} // namespace tavimond
