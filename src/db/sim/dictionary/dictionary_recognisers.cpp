#include "dictionary_recognisers.h"

#include "dictionary_model.h"
#include "join_query.h"

#include "../select_eval.h"

namespace tavimond::sim {

Recogniser dictionaryViewRecogniser(const QString &view)
{
    const QString name = view.toLower();
    const QString qualified = QStringLiteral("sys.") + name;
    return {name,
            [name, qualified](const Statement &s) {
                const QString v = simpleSelectView(s);
                return v == name || v == qualified;
            },
            [name](const Statement &s, Context &ctx) {
                const QString v = simpleSelectView(s);
                return *evaluateSimpleSelect(s, v, [&] { return *ctx.model.state<DictionaryModel>().view(name); });
            }};
}

Recogniser dictionaryJoinRecogniser(const QString &name, const QStringList &firstViews)
{
    return {name,
            [firstViews](const Statement &s) {
                QString first = firstJoinedView(s);
                if (first.startsWith(QLatin1String("sys.")))
                    first = first.mid(4);
                return !first.isEmpty() && firstViews.contains(first);
            },
            [](const Statement &s, Context &ctx) {
                const DictionaryModel &dictionary = ctx.model.state<DictionaryModel>();
                return *evaluateJoin(s, [&](const QString &view) { return dictionary.view(view); });
            }};
}

} // namespace tavimond::sim
