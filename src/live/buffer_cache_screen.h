#pragma once

#include "ui/screen.h"

#include <QStringList>
#include <memory>

namespace Ui {
class BufferCacheScreenForm;
}

namespace tavimond {

class Query;

// The buffer cache content screen (bufcache_page): the segments with more than 10
// blocks in the buffer cache.
class BufferCacheScreen : public Screen {
    Q_OBJECT
public:
    explicit BufferCacheScreen(ScreenContext context, QWidget *parent = nullptr);
    ~BufferCacheScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // The SQL of bccquery, which its Script tab shows.
    static const QStringList &bufferCacheContentSql();

    // Retrieve: runs bccquery's own SQL into bc_grid.
    void bcc_buttonClick();
    // Clear: empties bc_grid.
    void Button69Click();

private:
    std::unique_ptr<Ui::BufferCacheScreenForm> ui_;
    std::unique_ptr<Query> bccquery;
};

} // namespace tavimond
