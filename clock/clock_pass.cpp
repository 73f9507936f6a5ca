#include "clock_pass.h"

#include "announcement.h"

namespace {

bool Raised(uint32_t requests, ClockRequest request) {
    return (requests & request) != 0;
}

void Clear(ClockHost &host, ClockRequest request) {
    host.Requests().fetch_and(~static_cast<uint32_t>(request));
}

void Raise(ClockHost &host, ClockRequest request) {
    host.Requests().fetch_or(request);
}

// Stop Speaking ends every wait; so does the end of the program, so that a
// new start need not wait for an announcement to finish.
class StopOrExit : public WaitWatcher {
  public:
    explicit StopOrExit(ClockHost &host) : host_(host) {}

    bool CutNow() override {
        if (Raised(host_.Requests().load(), StopSpeakingRequested)) {
            Clear(host_, StopSpeakingRequested);
            return true;
        }
        return !host_.Running();
    }

  protected:
    ClockHost &host_;
};

struct AlarmSetting {
    bool enabled = false;
    int32_t secondOfDay = -1;
    AlarmRepeat repeat;
};

AlarmSetting SettingOf(const AlarmSchedule &schedule) {
    AlarmSetting alarm;
    alarm.enabled = schedule.present && schedule.on;
    alarm.secondOfDay = AlarmSecondOfDay(schedule.hour, schedule.minute, schedule.second);
    alarm.repeat = schedule.repeat;
    return alarm;
}

// An alarm set to another time or other days since its watch's date was
// kept: set for later today after it sounded, it sounds again.
bool Changed(const ListedAlarm &listed, const AlarmSetting &alarm) {
    const AlarmRepeat &a = listed.repeat, &b = alarm.repeat;
    return listed.secondOfDay != alarm.secondOfDay || a.days != b.days || a.year != b.year ||
           a.month != b.month || a.day != b.day;
}

// The clock the alarm and the announcement go by, and the absolute seconds.
struct PassClock {
    ClockReading clock;
    int64_t wall = 0;
    int64_t utc = 0;
    int64_t steadyMs = 0;
    bool utcClock = false;

    AnnouncementInstant Instant() const { return AnnouncementInstant{utc / 60, steadyMs}; }
};

PassClock ReadPassClock(ClockHost &host, bool utcClock) {
    const ClockNow now = host.ReadClock();
    PassClock pass;
    pass.clock = utcClock ? now.utc : now.local;
    pass.wall = WallSeconds(pass.clock);
    pass.utc = WallSeconds(now.utc);
    pass.steadyMs = now.steadyMs;
    pass.utcClock = utcClock;
    return pass;
}

// The alarm's one rule (CheckAlarm) on the dates its repeat names.
AlarmDue CheckListedAlarm(const ListedAlarm &listed, const AlarmSetting &alarm,
                          const PassClock &now) {
    if (!alarm.enabled) {
        return AlarmDue();
    }
    AlarmWatch watch = listed.watch;
    if (Changed(listed, alarm)) {
        watch.lastDay = kNoDay;
    }
    const AlarmDue due = CheckAlarm(watch, now.wall, now.utc, now.utcClock, alarm.secondOfDay);
    return due.call == AlarmCall::None || AlarmRepeatsOn(alarm.repeat, due.day) ? due : AlarmDue();
}

// A clipboard reading gives way to Restart Speech and to an alarm that has
// come due, besides Stop Speaking and the end of the program.
class ClipboardWatcher : public StopOrExit {
  public:
    ClipboardWatcher(ClockHost &host, const ListedAlarm (&alarms)[kMaxAlarms])
        : StopOrExit(host), alarms_(alarms) {}

    bool CutNow() override {
        if (StopOrExit::CutNow() || Raised(host_.Requests().load(), RestartSpeechRequested)) {
            return true;
        }
        const PassClock now = ReadPassClock(host_, host_.ReadFlag(Setting::UniversalTime));
        AlarmSchedule schedules[kMaxAlarms];
        host_.ReadAlarms(schedules);
        for (int i = 0; i < kMaxAlarms; ++i) {
            if (CheckListedAlarm(alarms_[i], SettingOf(schedules[i]), now).call ==
                AlarmCall::Sound) {
                return true;
            }
        }
        return false;
    }

