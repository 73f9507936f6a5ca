"""SpeechOutput 1.  Linux: a real speech-dispatcher of the test's own, beside a
screen reader's stand-in, then our own voice once the service is gone.
Windows readers: fakes of NVDA's client and JAWS's object that log what they
are asked."""
import os
import re
import shutil
import struct
import subprocess
import unittest
import wave

from clock_log import READ_CLIPBOARD, SPEAK_TIME, STOP_SPEAKING, ClockTestCase, EngineLog
from harness import BUILD_DIR, WINE_EXEC, file_sink, probe, wait_for, windows_path
from orvanel_support import REPO, SpeechService, heard_words

TIME = "The current time is 3:07 PM Eastern Standard Time,"
ALARM, CLIPBOARD = "Wake up now", "clipboard words"
JAWS = r"HKLM\Software\Classes\FreedomSci.JawsApi"
JAWS_CLASS = r"HKLM\Software\Classes\CLSID\{6B7F3D4A-29C1-4E8B-9A5D-0F1E2C3B4A59}"


def string_text(name):
    with open(os.path.join(REPO, "res", "Orvanel.rc")) as rc:
        return re.search(r"\b%s \"(.*)\"" % name, rc.read()).group(1)


def status_text():
    values = probe("children")[1]
    rows = [values["child%d" % i].split("|") for i in range(int(values.get("count", "0")))]
    return next((row[3] for row in rows if row[0] == "msctls_statusbar32"), None)


def reg(*args):  # in the 64-bit view, where the program looks classes up
    subprocess.run([WINE_EXEC, "reg"] + list(args) + ["/reg:64", "/f"], capture_output=True,
                   stdin=subprocess.DEVNULL)


class SpeechServiceTest(ClockTestCase):

    def service(self, name, sink=None):
        """A folder of the test's own in /tmp (a socket's path must be short),
        and a speech-dispatcher in it; sink: its eSpeak NG plays into that file."""
        with open(os.path.join(BUILD_DIR, "bin", "DECTALK.dll"), "rb") as f:
            if f.read(4) != b"\x7fELF" or not shutil.which("speech-dispatcher"):
                self.skipTest("no Linux engine or no speech-dispatcher")
        folder = "/tmp/orvanel-%s-%d" % (name, os.getpid())
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        service = SpeechService(os.path.join(folder, "service"),
                                sink=sink and os.path.join(folder, sink))
        self.addCleanup(service.stop)
        return folder, service

    def test_service_queues_ours_with_the_readers_cancels_only_ours_then_falls_back(self):
        folder, service = self.service("speechd")
        reader, reader_says = service.client()  # at MESSAGE, as Orca speaks
        self.addCleanup(reader.communicate, timeout=10)
        wav, tone = os.path.join(folder, "own.wav"), os.path.join(folder, "tone.wav")
        with wave.open(tone, "wb") as w:  # the alarm's file: half a second of sound
            w.setparams((1, 2, 22050, 0, "NONE", None))
            w.writeframes(struct.pack("<h", 8000) * 11025)

        def own_seconds():
            with wave.open(wav) as w:
                return w.getnframes() / w.getframerate()
        self.start({"SpeechOutput": 1, "StartupAnnounce": 0, "AlarmEnabled": 1, "AlarmHour": 15,
                    "AlarmMinute": 7, "AlarmSecond": 45, "AlarmMessage": ALARM,
                    "AlarmFile": windows_path(tone)},
                   at="2026-12-06 15:07:10", engine="bin", env=dict(file_sink(wav), **{
                       k: service.env[k] for k in ("SPEECHD_ADDRESS", "XDG_CONFIG_HOME")}))
        self.main_window(20000)

        def started(text, count=1, seconds=20):
            return wait_for(lambda: [e[2] for e in service.spoken()
                                     if e[1] == "start"].count(text) >= count, seconds)
        reader_says("reader one")
        self.command(SPEAK_TIME)
        self.assertTrue(started(TIME))
        reader_says("reader two")
        probe("clipboard-set", CLIPBOARD)
        self.command(READ_CLIPBOARD)
        self.assertTrue(started(CLIPBOARD) and started(ALARM, seconds=40), service.spoken())
        self.command(SPEAK_TIME)
        self.assertTrue(started(TIME, 2))
        reader_says("reader three")  # queued behind ours, which Stop Speaking cancels
        self.command(STOP_SPEAKING)
        self.assertTrue(wait_for(lambda: ("end", "reader three") in
                                 [e[1:] for e in service.spoken()], 20))

        spoken = service.spoken()
        self.assertEqual([e[2] for e in spoken if e[1] == "start"], [
            "reader one", TIME, "reader two", CLIPBOARD, ALARM, TIME, "reader three"])
        self.assertEqual([e[2] for e in spoken if e[1] == "end"], [
            "reader one", TIME, "reader two", CLIPBOARD, ALARM, "reader three"])
        playing = None  # one message at a time: each end is the one sounding's
        for _, event, text in spoken:
            self.assertTrue(event == "start" or text == playing, "overlap: %r" % spoken)
            playing = text if event == "start" else None
        priorities = service.priorities()
        self.assertEqual((priorities[TIME], priorities[ALARM], priorities[CLIPBOARD]), (2, 1, 3))
        self.assertAlmostEqual(own_seconds(), 0.5, delta=0.1, msg="only the alarm's file is ours")

        # The service ends: the next words are ours, and the status bar says so.
        service.stop()
        self.command(SPEAK_TIME)
        self.assertTrue(wait_for(lambda: own_seconds() > 1.5, 20), "our voice did not take over")
        note = string_text("IDS_SPEECH_FALLBACK")
        self.assertTrue(wait_for(lambda: status_text() == note, 20), status_text())

    def test_the_service_speaks_our_announcement_aloud(self):
        folder, service = self.service("speechd-audio", sink="service.wav")
        sink = os.path.join(folder, "service.wav")
        # Paul at 148 words a minute is eSpeak NG's first male voice at -30,
        # which the recogniser understands in this sentence (the audio is the
        # same every run).
        self.start({"SpeechOutput": 1, "StartupAnnounce": 0, "Speaker": 0, "Rate": 148},
                   at="2026-12-06 15:07:10", engine="bin", env=dict(
                       file_sink(os.path.join(folder, "own.wav")),
                       **{k: service.env[k] for k in ("SPEECHD_ADDRESS", "XDG_CONFIG_HOME")}))
        self.main_window(20000)
        self.command(SPEAK_TIME)
        sizes = [-1]

        def played():  # at least a second of sound, and none added for a second
            size = os.path.getsize(sink) if os.path.exists(sink) else 0
            sizes.append(size)
            return size > 44100 and sizes[-2] == size
        self.assertTrue(wait_for(played, 30, interval=1.0))
        service.stop()
        words = heard_words(sink)
        self.assertEqual(words[words.index("is") + 1:][:5], "three oh seven p m".split(), words)


