"""The Alarms dialog as a user meets it: opened by its key from the main
window, an alarm added, one changed, turned off and on, and one deleted, all
by keys; what it stored read back from the INI file; the next alarm named in
the status bar; and the added alarm heard at its time from the recording
engine."""
import unittest

from dialog_driver import gone, look, press, read_ini
from harness import E2ETestCase, probe, wait_for

ALARMS, ALARM = "Alarms", "Alarm"
LIST = 1060
# The list's labels, buttons and check boxes, each with its own letter.
LETTERS = {ALARMS: "maedo", ALARM: "hncrumtwyfaegibo"}


class AlarmsDialogTest(E2ETestCase):

    def spoken(self, box):
        try:
            with open(box.log_path, encoding="latin-1") as log:
                return [line.rstrip("\n").split("\t")[4] for line in log
                        if line.split("\t")[1] == "speak"]
        except OSError:
            return []

    def status(self):
        return probe("statusbar")[1].get("text")

    def alarms(self, box):
        return read_ini(box.ini_path).get("Alarms", {})

    def assert_letters(self, caption):
        dialog = look(caption)
        texts = [dialog.get(c, "text") for c in dialog.order
                 if c.startswith("label") or dialog.get(c, "class") == "Button"]
        letters = "".join(t[t.index("&") + 1].lower() for t in texts if "&" in t)
        self.assertEqual(letters, LETTERS[caption])
        # A screen reader names each control by its label or its own text.
        code, names = probe("names", caption)
        self.assertEqual(code, 0)
        for index in range(int(names["count"])):
            ident, name, before, label = names["name%d" % index].split("|")
            own = label if int(before) == 0xFFFF else dialog.get(ident, "text") or ""
            self.assertTrue(name == own.replace("&", "") or int(before) == 0xFFFF, ident)
        left, top, right, bottom = map(int, dialog["rect"].split(","))
        self.assertLessEqual((right - left, bottom - top), (1366, 728))
        return dialog

    def test_add_edit_toggle_delete_by_keys_and_the_added_alarm_is_heard(self):
        box = self.sandbox()
        box.write_ini({"Settings": {"StartupAnnounce": "0", "CheckInterval": "60"},
                       "Alarms": {"Alarm2": "1,09:30:00,2026-12-25", "Alarm2Message": "Old"}})
        # A Tuesday, a minute before the alarm the test adds.
        box.start(tz="America/New_York", fake_time="2026-12-08 06:59:00")
        self.started_window(box)
        press("Orvanel", "ctrl+a")
        dialog = self.assert_letters(ALARMS)
        self.assertEqual(dialog.get(LIST, "count"), "2")  # the first alarm, off, and "Old"
        self.assertTrue(dialog.get(LIST, "item0").endswith("\tEvery day\t\tOff"))
        self.assertTrue(dialog.get(LIST, "item1").endswith("\tOld\tOn"))

        # Add: 7:00:00 on weekdays, "weekday alarm".
        press(ALARMS, "alt+a")
        self.assertIsNotNone(look(ALARM))
        self.assert_letters(ALARM)
        press(ALARM, "7", "alt+n", "0", "alt+c", "0", "alt+r", "Down", "alt+g")
        press(ALARM, *["space" if c == " " else c for c in "weekday alarm"])
        press(ALARM, "Return")
        self.assertTrue(gone(ALARM))
        self.assertTrue(wait_for(lambda: self.alarms(box).get("Alarm3") == "1,07:00:00,-MTWTF-",
                                 5), self.alarms(box))
        self.assertEqual(self.alarms(box)["Alarm3Message"], "weekday alarm")

        # Edit "Old" (the line above the new one) by Enter: new words, off.
        press(ALARMS, "alt+m", "Up", "Return")
        self.assertIsNotNone(look(ALARM))
        press(ALARM, "alt+g", "n", "e", "w", "alt+o", "Return")
        self.assertTrue(gone(ALARM))
        self.assertTrue(wait_for(lambda: self.alarms(box).get("Alarm2") == "0,09:30:00,2026-12-25",
                                 5), self.alarms(box))
        self.assertEqual(self.alarms(box)["Alarm2Message"], "new")
        # Space turns it on again; Del asks, and Yes deletes it.
        press(ALARMS, "space")
        self.assertTrue(wait_for(lambda: self.alarms(box).get("Alarm2", "").startswith("1,"), 5))
        self.assertEqual(look(ALARMS).get(LIST, "sel"), "1")
        press(ALARMS, "Delete")
        self.assertEqual(probe("box", 10000)[1].get("text"), "Delete the alarm at 9:30:00 AM?")
        probe("click", "yes", 5000)
        self.assertTrue(wait_for(lambda: "Alarm2" not in self.alarms(box), 5), self.alarms(box))
        self.assertEqual(look(ALARMS).get(LIST, "count"), "2")
        press(ALARMS, "Escape")
        self.assertTrue(gone(ALARMS))

        # The status bar names it; it sounds at 7:00:00, once; then the next day's.
        self.assertTrue(wait_for(lambda: self.status() == "Next alarm: Tuesday 7:00 AM", 10),
                        self.status())
        self.assertTrue(wait_for(lambda: "weekday alarm" in self.spoken(box), 90),
                        self.spoken(box))
        self.assertEqual(self.spoken(box).count("weekday alarm"), 1)
        self.assertTrue(wait_for(lambda: self.status() == "Next alarm: Wednesday 7:00 AM", 10),
                        self.status())


if __name__ == "__main__":
    unittest.main()
