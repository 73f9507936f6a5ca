// The time and date as text, for the painted time and the announcement alike:
// the platform's formatting in the system's default locale.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings_catalogue.h"

// time with picture and flags (a TimeFormat's, announcement.h) into text;
// text is cleared first and stays empty when the formatting fails.
void FormatTimeText(const SYSTEMTIME &time, const char *picture, uint32_t flags,
                    char (&text)[kTextBufferSize]);
// time's date, in the locale's short or long date format, the same way.
void FormatDateText(const SYSTEMTIME &time, bool shortDate, char (&text)[kTextBufferSize]);
