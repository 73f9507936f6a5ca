// Text-to-number rules shared by both settings backends.  Portable.
#pragma once

#include <cstddef>
#include <cstdint>

// The registry integer parse: leading white space, an optional sign, then
// decimal digits up to the first non-digit; no digits gives 0.  Reads at most
// size bytes and stops at a zero byte, so unterminated data is safe.
// Overflow wraps to 32 bits, as the stored text was written with "%d".
int32_t ParseSettingInt(const char *text, size_t size);

// "%d" of value into buffer (at least 12 bytes).
void FormatSettingInt(int32_t value, char *buffer, size_t size);
