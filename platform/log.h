// platform/log.h: lines for the user's terminal (stderr), in UTF-8.
#pragma once

// printf-style; the text is UTF-8 already.
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text is Shift-JIS, as the game keeps it; converted on the way out.
void logSjis(const char* prefix, const char* sjisText);
