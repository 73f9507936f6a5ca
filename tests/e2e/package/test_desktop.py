"""scripts/install-desktop and scripts/uninstall-desktop in a home folder of
the test's own: the menu entry starts the installed copy under Wine, and it
speaks through the eSpeak NG engine."""
import os
import shlex
import shutil
import subprocess

from harness import BUILD_DIR, REPO, E2ETestCase, file_sink, ids, probe, wait_for

WM_CLOSE = 0x0010


class DesktopTest(E2ETestCase):

    def setUp(self):
        super().setUp()
        self.home = os.path.join(BUILD_DIR, "e2e-sandbox", "desktop-home")
        shutil.rmtree(self.home, ignore_errors=True)
        os.makedirs(self.home)
        self.env = dict(os.environ, HOME=self.home,
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"))

    def script(self, *command):
        return subprocess.run([os.path.join(REPO, "scripts", command[0])] + list(command[1:]),
                              env=self.env, capture_output=True, text=True, timeout=60)

    def files(self):
        return {os.path.relpath(os.path.join(d, f), self.home)
                for d, _, names in os.walk(self.home) for f in names}

    def test_menu_entry_starts_the_installed_copy_which_speaks_and_goes_again(self):
        done = self.script("install-desktop", "--autostart", "--from", BUILD_DIR)
        self.assertEqual(done.returncode, 0, done.stderr)
        installed = self.files()
        self.assertEqual(installed, {
            "data/applications/orvanel.desktop", "config/autostart/orvanel.desktop",
            "data/icons/hicolor/48x48/apps/orvanel.png", "data/orvanel/Orvanel.exe",
            "data/orvanel/DECTALK.dll", "data/orvanel/orvanel"})
        with open(os.path.join(self.home, "data/icons/hicolor/48x48/apps/orvanel.png"), "rb") as png:
            self.assertEqual(png.read(8), b"\x89PNG\r\n\x1a\n")
        entries = {}
        for name in ("data/applications/orvanel.desktop", "config/autostart/orvanel.desktop"):
            with open(os.path.join(self.home, name)) as entry:
                entries[name] = dict(line.split("=", 1) for line in entry.read().splitlines()
                                     if "=" in line)
        menu = shlex.split(entries["data/applications/orvanel.desktop"]["Exec"])
        self.assertEqual(shlex.split(entries["config/autostart/orvanel.desktop"]["Exec"]),
                         menu + ["/h"])

        # The entry's command, in the test's prefix and with the audio in a file.
        folder = os.path.join(self.home, "data", "orvanel")
        with open(os.path.join(folder, "Orvanel.ini"), "w") as ini:
            ini.write("[Settings]\r\nStartupAnnounce=0\r\n")
        wav = os.path.join(self.home, "out.wav")
        env = dict(self.env, ORVANEL_WINEPREFIX=os.environ["WINEPREFIX"], **file_sink(wav))
        process = subprocess.Popen(menu, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.main_window()
            probe("command", ids.ID_SPEAK_TIME)
            # eSpeak NG's speech lands in the sink: far more than a WAV header.
            self.assertTrue(wait_for(lambda: os.path.exists(wav) and
                                     os.path.getsize(wav) > 22050, 30), "nothing was spoken")
            probe("message", WM_CLOSE, 0, 0)
            self.assertEqual(process.wait(30), 0)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()

        for options, left in (((), {"data/orvanel/Orvanel.ini"}),
                              (("--remove-settings",), set())):
            with self.subTest(options=options):
                self.assertEqual(self.script("install-desktop", "--from", BUILD_DIR).returncode, 0)
                self.assertEqual(self.script("uninstall-desktop", *options).returncode, 0)
                self.assertEqual(self.files() - {"out.conf", "out.wav"}, left)
