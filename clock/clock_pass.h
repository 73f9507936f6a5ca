// One pass of the ClockThread, over the clock, the settings, the speech
// engine and the user interface it is given: the requests, the alarm, the
// announcement decision and the bookkeeping.  Portable: no <windows.h>, so
// that a simulated clock can drive the very pass the program runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "chime.h"
#include "pass_decision.h"
#include "settings_catalogue.h"

// The user interface's requests, one bit each in one shared word: raised by
// setting the bit, cleared by the ClockThread once served.
enum ClockRequest : uint32_t {
    RestartSpeechRequested = 1u << 0,
    ApplySpeechSettingsRequested = 1u << 1,
    ReadClipboardRequested = 1u << 2,
    SpeakTimeRequested = 1u << 3,
    // Cut the speech in progress and drop what is queued, also while waiting.
    StopSpeakingRequested = 1u << 4,
};

// Asked while the thread waits for speech: whether to cut it short now.
class WaitWatcher {
  public:
    virtual bool CutNow() = 0;

  protected:
    ~WaitWatcher() = default;
};

// What is spoken: a screen reader or speech service queues, raises or lets
// the reader cut each kind as it should; a sound is always the engine's.
enum class SpeechKind : uint8_t { Announcement, Alarm, Clipboard, Sound };

// The speech engine as the ClockThread holds it.
class SpeechSession {
  public:
    // The engine started with the stored device settings.  False after a
    // fatal failure, which the session has already reported.
    virtual bool Start() = 0;
    // Reset completely, dictionary dropped, engine shut down.
    virtual void Stop() = 0;
    // Reset, speaker, rate, volume and user dictionary from the settings.
    virtual void ApplySettings() = 0;
    virtual void Speak(const char *text, bool force, SpeechKind kind) = 0;
    // Cuts whatever is queued or sounding.
    virtual void Interrupt() = 0;
    // Until all that was queued has sounded, or until watcher (asked at each
    // request and at least once a second) says to cut it; a wait is bounded
    // even when the audio device never finishes.
    virtual void WaitUntilSpoken(WaitWatcher &watcher) = 0;

  protected:
    ~SpeechSession() = default;
};

// The local and UTC clocks, read at one instant, and a clock in
// milliseconds that runs on steadily whatever is done to the others.
struct ClockNow {
    ClockReading local;
    ClockReading utc;
    int64_t steadyMs = 0;
};

class ClockHost {
  public:
    virtual bool Running() = 0;
    virtual std::atomic<uint32_t> &Requests() = 0;
    // Sleeps up to ms; a raised request ends it early.
    virtual void Pause(uint32_t ms) = 0;
    virtual ClockNow ReadClock() = 0;
    virtual int32_t ReadInt(Setting id) = 0;
    virtual bool ReadFlag(Setting id) = 0;
    virtual void ReadText(Setting id, char (&text)[kTextBufferSize]) = 0;
    virtual SpeechSession &Session() = 0;
    // Speaks the clipboard's text, if it holds any, after the interruption
    // step; false when there was nothing to speak.
    virtual bool SpeakClipboard() = 0;
    // Composes and speaks the announcement of clock, after the chime when
    // one is given.
    virtual void Announce(const ClockReading &clock, bool startupAnnouncement,
                          const ChimePattern *chime) = 0;
    // The chime alone, in place of the announcement; false when it cannot
    // be sounded.
    virtual bool PlayChime(const ChimePattern &chime) = 0;
    virtual void Beep() = 0;
    // The StatusBar between its idle text and "Speaking".
    virtual void ShowSpeaking(bool speaking) = 0;
    // The list of alarms (0 is the Configuration dialog's); an empty or
    // damaged slot is not present.
    virtual void ReadAlarms(AlarmSchedule (&alarms)[kMaxAlarms]) = 0;
    virtual void ReadAlarmText(int index, AlarmText which, char (&text)[kTextBufferSize]) = 0;
    // The next alarm (a wall second of the pass's clock, or kNoAlarm) has
    // changed since the last pass.
    virtual void ShowNextAlarm(int64_t wall) = 0;
    // The alarm of hour:minute:second was found too late to be sounded.
    virtual void ShowAlarmMissed(uint16_t hour, uint16_t minute, uint16_t second) = 0;

  protected:
    ~ClockHost() = default;
};

// One alarm of the list as the thread watches it, with the time and days its
// watch's date belongs to: a changed alarm may sound again that date.
struct ListedAlarm {
    AlarmWatch watch;
    int32_t secondOfDay = -1;
    AlarmRepeat repeat;
};

// The thread's private state, alive as long as the thread.
struct ClockState {
    AnnouncementBookkeeping bookkeeping;
    ListedAlarm alarms[kMaxAlarms];
    int64_t nextAlarm = kNoAlarm - 1; // as last shown; at first none is
    ClockReading previousPass;        // the reading of the last pass, for the pause
    bool previousPassUtc = false;
    bool waitedForSpeech = false; // the last pass took a waiting step
};

// Thread start: the engine, the startup announcement, the first apply.  False
// when the engine could not be started.
bool StartClock(ClockState &state, ClockHost &host);

// One pass: running check, pause, requests, alarm, announcement.  False when
// the thread ends (the program is ending, or the engine could not be started
// again).
bool ClockPass(ClockState &state, ClockHost &host);
