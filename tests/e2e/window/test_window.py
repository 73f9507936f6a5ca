"""The main window as a user meets it: its elements, every toggle written at
once, the accelerators and hot keys as real key presses, Reset Configuration,
menu help, the boxes, and the tray."""
import os
import re
import struct
import subprocess
import unittest

from harness import PRODUCT_KEY, ids, probe, wait_for, windows_path
from window_harness import (TRAY_CALLBACK, WM_MENUSELECT, WM_SYSCOMMAND, WS_CAPTION,
                            WS_EX_TOPMOST, WindowTestCase)

TIME_DISPLAY_STYLE = 0x50000001
WM_KEYDOWN, VK_RETURN, VK_DELETE = 0x0100, 0x0D, 0x2E
TOOLBAR_STYLE = 0x50000200  # created hidden, shown once its buttons are in
STATUS_BAR_STYLE = 0x50000000


def painted(children):
    static = children.one("Static")
    return static["text"] if static else None


def between_the_bars(children):
    """The time centred in the space the bars leave, not under either."""
    bar, status, static = (children.one("ToolbarWindow32"), children.one("msctls_statusbar32"),
                           children.one("Static"))
    top, bottom = bar["rect"][3], status["rect"][1]
    return (top <= static["rect"][1] and static["rect"][3] <= bottom and
            abs(static["rect"][1] + static["rect"][3] - top - bottom) <= 1 and
            abs(static["rect"][0] + static["rect"][2] - children.client[0]) <= 1)


class ElementsAndTogglesTest(WindowTestCase):

    def test_default_window_every_toggle_and_reset(self):
        self.start()
        self.wait_children(lambda c: painted(c))
        children = self.children()
        self.assertEqual(children.one("Static")["style"], TIME_DISPLAY_STYLE)
        toolbar = children.one("ToolbarWindow32")
        self.assertEqual(toolbar["style"] & TOOLBAR_STYLE, TOOLBAR_STYLE)
        self.assertEqual(toolbar["buttons"], 13)
        status = children.one("msctls_statusbar32")
        self.assertEqual((status["style"] & STATUS_BAR_STYLE, status["id"], status["text"]),
                         (STATUS_BAR_STYLE, 1, "I'm ready!"))
        # Toolbar at the top, status bar at the bottom, both full width.
        self.assertEqual((toolbar["rect"][1], status["rect"][3]), (0, children.client[1]))
        self.assertTrue(self.style() & WS_CAPTION)
        # Resized, the bars stay at their edges, full width, and the time is centred again.
        probe("message", WM_SYSCOMMAND, 0xF030, 0)  # maximize

        def laid_out(c):
            bar, status, static = (c.one("ToolbarWindow32"), c.one("msctls_statusbar32"),
                                   c.one("Static"))
            return (c.client != children.client and bar["rect"][1] == 0 and
                    bar["rect"][2] == status["rect"][2] == c.client[0] and
                    status["rect"][3] == c.client[1] and
                    abs(static["rect"][0] + static["rect"][2] - c.client[0]) <= 1)
        self.wait_children(laid_out)

        # Each toggle: the element follows and the setting is written at once.
        rows = [
            ("command", ids.ID_PAINT_TIME, "PaintTime", "0", lambda c: c.one("Static") is None),
            ("command", ids.ID_INCLUDE_SECONDS, "IncludeSeconds", "0", None),
            ("command", ids.ID_TOOLBAR, "ToolBar", "0",
             lambda c: not c.of_class("ToolbarWindow32")),
            ("command", ids.ID_STATUS_BAR, "StatusBar", "0",
             lambda c: not c.of_class("msctls_statusbar32")),
            ("command", ids.ID_ALWAYS_ON_TOP, "OnTop", "1", lambda c: c.exstyle & WS_EX_TOPMOST),
            ("command", ids.ID_SHOW_TITLE, "ShowTitle", "0",
             lambda c: not self.style() & WS_CAPTION),
            # By number, as scripts and tools send them.
            ("system", 40021, "SavePosition", "1", None),
            ("system", 40020, "HideMenu", "1", None),
        ]
        for kind, ident, key, value, effect in rows:
            if kind == "command":
                probe("command", ident)
            else:
                probe("message", WM_SYSCOMMAND, ident, 0)
            self.wait_ini(key, value)
            if effect:
                self.wait_children(effect)

        # The menu bar is detached, yet the accelerators find the check marks:
        # Backspace paints the time again.
        self.keys("BackSpace")
        self.wait_ini("PaintTime", "1")
        self.wait_children(lambda c: painted(c))
        # Space asks the clock for the time.
        spoken = self.engine_calls("speak")
        self.keys("space")
        self.assertTrue(wait_for(lambda: self.engine_calls("speak") > spoken, 10))

        # Reset answered No changes nothing.
        self.keys("Delete")
        self.expect_box("Question", "Are you sure you want to reset the configuration?")
        probe("click", "no")
        self.assertEqual(self.ini("Settings", "ToolBar"), "0")
        self.assertTrue(self.children().exstyle & WS_EX_TOPMOST)
        # Yes: the file goes, and every element is back whatever its state was.
        probe("command", ids.ID_RESET_CONFIGURATION)
        self.expect_box("Question", "Are you sure you want to reset the configuration?")
        probe("click", "yes")
        self.expect_box("Information", "Configuration file successfully deleted!", icon="blue")
        probe("click", "ok")
        self.wait_children(lambda c: c.one("ToolbarWindow32") and c.one("msctls_statusbar32")
                           and painted(c) and not c.exstyle & WS_EX_TOPMOST)
        self.assertTrue(self.style() & WS_CAPTION)
        self.assertIsNone(self.ini("Settings", "ToolBar"), "Reset writes no setting")
        # With nothing left to remove it says so, and still resets.
        probe("command", ids.ID_TOOLBAR)
        self.wait_ini("ToolBar", "0")
        os.remove(self.box.ini_path)
        probe("command", ids.ID_RESET_CONFIGURATION)
        probe("click", "yes", 5000)
        self.expect_box("Error", "Configuration file doesn't exist!", icon="red")
        probe("click", "ok")
        self.wait_children(lambda c: c.one("ToolbarWindow32"))

    def test_stored_settings_shape_the_window_at_start(self):
        self.start({"PaintTime": 0, "ToolBar": 0, "StatusBar": 0, "OnTop": 1, "ShowTitle": 0,
                    "HideMenu": 1})
        children = self.children()
        self.assertEqual(children.rows, [])
        self.assertTrue(children.exstyle & WS_EX_TOPMOST)
        self.assertFalse(self.style() & WS_CAPTION)
        # The detached menu still holds the check marks: Status Bar turns it on.
        probe("command", ids.ID_STATUS_BAR)
        self.wait_ini("StatusBar", "1")
        self.wait_children(lambda c: c.one("msctls_statusbar32"))


