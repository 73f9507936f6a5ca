"""What the window tests share: the main window's children and INI values read
from outside, and real key presses through the X server."""
import configparser
import os
import subprocess

from harness import E2ETestCase, probe, wait_for

WM_SYSCOMMAND = 0x0112
WM_MENUSELECT = 0x011F
TRAY_CALLBACK = 0x8000
WS_CAPTION = 0x00C00000
WS_EX_TOPMOST = 0x00000008


class Children:
    """The main window's child windows as the probe reports them."""

    def __init__(self, values):
        self.client = tuple(int(v) for v in values.get("client", "0,0").split(","))
        self.exstyle = int(values.get("exstyle", "0"), 16)
        self.rows = []
        for index in range(int(values.get("count", "0"))):
            cls, style, ident, text, rect, buttons = values["child%d" % index].split("|")
            self.rows.append({"class": cls, "style": int(style, 16), "id": int(ident),
                              "text": text.replace("\\n", "\n"),
                              "rect": tuple(int(v) for v in rect.split(",")),
                              "buttons": int(buttons)})

    def of_class(self, name):
        return [row for row in self.rows if row["class"].lower() == name.lower()]

    def one(self, name):
        found = self.of_class(name)
        return found[0] if len(found) == 1 else None


class WindowTestCase(E2ETestCase):

    def start(self, settings=None, appearance=None, args="", **kwargs):
        self.box = self.sandbox()
        sections = {}
        if settings:
            sections["Settings"] = {k: str(v) for k, v in settings.items()}
        if appearance:
            sections["Appearance"] = {k: str(v) for k, v in appearance.items()}
        if sections:
            self.box.write_ini(sections)
        self.process = self.box.start(args, **kwargs)
        return self.started_window(self.box)

    def children(self):
        code, values = probe("children")
        self.assertEqual(code, 0, "no main window")
        return Children(values)

    def wait_children(self, predicate, seconds=10):
        found = wait_for(lambda: predicate(self.children()), seconds)
        self.assertTrue(found, "the window's children never matched: %r" % self.children().rows)

    def ini(self, section, key):
        """The stored value, or None."""
        if not os.path.exists(self.box.ini_path):
            return None
        parser = configparser.ConfigParser(strict=False, interpolation=None)
        parser.optionxform = str
        try:
            parser.read(self.box.ini_path, encoding="latin-1")
            return parser.get(section, key, fallback=None)
        except configparser.Error:
            return None

    def wait_ini(self, key, value, section="Settings", seconds=10):
        self.assertTrue(wait_for(lambda: self.ini(section, key) == value, seconds),
                        "%s never became %r (it is %r)" % (key, value, self.ini(section, key)))

    def style(self):
        return int(self.main_window()["style"], 16)

    def keys(self, *keys, title="Orvanel"):
        """Real key presses, delivered by the X server to the window of that title."""
        window_id = wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--name", "^%s$" % title], capture_output=True,
            text=True).stdout.split(), 10)
        self.assertTrue(window_id, "no X window titled " + title)
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id[-1]], timeout=10)
        for key in keys:
            subprocess.run(["xdotool", "key", "--window", window_id[-1], key], timeout=10)

    def global_keys(self, *keys):
        """Key presses with no window chosen: only the hot keys see them."""
        for key in keys:
            subprocess.run(["xdotool", "key", key], timeout=10)

    def engine_calls(self, name):
        try:
            with open(self.box.log_path, encoding="latin-1") as log:
                return sum(1 for line in log if line.split("\t")[1:2] == [name])
        except OSError:
            return 0
