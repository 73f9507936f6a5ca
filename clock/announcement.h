// The announcement: which pieces are spoken, in which order, with which force
// flag, and the buffers they are composed in.  Portable: no <windows.h>; the
// platform's clock formatting, time-zone query and the engine are reached
// through AnnouncementHost.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings_catalogue.h"

// A setting text, a formatted time or date, or zone words: at most 259
// characters.  A time sentence joins three of them with two blanks, so its
// buffer holds three whole pieces and nothing is ever cut.
constexpr size_t kPieceSize = kTextBufferSize;
constexpr size_t kSentenceSize = 3 * kPieceSize;

// The in-line commands: a volume of any 32-bit value, a play command with a
// path of up to 259 characters.
constexpr size_t kVolumeCommandSize = 32;
constexpr size_t kPlayCommandSize = 2 * kPieceSize;

// How the time is formatted, painted or spoken: the string-table id of its
// picture and the platform's formatting flags.
struct TimeFormat {
    uint16_t pictureId;
    uint32_t flags;
};
// Platform flag values, fixed by the time-formatting interface.
constexpr uint32_t kTimeNoSeconds = 2;
constexpr uint32_t kTimeNoTimeMarker = 4;
// The 12- or 24-hour picture, with seconds or without; bypassMarker leaves
// the time marker out.  An announcement never says seconds, and passes
// bypassMarker only for 12-hour time.
TimeFormat ChooseTimeFormat(bool hour24, bool includeSeconds, bool bypassMarker);

// What the platform reports about the current time zone.
enum class ZoneState { Standard, Daylight, Unknown };

class AnnouncementHost {
  public:
    virtual bool ReadFlag(Setting id) = 0;
    // Clears text, then reads the setting (with its default) into it.
    virtual void ReadText(Setting id, char (&text)[kPieceSize]) = 0;
    // Each leaves text empty when the platform's formatting fails.
    virtual void FormatTime(const TimeFormat &format, char (&text)[kPieceSize]) = 0;
    virtual void FormatDate(bool shortDate, char (&text)[kPieceSize]) = 0;
    // The current zone; its name (standard or daylight) goes into name.
    virtual ZoneState QueryZone(char (&name)[kPieceSize]) = 0;
    virtual const char *UniversalTimeWords() = 0;
    // Resets the engine with flag 0 when Interruptability is on.
    virtual void InterruptionStep() = 0;
    virtual void Speak(const char *text, bool force) = 0;
    // Posts WM_TIMER to the main window if the time display exists.
    virtual void RefreshTimeDisplay() = 0;

  protected:
    ~AnnouncementHost() = default;
};

// Composes and speaks one announcement: interruption step, greeting, time
// sentence (without force), comma or period, the time display's refresh
// (not for the startup announcement), date sentence, closing.
void SpeakAnnouncement(AnnouncementHost &host, bool startupAnnouncementPending);

// "%s %s" or "%s %s %s" into a buffer that always has room.
void JoinPieces(char (&sentence)[kSentenceSize], const char *first, const char *second,
                const char *third = nullptr);

// "[:volume set %d]" and [:play "%s"].
void FormatVolumeCommand(char (&command)[kVolumeCommandSize], int32_t volume);
void FormatPlayCommand(char (&command)[kPlayCommandSize], const char *path);