class PaintedTimeTest(WindowTestCase):

    def test_painted_text_follows_the_settings_at_every_refresh(self):
        # 15:07 in Kolkata is 09:37 UTC; the clock runs on from there.
        self.start({"IncludeSeconds": 1}, tz="Asia/Kolkata", fake_time="2026-03-05 15:07:01")
        rows = [
            ({}, r"^3:07:\d\d PM$"),
            ({"IncludeSeconds": 0}, r"^3:07 PM$"),
            ({"24Hour": 1, "IncludeSeconds": 1}, r"^15:07:\d\d$"),
            ({"24Hour": 1, "IncludeSeconds": 0}, r"^15:07$"),
            ({"BypassMarker": 1, "IncludeSeconds": 0}, r"^3:07 ?$"),
            ({"UniversalTime": 1, "24Hour": 1, "IncludeSeconds": 0}, r"^09:37 UTC$"),
            ({"AnnounceDate": 1, "ShortDate": 1, "IncludeSeconds": 0},
             r"^3:07 PM\n3/5/2026$"),
            ({"AnnounceDate": 1, "IncludeSeconds": 0}, r"^3:07 PM\n.*March.*5.*2026$"),
        ]
        for settings, pattern in rows:
            self.box.write_ini({"Settings": {k: str(v) for k, v in settings.items()}})
            self.assertTrue(wait_for(lambda: re.match(pattern, painted(self.children()) or ""),
                                     5), "%r: painted %r" % (settings, painted(self.children())))
        # Two lines are centred as one block between the bars.
        self.assertTrue(between_the_bars(self.children()), self.children().rows)


