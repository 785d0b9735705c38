// The views of stored code and of the objects that point elsewhere: dba_source,
// dba_views, dba_sequences, dba_triggers, dba_synonyms and dba_directories.
#include "dictionary_recognisers.h"

namespace tavimond::sim {

void registerCodeFamily(std::vector<Recogniser> &out)
{
    for (const char *view :
         {"dba_source", "dba_views", "dba_sequences", "dba_triggers", "dba_synonyms", "dba_directories"})
        out.push_back(dictionaryViewRecogniser(QString::fromLatin1(view)));
}

} // namespace tavimond::sim
