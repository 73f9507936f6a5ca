"""The Configuration dialog as a user meets it: opened by "/c" before the main
window and from the Configure command, read from outside, typed into and
clicked, and its result read back from the INI file or the registry."""
import os
import struct
import subprocess
import unittest

from dialog_driver import (CONFIGURATION, SET_INI_PATH, act, focus_after, gone, look, press,
                           read_ini, reg_value, scaled_prefix)
from harness import E2ETestCase, PRODUCT_KEY, ids, probe, windows_path, wait_for

SETTINGS_KEY = PRODUCT_KEY + r"\Settings"

# Tab order: every control in creation order, each label just before the
# control it names (ids 1 and 2 are OK and Cancel, 1043 Apply).
TAB_ORDER = ("1001,1002,1003,1004,1005,1006,label0,1007,label1,1008,1009,1010,label2,1084,1011,"
             "1012,1013,label3,1014,label4,1048,label5,1015,1016,label6,1017,label7,1018,label8,1019,"
             "1020,1021,label9,1022,1023,label10,1024,label11,1025,1026,1027,1028,label12,1029,1030,"
             "label13,1031,1032,label14,1033,1034,label15,1035,1036,label16,1037,1038,label17,1039,1040,"
             "label18,1041,1042,1047,1,2,1043").split(",")
# The alphabet and a digit serve 39 labelled controls: every check box
# and button has one of its own, the fields that Tab reaches from a lettered
# neighbour go without.
LABELS = ["Time Intro &Message:", "Announcement &Interval:", "Chime (&X):", "Date Intro Message:",
          "Speech Output (&J):", "A&udio Device:", "&Volume:", "Spea&ker:", "Speaking &Rate:",
          "User Dictionary:",
          "Greeting Message:", "Closing Message:", "Alarm &Hour:", "Alarm Minute:",
          "Alarm Second:", "Alarm &File:", "Alarm Message:", "Quiet After Hour:",
          "Quiet Before Hour:"]
ALARM_LABELS, QUIET_LABELS = range(12, 17), range(17, 19)
# Where each control sits, in dialog units (the up-downs sit on their box):
# two columns in tab order, within 560 by 400.
DIALOG_UNITS = (552, 260)
POSITIONS = {1001: (7, 7), 1002: (137, 7), 1003: (7, 21), 1004: (137, 21), 1005: (7, 35),
             1006: (137, 35), 1007: (92, 50), 1008: (92, 66), 1010: (150, 67), 1084: (92, 81),
             1011: (7, 96), 1012: (7, 110), 1013: (137, 110), 1014: (92, 125), 1048: (92, 143),
             1015: (92, 161), 1016: (92, 177), 1017: (88, 191), 1018: (92, 210), 1019: (227, 210),
             1021: (92, 226), 1022: (92, 240), 1023: (176, 239), 1024: (366, 7), 1025: (366, 23),
             1026: (285, 41), 1027: (415, 41), 1028: (285, 60), 1029: (366, 74),
             1031: (366, 90), 1033: (366, 106), 1035: (366, 122), 1036: (464, 121),
             1037: (366, 138), 1038: (285, 159), 1039: (366, 173), 1041: (366, 189),
             1047: (297, 205), 1: (385, 239), 2: (440, 239), 1043: (495, 239)}
# Wine's accessibility layer names a drop-down list by its selection and a
# trackbar not at all; for those the label just before them must name them.
UNNAMED_BY_WINE = {1015, 1017, 1018, 1048, 1084}
CHECKED_BY_DEFAULT = {1002, 1006, 1010, 1011}
CHECK_BOXES = {1001, 1002, 1003, 1004, 1005, 1006, 1010, 1011, 1012, 1013, 1016, 1021, 1026,
               1027, 1028, 1038}