class MenuHelpAndBoxesTest(WindowTestCase):

    def test_status_texts_menu_help_about_empty_clipboard_and_unknown_ids(self):
        self.start({"StartupAnnounce": 0}, env={"ORVANEL_RECORDING_MS_PER_CHAR": "40"})
        # The clock says it is speaking while it waits for the speech to end.
        probe("command", ids.ID_SPEAK_TIME)
        for text in ("Speaking", "I'm ready!"):
            self.assertTrue(wait_for(lambda: probe("statusbar")[1].get("text") == text, 10), text)
        # Each help string has its command's number, the numbers tools send.
        rows = [(ids.ID_SPEAK_TIME, 1, "Speak the current time"),
                (40020, 1, "Hide the application menu bar"),
                (40021, 1, "Enable saving and restoring of window position information"),
                (40023, 1, "Stop speaking at once and drop what is still to be said"),
                (0xF060, 1, "Close the window, effectively quitting the application"),
                (0, 1, ""),  # a separator or a popup title
                (0xFFFF, 0, "I'm ready!")]  # the menu closed
        for item, menu, text in rows:
            probe("message", WM_MENUSELECT, item, menu)
            self.assertTrue(wait_for(lambda: probe("statusbar")[1].get("text") == text, 5), text)

        for opener, owned in ((("command", ids.ID_ABOUT), "1"), (("hotkey", ids.IDH_ABOUT), "0")):
            probe(*opener)
            code, box = probe("box", 15000)
            self.assertEqual((code, box.get("caption"), box.get("icon")),
                             (0, "About Orvanel", "blue"))
            self.assertTrue(box.get("text"))
            self.assertEqual(box["has_owner"], owned)
            probe("click", "ok")

        # Font and Color: what the dialog chose is stored at once; Esc stores nothing.
        probe("command", ids.ID_COLOR)
        self.keys("Escape", title="Color")
        self.assertTrue(wait_for(lambda: probe("dialog", "Color")[0] != 0, 10))
        self.assertIsNone(self.ini("Appearance", "CustomColors"))
        probe("command", ids.ID_FONT)
        probe("dialog", "Font", 10000)
        probe("dialog-do", "Font", "click:1")  # OK
        probe("command", ids.ID_COLOR)
        self.keys("Return", title="Color")
        for key in ("FontColor", "LogFont", "BackgroundColor", "CustomColors"):
            self.assertTrue(wait_for(lambda: self.ini("Appearance", key), 10), key)
        self.assertEqual(len(self.ini("Appearance", "LogFont")), 2 * 60 + 2)  # and a checksum

        probe("clipboard-set", "words")
        probe("command", ids.ID_EMPTY_CLIPBOARD)
        self.expect_box("Question", "Are you sure you want to empty the clipboard?")
        probe("click", "yes")
        self.expect_box("Information", "Clipboard successfully emptied!")
        probe("click", "ok")

        # Ids outside the tables do nothing at all, nor do the system menu's
        # two when they come as WM_COMMAND.
        for ident in (40050, 40020, 40021):
            probe("command", ident)
        probe("hotkey", 1010)
        self.assertNotEqual(probe("box", 1000)[0], 0)
        self.assertEqual(probe("window")[1]["visible"], "1")
        self.assertEqual((self.ini("Settings", "HideMenu"), self.ini("Settings", "SavePosition")),
                         (None, None))


