// The recording sink is defined whole in its header.
#include "recording_sink.h"
