#include "platform/log.h"

#include "platform/sjis.h"

#include <cstdarg>
#include <cstdio>

// Room for one converted line; longer texts are cut, never overflowed.
constexpr size_t LOG_SJIS_LINE_MAX = 2048;

static LogSink sSink;

void logSetSink(LogSink sink) { sSink = sink; }

// Each line is written under the stream's lock so lines from loader threads
// never interleave.
void logLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (sSink) {
        char line[LOG_SJIS_LINE_MAX + 256];
        vsnprintf(line, sizeof line, format, args);
        va_end(args);
        sSink(line);
        return;
    }
    flockfile(stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    funlockfile(stderr);
    va_end(args);
}

void logSjis(const char* prefix, const char* sjisText) {
    char text[LOG_SJIS_LINE_MAX];
    sjisToUtf8(sjisText, text, sizeof text);
    logLine("%s: %s", prefix ? prefix : "", text);
}
