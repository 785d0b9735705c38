#pragma once

#include <QLayout>
#include <QList>

namespace tavimond {

// Lays its controls out left to right and starts a new line where the next one would
// not fit, so that a bar of controls stays whole in a narrow window. Each control keeps
// its preferred width, and no more than the line's; a line is as tall as its tallest.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget *parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // The height the items take at `rect`'s width; places them when `place`.
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> items_;
};

} // namespace tavimond