TEXT_BOXES = {1007, 1014, 1022, 1024, 1025, 1035, 1037}
ALARM_CONTROLS = range(1029, 1038)
QUIET_CONTROLS = range(1039, 1043)
SPEAKERS = ["Paul", "Betty", "Harry", "Frank", "Dennis", "Kit", "Ursula", "Rita", "Wendy"]
# A narrow rate range of the recording engine, to see that the dialog asks it.
ENGINE_RATES = {"ORVANEL_RECORDING_RATE_MIN": "100", "ORVANEL_RECORDING_RATE_MAX": "400"}


def write_wav(path):
    samples = b"\0\0" * 2205
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16,
                         1, 1, 22050, 44100, 2, 16, b"data", len(samples))
    with open(path, "wb") as out:
        out.write(header + samples)


class ConfigurationDialogTest(E2ETestCase):

    def engine_calls(self, box, operation):
        try:
            with open(box.log_path, encoding="latin-1") as log:
                return [line.rstrip("\n").split("\t")[2:] for line in log
                        if line.split("\t")[1:2] == [operation]]
        except OSError:
            return []

    def test_first_open_by_switch_shows_the_defaults_and_ok_by_keyboard_writes_them(self):
        box = self.sandbox()
        box.start("/c", env=ENGINE_RATES)
        dialog = look(CONFIGURATION)
        self.assertIsNotNone(dialog, "/c opened no Configuration dialog")
        self.assertEqual(probe("window", 0)[0], 1, "the main window exists before /c ends")

        # Template: ownerless, brought to the front, controls in the tabled order and places.
        self.assertEqual(dialog["has_owner"], "0")
        self.assertEqual(int(dialog["style"], 16) & 0x00C80280, 0x00C80280)  # caption, menu,
        self.assertEqual(dialog.order, TAB_ORDER)                             # modal, foreground
        self.assertEqual([dialog.get("label%d" % i, "text") for i in range(len(LABELS))], LABELS)
        width, height = map(int, dialog["client"].split(","))
        for control, (x, y) in POSITIONS.items():
            left, top = map(int, dialog.get(control, "rect").split(",")[:2])
            self.assertAlmostEqual(left, x * width / DIALOG_UNITS[0], delta=2, msg=control)
            self.assertAlmostEqual(top, y * height / DIALOG_UNITS[1], delta=2, msg=control)
        # Ownerless, it opens in the middle of the work area, and fits a
        # 1366 by 728 one (a 768-pixel screen less its taskbar).
        left, top, right, bottom = map(int, dialog["rect"].split(","))
        work = list(map(int, dialog["work"].split(",")))
        self.assertLessEqual(right - left, 1366)
        self.assertLessEqual(bottom - top, 728)
        self.assertLessEqual(abs(left + right - work[0] - work[2]), 1)
        self.assertLessEqual(abs(top + bottom - work[1] - work[3]), 1)
        # One access letter per control, read from the texts a user sees.
        texts = [dialog.get(c, "text") for c in dialog.order if c.startswith("label")
                 or dialog.get(c, "class") == "Button"]
        letters = [t[t.index("&") + 1].lower() for t in texts if "&" in t]
        self.assertEqual(len(letters), len(set(letters)), letters)
        self.assertEqual(len(letters), 27)  # every letter and the 2 of "24 Hour Mode"
        self.assertTrue(all("&" in dialog.get(c, "text") for c in CHECK_BOXES | {1043}))
        # A screen reader names each focusable control by its label, without the &.
        code, names = probe("names", CONFIGURATION)
        for index in range(int(names["count"])):
            ident, name, before, label = names["name%d" % index].split("|")
            expected = label if int(before) == 0xFFFF else dialog.get(ident, "text") or ""
            expected = expected.replace("&", "")
            if int(ident) in UNNAMED_BY_WINE and name != expected:
                self.assertEqual(int(before), 0xFFFF, ident)  # the label just before it
            else:
                self.assertEqual(name, expected, ident)
        for up_down, number_box in ((1009, 1008), (1020, 1019), (1030, 1029), (1032, 1031),
                                    (1034, 1033), (1040, 1039), (1042, 1041)):
            self.assertEqual(dialog.get(up_down, "buddy"), str(number_box))
        self.assertEqual(dialog["focus"], "1001")

        # Loaded values, limits, ranges and lists with nothing stored.
        for control in CHECK_BOXES:
            self.assertEqual(dialog.checked(control), control in CHECKED_BY_DEFAULT, control)
        for control in TEXT_BOXES:
            self.assertEqual(dialog.get(control, "limit"), "259", control)
        self.assertEqual(dialog.get(1007, "text"), "The current time is")
        self.assertEqual(dialog.get(1014, "text"), "The current date is")
        self.assertEqual((dialog.get(1008, "text"), dialog.get(1009, "range")), ("15", "1,60"))
        self.assertEqual((dialog.get(1019, "text"), dialog.get(1020, "range")), ("180", "100,400"))
        self.assertEqual([dialog.get(1017, a) for a in ("pos", "range", "page")],
                         ["100", "0,100", "10"])
        self.assertEqual([dialog.get(c, "range") for c in (1030, 1032, 1034, 1040, 1042)],
                         ["0,23", "0,59", "0,59", "0,23", "0,23"])
        self.assertEqual(dialog.items(1018), SPEAKERS)
        self.assertEqual(dialog.get(1018, "sel"), "0")
        self.assertGreaterEqual(int(dialog.get(1015, "count")), 2)
        self.assertEqual((dialog.get(1015, "item0"), dialog.get(1015, "sel")),
                         ("System default device", "0"))
        self.assertEqual(dialog.items(1048), ["Orvanel's own voices",
                                              "Screen reader or speech service"])
        self.assertEqual(dialog.get(1048, "sel"), "0")
        for control in list(ALARM_CONTROLS) + list(QUIET_CONTROLS):
            self.assertFalse(dialog.enabled(control), control)
        # Labels follow their fields, so Alt+H cannot pass a disabled hour box.
        self.assertEqual([dialog.enabled("label%d" % i) for i in range(len(LABELS))],
                         [i not in ALARM_LABELS and i not in QUIET_LABELS
                          for i in range(len(LABELS))])

        # Real keys: Tab order, mnemonics to the control after the label, the
        # up-down's arrow key, and Enter for OK.
        self.assertEqual(focus_after(CONFIGURATION, "Tab", "Tab"), "1003")
        self.assertEqual(focus_after(CONFIGURATION, "alt+k"), "1018")
        self.assertEqual(focus_after(CONFIGURATION, "alt+r"), "1019")
        # A letter of its own ticks its box at once; Alt+L then wakes the
        # alarm's labels and fields together.
        press(CONFIGURATION, "alt+b", "alt+l")
        self.assertTrue(wait_for(lambda: look(CONFIGURATION).checked(1005), 5))
        self.assertTrue(wait_for(lambda: look(CONFIGURATION).enabled("label12"), 5))
        self.assertTrue(look(CONFIGURATION).enabled(1029))
        press(CONFIGURATION, "alt+b", "alt+l")
        self.assertTrue(wait_for(lambda: not look(CONFIGURATION).checked(1028), 5))
        self.assertEqual(focus_after(CONFIGURATION, "alt+r"), "1019")
        press(CONFIGURATION, "Up")
        self.assertTrue(wait_for(lambda: look(CONFIGURATION).get(1019, "text") == "181", 5))
        press(CONFIGURATION, "Return")
        self.assertTrue(gone(CONFIGURATION), "Enter did not close the dialog")

        # OK wrote every key but the alarm values and the quiet hours.
        self.started_window(box)
        self.assertEqual(read_ini(box.ini_path), {"Settings": {
            "StartHidden": "0", "RegisterHotkeys": "1", "24Hour": "0", "UniversalTime": "0",
            "BypassMarker": "0", "IncludeZone": "1", "TimeIntro": "The current time is",
            "CheckInterval": "15", "Chime": "0", "StartupAnnounce": "1", "EndComma": "1", "AnnounceDate": "0",
            "ShortDate": "0", "DateIntro": "The current date is", "AudioDevice": "-1",
            "OwnDevice": "0", "SpeechOutput": "0", "Volume": "100", "Speaker": "0", "Rate": "181",
            "ResetSpeech": "0",
            "UserDictionary": "", "Greeting": "", "Closing": "", "BeepInterval": "0",
            "Interruptability": "0", "AlarmEnabled": "0", "QuietMode": "0"}})
        # The ClockThread, started after the dialog, applies what was saved.
        self.assertTrue(wait_for(lambda: ["1", "181"] in self.engine_calls(box, "set_rate"), 10))

    def test_out_of_range_values_alarm_group_browse_apply_and_escape(self):
        box = self.sandbox()
        # The INI lives where an expandable ConfigFile points.
        ini = os.path.join(box.folder, "custom.ini")
        probe("reg-set-expand-sz", PRODUCT_KEY, "ConfigFile", r"%ORVANEL_E2E_FOLDER%\custom.ini")
        box.write_ini({"Settings": {
            "CheckInterval": "90", "Volume": "150", "Speaker": "12", "AudioDevice": "5",
            "Rate": "50", "TimeIntro": "", "Greeting": "Hello", "AlarmEnabled": "1",
            "AlarmHour": "7", "AlarmMinute": "30", "AlarmFile": "old.wav",
            "AlarmMessage": "Wake", "QuietMode": "1", "QuietAfterHour": "30",
            "QuietBeforeHour": "6"}}, path=ini)
        sound = os.path.join(box.folder, "chime.wav")
        write_wav(sound)
        box.start("/c", env=dict(ENGINE_RATES, ORVANEL_E2E_FOLDER=windows_path(box.folder)))

        dialog = look(CONFIGURATION)
        self.assertEqual([dialog.get(c, "text") for c in (1008, 1019, 1029, 1031, 1039, 1041)],
                         ["60", "100", "7", "30", "23", "6"])  # nearest bounds
        self.assertEqual(dialog.get(1017, "pos"), "100")
        self.assertEqual((dialog.get(1015, "sel"), dialog.get(1018, "sel")), ("-1", "-1"))
        self.assertEqual((dialog.get(1007, "text"), dialog.get(1024, "text")), ("", "Hello"))
        self.assertTrue(all(dialog.enabled(c) for c in ALARM_CONTROLS))

        # Browse for Audio: the chooser starts at the field's file, its Help
        # button is Test, and the chosen file's full path lands in the field.
        act(CONFIGURATION, "click:1036")
        chooser = look("Select Audio File")
        self.assertIsNotNone(chooser, "no audio chooser")
        self.assertEqual(chooser["owner_title"], CONFIGURATION)
        self.assertEqual(chooser.get(1038, "text"), "T&est")
        self.assertEqual(chooser.items(1136), ["WAV Files (*.WAV)", "All Files (*.*)"])
        self.assertEqual(chooser.get(1152, "text"), "old.wav")
        act("Select Audio File", "set:1152=" + windows_path(sound), "click:1038")
        self.assertIsNotNone(look("Select Audio File", 1000), "Test closed the chooser")
        act("Select Audio File", "click:1")
        self.assertTrue(gone("Select Audio File"))
        self.assertEqual(look(CONFIGURATION).get(1035, "text"), windows_path(sound))
        # Browse for Dictionary, cancelled: the field stays.
        act(CONFIGURATION, "click:1023")
        chooser = look("Select User Dictionary")
        self.assertEqual(chooser.items(1136), ["Dictionary Files (*.DIC)", "All Files (*.*)"])
        act("Select User Dictionary", "click:2")
        self.assertTrue(gone("Select User Dictionary"))
        self.assertEqual(look(CONFIGURATION).get(1022, "text"), "")

        # Edited alarm values, then the alarm unchecked: only AlarmEnabled "0"
        # is written.  A typed interval out of range keeps the last valid one.
        act(CONFIGURATION, "set:1029=5", "set:1008=99", "click:1028")
        dialog = look(CONFIGURATION)
        self.assertFalse(any(dialog.enabled(c) for c in ALARM_CONTROLS))
        self.assertTrue(dialog.enabled(1038) and dialog.enabled(1039))
        # A reader's voice needs no device of ours: the device's controls
        # and label are disabled while it is chosen.
        self.assertEqual(focus_after(CONFIGURATION, "alt+j"), "1048")
        press(CONFIGURATION, "Down")
        self.assertTrue(wait_for(lambda: not look(CONFIGURATION).enabled(1015), 5))
        dialog = look(CONFIGURATION)
        self.assertEqual([dialog.enabled(c) for c in ("label5", 1016, "label6", 1017)],
                         [False, False, True, True])
        act(CONFIGURATION, "click:1043")  # Apply
        settings = read_ini(ini)["Settings"]
        self.assertEqual({k: settings[k] for k in (
            "AlarmEnabled", "AlarmHour", "AlarmMinute", "AlarmFile", "AlarmMessage",
            "CheckInterval", "Volume", "Speaker", "AudioDevice", "Rate", "QuietAfterHour",
            "QuietBeforeHour", "TimeIntro", "SpeechOutput")}, {
            "AlarmEnabled": "0", "AlarmHour": "7", "AlarmMinute": "30", "AlarmFile": "old.wav",
            "AlarmMessage": "Wake", "CheckInterval": "60", "Volume": "100", "Speaker": "-1",
            "AudioDevice": "5", "Rate": "100", "QuietAfterHour": "23", "QuietBeforeHour": "6",
            "TimeIntro": "", "SpeechOutput": "1"})
        self.assertNotIn("AlarmSecond", settings)
        self.assertIsNotNone(look(CONFIGURATION, 0), "Apply closed the dialog")

        # Equal quiet hours, which mean always quiet, are pointed out while Quiet Mode is ticked.
        def note_shown():
            return int(look(CONFIGURATION).get(1047, "style"), 16) & 0x10000000 != 0  # WS_VISIBLE
        self.assertFalse(note_shown())  # 23 and 6
        act(CONFIGURATION, "set:1041=23")
        self.assertTrue(wait_for(note_shown, 5))
        self.assertEqual(look(CONFIGURATION).get(1047, "text"), "Equal hours mean always quiet")
        act(CONFIGURATION, "click:1038")
        self.assertTrue(wait_for(lambda: not note_shown(), 5))

        # A change, then Esc: nothing more is written, and start-up goes on.
        act(CONFIGURATION, "set:1024=Changed")
        press(CONFIGURATION, "Escape")
        self.assertTrue(gone(CONFIGURATION), "Esc did not close the dialog")
        self.started_window(box)
        self.assertEqual(read_ini(ini)["Settings"]["Greeting"], "Hello")
        self.assertFalse(os.path.exists(box.ini_path), "the expandable path was not used")

    def test_both_dialogs_fit_a_1080p_screen_at_150_percent(self):
        env = {"WINEPREFIX": scaled_prefix()}
        self.addCleanup(subprocess.run, ["wineserver", "-k"], env=dict(os.environ, **env))
        probe("window", 0, env=env)  # starts that prefix's server and desktop, detached
        box = self.sandbox()
        box.start("/i /c", env=env)
        for caption in (SET_INI_PATH, CONFIGURATION):
            code, dialog = probe("dialog", caption, 30000, env=env)
            self.assertEqual(code, 0, caption)
            rect, work = ([int(v) for v in dialog[k].split(",")] for k in ("rect", "work"))
            # Scaled (972 pixels wide at 100 %), centred and wholly on screen.
            self.assertEqual(work[2] - work[0], 1920)
            self.assertTrue(rect[0] >= work[0] and rect[1] >= work[1] and rect[2] <= work[2]
                            and rect[3] <= work[3], (caption, rect, work))
            self.assertLessEqual(abs(rect[0] + rect[2] - work[0] - work[2]), 1, caption)
            self.assertLessEqual(abs(rect[1] + rect[3] - work[1] - work[3]), 1, caption)
            probe("dialog-do", caption, "click:2", env=env)
        self.assertGreater(rect[2] - rect[0], 1300)  # the Configuration dialog, scaled
        probe("message", 0x0010, 0, 0, env=env)  # WM_CLOSE, once the window exists
        self.assert_exits_with(box.processes[-1], 0)

    def test_configure_command_in_the_registry_backend_with_no_audio_device(self):
        drivers = r"Software\Wine\Drivers"
        probe("reg-set-sz", drivers, "Audio", "")  # Wine then offers no wave-output device
        self.addCleanup(probe, "reg-delete-value", drivers, "Audio")
        probe("reg-set-dword", PRODUCT_KEY, "UseRegistry", 1)
        probe("reg-set-sz", SETTINGS_KEY, "Speaker", "3")
        probe("reg-set-sz", SETTINGS_KEY, "Greeting", "Hi")
        box = self.sandbox()
        box.start()
        self.started_window(box)
        rates = len(self.engine_calls(box, "set_rate"))

        # Cancelled: nothing written, nothing applied.
        probe("command", ids.ID_CONFIGURE)
        dialog = look(CONFIGURATION)
        self.assertEqual(dialog["owned_by_main"], "1")
        # Owned, it opens over its owner and wholly on screen.
        own, owner, work = ([int(v) for v in dialog[k].split(",")]
                            for k in ("rect", "owner_rect", "work"))
        self.assertTrue(own[0] >= work[0] and own[1] >= work[1] and own[2] <= work[2]
                        and own[3] <= work[3], (own, work))
        self.assertTrue(own[0] <= (owner[0] + owner[2]) // 2 <= own[2], (own, owner))
        self.assertEqual((dialog.get(1015, "count"), dialog.get(1015, "sel")), ("1", "0"))
        self.assertEqual((dialog.get(1018, "sel"), dialog.get(1024, "text")), ("3", "Hi"))
        act(CONFIGURATION, "set:1024=Not kept", "click:2")
        self.assertTrue(gone(CONFIGURATION))
        self.assertEqual(reg_value(SETTINGS_KEY, "Greeting")[1], "Hi")

        # Apply: the running clock takes the new speaker at once, and Cancel
        # afterwards takes nothing back.
        probe("command", ids.ID_CONFIGURE)
        act(CONFIGURATION, "select:1018=5", "click:1043")
        self.assertTrue(wait_for(lambda: self.engine_calls(box, "set_speaker")[-1:] == [["1", "5"]],
                                 10), "Apply did not reach the engine")
        self.assertIsNotNone(look(CONFIGURATION, 0), "Apply closed the dialog")
        act(CONFIGURATION, "click:2")
        self.assertTrue(gone(CONFIGURATION))
        self.assertEqual(reg_value(SETTINGS_KEY, "Speaker")[1], "5")

        # OK: the system default device stores -1; every value is text in the registry.
        probe("command", ids.ID_CONFIGURE)
        act(CONFIGURATION, "set:1019=222", "click:1")
        self.assertTrue(gone(CONFIGURATION))
        self.assertEqual(reg_value(SETTINGS_KEY, "AudioDevice"), (1, "-1", 3))
        self.assertEqual(reg_value(SETTINGS_KEY, "Rate"), (1, "222", 4))
        self.assertEqual(reg_value(SETTINGS_KEY, "IncludeZone"), (1, "1", 2))
        self.assertIsNone(reg_value(SETTINGS_KEY, "AlarmHour"))
        self.assertFalse(os.path.exists(box.ini_path))
        # The opener has the engine take the new rate.
        self.assertTrue(wait_for(lambda: len(self.engine_calls(box, "set_rate")) > rates
                                 and self.engine_calls(box, "set_rate")[-1][-1] == "222", 10))


if __name__ == "__main__":
    unittest.main()
