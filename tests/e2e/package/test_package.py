"""What a Windows user gets: this build's installer and portable zip (made by
the package_windows target into dist/), installed, started and removed under
Wine as a user would, and the version information of the files they ship.

Under Wine the shipped SAPI 5 engine cannot speak, so the program's start-up
error 447 with the engine's code 1002 proves that the engine it loaded is the
one beside it (a missing DLL gives 126).
"""
import glob
import os
import re
import shutil
import struct
import subprocess
import unittest
import zipfile

from harness import (BUILD_DIR, PRODUCT_KEY, REPO, WINE_EXEC, E2ETestCase, ids, probe,
                     runs_win32, wait_exit, wait_for)

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanel"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
SAPI_FAILS = "Failed to initialize DECtalk! Error code: 1002."
WM_SYSCOMMAND = 0x0112
WM_CLOSE = 0x0010
NAMED_INI = "orvanel-test.ini"  # in the user's profile folder


def cmake_version():
    with open(os.path.join(REPO, "CMakeLists.txt")) as cmake:
        return re.search(r"project\(Orvanel VERSION ([0-9.]+)", cmake.read()).group(1)


def host_path(windows):
    """The Unix path of a Wine drive path such as C:\\users\\..."""
    drive, rest = windows.split(":", 1)
    return os.path.join(os.environ["WINEPREFIX"], "dosdevices", drive.lower() + ":",
                        *[part for part in rest.split("\\") if part])


def drive_c_files():
    """Every file and folder of drive C:, but the temporary folders (the
    uninstaller runs from a copy of itself there)."""
    root = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    found = set()
    for folder, folders, files in os.walk(root):
        folders[:] = [f for f in folders if f.lower() != "temp"]
        relative = os.path.relpath(folder, root)
        found.update(os.path.normpath(os.path.join(relative, name)) for name in folders + files)
    return found


def version_info(path):
    """(fixed file and product versions, string table) of a PE file's VERSIONINFO."""
    data = subprocess.run(["wrestool", "-x", "--raw", "--type=16", path],
                          capture_output=True, check=True).stdout

    def node(offset):
        length, value_length, is_text = struct.unpack_from("<HHH", data, offset)
        key_end = offset + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[offset + 6:key_end].decode("utf-16-le")
        start = (key_end + 2 + 3) & ~3
        value = data[start:start + value_length * (2 if is_text else 1)]
        children, child = [], (start + len(value) + 3) & ~3
        while child < offset + length:
            children.append(node(child))
            child = (children[-1][3] + 3) & ~3
        return key, value, children, offset + length

    root = node(0)
    fixed = struct.unpack_from("<6L", root[1])
    assert fixed[0] == 0xFEEF04BD
    as_text = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for block in root[2]:
        if block[0] == "StringFileInfo":
            for table in block[2]:
                for key, value, _, _ in table[2]:
                    strings[key] = value.decode("utf-16-le").rstrip("\0")
    return (as_text(fixed[2], fixed[3]), as_text(fixed[4], fixed[5])), strings


