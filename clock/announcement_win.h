// The announcement on the platform: the settings store, the system's time
// and date formatting, the time-zone query and the speech session.
#pragma once

#include <windows.h>

#include "clock_pass.h"
#include "clock_window.h"

// Loaded from the string table once, at thread start.
struct AnnouncementTexts {
    char universalTimeWords[kTextBufferSize]; // IDS_UTC_WORDS
    char picture12[kTextBufferSize];          // IDS_PICTURE_12H
    char picture24[kTextBufferSize];          // IDS_PICTURE_24H
};
void LoadAnnouncementTexts(AnnouncementTexts &texts);

// Composes and speaks the announcement of clock, after chime (a play
// command) when there is one.
void AnnounceTime(SpeechSession &session, const AnnouncementTexts &texts, const ClockWindow &window,
                  const SYSTEMTIME &clock, bool startupAnnouncementPending,
                  const char *chime = nullptr);

// hour:minute in the picture the announcements use (12 or 24 hours).
void FormatAlarmTime(const AnnouncementTexts &texts, uint16_t hour, uint16_t minute,
                     char (&text)[kTextBufferSize]);
