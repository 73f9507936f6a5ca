"""The Debian package as a Linux user meets it: built, checked by lintian,
installed with apt-get, started by its menu entry's command in a home of the
test's own (the speech in a file sink), set to start with the session and
back, and removed without leaving a file of it.  Installing needs root, as in
CI; the package is removed at the end whatever happened."""
import array
import os
import shlex
import shutil
import subprocess
from unittest import mock

from harness import BUILD_DIR, E2ETestCase, file_sink, ids, probe, wait_for
from test_package import cmake_version

WM_CLOSE = 0x0010
OWN_FOLDERS = ("/usr/lib/orvanel", "/usr/share/doc/orvanel")


def run(command, timeout=600, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **kwargs)


def apt_get(*args):
    return run(["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300"] + list(args),
               cwd=BUILD_DIR, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def desktop_exec(path):
    with open(path) as entry:
        return shlex.split(next(line[5:] for line in entry if line.startswith("Exec=")))


class DebianPackageTest(E2ETestCase):

    def setUp(self):
        super().setUp()
        if os.geteuid() != 0:
            self.skipTest("installing a package needs root")
        self.home = os.path.join(BUILD_DIR, "e2e-sandbox", "debian-home")
        self.prefix = os.path.join(self.home, ".local", "share", "orvanel")
        shutil.rmtree(self.home, ignore_errors=True)
        os.makedirs(self.home)
        self.wav = os.path.join(self.home, "out.wav")
        # The user's environment: no prefix or XDG folders chosen, sound to the
        # file sink (no PulseAudio server, so Wine takes ALSA).
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("WINE", "XDG_"))}
        self.env.update(file_sink(self.wav), HOME=self.home, PULSE_SERVER="unix:/nonexistent")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.addCleanup(run, ["wineserver", "-k"], env=dict(self.env, WINEPREFIX=self.prefix))
        self.addCleanup(self.remove_package)

    def remove_package(self):
        """Also after a failure: the package, and whatever was left in its folders."""
        if run(["dpkg", "-s", "orvanel"]).returncode == 0:
            apt_get("remove", "orvanel")
        for folder in OWN_FOLDERS:
            shutil.rmtree(folder, ignore_errors=True)

    def user(self, *command):
        # A second clock would not end: the timeout catches it.
        return run(list(command), timeout=60, env=self.env, cwd=self.home)

    def test_installs_speaks_starts_with_the_session_and_leaves_nothing(self):
        built = run(["cmake", "--build", BUILD_DIR, "--target", "package_debian"])
        self.assertEqual(built.returncode, 0, built.stdout + built.stderr)
        deb = "./dist/orvanel_%s_amd64.deb" % cmake_version()
        lint = run(["lintian", "--fail-on", "error,warning", deb], cwd=BUILD_DIR)
        self.assertEqual(lint.returncode, 0, lint.stdout + lint.stderr)
        installed = apt_get("install", "--no-install-recommends", deb)
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        files = set(run(["dpkg", "-L", "orvanel"]).stdout.split())
        self.assertLessEqual({
            "/usr/bin/orvanel", "/usr/lib/orvanel/Orvanel.exe", "/usr/lib/orvanel/DECTALK.dll",
            "/usr/share/applications/orvanel.desktop", "/usr/share/man/man1/orvanel.1.gz",
            "/usr/share/icons/hicolor/48x48/apps/orvanel.png",
            "/usr/share/doc/orvanel/copyright", "/usr/share/doc/orvanel/changelog.gz"}, files)

        # The launcher's own switches answer without making a prefix.
        self.assertEqual(self.user("orvanel", "--version").stdout,
                         "orvanel %s\n" % cmake_version())
        autostart = os.path.join(self.home, ".config", "autostart", "orvanel.desktop")
        self.assertEqual(self.user("orvanel", "--autostart", "on").returncode, 0)
        self.assertEqual(desktop_exec(autostart), ["orvanel", "/h"])
        self.assertEqual(self.user("orvanel", "--autostart", "off").returncode, 0)
        self.assertFalse(os.path.exists(autostart))
        self.assertEqual(self.user("orvanel", "--autostart", "maybe").returncode, 2)
        self.assertFalse(os.path.exists(self.prefix))

        # Started as the menu starts it: the prefix is made, the start-up
        # announcement lands in the sink, a second start leaves one clock.
        menu = desktop_exec("/usr/share/applications/orvanel.desktop")
        with open(os.path.join(self.home, "first-start.txt"), "w") as said:
            first = subprocess.Popen(menu, env=self.env, cwd=self.home, stdin=subprocess.DEVNULL,
                                     stdout=said, stderr=said)
        try:
            def spoken():
                if not os.path.exists(self.wav):
                    return False
                with open(self.wav, "rb") as wav:
                    pcm = wav.read()[44:]
                samples = array.array("h", pcm[:len(pcm) // 2 * 2])
                return len(samples) > 11025 and max(map(abs, samples)) > 1000
            self.assertTrue(wait_for(spoken, 120), "nothing was spoken")
            with mock.patch.dict(os.environ, WINEPREFIX=self.prefix,
                                 ALSA_CONFIG_PATH=self.env["ALSA_CONFIG_PATH"]):
                self.main_window()
                self.assertEqual(self.user(*menu).returncode, 0)
                self.assertIsNone(first.poll())
                probe("command", ids.ID_PAINT_TIME)
                ini = os.path.join(self.prefix, "drive_c", "Program Files", "Orvanel",
                                   "Orvanel.ini")
                self.assertTrue(wait_for(lambda: os.path.exists(ini), 10),
                                "the settings were not written in the user's prefix")
                probe("message", WM_CLOSE, 0, 0)
                self.assertEqual(first.wait(30), 0)
        finally:
            if first.poll() is None:
                first.kill()
                first.wait()
        with open(os.path.join(self.home, "first-start.txt")) as said:
            self.assertIn("getting Wine ready for Orvanel in " + self.prefix, said.read())
        for never in (".wine", ".local/share/applications"):
            self.assertFalse(os.path.exists(os.path.join(self.home, never)), never)

        removed = apt_get("remove", "orvanel")
        self.assertEqual(removed.returncode, 0, removed.stdout + removed.stderr)
        left = [f for f in files if os.path.lexists(f) and not os.path.isdir(f)]
        self.assertEqual(left + [d for d in OWN_FOLDERS if os.path.lexists(d)], [])
        self.assertTrue(os.path.exists(ini), "the user's settings went with the package")
