"""The program's side of the engine: start-up failures shown to the user, the
engine's error notifications, and one run with the real engine whose speech is
captured in a file."""
import os
import struct
import unittest
import wave

from clock_log import RESTART_SPEECH, ClockTestCase
from harness import BUILD_DIR, file_sink, ids, probe, wait_for

ERROR = "Error"


class EngineStartupFailureTest(ClockTestCase):

    def assert_start_fails(self, text, owned, **start):
        self.start(**start)
        box = self.expect_box(ERROR, text, 20000, icon="red")
        self.assertEqual(box["owned_by_main"], "1" if owned else "0")
        self.assertEqual(box["has_owner"], "1" if owned else "0")
        self.assertEqual(box["ok"], "1")
        probe("click", "ok")
        self.assert_exits_with(self.process, 0)

    def test_engine_start_up_error_code_is_shown_and_the_program_ends(self):
        cases = [
            ("visible window owns the box", {}, True),
            ("hidden window owns nothing", {"StartHidden": 1}, False),
        ]
        for name, settings, owned in cases:
            with self.subTest(name):
                self.assert_start_fails("Failed to initialize DECtalk! Error code: 1002.", owned,
                                        settings=settings,
                                        env={"ORVANEL_RECORDING_STARTUP_RESULT": "1002"})
                calls = self.log.calls()
                self.assertEqual(len(calls), 1, "nothing may follow a failed start-up")
                self.assertEqual(calls[0][0], "startup")

    def test_restart_whose_start_up_fails_ends_the_program(self):
        self.start({"StartupAnnounce": 0},
                   env={"ORVANEL_RECORDING_STARTUP_RESULT": "1002",
                        "ORVANEL_RECORDING_STARTUP_FAILS_FROM": "2"})
        self.wait_call(("unload_dictionary",))  # the first engine runs
        self.command(RESTART_SPEECH)
        self.expect_box(ERROR, "Failed to initialize DECtalk! Error code: 1002.", 20000,
                        icon="red")
        probe("click", "ok")
        self.assert_exits_with(self.process, 0)
        operations = [call[0] for call in self.log.calls()]
        self.assertEqual(operations.count("startup"), 2)
        self.assertEqual(operations.count("shutdown"), 1, "the first engine was shut down")

    def test_negative_error_code_is_shown_signed(self):
        self.assert_start_fails("Failed to initialize DECtalk! Error code: -7.", True,
                                env={"ORVANEL_RECORDING_STARTUP_RESULT": "-7"})

    def test_missing_engine_is_a_start_up_failure_with_the_windows_error(self):
        # 126: the module could not be found.
        self.assert_start_fails("Failed to initialize DECtalk! Error code: 126.", True,
                                engine="")

    def test_engine_missing_an_operation_is_a_start_up_failure(self):
        # 127: the procedure could not be found (ordinal 19 is missing).
        self.assert_start_fails("Failed to initialize DECtalk! Error code: 127.", True,
                                engine="partial-engine")


class EngineErrorNotificationTest(ClockTestCase):

    def test_audio_errors_are_shown_by_kind(self):
        cases = [
            (1, "Failed to write audio to device!"),
            (2, "Failed to open audio device!"),
            (3, "Failed to get audio device capabilities!"),
        ]
        for kind, text in cases:
            with self.subTest(kind=kind):
                self.start({"StartupAnnounce": 0},
                           env={"ORVANEL_RECORDING_CALLBACK_KIND": str(kind)})
                box = self.expect_box(ERROR, text, 20000, icon="red")
                self.assertEqual(box["owned_by_main"], "1")
                # The clock goes on while the box waits to be read.
                self.command(ids.ID_SPEAK_TIME)
                self.wait_call(("sync",))
                probe("click", "ok")
                self.box.close_all()
                probe("wait-gone", 10000)

    def test_error_while_hidden_has_no_owner(self):
        self.start({"StartupAnnounce": 0, "StartHidden": 1},
                   env={"ORVANEL_RECORDING_CALLBACK_KIND": "2",
                        "ORVANEL_RECORDING_CALLBACK_DELAY_MS": "1500"})
        box = self.expect_box(ERROR, "Failed to open audio device!", 20000, icon="red")
        self.assertEqual(box["has_owner"], "0")

    def test_other_kinds_and_other_messages_are_ignored(self):
        cases = [
            ("unknown kind", {"ORVANEL_RECORDING_CALLBACK_KIND": "4"}),
            ("another message", {"ORVANEL_RECORDING_CALLBACK_KIND": "2",
                                 "ORVANEL_RECORDING_CALLBACK_MESSAGE": "SomeOtherMessage"}),
        ]
        for name, env in cases:
            with self.subTest(name):
                self.start({"StartupAnnounce": 0}, env=env)
                self.wait_calls(lambda calls: ("unload_dictionary",) in calls)
                self.assertTrue(wait_for(
                    lambda: any(e.name == "callback" for e in self.log.events()), 10))
                self.assertNotEqual(probe("box", 2000)[0], 0, "no box may appear")
                self.box.close_all()
                probe("wait-gone", 10000)