class ScreenReaderTest(ClockTestCase):

    def test_each_utterance_goes_to_the_first_running_reader_else_our_voice(self):
        fake = os.path.join(BUILD_DIR, "fake-readers", "nvdaControllerClient64.dll")
        reg("add", JAWS + r"\CLSID", "/ve", "/d", JAWS_CLASS.rsplit("\\", 1)[1])
        reg("add", JAWS_CLASS + r"\InprocServer32", "/ve", "/d", windows_path(fake))
        reg("add", JAWS_CLASS + r"\InprocServer32", "/v", "ThreadingModel", "/d", "Both")
        self.addCleanup(reg, "delete", JAWS_CLASS)
        self.addCleanup(reg, "delete", JAWS)
        box = self.sandbox(engine="recording")
        shutil.copy(fake, box.folder)
        asked = os.path.join(box.folder, "asked.log")
        nvda, jaws = os.path.join(box.folder, "nvda-runs"), os.path.join(box.folder, "jaws-runs")
        box.write_ini({"Settings": {"SpeechOutput": "1", "StartupAnnounce": "0"}})
        self.log = EngineLog(box.log_path)
        box.start(tz="America/New_York", fake_time="2026-12-06 15:07:01", env={
            "ORVANEL_RECORDING_MS_PER_CHAR": "60", "ORVANEL_FAKE_READER_LOG": windows_path(asked),
            "ORVANEL_FAKE_NVDA_RUNNING": windows_path(nvda),
            "ORVANEL_FAKE_JAWS_RUNNING": windows_path(jaws)})
        self.wait_call(("unload_dictionary",))

        def said():
            if not os.path.exists(asked):
                return []
            with open(asked, encoding="latin-1") as log:
                return [tuple(line.rstrip("\n").split("\t")) for line in log]

        def speak_time(waited=True):
            count = len(said()) + self.log.spoken_texts().count(TIME) + 1
            self.command(SPEAK_TIME)
            self.assertTrue(wait_for(lambda: len(said()) + self.log.spoken_texts().count(TIME)
                                     >= count, 15), said())
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
        self.assertTrue(wait_for(lambda: ("nvda cancel", "") in said(), 15))
        self.assertEqual(said(), [("nvda speak", TIME), ("jaws say", TIME), ("nvda speak", TIME),
                                  ("nvda cancel", "")])
        self.assertEqual(self.log.spoken_texts().count(TIME), 1, "our voice spoke once")
        self.assertTrue(wait_for(lambda: status_text() == "I'm ready!", 10), status_text())

    def test_no_hard_import_of_ui_automation_notifications(self):
        for name in ("bin/Orvanel.exe", "bin/DECTALK.dll", "sapi/DECTALK.dll"):
            dump = subprocess.run(["objdump", "-p", os.path.join(BUILD_DIR, name)],
                                  capture_output=True, text=True)
            self.assertEqual(dump.returncode, 0, name)
            self.assertNotIn("uiautomationcore", dump.stdout.lower(), name)


if __name__ == "__main__":
    unittest.main()
