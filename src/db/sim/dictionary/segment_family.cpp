// dba_segments: every segment of the storage layout.
#include "dictionary_recognisers.h"

namespace tavimond::sim {

void registerSegmentFamily(std::vector<Recogniser> &out)
{
    out.push_back(dictionaryViewRecogniser(QStringLiteral("dba_segments")));
}

} // namespace tavimond::sim
