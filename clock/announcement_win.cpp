// The announcement's platform side: the settings store, time and date
// formatting in the system's default locale, the time-zone query and the
// engine.  What is spoken, and in which order, is decided in announcement.cpp.
#include <cstring>
#include <cwchar>

#include "announcement.h"
#include "clock_win.h"
#include "resource_ids.h"
#include "settings_store.h"
#include "time_text.h"

namespace {

class AnnouncementOnPlatform : public AnnouncementHost {
  public:
    AnnouncementOnPlatform(const Speech &speech, const ThreadTexts &texts,
                           const ClockWindow &window, const SYSTEMTIME &clock)
        : speech_(speech), texts_(texts), window_(window), clock_(clock) {}

    bool ReadFlag(Setting id) override { return ::ReadFlag(id); }

    void ReadText(Setting id, char (&text)[kPieceSize]) override { ::ReadText(id, text); }

    void FormatTime(const TimeFormat &format, char (&text)[kPieceSize]) override {
        const char *picture =
            format.pictureId == IDS_PICTURE_24H ? texts_.picture24 : texts_.picture12;
        FormatTimeText(clock_, picture, format.flags, text);
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

    void InterruptionStep() override { ::InterruptionStep(speech_); }

    void Speak(const char *text, bool force) override { ::Speak(speech_, text, force); }

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

    const Speech &speech_;
    const ThreadTexts &texts_;
    const ClockWindow &window_;
    const SYSTEMTIME &clock_;
};

} // namespace

void AnnounceTime(const Speech &speech, const ThreadTexts &texts, const ClockWindow &window,
                  const SYSTEMTIME &clock, bool startupAnnouncementPending) {
    AnnouncementOnPlatform host(speech, texts, window, clock);
    SpeakAnnouncement(host, startupAnnouncementPending);
}
