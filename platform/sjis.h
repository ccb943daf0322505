// platform/sjis.h: Shift-JIS (code page 932) to UTF-8, at the platform edge only.
#pragma once
#include <cstddef>
#include <cstdint>

// Converts a NUL-terminated Shift-JIS string into out (always NUL-terminated
// when outSize > 0). Bytes that do not convert become '?'. Returns the length
// written, without the NUL.
// The first byte of a double-byte character: 0x81..0x9F or 0xE0..0xFC.
constexpr bool isSjisLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool isSjisLeadByte(char c) { return isSjisLeadByte(static_cast<uint8_t>(c)); }

size_t sjisToUtf8(const char* sjis, char* out, size_t outSize);

// The Unicode code point of one Shift-JIS character: a one-byte code below
// 0x100, or lead byte * 256 + trail byte. 0 when the code page has no such
// character (a lone lead byte, an unassigned pair).
uint32_t sjisCodeToUnicode(uint32_t code);
