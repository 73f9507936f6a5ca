"""SpeechOutput 1: on Linux the clock speaks through a real speech-dispatcher
of the test's own, beside a screen reader's stand-in, and falls back to its
own voice when the service is gone; the Windows readers are asked in turn,
as fakes that log what they are asked."""
import os
import re
import shutil
import subprocess
import unittest

from clock_log import READ_CLIPBOARD, SPEAK_TIME, STOP_SPEAKING, ClockTestCase, EngineLog
from harness import BUILD_DIR, WINE_EXEC, file_sink, probe, wait_for, windows_path
from orvanel_support import REPO, SpeechService

TIME = "The current time is 3:07 PM Eastern Standard Time,"
ALARM = "Wake up now"
CLIPBOARD = "clipboard words"


def string_text(name):
    with open(os.path.join(REPO, "res", "Orvanel.rc")) as rc:
        return re.search(r"\b%s \"(.*)\"" % name, rc.read()).group(1)


def status_text():
    values = probe("children")[1]
    for index in range(int(values.get("count", "0"))):
        fields = values["child%d" % index].split("|")
        if fields[0] == "msctls_statusbar32":
            return fields[3]
    return None


class SpeechServiceTest(ClockTestCase):

    def setUp(self):
        super().setUp()
        engine = os.path.join(BUILD_DIR, "bin", "DECTALK.dll")
        with open(engine, "rb") as f:
            if f.read(4) != b"\x7fELF" or shutil.which("speech-dispatcher") is None:
                self.skipTest("no Linux engine or no speech-dispatcher")
        folder = "/tmp/orvanel-speechd-%d" % os.getpid()
        shutil.rmtree(folder, ignore_errors=True)
        self.service = SpeechService(folder)
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        self.addCleanup(self.service.stop)
        self.reader, self.reader_says = self.service.client()
        self.addCleanup(self.reader.kill)

    def started(self, text, count=1, seconds=20):
        return wait_for(lambda: [e[2] for e in self.service.spoken()
                                 if e[1] == "start"].count(text) >= count, seconds)

    def test_service_queues_ours_with_the_readers_cancels_only_ours_then_falls_back(self):
        wav = os.path.join(self.service.folder, "own.wav")
        self.start({"SpeechOutput": 1, "StartupAnnounce": 0, "AlarmEnabled": 1, "AlarmHour": 15,
                    "AlarmMinute": 7, "AlarmSecond": 45, "AlarmMessage": ALARM},
                   at="2026-12-06 15:07:20", engine="bin",
                   env=dict(file_sink(wav), SPEECHD_ADDRESS=self.service.env["SPEECHD_ADDRESS"],
                            XDG_CONFIG_HOME=self.service.env["XDG_CONFIG_HOME"]))
        self.main_window(20000)
        self.reader_says("reader one")
        self.command(SPEAK_TIME)  # queued behind the reader's words
        self.assertTrue(self.started(TIME))
        self.reader_says("reader two")
        probe("clipboard-set", CLIPBOARD)
        self.command(READ_CLIPBOARD)
        self.assertTrue(self.started(CLIPBOARD) and self.started(ALARM, seconds=40), self.service.spoken())
        # Stop Speaking cancels our words, never the reader's queued behind them.
        self.command(SPEAK_TIME)
        self.assertTrue(self.started(TIME, 2))
        self.reader_says("reader three")
        self.command(STOP_SPEAKING)
        self.assertTrue(wait_for(lambda: ("end", "reader three") in
                                 [e[1:] for e in self.service.spoken()], 20))

        spoken = self.service.spoken()
        starts = [text for _, event, text in spoken if event == "start"]
        self.assertEqual(starts, ["reader one", TIME, "reader two", CLIPBOARD, ALARM, TIME,
                                  "reader three"])
        ends = [text for _, event, text in spoken if event == "end"]
        self.assertEqual(ends, ["reader one", TIME, "reader two", CLIPBOARD, ALARM,
                                "reader three"], "only our last words were cut")
        playing = None  # one message at a time: each end is the one sounding's
        for _, event, text in spoken:
            self.assertTrue(event == "start" or text == playing, "overlap: %r" % spoken)
            playing = text if event == "start" else None
        priorities = self.service.priorities()
        self.assertEqual((priorities[TIME], priorities[ALARM], priorities[CLIPBOARD]), (2, 1, 3))
        self.assertFalse(os.path.exists(wav) and os.path.getsize(wav) > 44,
                         "our own voice spoke too")

        # The service ends: the next words are ours, and the status bar says so once.
        self.service.stop()
        self.command(SPEAK_TIME)
        self.assertTrue(wait_for(lambda: os.path.exists(wav) and os.path.getsize(wav) > 44000,
                                 20), "our own voice did not take over")
        note = string_text("IDS_SPEECH_FALLBACK")
        self.assertTrue(wait_for(lambda: status_text() == note, 20), status_text())


