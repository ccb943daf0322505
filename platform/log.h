// platform/log.h: lines for the user's terminal (stderr), in UTF-8.
#pragma once

// Where the lines go instead of stderr; null (the default) is stderr. Set
// before any thread starts: the fuzz targets set one that drops every line,
// so that the reports of rejected inputs cost nothing.
using LogSink = void (*)(const char* line);
void logSetSink(LogSink sink);

// printf-style; the text is UTF-8 already.
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text is Shift-JIS, as the game keeps it; converted on the way out.
void logSjis(const char* prefix, const char* sjisText);
