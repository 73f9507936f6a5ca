// The desktop's speech service, speech-dispatcher, for a program that wants
// its words spoken by the voice the screen reader already uses.  The service
// reports the end or cancellation of each message on a thread of its
// library's own; that thread only counts, lock-free (it also delivers the
// replies that a caller holding the lock waits for), and never calls Win32.
#include "engine_api.h"
#include "text_encoding.h"

#include <speech-dispatcher/libspeechd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

std::mutex Lock;
std::atomic<int32_t> Unfinished{0};
SPDConnection *Connection = nullptr; // guarded by Lock, as is everything below
// The voice to set on the next connection, so that a restarted service
// speaks as the last one did.
int32_t Speaker = 0;
int32_t Rate = 180;
int32_t Volume = 100;

void MessageDone(size_t, size_t, SPDNotificationType) {
    int32_t now = Unfinished.load();
    while (now > 0 && !Unfinished.compare_exchange_weak(now, now - 1)) {
    }
}

SPDVoiceType VoiceType(int32_t speaker) {
    // Paul, Betty, Harry, Frank, Dennis, Kit, Ursula, Rita, Wendy.
    static const SPDVoiceType kTypes[kEngineSpeakerCount] = {
        SPD_MALE1,      SPD_FEMALE1, SPD_MALE2,   SPD_MALE3,       SPD_MALE1,
        SPD_CHILD_MALE, SPD_FEMALE2, SPD_FEMALE3, SPD_CHILD_FEMALE};
    return speaker >= 0 && speaker < kEngineSpeakerCount ? kTypes[speaker] : SPD_MALE1;
}

int Clamp(int value) {
    return value < -100 ? -100 : value > 100 ? 100 : value;
}

// The service's rate runs from -100 to 100, its own default at 0: that is
// taken as the engine's default 180 words a minute, 75 and 450 as the ends.
int ServiceRate(int32_t wordsPerMinute) {
    const int offset = wordsPerMinute - 180;
    return Clamp(offset < 0 ? offset * 100 / 105 : offset * 100 / 270);
}

void SetVoice() {
    spd_set_voice_type(Connection, VoiceType(Speaker));
    spd_set_voice_rate(Connection, ServiceRate(Rate));
    spd_set_volume(Connection, Clamp(Volume * 2 - 100));
}

void CloseConnection() {
    if (Connection != nullptr) {
        spd_close(Connection);
        Connection = nullptr;
    }
    Unfinished = 0;
}

// The service is started if it is installed and not running.
bool Open() {
    if (Connection != nullptr) {
        return true;
    }
    char *error = nullptr;
    Connection = spd_open2("orvanel", "clock", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    free(error);
    if (Connection == nullptr) {
        return false;
    }
    Connection->callback_end = MessageDone;
    Connection->callback_cancel = MessageDone;
    spd_set_notification_on(Connection, SPD_END);
    spd_set_notification_on(Connection, SPD_CANCEL);
    SetVoice();
    return true;
}

SPDPriority Priority(int32_t priority) {
    return priority == kServiceImportant ? SPD_IMPORTANT
           : priority == kServiceText    ? SPD_TEXT
                                         : SPD_MESSAGE;
}

int Say(const std::string &utf8, int32_t priority) {
    ++Unfinished; // before the service can answer that it is done
    const int id = spd_say(Connection, Priority(priority), utf8.c_str());
    if (id < 0) {
        --Unfinished;
    }
    return id;
}

} // namespace

extern "C" {

// A service that went away since the last message is asked once more,
// afresh: it may have been restarted.
int32_t ENGINE_CALL ServiceSay(const char *text, int32_t priority) {
    if (text == nullptr) {
        return kEngineBadArguments;
    }
    const std::string utf8 = engine::ansiToUtf8(text);
    std::lock_guard<std::mutex> hold(Lock);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Open()) {
            return kEngineNoSynthesiser;
        }
        if (Say(utf8, priority) >= 0) {
            return kEngineOk;
        }
        CloseConnection();
    }
    return kEngineNoSynthesiser;
}

// Cancels every message of this connection, and no other client's.
void ENGINE_CALL ServiceCancel(void) {
    std::lock_guard<std::mutex> hold(Lock);
    if (Connection != nullptr) {
        spd_cancel(Connection);
    }
}

int32_t ENGINE_CALL ServiceBusy(void) {
    return Unfinished.load();
}

void ENGINE_CALL ServiceVoice(int32_t speaker, int32_t rate, int32_t volume) {
    std::lock_guard<std::mutex> hold(Lock);
    Speaker = speaker;
    Rate = rate;
    Volume = volume;
    if (Connection != nullptr) {
        SetVoice();
    }
}

void ENGINE_CALL ServiceClose(void) {
    std::lock_guard<std::mutex> hold(Lock);
    CloseConnection();
}

} // extern "C"
