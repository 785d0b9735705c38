#pragma once

#include <QString>

class QLineEdit;
class QObject;
class QPushButton;
class QWidget;

namespace tavimond {

class Chart;
class ResultGrid;

// Models and controls of the live screens, made with their component names.
ResultGrid *namedGrid(int columns, const char *name, QObject *owner);
Chart *namedChart(const char *name, const QString &title, QObject *owner);
QPushButton *namedButton(const char *name, const QString &caption, QWidget *parent);
QLineEdit *namedEdit(const char *name, QWidget *parent);

} // namespace tavimond
