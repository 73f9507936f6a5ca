#!/usr/bin/env python3
"""Timing checks of an engine build on a paced device.

Each run has a PulseAudio daemon of its own playing into a null sink in real
time; Wine reaches it through ALSA's pulse plugin (ALSA_CONFIG_PATH, so the
shared Wine prefix is left as it is).  On failure the daemons' logs are
printed and kept.  The sink's monitor is recorded and every chunk
is stamped with CLOCK_MONOTONIC_RAW on arrival, the clock behind Wine's
QueryPerformanceCounter, so the probe's call times and the sound line up.

Checks: reset(0) in mid-sentence silences the device within 50 ms of the call;
wait-until-spoken returns after the last sample has sounded, and soon after.
"""
import argparse
import array
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

RATE = 22050
FRAME = RATE // 100  # 10 ms
LOUD_RMS = 300.0

STOP_WITHIN_MS = 50.0
# The recording's clock can only run late (a chunk arrives after it is
# captured), so a sound time is never earlier than the truth; this much
# allowance covers stamping jitter when sync returns right at the last sample.
STAMP_ALLOWANCE_MS = 15.0
SYNC_PROMPT_MS = 500.0


def now_ms():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1000.0


class Recorder:
    def __init__(self, env):
        self.proc = subprocess.Popen(
            ["parecord", "--device=orvanel_test.monitor", "--rate=%d" % RATE, "--channels=1",
             "--format=s16le", "--raw", "--latency-msec=5"],
            stdout=subprocess.PIPE, env=env, bufsize=0)
        self.data = bytearray()
        self.offset_ms = None  # time of sample 0
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while True:
            chunk = self.proc.stdout.read(4 * FRAME)
            if not chunk:
                return
            arrived = now_ms()
            self.data += chunk
            # The earliest arrival relative to its position bounds the offset best.
            estimate = arrived - (len(self.data) // 2) * 1000.0 / RATE
            if self.offset_ms is None or estimate < self.offset_ms:
                self.offset_ms = estimate

    def seconds(self):
        return len(self.data) / 2 / RATE

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        self.thread.join(timeout=5)
        samples = array.array("h")
        samples.frombytes(bytes(self.data[: len(self.data) // 2 * 2]))
        return samples


def sound_span_ms(samples, offset_ms):
    """Times of the first and last loud 10 ms frame, on the monotonic clock."""
    loud = []
    for i in range(0, len(samples) - FRAME + 1, FRAME):
        energy = sum(s * s for s in samples[i:i + FRAME]) / FRAME
        if math.sqrt(energy) > LOUD_RMS:
            loud.append(i)
    if not loud:
        return None
    return (offset_ms + loud[0] * 1000.0 / RATE,
            offset_ms + (loud[-1] + FRAME) * 1000.0 / RATE)


class PacedDevice:
    """A PulseAudio daemon of one run's own, playing into a null sink in real time.

    Each run gets a fresh daemon in a folder of its own, so nothing one run
    does to the daemon reaches the next, and its log is kept for a failure.
    """

    def __init__(self, parent, name):
        self.folder = os.path.join(parent, name)
        os.makedirs(os.path.join(self.folder, "run"))
        os.makedirs(os.path.join(self.folder, "home"))
        self.log_path = os.path.join(self.folder, "pulse.log")
        socket = os.path.join(self.folder, "run", "native")
        self.env = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(self.folder, "run"),
                        HOME=os.path.join(self.folder, "home"), PULSE_SERVER="unix:" + socket)
        alsa_conf = os.path.join(self.folder, "pulse.conf")
        with open(alsa_conf, "w") as f:
            f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        # Wine reaches the daemon through ALSA's pulse plugin.
        self.wine_env = dict(os.environ, PULSE_SERVER=self.env["PULSE_SERVER"],
                             XDG_RUNTIME_DIR=self.env["XDG_RUNTIME_DIR"],
                             ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:" + alsa_conf)
        # No shared memory: with it, the daemon (PulseAudio 16) sometimes aborts
        # on an assertion in its memfd import ("memblock_replace_import") when
        # Wine's clients come and go, and the next run hears nothing.  Over the
        # socket the audio is copied, which a 22 kHz mono stream does not notice.
        with open(self.log_path, "w") as log:
            self.proc = subprocess.Popen(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                 "--use-pid-file=no", "--disallow-module-loading=no", "--disable-shm=yes",
                 "--log-target=stderr", "--log-level=info", "--log-time=yes",
                 "--load=module-null-sink sink_name=orvanel_test rate=%d channels=1" % RATE,
                 "--load=module-native-protocol-unix auth-anonymous=1 socket=%s" % socket],
                env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline and self.proc.poll() is None:
            if subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.2)
        self.stop()
        raise RuntimeError("the run's PulseAudio daemon did not start")

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


def run_probe(args, mode, env):
    # Output to a file, not a pipe: a Wine process started on the way (the
    # desktop's explorer.exe) inherits it and outlives the probe.
    with tempfile.TemporaryFile(mode="w+") as out:
        extra = [args.sapi_double] if args.sapi_double else []
        status = subprocess.run([args.wine, args.probe, args.engine, mode] + extra, env=env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                timeout=120).returncode
        out.seek(0)
        text = out.read()
    if status != 0:
        raise RuntimeError("probe %s failed (%d): %s" % (mode, status, text))
    values = {}
    for line in text.splitlines():
        if "=" in line:
            key, value = line.split("=", 1)
            values[key.strip()] = float(value)
    return values


def record_run(args, mode, device):
    recorder = Recorder(device.env)
    deadline = time.monotonic() + 10
    while recorder.seconds() < 0.5 and time.monotonic() < deadline:
        time.sleep(0.05)
    values = run_probe(args, mode, device.wine_env)
    time.sleep(0.5)
    samples = recorder.stop()
    span = sound_span_ms(samples, recorder.offset_ms)
    if span is None:
        raise AssertionError("%s: nothing was heard on the paced device" % mode)
    return values, span


def check_reset(values, first, last, failures):
    onset = first - values["speak_ms"]
    after_reset = last - values["reset_ms"]
    print("reset: sound began %.0f ms after speak; last sound %.1f ms after reset(0)"
          % (onset, after_reset))
    if last < values["reset_ms"] - 100:
        failures.append("reset: the speech had stopped %.0f ms before the reset"
                        % (values["reset_ms"] - last))
    if after_reset > STOP_WITHIN_MS:
        failures.append("reset: sound went on %.1f ms after reset(0) (limit %.0f ms)"
                        % (after_reset, STOP_WITHIN_MS))


def check_sync(values, first, last, failures):
    margin = values["sync_ms"] - last
    print("sync: sound began %.0f ms after speak, lasted %.0f ms; "
          "wait-until-spoken returned %.1f ms after the last sound"
          % (first - values["speak_ms"], last - first, margin))
    if margin < -STAMP_ALLOWANCE_MS:
        failures.append("sync: returned %.1f ms before the last sample sounded" % -margin)
    if margin > SYNC_PROMPT_MS:
        failures.append("sync: returned only %.0f ms after the last sample" % margin)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True, help="the emulator that runs Windows programs")
    parser.add_argument("--probe", required=True, help="timing_probe.exe")
    parser.add_argument("--engine", required=True, help="DECTALK.dll as a Windows path")
    parser.add_argument("--sapi-double", help="the SAPI double, as a Windows path, for the SAPI engine")
    args = parser.parse_args()

    # Under /tmp: the daemon's socket path must stay short.
    folder = tempfile.mkdtemp(prefix="orvanel-paced-")
    failures = []
    failed_devices = []
    for mode, check in (("reset", check_reset), ("sync", check_sync)):
        device = None
        before = len(failures)
        try:
            device = PacedDevice(folder, mode)
            values, (first, last) = record_run(args, mode, device)
            check(values, first, last, failures)
        except Exception as e:  # a run that cannot be judged fails, with what is known
            failures.append("%s: %s" % (mode, e))
        finally:
            if device is not None:
                code = device.ended()
                if code is not None:
                    failures.append("%s: the PulseAudio daemon ended during the run (%s)"
                                    % (mode, "signal %d" % -code if code < 0
                                       else "exit code %d" % code))
                device.stop()
                if len(failures) > before:
                    failed_devices.append((mode, device))

    for f in failures:
        print("FAILED: " + f)
    for mode, device in failed_devices:
        print("--- %s: the end of the PulseAudio daemon's log (%s) ---" % (mode, device.log_path))
        print(device.log_tail(), end="")
    if failures:
        print("--- logs kept in %s" % folder)
        return 1
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
