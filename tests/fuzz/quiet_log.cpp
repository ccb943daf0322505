// Linked into every fuzz target: the loaders' reports of rejected inputs go
// to a sink that drops them, so a run prints only the fuzzer's own lines
// (a report per input would be most of a run's time and hundreds of MB).
#include "platform/log.h"

static void dropLine(const char*) {}

struct QuietLog {
    QuietLog() { logSetSink(dropLine); }
};
static QuietLog sQuietLog;
