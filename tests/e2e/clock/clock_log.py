"""Reading the recording engine's log, and starting Orvanel for the clock's tests.

The recording engine appends one line per event: a millisecond timestamp, the
event's name, the engine instance and the event's arguments, separated by tabs
(engine/README.md).  The program's own calls are kept as tuples of the name and
the arguments, e.g. ("speak", "1", "[:volume set 100]"); what the engine does
by itself (text spoken, cut or dropped, callbacks) is left out unless asked for.
"""
import os
import time

from harness import E2ETestCase, ids, probe, wait_for

PROGRAM_CALLS = {
    "startup", "shutdown", "speak", "reset", "sync", "set_rate", "set_speaker", "get_caps",
    "load_dictionary", "unload_dictionary",
}

# Seconds to give a freshly started program to reach a given clock second:
# starting Wine takes one to two seconds.
START_LEAD = 5

SPEAK_TIME = ids.ID_SPEAK_TIME
RESTART_SPEECH = ids.ID_RESTART_SPEECH
READ_CLIPBOARD = ids.ID_READ_CLIPBOARD
STOP_SPEAKING = ids.ID_STOP_SPEAKING
HOTKEY_SPEAK_TIME = ids.IDH_SPEAK_TIME
HOTKEY_READ_CLIPBOARD = ids.IDH_READ_CLIPBOARD


def unescape(field):
    out = []
    i = 0
    while i < len(field):
        c = field[i]
        if c == "\\" and i + 1 < len(field):
            out.append({"\\": "\\", "t": "\t", "n": "\n", "r": "\r"}.get(field[i + 1], field[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Event:
    def __init__(self, line):
        fields = [unescape(f) for f in line.split("\t")]
        self.time_ms = float(fields[0])
        self.name = fields[1]
        self.instance = fields[2] if len(fields) > 2 else ""
        self.args = tuple(fields[3:])

    @property
    def call(self):
        return (self.name,) + self.args


class EngineLog:
    def __init__(self, path):
        self.path = path

    def events(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path, "rb") as log:
            text = log.read().decode("latin-1")
        return [Event(line) for line in text.split("\n") if line]

    def calls(self):
        return [e.call for e in self.events() if e.name in PROGRAM_CALLS]

    def spoken_texts(self):
        """Texts handed to speak, in order (the volume command included)."""
        return [c[2] for c in self.calls() if c[0] == "speak"]


class ClockTestCase(E2ETestCase):
    """A test that starts Orvanel with given settings, zone and clock."""

    def start(self, settings=None, tz="America/New_York", at=None, env=None, engine="recording",
              ms_per_char=0, args="", clock_file=None):
        box = self.sandbox(engine=engine)
        if settings is not None:
            box.write_ini({"Settings": {k: str(v) for k, v in settings.items()}})
        environment = {"ORVANEL_RECORDING_MS_PER_CHAR": str(ms_per_char)}
        environment.update(env or {})
        self.process = box.start(args, tz=tz, fake_time=at, env=environment,
                                 clock_file=clock_file)
        self.box = box
        self.log = EngineLog(box.log_path)
        return box

    def wait_calls(self, predicate, seconds=15):
        """Waits until predicate(calls) holds; returns the calls then."""
        found = wait_for(lambda: predicate(self.log.calls()), seconds)
        calls = self.log.calls()
        self.assertTrue(found, "the engine log never matched; it holds:\n%s" % "\n".join(
            map(repr, calls)))
        return calls

    def wait_call(self, call, seconds=15, count=1):
        """Waits until the call has been made count times."""
        return self.wait_calls(lambda calls: calls.count(call) >= count, seconds)

    def settle(self, seconds):
        """Lets the program run on; what it does meanwhile is checked afterwards."""
        time.sleep(seconds)

    def command(self, command_id):
        self.assertEqual(probe("command", command_id)[0], 0)

    def main_window_handle(self):
        return int(self.main_window(20000)["hwnd"], 16) & 0xFFFFFFFF


def after(calls, call):
    """The calls made after the first occurrence of call."""
    return calls[calls.index(call) + 1:]


def announcement_calls(calls):
    """The calls of the first announcement: from the first time sentence (spoken
    without force, or the interruption step or greeting before it) to its
    waiting step, or to the last call when there is none."""
    start = after(calls, ("unload_dictionary",))
    end = start.index(("sync",)) + 1 if ("sync",) in start else len(start)
    return start[:end]
