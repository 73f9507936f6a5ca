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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from orvanel_support import PulseDaemon  # noqa: E402

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
            device = PulseDaemon(os.path.join(folder, mode), "orvanel_test", RATE)
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
