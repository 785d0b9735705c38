#include "sql_history_scripts.h"

#include "core/conversions.h"

namespace tavimond {
namespace {

const char *const kRollupHead[] = {
    "select '---',trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),'---',sx.sqlexec,sum(sx.execs),sum(sx.elpas),"
    "sum(sx.rowsp), ",
    "sum(sx.readsp),sum(sx.iowaitsp),sum(sx.cpup),sum(sx.sortp),sum(sx.apwaitp),sum(sx.clwaitp),sum(sx.ccwaitp) from (",
};

const char *const kSingleSelect[] = {
    "select s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value as sqlexec, "
    "nvl(sum(x.executions_delta),0) as execs,",
    "nvl(round(sum(x.elapsed_time_delta) /1000000, 4),0) as elpas, ",
    "nvl(sum(x.rows_processed_delta),0) as rowsp,",
    "nvl(round(sum(x.disk_reads_delta), 4),0) as readsp, ",
    "nvl(round(sum(x.iowait_delta) /1000000, 4),0) as iowaitsp, ",
    "nvl(round(sum(x.cpu_time_delta) /1000000, 4),0) as cpup, ",
    "nvl(round(sum(x.sorts_delta), 4),0) as sortp, ",
};

const char *const kListSelect[] = {
    "select s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value, sum(x.executions_delta),",
    "round(sum(x.elapsed_time_delta) /1000000, 4), ",
    "sum(x.rows_processed_delta),",
    "round(sum(x.disk_reads_delta), 4), ",
    "round(sum(x.iowait_delta) /1000000, 4), ",
    "round(sum(x.cpu_time_delta) /1000000, 4), ",
    "round(sum(x.sorts_delta), 4), ",
};

const char *const kWaitSums[] = {
    "nvl(round(sum(x.apwait_delta) /1000000, 4),0) as apwaitp, ",
    "nvl(round(sum(x.clwait_delta) /1000000, 4),0) as clwaitp, ",
    "nvl(round(sum(x.ccwait_delta) /1000000, 4),0) as ccwaitp ",
    "from ",
    "(select snap_id,",
    "        sql_id,",
    "        plan_hash_value,",
    "        executions_delta,",
    "        elapsed_time_delta,",
    "        rows_processed_delta,",
};

const char *const kRollupTail[] = {
    ") sx ",
    "group by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),sx.sqlexec ",
    "order by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD')",
};

template <size_t N>
void add(QStringList &lines, const char *const (&texts)[N])
{
    for (const char *t : texts)
        lines << QLatin1String(t);
}

// The statement with the snapshot times written by `timeMask`; `executedOnly` keeps
// only the repository's rows that counted executions.
QStringList statisticsLines(const QString &sqlId, SqlStatisticsForm form, const QStringList &windowLines,
                            const QString &timeMask, bool executedOnly)
{
    QStringList lines;
    if (form.dailyRollup)
        add(lines, kRollupHead);
    if (form.listSelect)
        add(lines, kListSelect);
    else
        add(lines, kSingleSelect);
    add(lines, kWaitSums);
    lines << (form.listSelect ? QStringLiteral("        DISK_READS_DELTA,") : QStringLiteral("        disk_reads_delta,"))
          << QStringLiteral("        iowait_DELTA,") << QStringLiteral("        cpu_time_DELTA,")
          << QStringLiteral("        sorts_DELTA,") << QStringLiteral("        apwait_DELTA,")
          << QStringLiteral("        clwait_DELTA,") << QStringLiteral("        ccwait_DELTA")
          << QStringLiteral("        from dba_hist_sqlstat where");
    if (executedOnly)
        lines << QStringLiteral("        sql_id = ") + sqlQuote(sqlId)
              << QStringLiteral("        and executions_delta > 0) x,");
    else
        lines << QStringLiteral("        sql_id = ") + sqlQuote(sqlId) + QStringLiteral(") x,");
    lines << QStringLiteral("(select snap_id,")
          << QStringLiteral("        max(to_char((trunc(begin_interval_time, 'mi')),'%1')) as start_time,").arg(timeMask)
          << QStringLiteral("        max(to_char((trunc(end_interval_time, 'mi')),'%1')) as end_time").arg(timeMask)
          << QStringLiteral("        from dba_hist_snapshot");
    lines << windowLines;
    lines << QStringLiteral("        group by snap_id") << QStringLiteral("        ) s")
          << QStringLiteral("where s.snap_id = x.snap_id")
          << QStringLiteral("group by s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value")
          << (form.listSelect ? QStringLiteral("having sum(x.elapsed_time_delta)>0")
                              : QStringLiteral("having sum(x.elapsed_time_delta)>0 "))
          << QStringLiteral("order by x.sql_id||'::'||x.plan_hash_value,s.snap_id");
    if (form.dailyRollup)
        add(lines, kRollupTail);
    return lines;
}

} // namespace

QStringList sqlStatisticsLines(const QString &sqlId, SqlStatisticsForm form, const QStringList &windowLines)
{
    return statisticsLines(sqlId, form, windowLines, QStringLiteral("DD/MON/YYYY HH24:MI:SS"), false);
}

QStringList sqlStatisticsStarterLines()
{
    return statisticsLines(QStringLiteral("xxx"), {}, {QStringLiteral("        where begin_interval_time >= sysdate - 1")},
                           QStringLiteral("DD/MON/YYYY HH24:MI"), true);
}

QStringList sqlWaitEventLines(const QString &sqlId, WaitEventParameters parameters, const QStringList &windowLines)
{
    QString terms;
    const std::pair<bool, const char *> chosen[] = {{parameters.p1text, "p1text"}, {parameters.p1, "p1"},
                                                    {parameters.p2text, "p2text"}, {parameters.p2, "p2"},
                                                    {parameters.p3text, "p3text"}, {parameters.p3, "p3"}};
    for (const auto &[ticked, column] : chosen)
        if (ticked)
            terms += QStringLiteral("||':'||x.") + QLatin1String(column);
    QStringList lines{
        QStringLiteral("select x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,"),
        QStringLiteral("min(x.sample_time), max(x.sample_time),x.event") + terms,
        QStringLiteral(",count(*) , sum(x.time_waited)/1000000 from "),
        QStringLiteral("(select snap_id,SESSION_ID,SESSION_SERIAL#,sql_id,SQL_PLAN_HASH_VALUE, "),
        QStringLiteral("event,sample_time,time_waited,p1text,p1,p2text,p2,p3text,p3 from dba_hist_active_sess_history "
                       "where "),
        QStringLiteral("sql_id = ") + sqlQuote(sqlId),
        QStringLiteral(") x, "),
        QStringLiteral("(select snap_id from dba_hist_snapshot "),
    };
    lines << windowLines;
    lines << QStringLiteral("group by snap_id ) s") << QStringLiteral("where s.snap_id = x.snap_id")
          << QStringLiteral("group by x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,x.event ") +
                 terms
          << QStringLiteral("order by x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,x.event") +
                 terms;
    return lines;
}

} // namespace tavimond
