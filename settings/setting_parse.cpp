#include "setting_parse.h"

#include <cstdio>

int32_t ParseSettingInt(const char *text, size_t size) {
    size_t i = 0;
    auto at = [&](size_t k) { return k < size ? text[k] : '\0'; };
    while (at(i) == ' ' || at(i) == '\t' || at(i) == '\n' || at(i) == '\r' || at(i) == '\v' ||
           at(i) == '\f') {
        ++i;
    }
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') {
        negative = at(i) == '-';
        ++i;
    }
    uint32_t value = 0;
    while (at(i) >= '0' && at(i) <= '9') {
        value = value * 10u + static_cast<uint32_t>(at(i) - '0');
        ++i;
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

void FormatSettingInt(int32_t value, char *buffer, size_t size) {
    std::snprintf(buffer, size, "%d", static_cast<int>(value));
}