  private:
    const ListedAlarm (&alarms_)[kMaxAlarms];
};

void WaitingStep(ClockState &state, ClockHost &host, WaitWatcher &watcher) {
    host.ShowSpeaking(true);
    host.Session().WaitUntilSpoken(watcher);
    host.ShowSpeaking(false);
    state.waitedForSpeech = true;
}

void InterruptionStep(ClockHost &host) {
    if (host.ReadFlag(Setting::Interruptability)) {
        host.Session().Interrupt();
    }
}

void ApplySpeechSettings(ClockHost &host) {
    // Cleared first: a request raised while applying is served next pass.
    Clear(host, ApplySpeechSettingsRequested);
    host.Session().ApplySettings();
}

void ReadClipboard(ClockState &state, ClockHost &host) {
    if (host.SpeakClipboard() && !host.ReadFlag(Setting::Interruptability)) {
        ClipboardWatcher watcher(host, state.alarms);
        WaitingStep(state, host, watcher);
    }
    Clear(host, ReadClipboardRequested);
}

// Alarm index, if this pass is the first to see its second on a date it is
// due.  True when it was spoken and waited for.
bool SoundAlarmIfDue(ClockState &state, ClockHost &host, const PassClock &now, int index,
                     const AlarmSchedule &schedule) {
    ListedAlarm &listed = state.alarms[index];
    const AlarmSetting alarm = SettingOf(schedule);
    const AlarmDue due = CheckListedAlarm(listed, alarm, now);
    if (alarm.enabled && Changed(listed, alarm)) {
        listed.watch.lastDay = kNoDay;
        listed.secondOfDay = alarm.secondOfDay;
        listed.repeat = alarm.repeat;
    }
    WatchAlarm(listed.watch, now.wall, now.utc, now.utcClock);
    if (due.call == AlarmCall::None) {
        return false;
    }
    listed.watch.lastDay = due.day;
    if (due.call == AlarmCall::Missed) {
        const int32_t s = alarm.secondOfDay;
        host.ShowAlarmMissed(static_cast<uint16_t>(s / 3600), static_cast<uint16_t>(s / 60 % 60),
                             static_cast<uint16_t>(s % 60));
        return false;
    }
    InterruptionStep(host);
    char file[kTextBufferSize];
    host.ReadAlarmText(index, AlarmText::File, file);
    if (file[0] != '\0') {
        char play[kPlayCommandSize];
        FormatPlayCommand(play, file);
        host.Session().Speak(play, true, SpeechKind::Sound);
    }
    char message[kTextBufferSize];
    host.ReadAlarmText(index, AlarmText::Message, message);
    if (message[0] != '\0') {
        host.Session().Speak(message, true, SpeechKind::Alarm);
    }
    if (file[0] == '\0' && message[0] == '\0') {
        return false; // nothing to hear, nothing to wait for
    }
    StopOrExit watcher(host);
    WaitingStep(state, host, watcher); // always, so the alarm is heard whole
    return true;
}

// Every alarm of the list in its order: two due in the same second are heard
// one after the other.  Then the next one is shown if it changed.
bool SoundAlarmsIfDue(ClockState &state, ClockHost &host, const PassClock &now) {
    AlarmSchedule schedules[kMaxAlarms];
    host.ReadAlarms(schedules);
    bool waited = false;
    for (int i = 0; i < kMaxAlarms; ++i) {
        waited = SoundAlarmIfDue(state, host, now, i, schedules[i]) || waited;
    }
    const int64_t next = NextAlarmWall(schedules, kMaxAlarms, now.wall);
    if (next != state.nextAlarm) {
        state.nextAlarm = next;
        host.ShowNextAlarm(next);
    }
    return waited;
}

// The quiet-hours and beep settings, read only when an announcement gets
// that far.
class GateSettings : public AnnouncementGateSettings {
  public:
    explicit GateSettings(ClockHost &host) : host_(host) {}

