#include "buffer_cache_screen.h"

#include "ui_live_buffer_cache_screen.h"

#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"

#include <QFontDatabase>
#include <QTime>

namespace tavimond {

const QStringList &BufferCacheScreen::bufferCacheContentSql()
{
    // The blocks are counted as file "." block: joined without a separator, file 1
    // block 23 and file 12 block 3 would count once.
    static const QStringList sql{
        QStringLiteral("select t1.owner,"),
        QStringLiteral("       t1.object_name,"),
        QStringLiteral("       decode(t1.object_type, 'TABLE PARTITION', 'TAB PART',"),
        QStringLiteral("                              'INDEX PARTITION', 'IDX PART',"),
        QStringLiteral("                              t1.object_type) object_type,"),
        QStringLiteral("       sum(num_blocks),"),
        QStringLiteral("       (sum(num_blocks)/greatest(sum(blocks), .001))*100,"),
        QStringLiteral("       s.buffer_pool,"),
        QStringLiteral("       sum(bytes)/sum(blocks)"),
        QStringLiteral("  from (select o.owner,"),
        QStringLiteral("               o.object_name,"),
        QStringLiteral("               o.subobject_name,"),
        QStringLiteral("               o.object_type,"),
        QStringLiteral("               count(distinct file# || '.' || block#) num_blocks"),
        QStringLiteral("          from dba_objects o, v$bh bh"),
        QStringLiteral("         where o.data_object_id = bh.objd and"),
        QStringLiteral("               o.owner not in ('SYS','SYSTEM') and"),
        QStringLiteral("               bh.status != 'free'"),
        QStringLiteral("         group by o.owner, o.object_name, o.subobject_name, o.object_type) t1,"),
        QStringLiteral("       dba_segments s"),
        QStringLiteral(" where s.segment_name = t1.object_name and"),
        QStringLiteral("       s.owner = t1.owner and"),
        QStringLiteral("       s.segment_type = t1.object_type and"),
        QStringLiteral("       nvl(s.partition_name,'-') = nvl(t1.subobject_name,'-')"),
        QStringLiteral(" group by t1.owner, t1.object_name, t1.object_type, s.buffer_pool"),
        QStringLiteral("having sum(num_blocks) > 10"),
        QStringLiteral(" order by sum(num_blocks) desc"),
    };
    return sql;
}

BufferCacheScreen::BufferCacheScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("bufcache_page"), context, parent), ui_(std::make_unique<Ui::BufferCacheScreenForm>()),
      bccquery(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);
    bccquery->setSql(bufferCacheContentSql());
    ui_->bcc_memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui_->bcc_memo->setPlainText(bufferCacheContentSql().join(QLatin1Char('\n')));
    leaveOnCtrlTab(*ui_->bcc_memo);
    connect(ui_->bcc_button, &QPushButton::clicked, this, guarded([this] { bcc_buttonClick(); }));
    connect(ui_->Button69, &QPushButton::clicked, this, guarded([this] { Button69Click(); }));
}

BufferCacheScreen::~BufferCacheScreen() = default;

QList<GridHeaders> BufferCacheScreen::gridHeaders() const
{
    return {{QStringLiteral("bc_grid"),
             {QStringLiteral("Owner"), QStringLiteral("Obj Name"), QStringLiteral("Obj Type"),
              QStringLiteral("#Blks in Buffer"), QStringLiteral("%Blks in Buffer"), QStringLiteral("Pool Type"),
              QStringLiteral("Blk Size")},
             {}}};
}

void BufferCacheScreen::bcc_buttonClick()
{
    // The grid keeps its spare row: it is always loaded after being emptied.
    OpenQuery(*bccquery);
    LoadQueryIntoGrid(*bccquery, *ui_->bc_grid->grid(), QString(), nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100);
}

void BufferCacheScreen::Button69Click()
{
    ui_->bc_grid->grid()->empty();
}

} // namespace tavimond
