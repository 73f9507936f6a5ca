#include "time_text.h"

#include <cstring>

void FormatTimeText(const SYSTEMTIME &time, const char *picture, uint32_t flags,
                    char (&text)[kTextBufferSize]) {
    std::memset(text, 0, sizeof text);
    if (GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, picture, text, sizeof text) == 0) {
        std::memset(text, 0, sizeof text);
    }
}

void FormatDateText(const SYSTEMTIME &time, bool shortDate, char (&text)[kTextBufferSize]) {
    std::memset(text, 0, sizeof text);
    if (GetDateFormatA(LOCALE_SYSTEM_DEFAULT, shortDate ? DATE_SHORTDATE : DATE_LONGDATE, &time,
                       nullptr, text, sizeof text) == 0) {
        std::memset(text, 0, sizeof text);
    }
}