class PackageTestCase(E2ETestCase):

    def setUp(self):
        super().setUp()
        self.version = cmake_version()
        made = glob.glob(os.path.join(BUILD_DIR, "dist", "Orvanel-%s-*-setup.exe" % self.version))
        self.assertEqual(len(made), 1, "the build made no setup of version " + self.version)
        self.setup = made[0]
        self.portable = self.setup.replace("-setup.exe", "-portable.zip")
        self.forget_installation()
        self.addCleanup(self.forget_installation)

    def forget_installation(self):
        """Whatever an earlier, failed run installed goes, by hand."""
        location = self.reg(UNINSTALL_KEY, "InstallLocation")
        if location:
            shutil.rmtree(host_path(location), ignore_errors=True)
        users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", "*")
        for left in (glob.glob(os.path.join(users, NAMED_INI)) +
                     glob.glob(os.path.join(users, "AppData", "Roaming", "Microsoft", "Windows",
                                            "Start Menu", "Programs", "Orvanel.lnk"))):
            os.remove(left)
        probe("reg-delete-tree", UNINSTALL_KEY)
        probe("reg-delete-value", RUN_KEY, "Orvanel")

    def reg(self, key, name):
        """A value's text (or number), None when absent."""
        code, values = probe("reg-get", key, name)
        if code != 0:
            return None
        return values["dword"] if "dword" in values else values.get("text", "")

    def windows(self, *command):
        """Runs a Windows program to its end; no Start-menu entries reach the host's desktop."""
        env = dict(os.environ, WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        return subprocess.run([WINE_EXEC] + list(command), env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120).returncode

    def install(self, *options):
        """Installs silently for this user; returns the installed folder."""
        self.assertEqual(self.windows(self.setup, "/S", "/CurrentUser", *options), 0)
        location = self.reg(UNINSTALL_KEY, "InstallLocation")
        self.assertTrue(location, "no uninstall entry")
        self.addCleanup(shutil.rmtree, host_path(location), True)  # settings kept by a test
        return location

    def uninstall(self, location, *options):
        """Runs the uninstaller silently; it goes on from a copy of itself, and
        removes its uninstall entry last."""
        self.windows(location + r"\Uninstall.exe", "/S", *options)
        self.assertTrue(wait_for(lambda: self.reg(UNINSTALL_KEY, "DisplayName") is None, 60),
                        "the uninstaller did not finish")

    def start_installed(self, location, engine=None, args=""):
        """The installed program, run by a sandbox (which logs the recording engine)."""
        box = self.sandbox(engine="")
        box.exe = host_path(location + r"\Orvanel.exe")
        if engine:
            shutil.copy(os.path.join(BUILD_DIR, engine, "DECTALK.dll"),
                        host_path(location + r"\DECTALK.dll"))
        return box, box.start(args)

    def assert_engine_fails_to_start(self, process):
        self.expect_box("Error", SAPI_FAILS, 30000)
        probe("click", "ok")
        self.assert_exits_with(process, 0)

    def store_settings(self, location):
        """Lets the installed program store settings where it keeps them: a
        toolbar toggle (Settings) and, on exit, the window placement (Appearance)."""
        box, process = self.start_installed(location, engine="recording")
        self.started_window(box)
        probe("command", ids.ID_TOOLBAR)
        probe("message", WM_SYSCOMMAND, ids.ID_SAVE_WINDOW_POSITION, 0)
        probe("message", WM_CLOSE, 0, 0)
        wait_exit([process], 30)
        self.assertEqual(process.poll(), 0)


def drive_c_path(location):
    """A Windows path on drive C: as drive_c_files lists it."""
    return os.path.relpath(host_path(location),
                           os.path.join(os.environ["WINEPREFIX"], "dosdevices", "c:"))


# A new prefix has no per-user programs folder yet: the installer makes it as
# the shell would, and it is the user's, not Orvanel's, so it may stay.
@unittest.skipUnless(runs_win32(),
                     "the setup program is 32-bit, and this kernel cannot run 32-bit programs")
class InstallerTest(PackageTestCase):

    def test_install_start_and_uninstall_keeping_the_settings(self):
        before = drive_c_files()
        location = self.install()
        exe = location + r"\Orvanel.exe"
        self.assertTrue(location.lower().endswith(r"\appdata\local\programs\orvanel"), location)
        folder = drive_c_path(location)
        programs = {os.path.dirname(folder)}
        added = drive_c_files() - before - programs
        shortcut = [f for f in added if f.endswith(os.path.join("Start Menu", "Programs",
                                                                "Orvanel.lnk"))]
        self.assertEqual(added, {folder, os.path.join(folder, "Orvanel.exe"),
                                 os.path.join(folder, "DECTALK.dll"),
                                 os.path.join(folder, "Uninstall.exe")} | set(shortcut))
        self.assertEqual(len(shortcut), 1, "one Start-menu shortcut")
        self.assertEqual({name: self.reg(UNINSTALL_KEY, name) for name in
                          ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon")},
                         {"DisplayName": "Orvanel", "DisplayVersion": self.version,
                          "Publisher": "Tallowen", "DisplayIcon": exe + ",0"})
        self.assertIsNone(self.reg(RUN_KEY, "Orvanel"), "start at sign-in was not asked for")

        _, process = self.start_installed(location)
        self.assert_engine_fails_to_start(process)

        self.store_settings(location)
        ini = os.path.join(folder, "Orvanel.ini")
        with open(host_path(location + r"\Orvanel.ini"), encoding="latin-1") as stored:
            self.assertIn("ToolBar=0", stored.read())
        self.uninstall(location)
        self.assertEqual(drive_c_files() - before - programs, {folder, ini},
                         "only the settings stay")
        self.assertFalse(before - drive_c_files())
        self.assertIsNone(self.reg(RUN_KEY, "Orvanel"))

    def test_start_at_sign_in_and_uninstall_removing_the_settings(self):
        before = drive_c_files()
        location = self.install("/StartAtSignIn")
        self.assertEqual(self.reg(RUN_KEY, "Orvanel"), '"%s\\Orvanel.exe" /h' % location)

        # Settings in a file that ConfigFile names (expanded as the program
        # expands it), then in the registry.
        probe("reg-set-expand-sz", PRODUCT_KEY, "ConfigFile", "%USERPROFILE%\\" + NAMED_INI)
        self.store_settings(location)
        named = [f for f in drive_c_files() - before if f.endswith(NAMED_INI)]
        self.assertEqual(len(named), 1, "the program wrote the named file")
        probe("reg-set-dword", PRODUCT_KEY, "UseRegistry", 1)
        self.store_settings(location)
        self.assertEqual(self.reg(PRODUCT_KEY + r"\Settings", "ToolBar"), "0")
        self.assertIsNotNone(self.reg(PRODUCT_KEY + r"\Appearance", "WindowPlacement"))

        self.uninstall(location, "/RemoveSettings")
        programs = {os.path.dirname(drive_c_path(location))}
        self.assertEqual(drive_c_files() | programs, before | programs,
                         "nothing stays, the named file neither")
        self.assertIsNone(self.reg(RUN_KEY, "Orvanel"))
        _, values = probe("reg-get", r"SOFTWARE\Tallowen", "")
        self.assertEqual(values.get("key"), "0", "the maker's key goes once empty")


class PortableTest(PackageTestCase):

    def test_zip_unpacks_to_a_folder_where_the_program_starts(self):
        stem = os.path.basename(self.portable)[:-len("-portable.zip")]
        with zipfile.ZipFile(self.portable) as archive:
            self.assertEqual(sorted(n for n in archive.namelist() if not n.endswith("/")),
                             [stem + "/" + name for name in
                              ("DECTALK.dll", "Orvanel.exe", "README.txt")])
            target = os.path.join(BUILD_DIR, "e2e-sandbox", "portable")
            shutil.rmtree(target, ignore_errors=True)
            archive.extractall(target)
        folder = os.path.join(target, stem)
        box = self.sandbox(engine="")
        box.exe = os.path.join(folder, "Orvanel.exe")
        self.assert_engine_fails_to_start(box.start())

        # The version information the files carry, as Explorer reads it.
        for name, description in (("Orvanel.exe", "Orvanel talking clock"),
                                  ("DECTALK.dll", "Orvanel speech engine (SAPI 5)")):
            with self.subTest(name):
                numbers, strings = version_info(os.path.join(folder, name))
                self.assertEqual(numbers, (self.version + ".0",) * 2)
                self.assertEqual(strings, dict(strings, CompanyName="Tallowen",
                                               ProductName="Orvanel", OriginalFilename=name,
                                               FileDescription=description,
                                               FileVersion=self.version,
                                               ProductVersion=self.version))
                self.assertIn("Tallowen", strings["LegalCopyright"])
        numbers, strings = version_info(self.setup)
        self.assertEqual((numbers[1], strings["ProductVersion"]), (self.version + ".0",
                                                                    self.version))
