"""What Orvanel says, and when, as a listener hears it: the startup
announcement, timed announcements on the interval, quiet hours, the alarm,
zones, dates, greeting and closing."""
import os
import subprocess
import tempfile
import time
import unittest

from clock_log import ClockTestCase, START_LEAD, SPEAK_TIME, after, announcement_calls
from harness import ids, probe

# Sunday, 6 December 2026: New York on standard time.  5 July 2026: daylight.
WINTER = "2026-12-06"
SUMMER = "2026-07-05"


class StartupAnnouncementTest(ClockTestCase):

    def test_engine_start_settings_and_startup_announcement_in_order(self):
        self.start(at=WINTER + " 15:07:20")
        hwnd = self.main_window_handle()
        calls = self.wait_call(("sync",))
        self.assertEqual(calls[:8], [
            ("startup", "-1", "2", "1", str(hwnd), "0"),
            ("set_speaker", "0"),
            ("set_rate", "180"),
            ("speak", "1", "[:volume set 100]"),
            ("unload_dictionary",),
            ("speak", "0", "The current time is 3:07 PM Eastern Standard Time"),
            ("speak", "1", ","),
            ("sync",),
        ])

    def test_stored_speech_and_device_settings_reach_the_engine(self):
        self.start({"AudioDevice": 0, "OwnDevice": 1, "Speaker": 5, "Rate": 250, "Volume": 35,
                    "ResetSpeech": 1, "UserDictionary": r"C:\words.dic"},
                   at=WINTER + " 15:07:20")
        calls = self.wait_call(("sync",))
        self.assertEqual(calls[0][:3], ("startup", "0", "3"))
        self.assertEqual(calls[1:8], [
            ("reset", "1"),
            ("set_speaker", "5"),
            ("set_rate", "250"),
            ("speak", "1", "[:volume set 35]"),
            ("unload_dictionary",),
            ("load_dictionary", r"C:\words.dic"),
            ("speak", "0", "The current time is 3:07 PM Eastern Standard Time"),
        ])

    def test_announcement_pieces_for_each_combination_of_settings(self):
        long_date = "Sunday, December 6, 2026"
        cases = [
            ("defaults", {}, "America/New_York", WINTER,
             [("speak", "0", "The current time is 3:07 PM Eastern Standard Time"),
              ("speak", "1", ",")]),
            ("daylight time", {}, "America/New_York", SUMMER,
             [("speak", "0", "The current time is 3:07 PM Eastern Daylight Time"),
              ("speak", "1", ",")]),
            ("zone without daylight saving", {}, "Asia/Kolkata", WINTER,
             [("speak", "0", "The current time is 3:07 PM"), ("speak", "1", ",")]),
            ("zone words off", {"IncludeZone": 0}, "America/New_York", WINTER,
             [("speak", "0", "The current time is 3:07 PM"), ("speak", "1", ",")]),
            ("no time marker", {"BypassMarker": 1}, "America/New_York", WINTER,
             [("speak", "0", "The current time is 3:07 Eastern Standard Time"),
              ("speak", "1", ",")]),
            ("24-hour wins over no marker", {"24Hour": 1, "BypassMarker": 1},
             "America/New_York", WINTER,
             [("speak", "0", "The current time is 15:07 Eastern Standard Time"),
              ("speak", "1", ",")]),
            ("universal time, period, long date",
             {"24Hour": 1, "UniversalTime": 1, "EndComma": 0, "AnnounceDate": 1},
             "America/New_York", WINTER,
             [("speak", "0", "The current time is 20:07 Coordinated Universal Time"),
              ("speak", "1", "."),
              ("speak", "1", "The current date is " + long_date)]),
            ("universal time ignores zone words off", {"UniversalTime": 1, "IncludeZone": 0},
             "America/New_York", WINTER,
             [("speak", "0", "The current time is 8:07 PM Coordinated Universal Time"),
              ("speak", "1", ",")]),
            ("short date", {"IncludeZone": 0, "AnnounceDate": 1, "ShortDate": 1},
             "America/New_York", WINTER,
             [("speak", "0", "The current time is 3:07 PM"), ("speak", "1", ","),
              ("speak", "1", "The current date is 12/6/2026")]),
            ("greeting, closing and own intros",
             {"Greeting": "Good afternoon", "Closing": "Have a nice day", "AnnounceDate": 1,
              "TimeIntro": "It is", "DateIntro": "Today is", "IncludeZone": 0},
             "America/New_York", WINTER,
             [("speak", "1", "Good afternoon"), ("speak", "0", "It is 3:07 PM"),
              ("speak", "1", ","), ("speak", "1", "Today is " + long_date),
              ("speak", "1", "Have a nice day")]),
            ("empty intro stays empty", {"TimeIntro": "", "IncludeZone": 0},
             "America/New_York", WINTER,
             [("speak", "0", " 3:07 PM"), ("speak", "1", ",")]),
        ]
        for name, settings, tz, day, expected in cases:
            with self.subTest(name):
                self.start(settings, tz=tz, at=day + " 15:07:20")
                calls = self.wait_call(("sync",))
                self.assertEqual(announcement_calls(calls), expected + [("sync",)])
                self.box.close_all()
                probe("wait-gone", 10000)

    def test_longest_settings_are_spoken_whole(self):
        intro = "i" * 259
        date_intro = "d" * 259
        self.start({"TimeIntro": intro, "DateIntro": date_intro, "AnnounceDate": 1,
                    "ShortDate": 1}, at=WINTER + " 15:07:20")
        calls = self.wait_call(("sync",))
        self.assertEqual(announcement_calls(calls), [
            ("speak", "0", intro + " 3:07 PM Eastern Standard Time"),
            ("speak", "1", ","),
            ("speak", "1", date_intro + " 12/6/2026"),
            ("sync",),
        ])

    def test_startup_announce_off_says_nothing_until_due(self):
        self.start({"StartupAnnounce": 0}, at=WINTER + " 15:07:20")
        self.wait_call(("unload_dictionary",))
        self.settle(3)
        self.assertEqual(self.log.spoken_texts(), ["[:volume set 100]"])