    QuietHours ReadQuietHours() override {
        QuietHours quiet;
        quiet.quietMode = host_.ReadFlag(Setting::QuietMode);
        if (quiet.quietMode) {
            quiet.afterHour = LowWord(host_.ReadInt(Setting::QuietAfterHour));
            quiet.beforeHour = LowWord(host_.ReadInt(Setting::QuietBeforeHour));
        }
        return quiet;
    }
    bool ReadBeepInterval() override { return host_.ReadFlag(Setting::BeepInterval); }

  private:
    ClockHost &host_;
};

// The time part of a pass: interval, clock, alarm, the announcement decision,
// the announcement itself, its waiting step and the bookkeeping.
void TimePass(ClockState &state, ClockHost &host, uint32_t requests) {
    const uint16_t interval = ClampInterval(host.ReadInt(Setting::CheckInterval));
    const bool utcClock = host.ReadFlag(Setting::UniversalTime);
    const PassClock pass = ReadPassClock(host, utcClock);
    state.previousPass = pass.clock;
    state.previousPassUtc = utcClock;

    const bool alarmWaited = SoundAlarmsIfDue(state, host, pass);

    GateSettings gate(host);
    const bool speakTime = Raised(requests, SpeakTimeRequested);
    const bool requested = speakTime || state.bookkeeping.startupAnnouncementPending;
    const PassDecision decision =
        DecidePass(state.bookkeeping, pass.clock, pass.Instant(), interval, speakTime, gate);
    if (!decision.announce) {
        return;
    }
    // After the alarm the time is read again: a minute that went by while it
    // sounded is not announced, only the minute still running.
    PassClock spoken = pass;
    if (alarmWaited) {
        spoken = ReadPassClock(host, utcClock);
        if (!requested && spoken.utc / 60 != pass.utc / 60) {
            return;
        }
    }
    if (decision.beep) {
        host.Beep();
    }
    // The chime marks the interval's minutes only, never a requested time.
    const ChimeMode chime = requested ? ChimeMode::None : ChimeModeOf(host.ReadInt(Setting::Chime));
    const ChimePattern pattern = ChimeFor(spoken.clock.hour, spoken.clock.minute);
    bool chimed = false;
    if (chime == ChimeMode::InsteadOfSpeech) {
        InterruptionStep(host);
        chimed = host.PlayChime(pattern);
    }
    if (!chimed) { // a chime that cannot sound gives way to the spoken time
        host.Announce(spoken.clock, state.bookkeeping.startupAnnouncementPending,
                      chime == ChimeMode::BeforeSpeech ? &pattern : nullptr);
    }
    if (!host.ReadFlag(Setting::Interruptability)) {
        StopOrExit watcher(host);
        WaitingStep(state, host, watcher);
    }
    RecordAnnouncement(state.bookkeeping, spoken.Instant());
    Clear(host, SpeakTimeRequested);
}

} // namespace

bool StartClock(ClockState &state, ClockHost &host) {
    if (!host.Session().Start()) {
        return false;
    }
    state.bookkeeping.startupAnnouncementPending = host.ReadFlag(Setting::StartupAnnounce);
    Raise(host, ApplySpeechSettingsRequested);
    return true;
}

bool ClockPass(ClockState &state, ClockHost &host) {
    if (!host.Running()) {
        host.Session().Stop();
        return false;
    }
    {
        const ClockNow now = host.ReadClock();
        const bool workPending = host.Requests().load() != 0 || state.waitedForSpeech;
        state.waitedForSpeech = false;
        host.Pause(PauseBeforePass(state.previousPass, state.previousPassUtc ? now.utc : now.local,
                                   workPending));
    }
    const uint32_t requests = host.Requests().load();
    if (Raised(requests, RestartSpeechRequested)) {
        host.Session().Stop();
        if (!host.Session().Start()) {
            return false;
        }
        Clear(host, RestartSpeechRequested);
        ApplySpeechSettings(host);
    } else if (Raised(requests, ApplySpeechSettingsRequested)) {
        ApplySpeechSettings(host);
    }
    if (Raised(requests, StopSpeakingRequested)) {
        Clear(host, StopSpeakingRequested);
        host.Session().Interrupt();
    }
    if (Raised(requests, ReadClipboardRequested)) {
        ReadClipboard(state, host);
    }
    TimePass(state, host, requests);
    return true;
}
