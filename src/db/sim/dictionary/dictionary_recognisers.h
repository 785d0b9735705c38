#pragma once

#include "../server.h"

#include <QStringList>

namespace tavimond::sim {

// Every simple query over one dba_ view of the dictionary model ("sys." before the
// name allowed), answered by the simple-query evaluator from the view's rows.
Recogniser dictionaryViewRecogniser(const QString &view);

// The joins of the dictionary views (see evaluateJoin) whose first view is one of these.
Recogniser dictionaryJoinRecogniser(const QString &name, const QStringList &firstViews);

} // namespace tavimond::sim