class TrayTest(WindowTestCase):

    def hidden(self):
        return probe("window")[1].get("visible") == "0"

    def test_tray_icon_menu_hot_key_placement_and_exit(self):
        self.start({"SavePosition": 1})
        # Right button up on the icon: the tray menu.  Asked while the window
        # is shown: without a window manager, the focus that a window being
        # hidden gives up reaches Wine late and closes a menu opened meanwhile.
        probe("message", TRAY_CALLBACK, 0, 0x0205)
        self.assertEqual(probe("popup-menu", 5000)[0], 0, "the tray menu did not open")
        probe("message", 0x001F, 0, 0)  # WM_CANCELMODE closes it, as a click elsewhere
        self.assertTrue(wait_for(lambda: probe("popup-menu")[0] != 0, 5))
        probe("message", WM_SYSCOMMAND, 0xF030, 0)  # maximize
        self.assertTrue(wait_for(lambda: probe("window")[1].get("zoomed") == "1", 10))
        self.keys("Escape")  # Minimize to Tray
        self.assertTrue(wait_for(self.hidden, 15))
        self.assertIsNotNone(self.ini("Appearance", "WindowPlacement"))
        # Only the release of a button acts on the icon.
        probe("message", TRAY_CALLBACK, 0, 0x0201)  # left button down
        probe("statusbar")  # answered once the window has handled what came before
        self.assertTrue(self.hidden())
        probe("message", TRAY_CALLBACK, 0, 0x0202)  # left button up: restored, maximized
        self.assertTrue(wait_for(lambda: probe("window")[1].get("visible") == "1", 15))
        self.assertTrue(wait_for(lambda: probe("window")[1].get("zoomed") == "1", 10))
        # Alt+F7 from anywhere opens the Configuration dialog on its own;
        # Cancel leaves all as it was.
        self.global_keys("alt+F7")
        code, dialog = probe("dialog", "Orvanel Configuration", 15000)
        self.assertEqual((code, dialog.get("has_owner")), (0, "0"))
        # Asked again, by the hot key or Enter, the open dialog stays the only one.
        self.global_keys("alt+F7")
        probe("command", ids.ID_CONFIGURE)
        probe("statusbar")  # answered once the window has handled both
        shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                "^Orvanel Configuration$"], capture_output=True, text=True)
        self.assertEqual(len(shown.stdout.split()), 1)
        probe("dialog-do", "Orvanel Configuration", "click:2")  # IDCANCEL
        self.assertTrue(wait_for(lambda: probe("dialog", "Orvanel Configuration")[0] != 0, 10))
        # Alt+F11 hides.  While nothing of the program is shown, Wine under a
        # bare X server passes it no keys, so the hidden side is driven by
        # the hot-key messages themselves.
        self.global_keys("alt+F11")
        self.assertTrue(wait_for(self.hidden, 15))
        # A new taskbar gets the icon of a hidden window back; the window stays hidden.
        probe("registered", "TaskbarCreated", 0, 0)
        probe("hotkey", ids.IDH_CONFIGURE)
        code, dialog = probe("dialog", "Orvanel Configuration", 15000)
        self.assertEqual((code, dialog.get("has_owner")), (0, "0"))
        self.assertTrue(self.hidden())
        probe("dialog-do", "Orvanel Configuration", "click:2")
        self.assertTrue(wait_for(lambda: probe("dialog", "Orvanel Configuration")[0] != 0, 10))
        probe("hotkey", ids.IDH_TOGGLE_TRAY)
        self.assertTrue(wait_for(lambda: probe("window")[1].get("visible") == "1", 15))
        probe("command", ids.ID_MINIMIZE_TO_TRAY)
        self.assertTrue(wait_for(self.hidden, 15))
        probe("command", ids.ID_EXIT)  # Exit while hidden
        self.assert_exits_with(self.process, 0)


class HiddenWindowTest(WindowTestCase):

    def test_keys_never_act_on_a_hidden_window_and_hot_keys_still_do(self):
        # Started hidden, on top and untitled: the creation sequence's z-order
        # and frame changes leave the invisible window inactive.
        self.start({"OnTop": 1, "ShowTitle": 0, "StartupAnnounce": 0}, args="/h")
        window = self.main_window()
        self.assertEqual((window["visible"], window["foreground"]), ("0", "0"))
        # Del and Enter reach the hidden window (as after the tray menu); the
        # hot key posted after them is handled after them.
        for key in (VK_DELETE, VK_RETURN):
            probe("message", WM_KEYDOWN, key, 1)
        probe("hotkey", 1004)
        self.assertTrue(wait_for(lambda: self.engine_calls("speak") > 0, 10))
        self.assertNotEqual(probe("box", 0)[0], 0, "a key acted on the hidden window")
        self.assertNotEqual(probe("dialog", "Orvanel Configuration", 0)[0], 0)
        # Shown, the same key acts.
        probe("hotkey", 1003)
        self.assertTrue(wait_for(lambda: probe("window")[1].get("visible") == "1", 15))
        probe("message", WM_KEYDOWN, VK_DELETE, 1)
        self.expect_box("Question", "Are you sure you want to reset the configuration?")
        probe("click", "no")


