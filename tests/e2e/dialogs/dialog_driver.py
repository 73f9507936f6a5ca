"""Reading and driving the program's dialogs from outside: the probe for what
crosses processes, xdotool for real key presses through the X server."""
import configparser
import os
import subprocess

from harness import BUILD_DIR, WINE_EXEC, probe, wait_for

CONFIGURATION = "Orvanel Configuration"
SET_INI_PATH = "Set INI Path"


class Dialog:
    """One look at a dialog: its own values and each control's, by id (labels: label0...)."""

    def __init__(self, values):
        self.values = values
        self.order = values.get("order", "").split(",")

    def __getitem__(self, key):
        return self.values[key]

    def get(self, control, attribute):
        return self.values.get("%s.%s" % (control, attribute))

    def checked(self, control):
        return self.get(control, "check") == "1"

    def enabled(self, control):
        return self.get(control, "enabled") == "1"

    def items(self, control):
        return [self.get(control, "item%d" % i) for i in range(int(self.get(control, "count")))]


def look(caption, timeout_ms=15000):
    code, values = probe("dialog", caption, timeout_ms)
    return Dialog(values) if code == 0 else None


def act(caption, *actions):
    code, _ = probe("dialog-do", caption, *actions)
    return code == 0


def gone(caption, seconds=10):
    return wait_for(lambda: probe("dialog", caption, 0)[0] != 0, seconds)


def press(caption, *keys):
    """Real key presses to the dialog's X window, with the keyboard focus in it."""
    window = subprocess.run(["xdotool", "search", "--name", "^%s$" % caption],
                            capture_output=True, text=True, timeout=30).stdout.split()
    if not window:
        raise AssertionError("no X window named %r" % caption)
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], timeout=30, check=True)
    subprocess.run(["xdotool", "key", "--window", window[0]] + list(keys), timeout=30,
                   check=True)


def focus_after(caption, *keys):
    """The id of the focused control after the keys, once it has moved."""
    before = look(caption)["focus"]
    press(caption, *keys)
    moved = wait_for(lambda: look(caption)["focus"] != before and look(caption)["focus"], 5)
    return moved or before


def read_ini(path):
    """{section: {key: value}} with the keys' spelling kept."""
    parser = configparser.RawConfigParser(delimiters=("=",), interpolation=None)
    parser.optionxform = str
    with open(path, encoding="latin-1") as ini:
        parser.read_file(ini)
    return {section: dict(parser[section]) for section in parser.sections()}


def reg_value(subkey, name):
    """(type, text or number) of a value under HKEY_CURRENT_USER, or None when absent."""
    code, values = probe("reg-get", subkey, name)
    if code != 0:
        return None
    data = int(values["dword"]) if "dword" in values else values.get("text")
    return int(values["type"]), data, int(values["size"])


def key_exists(subkey):
    code, values = probe("reg-get", subkey, "")
    return values.get("key") == "1"


def scaled_prefix():
    """A Wine prefix at 150 % (LogPixels 144) on a 1920 by 1080 virtual desktop,
    made once per build tree: a new prefix takes a while."""
    prefix = os.path.join(BUILD_DIR, "wineprefix-150")
    ready = os.path.join(prefix, "orvanel-150")
    if not os.path.exists(ready):
        env = dict(os.environ, WINEPREFIX=prefix)
        for args in ([r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                      "/d", "144"],
                     [r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default"],
                     [r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d",
                      "1920x1080"]):
            subprocess.run([WINE_EXEC, "reg", "add"] + args + ["/f"], env=env, timeout=300,
                           stdin=subprocess.DEVNULL, capture_output=True, check=True)
        subprocess.run(["wineserver", "-k"], env=env, timeout=60)
        open(ready, "w").close()
    return prefix
