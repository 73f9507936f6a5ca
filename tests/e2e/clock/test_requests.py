"""The user's requests to the clock: Speak Time, Read Clipboard and Restart
Speech, from the menu commands and the hot keys, with and without
interruptability."""
import os
import unittest

from clock_log import (ClockTestCase, HOTKEY_READ_CLIPBOARD, HOTKEY_SPEAK_TIME, READ_CLIPBOARD,
                       RESTART_SPEECH, SPEAK_TIME, STOP_SPEAKING, after)
from harness import probe, wait_for

DAY = "2026-12-06"
TIME_SENTENCE = "The current time is 3:07 PM Eastern Standard Time"


class SpeakTimeTest(ClockTestCase):

    def test_speak_time_in_an_announced_minute_from_command_and_hot_key(self):
        self.start(at=DAY + " 15:07:20")
        self.wait_call(("sync",))
        for request in (("command", SPEAK_TIME), ("hotkey", HOTKEY_SPEAK_TIME)):
            before = len(self.log.calls())
            self.assertEqual(probe(*request)[0], 0)
            calls = self.wait_calls(lambda c: len(c) >= before + 3)
            self.settle(1)
            self.assertEqual(self.log.calls()[before:], [
                ("speak", "0", TIME_SENTENCE), ("speak", "1", ","), ("sync",)], request)

    def test_requests_during_an_announcement_are_absorbed_into_it(self):
        # Three Speak Time requests while the startup announcement is still
        # being spoken (about three seconds): it answers them all.
        self.start(at=DAY + " 15:07:20", ms_per_char=60)
        self.wait_call(("sync",))
        for _ in range(3):
            self.command(SPEAK_TIME)
        self.assertTrue(wait_for(lambda: any(e.name == "sync_done" for e in self.log.events()),
                                 10))
        self.settle(3)
        self.assertEqual(self.log.spoken_texts().count(TIME_SENTENCE), 1)
        # Asked again once it has finished, it speaks again.
        self.command(SPEAK_TIME)
        self.wait_call(("sync",), count=2)

    def test_interruptability_cuts_off_instead_of_waiting(self):
        self.start({"Interruptability": 1}, at=DAY + " 15:07:20", ms_per_char=200)
        self.wait_call(("speak", "1", ","))
        self.command(SPEAK_TIME)
        calls = self.wait_call(("speak", "1", ","), count=2)
        self.assertEqual(after(calls, ("unload_dictionary",)), [
            ("reset", "0"), ("speak", "0", TIME_SENTENCE), ("speak", "1", ","),
            ("reset", "0"), ("speak", "0", TIME_SENTENCE), ("speak", "1", ","),
        ])
        # The first announcement was cut off by the second one's reset.
        cut = [e for e in self.log.events() if e.name in ("cut", "dropped")]
        self.assertTrue(cut, "the first announcement was not cut off")