JAWS_CLASS = "{6B7F3D4A-29C1-4E8B-9A5D-0F1E2C3B4A59}"  # the fake's, for this test only
CLASSES = r"HKLM\Software\Classes"


def reg(*args):
    """In the 64-bit view, where the 64-bit program looks classes up."""
    subprocess.run([WINE_EXEC, "reg"] + list(args) + ["/reg:64", "/f"],
                   stdin=subprocess.DEVNULL, capture_output=True, check=False)


class ScreenReaderTest(ClockTestCase):

    def setUp(self):
        super().setUp()
        self.readers = os.path.join(BUILD_DIR, "fake-readers")
        reg("add", CLASSES + r"\FreedomSci.JawsApi\CLSID", "/ve", "/d", JAWS_CLASS)
        reg("add", CLASSES + r"\CLSID\%s\InprocServer32" % JAWS_CLASS, "/ve", "/d",
            windows_path(os.path.join(self.readers, "fake_jaws.dll")))
        reg("add", CLASSES + r"\CLSID\%s\InprocServer32" % JAWS_CLASS, "/v", "ThreadingModel",
            "/d", "Both")
        self.addCleanup(reg, "delete", CLASSES + r"\CLSID\%s" % JAWS_CLASS)
        self.addCleanup(reg, "delete", CLASSES + r"\FreedomSci.JawsApi")

    def asked(self):
        try:
            with open(self.reader_log, encoding="latin-1") as log:
                return [tuple(line.rstrip("\n").split("\t")) for line in log]
        except OSError:
            return []

    def test_each_utterance_goes_to_the_first_running_reader_else_our_voice(self):
        box = self.sandbox(engine="recording")
        shutil.copy(os.path.join(self.readers, "nvdaControllerClient64.dll"), box.folder)
        self.reader_log = os.path.join(box.folder, "asked.log")
        nvda, jaws = os.path.join(box.folder, "nvda-runs"), os.path.join(box.folder, "jaws-runs")
        box.write_ini({"Settings": {"SpeechOutput": "1", "StartupAnnounce": "0"}})
        self.box, self.log = box, EngineLog(box.log_path)
        self.process = box.start(tz="America/New_York", fake_time="2026-12-06 15:07:20", env={
            "ORVANEL_RECORDING_MS_PER_CHAR": "60",
            "ORVANEL_FAKE_READER_LOG": windows_path(self.reader_log),
            "ORVANEL_FAKE_NVDA_RUNNING": windows_path(nvda),
            "ORVANEL_FAKE_JAWS_RUNNING": windows_path(jaws)})
        self.wait_call(("unload_dictionary",))

        def heard():
            return (sum(1 for a in self.asked() if a[-1] == TIME) +
                    self.log.spoken_texts().count(TIME))

        def speak_time(waited=True):
            count = heard() + 1
            self.command(SPEAK_TIME)
            self.assertTrue(wait_for(lambda: heard() >= count, 15), self.asked())
            if waited:  # a request while the clock waits would be absorbed into that wait
                self.assertTrue(wait_for(lambda: status_text() == "Speaking", 10))
                self.assertTrue(wait_for(lambda: status_text() != "Speaking", 15))

        # Each reader is seen to start or stop at the next utterance.
        open(nvda, "w").close()
        speak_time()
        os.remove(nvda)
        open(jaws, "w").close()
        speak_time()
        os.remove(jaws)
        speak_time()
        self.assertEqual(status_text(), string_text("IDS_SPEECH_FALLBACK"))
        open(nvda, "w").close()
        speak_time(waited=False)
        self.command(STOP_SPEAKING)  # cuts our words in NVDA's voice
        self.assertTrue(wait_for(lambda: ("nvda", "cancel", "") in self.asked(), 15))

        said = [a for a in self.asked() if a[1] != "test"]
        self.assertEqual(said, [("nvda", "speak", TIME), ("jaws", "say", TIME),
                                ("nvda", "speak", TIME), ("nvda", "cancel", "")])
        self.assertEqual(self.log.spoken_texts().count(TIME), 1, "our voice spoke once")
        self.assertTrue(wait_for(lambda: status_text() == "I'm ready!", 10), status_text())

    def test_no_hard_import_of_ui_automation_notifications(self):
        for name in ("bin/Orvanel.exe", "bin/DECTALK.dll", "sapi/DECTALK.dll"):
            path = os.path.join(BUILD_DIR, name)
            dump = subprocess.run(["objdump", "-p", path], capture_output=True, text=True)
            self.assertEqual(dump.returncode, 0, path)
            self.assertNotIn("uiautomationcore", dump.stdout.lower(), name)
            self.assertNotIn("UiaRaiseNotificationEvent", dump.stdout, name)


if __name__ == "__main__":
    unittest.main()
