"""Drives the real Orvanel.exe under Wine from outside, as a user would.

Each test gets a sandbox folder holding Orvanel.exe, an engine DLL and, when
asked, an Orvanel.ini; the program is started through scripts/wine-exec
(optionally under faketime and a chosen TZ) and looked at and driven with the
probe tool (tests/e2e/probe), which runs in the same Wine session.
"""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from orvanel_support import (REPO, WINE_EXEC, file_sink, ids, runs_win32,  # noqa: E402,F401
                              windows_path)

BUILD_DIR = os.environ.get("ORVANEL_BUILD_DIR", "")
PRODUCT_KEY = r"SOFTWARE\Tallowen\Orvanel"


def probe(*args, timeout=60, env=None):
    """Runs one probe command; returns (exit code, dict of its key=value lines).
    env adds to the environment (another WINEPREFIX looks into that prefix)."""
    exe = os.path.join(BUILD_DIR, "bin", "probe.exe")
    done = subprocess.run([WINE_EXEC, exe] + [str(a) for a in args],
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout,
                          env=dict(os.environ, **(env or {})))
    values = {}
    for line in done.stdout.decode("latin-1").splitlines():
        key, sep, value = line.partition("=")
        if sep:
            values[key.strip()] = value
    return done.returncode, values


def reset_registry():
    probe("reg-delete-tree", r"SOFTWARE\Tallowen")


class Sandbox:
    """A folder with the program and an engine, and the processes started from it."""

    def __init__(self, name, engine="recording", exe_name="Orvanel.exe", folder=None):
        root = os.path.join(BUILD_DIR, "e2e-sandbox")
        self.folder = folder or os.path.join(root, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, exe_name)
        shutil.copy(os.path.join(BUILD_DIR, "bin", "Orvanel.exe"), self.exe)
        engine_dll = os.path.join(BUILD_DIR, engine, "DECTALK.dll")
        if engine and os.path.exists(engine_dll):
            shutil.copy(engine_dll, os.path.join(self.folder, "DECTALK.dll"))
        self.log_path = os.path.join(self.folder, "engine.log")
        self.processes = []

    @property
    def ini_path(self):
        return os.path.join(self.folder, "Orvanel.ini")

    def write_ini(self, sections, path=None):
        """sections: {"Settings": {"StartHidden": "1"}, ...}"""
        lines = []
        for section, keys in sections.items():
            lines.append("[%s]" % section)
            lines.extend("%s=%s" % (k, v) for k, v in keys.items())
        with open(path or self.ini_path, "w", newline="\r\n") as out:
            out.write("\n".join(lines) + "\n")

    def start(self, args="", tz=None, fake_time=None, env=None, cwd=None, clock_file=None):
        """fake_time: the clock starts there and runs on.  clock_file: the clock
        is the real one moved by the seconds written in that file ("+N" or
        "-N"), read again on every call, so that a test can move it."""
        if all(p.poll() is not None for p in self.processes) and os.path.exists(self.log_path):
            os.remove(self.log_path)  # a new run: its engine log starts empty
        environment = dict(os.environ)
        environment["ORVANEL_RECORDING_LOG"] = windows_path(self.log_path)
        if tz:
            environment["TZ"] = tz
        environment.update(env or {})
        command = [WINE_EXEC, self.exe] + ([args] if args else [])
        if fake_time:
            environment["FAKETIME_DONT_FAKE_MONOTONIC"] = "1"
            command = ["faketime", "-m", fake_time] + command
        elif clock_file:
            environment.update(FAKETIME_DONT_FAKE_MONOTONIC="1", FAKETIME_NO_CACHE="1",
                               FAKETIME_TIMESTAMP_FILE=clock_file,
                               LD_PRELOAD="/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1")
        process = subprocess.Popen(command, cwd=cwd or BUILD_DIR, env=environment,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def close_all(self):
        """Ends whatever the test left running: boxes answered, windows closed, then killed."""
        for _ in range(5):
            if all(p.poll() is not None for p in self.processes):
                break
            code, values = probe("box", 0)
            if code == 0:
                probe("click", "no" if values.get("no") == "1" else "ok", 1000)
                continue
            probe("message", 0x0010, 0, 0)  # WM_CLOSE
            wait_exit(self.processes, 5)
        for p in self.processes:
            if p.poll() is None:
                p.kill()
                p.wait()


def wait_exit(processes, seconds):
    deadline = time.time() + seconds
    for p in processes:
        try:
            p.wait(max(0.1, deadline - time.time()))
        except subprocess.TimeoutExpired:
            pass


def wait_for(predicate, seconds, interval=0.1):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()


class E2ETestCase(unittest.TestCase):
    """Each test starts from an empty registry and leaves nothing running."""

    def setUp(self):
        if not BUILD_DIR:
            self.skipTest("ORVANEL_BUILD_DIR is not set")
        reset_registry()
        probe("clipboard-clear")
        self.sandboxes = []

    def tearDown(self):
        for sandbox in self.sandboxes:
            sandbox.close_all()
        probe("wait-gone", 5000)
        reset_registry()

    def sandbox(self, name=None, **kwargs):
        box = Sandbox(name or self.id().split(".")[-1], **kwargs)
        self.sandboxes.append(box)
        return box

    def main_window(self, timeout_ms=15000):
        code, values = probe("window", timeout_ms)
        self.assertEqual(code, 0, "the main window did not appear")
        return values

    def started_window(self, box, seconds=30):
        """The main window once start-up has finished: the ClockThread only starts the
        engine after the window was shown or hidden, so its first call marks the end."""
        def engine_started():
            try:
                with open(box.log_path, encoding="latin-1") as log:
                    return "\tstartup\t" in log.read()
            except OSError:
                return False
        self.assertTrue(wait_for(engine_started, seconds), "start-up did not finish")
        return self.main_window()

    def expect_box(self, caption, text, timeout_ms=15000, icon=None):
        code, values = probe("box", timeout_ms)
        self.assertEqual(code, 0, "no message box appeared")
        self.assertEqual(values.get("caption"), caption)
        self.assertEqual(values.get("text"), text)
        if icon is not None:
            self.assertEqual(values.get("icon"), icon)
        return values

    def assert_exits_with(self, process, code, seconds=30):
        try:
            self.assertEqual(process.wait(seconds), code)
        except subprocess.TimeoutExpired:
            self.fail("the program did not end")
