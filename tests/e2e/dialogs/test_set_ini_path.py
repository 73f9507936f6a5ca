"""The Set INI Path dialog: opened by "/i" before the configuration is located
(so a choice counts in the same run) and from the Set INI Path command (so it
counts from the next start), and the registry values it leaves behind."""
import os
import unittest

from dialog_driver import (CONFIGURATION, SET_INI_PATH, act, gone, key_exists, look, reg_value)
from harness import E2ETestCase, PRODUCT_KEY, ids, probe, windows_path

MAKER_KEY = r"SOFTWARE\Tallowen"
REG_SZ, REG_EXPAND_SZ, REG_DWORD = 1, 2, 4
RESTART_NOTE = ("The application will need to be restarted in order for the change to take "
                "effect.")


class SetIniPathTest(E2ETestCase):

    def test_switch_choice_counts_at_once_and_the_command_clears_it_with_a_restart_note(self):
        box = self.sandbox()
        other = os.path.join(box.folder, "other.ini")
        box.write_ini({"Settings": {"Greeting": "From the other file"}}, path=other)
        box.start("/i /c")

        # Nothing stored: the path in use, the box clear, no message.
        dialog = look(SET_INI_PATH)
        self.assertIsNotNone(dialog, "/i opened no Set INI Path dialog")
        self.assertEqual(dialog["has_owner"], "0")
        self.assertEqual(dialog.order, ["label0", "1044", "1045", "1046", "1", "2"])
        self.assertEqual(dialog.get("label0", "text"), "&Path:")
        # Ownerless: in the middle of the work area.  A screen reader names each
        # focusable control by its text or label, without the &.
        rect, work = ([int(v) for v in dialog[k].split(",")] for k in ("rect", "work"))
        self.assertLessEqual(abs(rect[0] + rect[2] - work[0] - work[2]), 1)
        self.assertLessEqual(abs(rect[1] + rect[3] - work[1] - work[3]), 1)
        names = probe("names", SET_INI_PATH)[1]
        self.assertEqual([names["name%d" % i].split("|")[:2] for i in range(int(names["count"]))],
                         [["1044", "Path:"], ["1045", "Browse..."], ["1046", "Use Registry"],
                          ["1", "OK"], ["2", "Cancel"]])
        self.assertEqual(dialog.get(1044, "text"), windows_path(box.ini_path))
        self.assertEqual(dialog.get(1044, "limit"), "259")
        self.assertFalse(dialog.checked(1046))
        self.assertIsNone(look("Error", 0))

        # The old-style chooser names a file and creates nothing.
        act(SET_INI_PATH, "click:1045")
        chooser = look("Select Configuration File")
        self.assertEqual(chooser["owner_title"], SET_INI_PATH)
        self.assertEqual(chooser.items(1136), ["Configuration Files (*.INI)", "All Files (*.*)"])
        act("Select Configuration File", "set:1152=" + windows_path(other), "click:1")
        self.assertTrue(gone("Select Configuration File"))
        self.assertEqual(look(SET_INI_PATH).get(1044, "text"), windows_path(other))

        # OK: no restart note from "/i"; the Configuration dialog that follows
        # already works on the chosen file.
        act(SET_INI_PATH, "click:1")
        configuration = look(CONFIGURATION)
        self.assertIsNotNone(configuration)
        self.assertIsNone(look("Information", 0))
        self.assertEqual(configuration.get(1024, "text"), "From the other file")
        self.assertEqual(reg_value(PRODUCT_KEY, "ConfigFile"), (REG_SZ, windows_path(other), 260))
        self.assertIsNone(reg_value(PRODUCT_KEY, "UseRegistry"))
        act(CONFIGURATION, "click:2")
        self.started_window(box)
        self.assertFalse(os.path.exists(box.ini_path))

        # From the menu: what is stored is shown; clearing both then OK removes
        # the values, the emptied product key and maker key, and says that a
        # restart is needed.
        probe("command", ids.ID_SET_INI_PATH)
        dialog = look(SET_INI_PATH)
        self.assertEqual(dialog["owned_by_main"], "1")
        self.assertEqual(dialog.get(1044, "text"), windows_path(other))
        act(SET_INI_PATH, "set:1044=", "click:1")
        note = look("Information")
        self.assertIsNotNone(note, "no restart note from the menu")
        self.assertEqual(note["owner_title"], SET_INI_PATH)
        self.assertEqual(probe("box", 0)[1].get("text"),
                         "The application will need to be restarted in order for the change "
                         "to take effect.")
        probe("click", "ok")
        self.assertTrue(gone(SET_INI_PATH))
        self.assertFalse(key_exists(PRODUCT_KEY))
        self.assertFalse(key_exists(MAKER_KEY))

        # Cancel writes nothing.
        probe("command", ids.ID_SET_INI_PATH)
        act(SET_INI_PATH, "set:1044=C:\\elsewhere.ini", "click:1046", "click:2")
        self.assertTrue(gone(SET_INI_PATH))
        self.assertFalse(key_exists(MAKER_KEY))

    def test_registry_choice_is_shown_and_registry_settings_keep_the_product_key(self):
        probe("reg-set-dword", PRODUCT_KEY, "UseRegistry", 1)
        probe("reg-set-sz", PRODUCT_KEY + r"\Settings", "Rate", "200")
        box = self.sandbox()
        box.start("/i")
        dialog = look(SET_INI_PATH)
        self.assertEqual(dialog.get(1044, "text"), windows_path(box.ini_path))  # no ConfigFile
        self.assertTrue(dialog.checked(1046))
        act(SET_INI_PATH, "click:1046")
        act(SET_INI_PATH, "click:1")
        self.assertTrue(gone(SET_INI_PATH))
        self.assertIsNone(look("Information", 0))
        self.assertEqual(reg_value(PRODUCT_KEY, "ConfigFile"), (REG_SZ, windows_path(box.ini_path),
                                                                 260))
        self.assertIsNone(reg_value(PRODUCT_KEY, "UseRegistry"))
        self.assertEqual(reg_value(PRODUCT_KEY + r"\Settings", "Rate")[1], "200")
        # The choice counts in this run: the INI backend, so Configure's OK
        # writes the file, not the registry.
        self.started_window(box)
        probe("command", ids.ID_CONFIGURE)
        act(CONFIGURATION, "click:1")
        self.assertTrue(gone(CONFIGURATION))
        self.assertTrue(os.path.exists(box.ini_path))

    def test_a_place_where_settings_cannot_be_written_is_refused(self):
        box = self.sandbox()
        open(os.path.join(box.folder, "plain.txt"), "w").close()
        box.start(env={"ORVANEL_E2E_FOLDER": windows_path(box.folder)})
        self.started_window(box)
        folder = windows_path(box.folder)
        no_folder = "The folder of \"%s\" does not exist. Create the folder first, or choose " \
                    "another path."
        refusals = [
            ("x.ini", 'The path "x.ini" is not a full path. Type one that starts with a drive or '
                      'a network share, such as C:\\Settings\\Orvanel.ini.'),
            (folder + r"\missing\x.ini", no_folder % (folder + r"\missing\x.ini")),
            (folder + r"\plain.txt\x.ini", no_folder % (folder + r"\plain.txt\x.ini")),
            (r"%ORVANEL_E2E_FOLDER%\missing\x.ini", no_folder % (folder + r"\missing\x.ini")),
            (folder, 'The file "%s" cannot be created or written. Choose a place where you may '
                     'write.' % folder),
        ]
        probe("command", ids.ID_SET_INI_PATH)
        for typed, reason in refusals:
            with self.subTest(typed):
                act(SET_INI_PATH, "set:1044=" + typed, "click:1")
                self.expect_box("Error", reason)
                probe("click", "ok")
                # Still open, the text selected for correcting; nothing stored.
                dialog = look(SET_INI_PATH)
                self.assertEqual((dialog.get(1044, "text"), dialog.get(1044, "sel")),
                                 (typed, "0,%d" % len(typed)))
                self.assertFalse(key_exists(PRODUCT_KEY))
        # Variables are kept for the next start, unexpanded; the file tried is not left behind.
        for typed, kind in ((r"%ORVANEL_E2E_FOLDER%\kept.ini", REG_EXPAND_SZ),
                            (folder + r"\plain.ini", REG_SZ)):
            if not look(SET_INI_PATH, 0):
                probe("command", ids.ID_SET_INI_PATH)
            act(SET_INI_PATH, "set:1044=" + typed, "click:1")
            self.expect_box("Information", RESTART_NOTE)
            probe("click", "ok")
            self.assertTrue(gone(SET_INI_PATH))
            self.assertEqual(reg_value(PRODUCT_KEY, "ConfigFile"), (kind, typed, 260))
        self.assertEqual(sorted(os.listdir(box.folder)),
                         ["DECTALK.dll", "Orvanel.exe", "engine.log", "plain.txt"])


if __name__ == "__main__":
    unittest.main()
