// The announcement's platform side: the settings store, time and date
// formatting in the system's default locale, the time-zone query and the
// engine.  What is spoken, and in which order, is decided in announcement.cpp.
#include <cstring>
#include <cwchar>

#include "announcement.h"
#include "announcement_win.h"
#include "resources.h"
#include "settings_store.h"
#include "time_text.h"

namespace {

void FormatClockTime(const AnnouncementTexts &texts, const TimeFormat &format,
                     const SYSTEMTIME &clock, char (&text)[kPieceSize]) {
    const char *picture = format.pictureId == IDS_PICTURE_24H ? texts.picture24 : texts.picture12;
    FormatTimeText(clock, picture, format.flags, text);
}

class AnnouncementOnPlatform : public AnnouncementHost {
  public:
    AnnouncementOnPlatform(SpeechSession &session, const AnnouncementTexts &texts,
                           const ClockWindow &window, const SYSTEMTIME &clock, const char *chime)
        : session_(session), texts_(texts), window_(window), clock_(clock), chime_(chime) {}

    bool ReadFlag(Setting id) override { return ::ReadFlag(id); }

    void ReadText(Setting id, char (&text)[kPieceSize]) override { ::ReadText(id, text); }

    void FormatTime(const TimeFormat &format, char (&text)[kPieceSize]) override {
        FormatClockTime(texts_, format, clock_, text);
    }

    void FormatDate(bool shortDate, char (&text)[kPieceSize]) override {
        FormatDateText(clock_, shortDate, text);
    }

    ZoneState QueryZone(char (&name)[kPieceSize]) override {
        TIME_ZONE_INFORMATION zone{};
        const DWORD state = GetTimeZoneInformation(&zone);
        if (state == TIME_ZONE_ID_STANDARD) {
            ToEightBit(zone.StandardName, name);
            return ZoneState::Standard;
        }
        if (state == TIME_ZONE_ID_DAYLIGHT) {
            ToEightBit(zone.DaylightName, name);
            return ZoneState::Daylight;
        }
        return ZoneState::Unknown; // no daylight saving, or the query failed
    }

    const char *UniversalTimeWords() override { return texts_.universalTimeWords; }

    // The chime comes right after the interruption step, which would cut
    // it, and before the greeting.
    void InterruptionStep() override {
        if (::ReadFlag(Setting::Interruptability)) {
            session_.Interrupt();
        }
        if (chime_ != nullptr) {
            session_.Speak(chime_, true, SpeechKind::Sound);
        }
    }

    void Speak(const char *text, bool force) override {
        session_.Speak(text, force, SpeechKind::Announcement);
    }

    void RefreshTimeDisplay() override {
        if (window_.timeDisplayShown()) {
            PostMessageA(window_.mainWindow, WM_TIMER, 0, 0);
        }
    }

  private:
    // The zone's 16-bit name in the program's 8-bit code page.
    template <size_t N> static void ToEightBit(const WCHAR (&wide)[N], char (&text)[kPieceSize]) {
        std::memset(text, 0, sizeof text);
        size_t length = 0;
        while (length < N && wide[length] != 0) {
            ++length;
        }
        if (length > 0 && WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), text,
                                              sizeof text - 1, nullptr, nullptr) == 0) {
            std::memset(text, 0, sizeof text);
        }
    }

    SpeechSession &session_;
    const AnnouncementTexts &texts_;
    const ClockWindow &window_;
    const SYSTEMTIME &clock_;
    const char *chime_;
};

} // namespace

void LoadAnnouncementTexts(AnnouncementTexts &texts) {
    LoadText(IDS_UTC_WORDS, texts.universalTimeWords);
    LoadText(IDS_PICTURE_12H, texts.picture12);
    LoadText(IDS_PICTURE_24H, texts.picture24);
}

void AnnounceTime(SpeechSession &session, const AnnouncementTexts &texts, const ClockWindow &window,
                  const SYSTEMTIME &clock, bool startupAnnouncementPending, const char *chime) {
    AnnouncementOnPlatform host(session, texts, window, clock, chime);
    SpeakAnnouncement(host, startupAnnouncementPending);
}

void FormatAlarmTime(const AnnouncementTexts &texts, uint16_t hour, uint16_t minute,
                     char (&text)[kTextBufferSize]) {
    SYSTEMTIME clock{};
    GetLocalTime(&clock);
    clock.wHour = hour;
    clock.wMinute = minute;
    clock.wSecond = 0;
    clock.wMilliseconds = 0;
    FormatClockTime(
        texts, ChooseTimeFormat(ReadFlag(Setting::Hour24), false, ReadFlag(Setting::BypassMarker)),
        clock, text);
}
