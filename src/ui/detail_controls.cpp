#include "detail_controls.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTreeWidget>
#include <QValidator>

namespace tavimond {
namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// Keeps a read-only edit's tool tip the whole of its text while the text does not fit.
class CutTextTip : public QObject {
public:
    explicit CutTextTip(QLineEdit *edit) : QObject(edit), edit_(edit)
    {
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, &CutTextTip::update);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
            update();
        return false;
    }

private:
    void update()
    {
        QStyleOptionFrame option;
        option.initFrom(edit_);
        option.rect = edit_->rect();
        const QMargins margins = edit_->textMargins();
        // The editor keeps two pixels of its own on each side of the text.
        const int room = edit_->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit_).width() -
                         margins.left() - margins.right() - 4;
        const QString text = edit_->text();
        edit_->setToolTip(edit_->fontMetrics().horizontalAdvance(text) > room ? text : QString());
    }

    QLineEdit *edit_;
};

} // namespace

void paintSkyBlue(QWidget &control)
{
    QPalette p = control.palette();
    p.setColor(QPalette::Base, clSkyBlue());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, detailHighlight());
        p.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    control.setPalette(p);
}

void showAsDetail(QWidget &control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(&control)) {
        edit->setReadOnly(true);
        new CutTextTip(edit);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(&control)) {
        memo->setReadOnly(true);
    } else if (auto *view = qobject_cast<QAbstractItemView *>(&control)) {
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    paintSkyBlue(control);
}

void forceUpperCase(QLineEdit &edit)
{
    edit.setValidator(new UpperCaseValidator(&edit));
}

QTreeWidgetItem *selectedNode(const QTreeWidget &tree)
{
    QTreeWidgetItem *current = tree.currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QTreeWidgetItem *> selected = tree.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int nodeLevel(const QTreeWidgetItem &node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node.parent(); p; p = p->parent())
        ++level;
    return level;
}

} // namespace tavimond