def read_wav(path):
    with wave.open(path, "rb") as w:
        frames = w.readframes(w.getnframes())
        return w.getframerate(), w.getnchannels(), w.getsampwidth(), frames


def strokes(samples, rate):
    """Onsets of sound in 10 ms frames: loud after a fifth of a second of near silence."""
    frame = rate // 100
    levels = [max(abs(v) for v in samples[i:i + frame]) for i in range(0, len(samples), frame)]
    loud, quiet = max(levels) * 0.3, max(levels) * 0.05
    onsets, silent = 0, 20
    for level in levels:
        if level >= loud and silent >= 20:
            onsets += 1
        silent = silent + 1 if level < quiet else 0
    return onsets


class RealEngineTest(ClockTestCase):
    """The Linux engine speaks into an ALSA file sink of the test's own."""

    def sink(self):
        engine = os.path.join(BUILD_DIR, "bin", "DECTALK.dll")
        with open(engine, "rb") as f:
            if f.read(4) != b"\x7fELF":
                self.skipTest("no Linux engine in this build")
        sink_dir = os.path.join(BUILD_DIR, "e2e-sandbox", "real-engine-audio")
        os.makedirs(sink_dir, exist_ok=True)
        out = os.path.join(sink_dir, "out.wav")
        if os.path.exists(out):
            os.remove(out)
        return out

    def test_chime_instead_of_speech_strikes_three_at_three(self):
        out = self.sink()
        self.start({"StartupAnnounce": 0, "CheckInterval": 60, "Chime": 2}, engine="bin",
                   at="2026-12-08 02:59:56", env=file_sink(out))
        self.main_window(20000)
        self.assertTrue(wait_for(lambda: os.path.exists(out) and os.path.getsize(out) > 100000,
                                 30), "no chime reached the audio device")
        self.settle(3)  # the strokes last 3.6 s; the file sink is not paced
        self.box.close_all()
        rate, channels, width, frames = read_wav(out)
        samples = struct.unpack("<%dh" % (len(frames) // 2), frames)[::channels]
        self.assertEqual(strokes(samples, rate), 3)
        self.assertLess(len(samples) / rate, 3 * 1.2 + 0.5)  # no spoken time after them

    def test_startup_announcement_is_heard(self):
        out = self.sink()
        self.start(engine="bin", at="2026-12-06 15:07:20", env=file_sink(out))
        self.main_window(20000)

        def spoken():
            if not os.path.exists(out):
                return None
            try:
                rate, channels, width, frames = read_wav(out)
            except (EOFError, wave.Error, struct.error):
                return None
            seconds = len(frames) / float(rate * channels * width)
            return (rate, channels, width, frames) if seconds > 1.5 else None

        self.assertTrue(wait_for(spoken, 30), "no speech reached the audio device")
        self.settle(2)  # let the sentence finish
        self.box.close_all()
        rate, channels, width, frames = read_wav(out)
        self.assertEqual(width, 2)
        samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
        seconds = len(samples) / float(rate * channels)
        # "The current time is 3:07 PM Eastern Standard Time" at 180 words a
        # minute lasts about three seconds.
        self.assertGreater(seconds, 1.5)
        self.assertLess(seconds, 10)
        loud = sum(1 for s in samples if abs(s) > 1000)
        self.assertGreater(loud / float(len(samples)), 0.05, "the speech is silent")


if __name__ == "__main__":
    unittest.main()
