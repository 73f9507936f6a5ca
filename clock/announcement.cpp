#include "announcement.h"

#include <cstdio>
#include <cstring>

#include "resource_ids.h"

TimeFormat ChooseTimeFormat(bool hour24, bool includeSeconds, bool bypassMarker) {
    TimeFormat format{};
    if (hour24) {
        format.pictureId = includeSeconds ? IDS_PICTURE_24H_SECONDS : IDS_PICTURE_24H;
    } else {
        format.pictureId = includeSeconds ? IDS_PICTURE_12H_SECONDS : IDS_PICTURE_12H;
    }
    format.flags = includeSeconds ? 0 : kTimeNoSeconds;
    if (bypassMarker) {
        format.flags |= kTimeNoTimeMarker;
    }
    return format;
}

// Appends at most one piece's worth of text; the sentence buffer has room for
// three such pieces and their blanks.
static size_t AppendPiece(char (&sentence)[kSentenceSize], size_t at, const char *piece) {
    const size_t length = strnlen(piece, kPieceSize - 1);
    std::memcpy(sentence + at, piece, length);
    return at + length;
}

void JoinPieces(char (&sentence)[kSentenceSize], const char *first, const char *second,
                const char *third) {
    static_assert(kSentenceSize >= 3 * (kPieceSize - 1) + 2 + 1, "room for three pieces");
    std::memset(sentence, 0, sizeof sentence);
    size_t at = AppendPiece(sentence, 0, first);
    sentence[at++] = ' ';
    at = AppendPiece(sentence, at, second);
    if (third != nullptr) {
        sentence[at++] = ' ';
        AppendPiece(sentence, at, third);
    }
}

void FormatVolumeCommand(char (&command)[kVolumeCommandSize], int32_t volume) {
    std::memset(command, 0, sizeof command);
    std::snprintf(command, sizeof command, "[:volume set %d]", static_cast<int>(volume));
}

void FormatPlayCommand(char (&command)[kPlayCommandSize], const char *path) {
    static_assert(kPlayCommandSize >= (kPieceSize - 1) + sizeof("[:play \"\"]"), "room for path");
    std::memset(command, 0, sizeof command);
    std::snprintf(command, sizeof command, "[:play \"%.*s\"]", static_cast<int>(kPieceSize - 1),
                  path);
}

// The time sentence: intro, time and, when wanted and known, the zone words.
static void ComposeTimeSentence(AnnouncementHost &host, char (&sentence)[kSentenceSize]) {
    char intro[kPieceSize];
    host.ReadText(Setting::TimeIntro, intro);

    char time[kPieceSize]{};
    const bool hour24 = host.ReadFlag(Setting::Hour24);
    const bool bypassMarker = !hour24 && host.ReadFlag(Setting::BypassMarker);
    host.FormatTime(ChooseTimeFormat(hour24, false, bypassMarker), time);

    if (host.ReadFlag(Setting::UniversalTime)) {
        JoinPieces(sentence, intro, time, host.UniversalTimeWords());
        return;
    }
    if (host.ReadFlag(Setting::IncludeZone)) {
        char zone[kPieceSize]{};
        if (host.QueryZone(zone) != ZoneState::Unknown) {
            JoinPieces(sentence, intro, time, zone);
            return;
        }
    }
    JoinPieces(sentence, intro, time);
}

static void SpeakSettingText(AnnouncementHost &host, Setting id) {
    char text[kPieceSize];
    host.ReadText(id, text);
    if (text[0] != '\0') {
        host.Speak(text, true);
    }
}

void SpeakAnnouncement(AnnouncementHost &host, bool startupAnnouncementPending) {
    host.InterruptionStep();
    SpeakSettingText(host, Setting::Greeting);

    char sentence[kSentenceSize];
    ComposeTimeSentence(host, sentence);
    // Without force, so that the engine speaks it and the punctuation after it
    // as one clause.
    host.Speak(sentence, false);
    host.Speak(host.ReadFlag(Setting::EndComma) ? "," : ".", true);

    if (!startupAnnouncementPending) {
        host.RefreshTimeDisplay();
    }

    if (host.ReadFlag(Setting::AnnounceDate)) {
        char intro[kPieceSize];
        host.ReadText(Setting::DateIntro, intro);
        char date[kPieceSize]{};
        host.FormatDate(host.ReadFlag(Setting::ShortDate), date);
        JoinPieces(sentence, intro, date);
        host.Speak(sentence, true);
    }

    SpeakSettingText(host, Setting::Closing);
}