class BackgroundAndPlaceOfTheTimeTest(WindowTestCase):

    def colour(self):
        """On screen, at the left edge halfway down: away from the time and the bars."""
        return probe("pixel", 3, self.children().client[1] // 2)[1].get("rgb")

    def test_a_new_background_shows_at_once_and_the_time_stays_between_the_bars(self):
        self.start({"StartupAnnounce": 0})
        self.wait_children(painted)
        self.assertEqual(self.colour(), "255,255,255")
        probe("command", 40018)
        probe("dialog", "Color", 10000)
        probe("dialog-do", "Color", "click:719", "set:706=200", "set:707=40", "set:708=40",
              "click:1")
        self.assertTrue(wait_for(lambda: self.colour() == "200,40,40", 10), self.colour())
        probe("command", 40002)
        probe("click", "yes", 10000)
        probe("click", "ok", 10000)
        self.assertTrue(wait_for(lambda: self.colour() == "255,255,255", 10), self.colour())
        # Narrow, the toolbar wraps to more rows; the time moves below it.
        # Asked for less height than the bars take, the window keeps a line
        # for the time between them.
        probe("resize", 240, 150)
        self.wait_children(lambda c: c.client[0] < 240 and between_the_bars(c))


class ShutdownRaceTest(WindowTestCase):

    def test_toggles_and_resets_while_the_time_refreshes(self):
        # The refresh runs every second and on every posted WM_TIMER; Paint
        # Time, Include Seconds and Reset build and take down what it touches.
        self.start()
        for round_ in range(4):
            probe("commands", 150, ids.ID_PAINT_TIME, ids.ID_INCLUDE_SECONDS)
            probe("command", ids.ID_RESET_CONFIGURATION)
            probe("click", "yes" if round_ % 2 else "no", 10000)
            if round_ % 2:
                probe("click", "ok", 10000)
        self.assertEqual(probe("window")[1]["visible"], "1")
        self.wait_children(lambda c: painted(c))
        probe("command", ids.ID_PAINT_TIME)
        probe("message", 0x0010, 0, 0)  # WM_CLOSE while the last toggles are handled
        self.assert_exits_with(self.process, 0, 30)


class SettingsKeptTest(WindowTestCase):

    def test_a_hidden_start_keeps_the_stored_placement(self):
        placement = struct.pack("<11i", 44, 0, 1, -1, -1, -1, -1, 40, 50, 440, 350)
        stored = placement.hex().upper() + "%02X" % (sum(placement) & 0xFF)
        window = self.start({"SavePosition": 1, "StartHidden": 1}, {"WindowPlacement": stored})
        self.assertEqual(window["visible"], "0")
        probe("command", ids.ID_EXIT)  # Exit, the window never shown
        self.assert_exits_with(self.process, 0)
        self.assertEqual(self.ini("Appearance", "WindowPlacement"), stored)

    def test_settings_that_cannot_be_written_are_reported_once(self):
        self.box = self.sandbox()
        folder = os.path.join(self.box.folder, "a-folder.ini")
        os.makedirs(folder)
        probe("reg-set-sz", PRODUCT_KEY, "ConfigFile", windows_path(folder))
        self.process = self.box.start()
        self.started_window(self.box)
        probe("command", ids.ID_INCLUDE_SECONDS)  # Include Seconds, written at once
        box = self.expect_box("Warning", (
            "Settings cannot be saved to %s. Changes are not stored: one to the window lasts until "
            "Orvanel ends, one in the Configuration dialog does not take effect. Choose a writable "
            "place with Set INI Path in the Clock menu, then start Orvanel again.") % windows_path(folder))
        self.assertEqual(box["owned_by_main"], "1")
        self.assertEqual(probe("statusbar")[1].get("text"),
                         "Settings cannot be saved: see Set INI Path")
        probe("click", "ok")
        probe("command", ids.ID_INCLUDE_SECONDS)
        probe("statusbar")  # answered once the toggle has been handled
        self.assertNotEqual(probe("box", 2000)[0], 0, "told more than once")


if __name__ == "__main__":
    unittest.main()