class IntervalTest(ClockTestCase):
    """Each case starts the program shortly before a minute begins and listens."""

    def assert_minute(self, interval, start, announced):
        self.start({"StartupAnnounce": 0, "CheckInterval": interval}, at=WINTER + " " + start)
        self.wait_call(("unload_dictionary",))
        self.settle(START_LEAD + 2)
        texts = self.log.spoken_texts()[1:]
        expected = ["The current time is %s Eastern Standard Time" % announced, ","] \
            if announced else []
        self.assertEqual(texts, expected, "interval %s from %s" % (interval, start))
        self.box.close_all()
        probe("wait-gone", 10000)

    def test_due_minutes_are_announced_at_second_zero_only(self):
        cases = [
            (15, "10:14:55", "10:15 AM"),
            (15, "10:15:01", None),   # second 1 of a due minute: too late
            (15, "10:16:55", None),   # a minute that is not due
            (7, "10:55:55", "10:56 AM"),
            (7, "10:59:55", "11:00 AM"),  # four minutes after 10:56
            (60, "10:14:55", None),
            (0, "10:16:55", "10:17 AM"),  # 0 counts as 1
            (61, "10:29:55", None),   # above 60 counts as 60
            (-1, "10:59:55", "11:00 AM"),
        ]
        for interval, start, announced in cases:
            with self.subTest(interval=interval, start=start):
                self.assert_minute(interval, start, announced)


class QuietHoursTest(ClockTestCase):

    def test_quiet_hours_hold_back_interval_and_startup_but_not_requests(self):
        clip = "Clipboard words"
        self.start({"QuietMode": 1, "QuietAfterHour": 22, "QuietBeforeHour": 6,
                    "AlarmEnabled": 1, "AlarmHour": 23, "AlarmMinute": 15, "AlarmSecond": 9,
                    "AlarmMessage": "Alarm words"}, at=WINTER + " 23:14:55")
        self.wait_call(("unload_dictionary",))
        self.settle(START_LEAD + 1)  # past 23:15:00
        self.assertEqual(self.log.spoken_texts(), ["[:volume set 100]"],
                         "neither the startup nor the 23:15 announcement may be heard")
        self.command(SPEAK_TIME)
        self.wait_call(("speak", "0", "The current time is 11:15 PM Eastern Standard Time"))
        self.assertEqual(probe("clipboard-set", clip)[0], 0)
        self.command(ids.ID_READ_CLIPBOARD)
        self.wait_call(("speak", "1", clip))
        self.wait_call(("speak", "1", "Alarm words"))
        self.assertNotIn("The current time is 11:14 PM Eastern Standard Time",
                         self.log.spoken_texts())

    def test_equal_hours_are_always_quiet_but_speak_time_speaks(self):
        self.start({"QuietMode": 1, "CheckInterval": 1}, at=WINTER + " 12:14:57")
        self.wait_call(("unload_dictionary",))
        self.settle(START_LEAD)
        self.assertEqual(self.log.spoken_texts(), ["[:volume set 100]"])
        self.command(SPEAK_TIME)
        calls = self.wait_call(("sync",))
        self.assertEqual(after(calls, ("unload_dictionary",)), [
            ("speak", "0", "The current time is 12:15 PM Eastern Standard Time"),
            ("speak", "1", ","),
            ("sync",),
        ])

    def test_startup_outside_quiet_hours_is_heard(self):
        self.start({"QuietMode": 1, "QuietAfterHour": 1, "QuietBeforeHour": 5},
                   at=WINTER + " 05:07:20")
        self.wait_call(("speak", "0", "The current time is 5:07 AM Eastern Standard Time"))


