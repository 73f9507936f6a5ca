"""SpeechOutput 1 on Linux: the clock speaks through a real speech-dispatcher
of the test's own, beside a screen reader's stand-in, and falls back to its
own voice when the service is gone."""
import os
import re
import shutil
import unittest

from clock_log import READ_CLIPBOARD, SPEAK_TIME, STOP_SPEAKING, ClockTestCase
from harness import BUILD_DIR, file_sink, probe, wait_for
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


if __name__ == "__main__":
    unittest.main()
