#pragma once

#include <QMainWindow>

namespace tavimond {

// The main window: the container of every screen.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
};

} // namespace tavimond