class AlarmTest(ClockTestCase):

    def test_alarm_plays_its_file_speaks_its_message_and_waits(self):
        # 120 ms a character: the alarm lasts past its second, so it is heard once.
        self.start({"StartupAnnounce": 0, "AlarmEnabled": 1, "AlarmHour": 6,
                    "AlarmMinute": 59, "AlarmSecond": 59, "AlarmFile": r"C:\Sounds\tone.wav",
                    "AlarmMessage": "Time to get up"}, at=WINTER + " 06:59:54", ms_per_char=120)
        calls = self.wait_call(("sync",), seconds=START_LEAD + 10)
        self.assertEqual(after(calls, ("unload_dictionary",)), [
            ("speak", "1", '[:play "C:\\Sounds\\tone.wav"]'),
            ("speak", "1", "Time to get up"),
            ("sync",),
        ])
        self.settle(4)
        self.assertEqual(self.log.spoken_texts().count("Time to get up"), 1)

    def test_alarm_and_due_minute_in_the_same_second(self):
        # The alarm first, waited for; then the announcement of that pass.
        self.start({"StartupAnnounce": 0, "AlarmEnabled": 1, "AlarmHour": 7,
                    "AlarmMinute": 0, "AlarmSecond": 0, "AlarmMessage": "Good morning",
                    "Interruptability": 1}, at=WINTER + " 06:59:55", ms_per_char=100)
        calls = self.wait_call(("speak", "1", ","), seconds=START_LEAD + 10)
        self.assertEqual(after(calls, ("unload_dictionary",)), [
            ("reset", "0"),
            ("speak", "1", "Good morning"),
            ("sync",),  # the alarm waits even when interruptable
            ("reset", "0"),
            ("speak", "0", "The current time is 7:00 AM Eastern Standard Time"),
            ("speak", "1", ","),
        ])

    def test_alarm_with_neither_file_nor_message_says_nothing(self):
        # Nothing to hear and nothing to wait for: the first wait is 7:00's.
        self.start({"StartupAnnounce": 0, "AlarmEnabled": 1, "AlarmHour": 6,
                    "AlarmMinute": 59, "AlarmSecond": 59}, at=WINTER + " 06:59:55")
        calls = self.wait_call(("speak", "1", ","), seconds=START_LEAD + 10)
        self.assertEqual(after(calls, ("unload_dictionary",))[0],
                         ("speak", "0", "The current time is 7:00 AM Eastern Standard Time"))


class ClockJumpTest(ClockTestCase):
    """The clock moved while the program runs, as the clocks going back do."""

    def set_clock(self, local):
        """Moves the program's clock to local time (America/New_York) now."""
        target = subprocess.run(["date", "-d", "TZ=\"America/New_York\" " + local, "+%s"],
                                check=True, capture_output=True, text=True).stdout
        with open(self.clock_file, "w") as f:
            f.write("%+d\n" % (int(target) - int(time.time())))

    def test_alarm_after_the_announcement_once_through_the_clocks_going_back(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", folder]))
        self.clock_file = os.path.join(folder, "clock")
        self.set_clock("2026-11-01 00:59:52")
        self.start({"StartupAnnounce": 0, "CheckInterval": 60, "AlarmEnabled": 1,
                    "AlarmHour": 1, "AlarmMinute": 0, "AlarmSecond": 1,
                    "AlarmMessage": "Wake up"}, ms_per_char=100, clock_file=self.clock_file)
        # The alarm's second passes while 1:00 is spoken: it sounds right after.
        calls = self.wait_call(("sync",), seconds=START_LEAD + 15, count=2)
        self.assertEqual(after(calls, ("unload_dictionary",)), [
            ("speak", "0", "The current time is 1:00 AM Eastern Daylight Time"),
            ("speak", "1", ","),
            ("sync",),
            ("speak", "1", "Wake up"),
            ("sync",),
        ])
        # An hour later the clocks go back: 1:00 is announced again, the
        # alarm is not heard again.
        self.set_clock("2026-11-01 01:59:55 EDT")
        self.wait_call(("speak", "0", "The current time is 1:00 AM Eastern Standard Time"),
                       seconds=15)
        self.settle(4)
        self.assertEqual(self.log.spoken_texts().count("Wake up"), 1)


if __name__ == "__main__":
    unittest.main()
