// platform/sjis.h: Shift-JIS (code page 932) to UTF-8, at the platform edge only.
#pragma once
#include <cstddef>

// Converts a NUL-terminated Shift-JIS string into out (always NUL-terminated
// when outSize > 0). Bytes that do not convert become '?'. Returns the length
// written, without the NUL.
size_t sjisToUtf8(const char* sjis, char* out, size_t outSize);
