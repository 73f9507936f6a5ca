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


def end_process(proc):
    """Asks proc to end, and kills it if it has not within 5 s."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


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
        end_process(self.proc)

    def log_tail(self, lines=40):
        with open(self.log_path, errors="replace") as f:
            return "".join(f.readlines()[-lines:])


class SpeechService:
    """A speech-dispatcher of one's own in folder (short: it holds the socket).
    Its one output module, sd_generic, runs a script that writes "<time> start
    <text>", waits 60 ms a character as a voice would, then writes "<time> end
    <text>": a message cut short has no end.  Its server log names each
    message's priority.  env points clients at it, and has them never start
    the desktop's own service.  With sink, the module is eSpeak NG instead,
    and what it plays lands in that WAV file."""

    def __init__(self, folder, sink=None):
        self.folder, conf = folder, os.path.join(folder, "conf")
        os.makedirs(os.path.join(conf, "modules"))
        os.makedirs(os.path.join(folder, "user", "speech-dispatcher"))
        os.makedirs(os.path.join(folder, "log"))
        self.spoken_path = os.path.join(folder, "spoken.log")
        self.server_log = os.path.join(folder, "log", "speech-dispatcher.log")
        voice, socket = os.path.join(folder, "voice"), os.path.join(folder, "sock")
        files = {
            "user/speech-dispatcher/speechd.conf": "DisableAutoSpawn\n",
            "conf/speechd.conf": 'AudioOutputMethod "alsa"\nAudioALSADevice "null"\nLogLevel 5\n'
                                 'AddModule "logger" "sd_generic" "logger.conf"\n'
                                 'DefaultModule "logger"\n',
            "conf/modules/logger.conf": 'GenericExecuteSynth "%s \'$DATA\'"\n'
                                        'AddVoice "en" "MALE1" "m1"\n' % voice,
            "voice": '#!/bin/sh\necho "$(date +%%s.%%N) start $1" >> %s\nsleep $(awk -v n=${#1} '
                     '"BEGIN { print n * 0.06 }")\necho "$(date +%%s.%%N) end $1" >> %s\n'
                     % (self.spoken_path, self.spoken_path)}
        if sink:
            files["conf/speechd.conf"] = ('AudioOutputMethod "alsa"\nLogLevel 5\n'
                                          'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                                          'DefaultModule "espeak-ng"\n')
            with open("/etc/speech-dispatcher/modules/espeak-ng.conf") as f:
                files["conf/modules/espeak-ng.conf"] = f.read()
        for name, text in files.items():
            with open(os.path.join(folder, name), "w") as f:
                f.write(text)
        os.chmod(voice, 0o755)
        self.env = dict(os.environ, SPEECHD_ADDRESS="unix_socket:" + socket,
                        XDG_CONFIG_HOME=os.path.join(folder, "user"),
                        **(file_sink(sink) if sink else {}))
        self.proc = subprocess.Popen(
            ["speech-dispatcher", "-s", "-t", "0", "-C", conf, "-S", socket, "-L",
             os.path.join(folder, "log"), "-P", os.path.join(folder, "pid")], env=self.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 15
        while not os.path.exists(socket):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                self.stop()
                raise RuntimeError("speech-dispatcher did not start (logs: %s)" % folder)
            time.sleep(0.1)

    def client(self):
        """A screen reader's stand-in (Debian's python3-speechd): say(text) has
        it speak at MESSAGE priority."""
        reader = subprocess.Popen(["/usr/bin/python3", "-c", "import speechd, sys\n"
                                   "c = speechd.SSIPClient('reader')\n"
                                   "c.set_priority(speechd.Priority.MESSAGE)\n"
                                   "for line in sys.stdin:\n"
                                   "    c.speak(line.strip())\n"
                                   "    print('ok', flush=True)\n"], env=self.env, text=True,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)

        def say(text):
            reader.stdin.write(text + "\n")
            reader.stdin.flush()
            reader.stdout.readline()
        return reader, say

    def spoken(self):
        """[(seconds, "start" or "end", text)] in the order the module wrote them."""
        if not os.path.exists(self.spoken_path):
            return []
        with open(self.spoken_path, errors="replace") as f:
            return [(float(t), event, text) for t, event, text in
                    (line.rstrip("\n").split(" ", 2) for line in f if line.count(" ") >= 2)]

    def priorities(self):
        """{text: its priority as the server queued it (1 important, 2 message, 3 text)}."""
        with open(self.server_log, errors="replace") as f:
            return {m.group(1): int(m.group(2)) for m in re.finditer(
                r"Queueing message \|(.*?)\| with priority (\d)", f.read())}

    def stop(self):
        end_process(self.proc)


def heard_words(wav):
    """What pocketsphinx hears in wav, decoded with bench/speech's grammar of
    time sentences.  The data chunk is read to its end whatever its header
    says: ALSA's file sink leaves the length at 0 when its writer is killed."""
    import tempfile
    import warnings
    import wave
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        import audioop  # Debian 12's Python still has it
    with open(wav, "rb") as f:
        raw = f.read()
    data = raw[raw.index(b"data") + 8:]
    with wave.open(wav) as w:
        rate = w.getframerate()
    pcm, _ = audioop.ratecv(data[:len(data) // 2 * 2], 2, 1, rate, 16000, None)
    model = "/usr/share/pocketsphinx/model/en-us"
    with tempfile.TemporaryDirectory() as work:
        with wave.open(os.path.join(work, "a.wav"), "wb") as w:
            w.setparams((1, 2, 16000, 0, "NONE", None))
            w.writeframes(pcm)
        with open(os.path.join(work, "list.ctl"), "w") as f:
            f.write("a\n")
        subprocess.run(["pocketsphinx_batch", "-ctl", os.path.join(work, "list.ctl"),
                        "-cepdir", work, "-cepext", ".wav", "-adcin", "yes", "-adchdr", "44",
                        "-samprate", "16000", "-hmm", model + "/en-us",
                        "-dict", model + "/cmudict-en-us.dict",
                        "-jsgf", os.path.join(REPO, "bench", "speech", "time.gram"),
                        "-hyp", os.path.join(work, "heard.txt")], check=True,
                       capture_output=True)
        with open(os.path.join(work, "heard.txt")) as f:
            return f.read().rsplit("(", 1)[0].split()
