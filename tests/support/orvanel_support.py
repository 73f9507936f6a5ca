"""What the tests and benchmarks that run Orvanel's programs under Wine share:
the Wine runner (scripts/wine-exec, which sets the private prefix), Unix to
Wine paths, ALSA sinks of their own (tests/support/alsa-sink), a private
PulseAudio daemon for timing, and the program's resource ids, read from
res/resource_ids.h so that tests name commands and controls instead of
repeating their numbers.
"""
import os
import re
import subprocess
import time
import types

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_EXEC = os.path.join(REPO, "scripts", "wine-exec")
ALSA_SINK = os.path.join(REPO, "tests", "support", "alsa-sink")


def runs_win32():
    """False on a kernel without 32-bit support, as scripts/wine-loader decides."""
    return not subprocess.run(
        ["bash", "-c", '. "$0"; echo "${ORVANEL_NO_WIN32:-}"',
         os.path.join(REPO, "scripts", "wine-loader")],
        env=dict(os.environ, ORVANEL_NO_WIN32=""), capture_output=True, text=True).stdout.strip()


def windows_path(path):
    """The Wine (Z:) form of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def alsa_sink(conf, kind, *args):
    """Writes an ALSA configuration of one's own (see alsa-sink for the kinds);
    returns the environment that points Wine's ALSA driver at it."""
    path = subprocess.run([ALSA_SINK, conf, kind] + list(args), check=True,
                          capture_output=True, text=True).stdout.strip()
    return {"ALSA_CONFIG_PATH": path}


def file_sink(wav):
    """Everything played lands in wav (its configuration is written beside it)."""
    return alsa_sink(os.path.splitext(wav)[0] + ".conf", "file", wav)


def _read_ids():
    values = {}
    with open(os.path.join(REPO, "res", "resource_ids.h")) as header:
        for line in header:
            match = re.match(r"#define\s+(\w+)\s+(\w+)", line)
            if match:
                name, value = match.groups()
                values[name] = values[value] if value in values else int(value, 0)
    return types.SimpleNamespace(**values)


# Every id of res/resource_ids.h by its name: ids.ID_SPEAK_TIME, ids.IDC_RATE.
ids = _read_ids()


class PulseDaemon:
    """A PulseAudio daemon of one's own, playing into a null sink in real time.

    Each one lives in a folder of its own (under /tmp: the socket's path must
    stay short), so nothing one run does to it reaches the next, and its log is
    kept for a failure.  env reaches the daemon (parecord, pactl); wine_env
    also points Wine's ALSA driver at it through ALSA's pulse plugin, so the
    shared Wine prefix is left as it is.
    """

    def __init__(self, folder, sink, rate):
        self.folder = folder
        self.sink = sink
        os.makedirs(os.path.join(folder, "run"))
        os.makedirs(os.path.join(folder, "home"))
        self.log_path = os.path.join(folder, "pulse.log")
        socket = os.path.join(folder, "run", "native")
        self.env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(folder, "run"),
                        HOME=os.path.join(folder, "home"), PULSE_SERVER="unix:" + socket)
        self.wine_env = dict(os.environ, PULSE_SERVER=self.env["PULSE_SERVER"],
                             XDG_RUNTIME_DIR=self.env["XDG_RUNTIME_DIR"],
                             **alsa_sink(os.path.join(folder, "pulse.conf"), "pulse"))
        # No shared memory: with it, the daemon (PulseAudio 16) sometimes aborts
        # on an assertion in its memfd import ("memblock_replace_import") when
        # Wine's clients come and go, and the next run hears nothing.  Over the
        # socket the audio is copied, which a 22 kHz mono stream does not notice.
        with open(self.log_path, "w") as log:
            self.proc = subprocess.Popen(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                 "--use-pid-file=no", "--disallow-module-loading=no", "--disable-shm=yes",
                 "--log-target=stderr", "--log-level=info", "--log-time=yes",
                 "--load=module-null-sink sink_name=%s rate=%d channels=1" % (sink, rate),
                 "--load=module-native-protocol-unix auth-anonymous=1 socket=%s" % socket],
                env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline and self.proc.poll() is None:
            if subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.2)
        self.stop()
        raise RuntimeError("the PulseAudio daemon did not start (log: %s)" % self.log_path)

    def ended(self):
        """The daemon's exit code if it has ended on its own, else None."""
        return self.proc.poll()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def log_tail(self, lines=40):
        with open(self.log_path, errors="replace") as f:
            return "".join(f.readlines()[-lines:])
