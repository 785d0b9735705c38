#pragma once

#include <QWidget>

class QPushButton;

namespace tavimond {

class Chart;

// The small buttons that stand in a chart's corner: "<" widens the chart's right
// margin by one step (a smaller plot), ">" narrows it, "=||" turns the bottom-axis
// labels between 0 and 90 degrees. A button whose name is empty is left out.
class ChartPlotButtons : public QWidget {
    Q_OBJECT
public:
    struct Names {
        QString decrease; // "<"
        QString increase; // ">"
        QString toggle;   // "=||"
    };

    // With a chart view as parent the buttons sit in its top left corner. Some charts'
    // "<" and ">" carry no hints: pass plotAreaHints false for them.
    ChartPlotButtons(Chart *chart, const Names &names, QWidget *parent = nullptr, bool plotAreaHints = true);

    QPushButton *decreaseButton() const { return decrease_; }
    QPushButton *increaseButton() const { return increase_; }
    QPushButton *toggleButton() const { return toggle_; }

private:
    QPushButton *addButton(const QString &name, const QString &caption, const QString &hint);

    Chart *chart_;
    QPushButton *decrease_ = nullptr;
    QPushButton *increase_ = nullptr;
    QPushButton *toggle_ = nullptr;
};

} // namespace tavimond
