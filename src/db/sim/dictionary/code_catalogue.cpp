// The stored code, views, sequences, triggers, synonyms, directories and scheduler
// objects of the simulated dictionary.
#include "dictionary_model.h"

namespace tavimond::sim {

std::optional<QString> DictionaryModel::codeDdl(const QString &, const QString &, const QString &) const
{
    return std::nullopt;
}

} // namespace tavimond::sim
