// The index views of the dictionary: dba_indexes and dba_part_indexes, index columns,
// partitions and subpartitions, and their joins.
#include "dictionary_recognisers.h"

namespace tavimond::sim {

void registerIndexFamily(std::vector<Recogniser> &out)
{
    out.push_back(dictionaryJoinRecogniser(QStringLiteral("index joins"),
                                           {QStringLiteral("dba_indexes"), QStringLiteral("dba_ind_partitions"),
                                            QStringLiteral("dba_ind_subpartitions")}));
    for (const char *view :
         {"dba_indexes", "dba_part_indexes", "dba_ind_columns", "dba_ind_partitions", "dba_ind_subpartitions"})
        out.push_back(dictionaryViewRecogniser(QString::fromLatin1(view)));
}

} // namespace tavimond::sim