class ReadClipboardTest(ClockTestCase):

    def start_idle(self, settings=None, **kwargs):
        self.start(dict({"StartupAnnounce": 0}, **(settings or {})), at=DAY + " 15:07:20",
                   **kwargs)
        self.wait_call(("unload_dictionary",))

    def test_clipboard_text_is_spoken_with_force_and_waited_for(self):
        self.start_idle()
        text = "Meeting at ten,\r\nroom 4."
        self.assertEqual(probe("clipboard-set", text)[0], 0)
        self.command(READ_CLIPBOARD)
        calls = self.wait_call(("sync",))
        self.assertEqual(after(calls, ("unload_dictionary",)), [("speak", "1", text), ("sync",)])
        # The hot key asks for the same.
        self.assertEqual(probe("hotkey", HOTKEY_READ_CLIPBOARD)[0], 0)
        self.wait_call(("speak", "1", text), count=2)

    def test_empty_clipboard_says_nothing_and_clears_the_request(self):
        self.start_idle()
        self.assertEqual(probe("clipboard-clear")[0], 0)
        self.command(READ_CLIPBOARD)
        self.settle(2)
        self.assertEqual(self.log.spoken_texts(), ["[:volume set 100]"])
        # A request left raised would read this text at once, and again and
        # again; a cleared one reads it once, when asked.
        self.assertEqual(probe("clipboard-set", "Later text")[0], 0)
        self.settle(2)
        self.assertNotIn("Later text", self.log.spoken_texts())
        self.command(READ_CLIPBOARD)
        self.wait_call(("speak", "1", "Later text"))
        self.settle(2)
        self.assertEqual(self.log.spoken_texts().count("Later text"), 1)

    def test_clipboard_text_never_acts_as_an_engine_command(self):
        self.start_idle()
        cases = [
            ("[:volume set 0]", "[ :volume set 0]"),
            ('[:play "\\\\host\\share\\x.wav"]', '[ :play "\\\\host\\share\\x.wav"]'),
            ("  [:volume set 0]", "  [ :volume set 0]"),
            ("Say [:volume set 0] twice [:volume set 0]",
             "Say [ :volume set 0] twice [ :volume set 0]"),
        ]
        for count, (clipboard, spoken) in enumerate(cases, start=1):
            with self.subTest(clipboard):
                self.assertEqual(probe("clipboard-set", clipboard)[0], 0)
                self.command(READ_CLIPBOARD)
                calls = self.wait_call(("sync",), count=count)
                self.assertEqual(calls[-2], ("speak", "1", spoken))
                self.assertFalse(calls[-2][2].startswith("[:"))

    def test_ten_megabytes_are_spoken_without_holding_the_clipboard_or_window(self):
        # Interruptable, so that Speak Time can cut the long text off again.
        self.start_idle({"Interruptability": 1}, ms_per_char=1)
        path = os.path.join(self.box.folder, "long.txt")
        line = "A long copied text, line after line. "
        with open(path, "w") as out:
            out.write(line * (10 * 1024 * 1024 // len(line) + 1))
        size = os.path.getsize(path)
        self.assertEqual(probe("clipboard-set-file", path, timeout=120)[0], 0)
        self.command(READ_CLIPBOARD)
        calls = self.wait_calls(
            lambda calls: any(c[0] == "speak" and len(c[2]) == size for c in calls), seconds=60)
        # Interruptable: cut off what sounds, speak, and do not wait.
        read = after(calls, ("unload_dictionary",))
        self.assertEqual([c[:2] for c in read], [("reset", "0"), ("speak", "1")])
        # The text is being spoken (for hours, at this rate) and the program
        # no longer holds the clipboard: another program can take it at once.
        self.assertEqual(probe("clipboard-clear")[0], 0)
        self.command(SPEAK_TIME)
        calls = self.wait_call(("speak", "1", ","))
        self.assertEqual(calls[-3:], [("reset", "0"), ("speak", "0", TIME_SENTENCE),
                                      ("speak", "1", ",")])
        cut = [e for e in self.log.events() if e.name == "cut"]
        self.assertEqual([len(e.args[0]) for e in cut], [size], "the long text was not cut off")

    def test_stop_speaking_and_exit_cut_a_long_reading(self):
        self.start_idle(ms_per_char=50)
        text = "A long copied text, read for minutes. " * 100
        self.assertEqual(probe("clipboard-set", text)[0], 0)
        reading = [("speak", "1", text), ("sync",)]
        # Stop Speaking, then the Read Clipboard hot key pressed again.
        rounds = ((("command", READ_CLIPBOARD), ("command", STOP_SPEAKING)),
                  (("hotkey", HOTKEY_READ_CLIPBOARD), ("hotkey", HOTKEY_READ_CLIPBOARD)))
        for count, (read, stop) in enumerate(rounds, start=1):
            probe(*read)
            self.wait_call(("sync",), count=count)
            self.assertTrue(wait_for(lambda: probe("statusbar")[1].get("text") == "Speaking", 10))
            probe(*stop)
            self.assertTrue(wait_for(lambda: probe("statusbar")[1].get("text") == "I'm ready!",
                                     10), "the reading was not stopped")
            self.assertEqual(self.log.calls()[-3:], reading + [("reset", "0")])
        # Exit does not wait for the reading to end.
        probe("command", READ_CLIPBOARD)
        self.wait_call(("sync",), count=3)
        probe("message", 0x0010, 0, 0)  # WM_CLOSE
        self.assert_exits_with(self.process, 0, seconds=30)
        self.assertEqual(self.log.calls()[-6:], reading + [
            ("reset", "0"), ("reset", "1"), ("unload_dictionary",), ("shutdown",)])
        cut = [e.args[0] for e in self.log.events() if e.name in ("cut", "dropped")]
        self.assertEqual(cut.count(text), 3, "a reading was not cut off")


class RestartSpeechTest(ClockTestCase):

    def test_restart_shuts_down_starts_again_and_reapplies_settings(self):
        self.start({"StartupAnnounce": 0, "UserDictionary": r"C:\words.dic", "Speaker": 2},
                   at=DAY + " 15:07:20")
        self.wait_call(("load_dictionary", r"C:\words.dic"))
        hwnd = self.main_window_handle()
        self.command(RESTART_SPEECH)
        calls = self.wait_call(("load_dictionary", r"C:\words.dic"), count=2)
        self.assertEqual(after(calls, ("load_dictionary", r"C:\words.dic")), [
            ("reset", "1"),
            ("unload_dictionary",),
            ("shutdown",),
            ("startup", "-1", "2", "1", str(hwnd), "0"),
            ("set_speaker", "2"),
            ("set_rate", "180"),
            ("speak", "1", "[:volume set 100]"),
            ("unload_dictionary",),
            ("load_dictionary", r"C:\words.dic"),
        ])
        # The new instance is the one spoken to afterwards.
        self.command(SPEAK_TIME)
        self.wait_call(("sync",))
        speaks = [e for e in self.log.events() if e.name == "speak"]
        self.assertEqual(speaks[-1].instance, "2")

    def test_exit_resets_unloads_and_shuts_the_engine_down(self):
        self.start({"StartupAnnounce": 0}, at=DAY + " 15:07:20")
        self.wait_call(("unload_dictionary",))
        probe("message", 0x0010, 0, 0)  # WM_CLOSE
        self.assert_exits_with(self.process, 0)
        self.assertEqual(self.log.calls()[-3:], [("reset", "1"), ("unload_dictionary",),
                                                 ("shutdown",)])


if __name__ == "__main__":
    unittest.main()
