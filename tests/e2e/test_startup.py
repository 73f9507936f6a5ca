"""Start-up, the single-instance rule and shutdown, as a user meets them."""
import os
import time
import unittest

from harness import E2ETestCase, PRODUCT_KEY, ids, probe, windows_path, wait_for



def deep_folder(name, overflow):
    """A sandbox folder whose Windows path plus `overflow` characters is exactly 260."""
    folder = os.path.join(os.environ["ORVANEL_BUILD_DIR"], "e2e-sandbox", name)
    while len(windows_path(folder)) + overflow < 260:
        room = 260 - overflow - len(windows_path(folder)) - 1
        folder = os.path.join(folder, "d" * max(1, min(room, 120)))
    return folder


class StartupTest(E2ETestCase):

    def test_normal_start_shows_the_window_and_close_ends_with_zero(self):
        box = self.sandbox()
        orvanel = box.start()
        window = self.started_window(box)
        self.assertEqual(window["visible"], "1")
        self.assertEqual(window["title"], "Orvanel")
        self.assertEqual(int(window["style"], 16) & 0x00CF0000, 0x00CF0000)
        probe("message", 0x0010, 0, 0)  # WM_CLOSE, as the close box sends
        self.assert_exits_with(orvanel, 0)

    def test_manifest_asks_for_the_users_own_rights(self):
        exe = os.path.join(os.environ["ORVANEL_BUILD_DIR"], "bin", "Orvanel.exe")
        code, values = probe("manifest", windows_path(exe))
        self.assertEqual(code, 0, "no manifest resource")
        self.assertIn('<requestedExecutionLevel level="asInvoker" uiAccess="false"/>',
                      values["manifest"])

    def test_exit_command_ends_with_zero(self):
        box = self.sandbox()
        orvanel = box.start()
        self.started_window(box)
        probe("command", ids.ID_EXIT)
        self.assert_exits_with(orvanel, 0)

    def test_default_ini_is_found_beside_the_program_whatever_the_start_folder(self):
        box = self.sandbox()
        box.write_ini({"Settings": {"StartHidden": "1"}})
        box.start(cwd="/")
        self.assertEqual(self.started_window(box)["visible"], "0")

    def test_hidden_switch_is_case_sensitive_substring(self):
        box = self.sandbox()
        box.start("/hide")
        self.assertEqual(self.started_window(box)["visible"], "0")
        box.close_all()
        probe("wait-gone", 10000)
        box.start("/H -h")
        self.assertEqual(self.started_window(box)["visible"], "1")

    def test_second_start_restores_a_visible_first_instance(self):
        box = self.sandbox()
        box.start()
        self.started_window(box)
        probe("minimize")
        self.assertTrue(wait_for(lambda: probe("window")[1].get("iconic") == "1", 5))
        second = box.start("/c /i")
        self.assert_exits_with(second, 0)
        window = self.main_window()
        self.assertEqual(window["iconic"], "0")
        self.assertEqual(window["visible"], "1")
        self.assertNotEqual(probe("box", 500)[0], 0, "the second start must show nothing")

    def test_second_start_offers_to_restore_a_hidden_first_instance(self):
        box = self.sandbox()
        box.start("/h")
        self.assertEqual(self.started_window(box)["visible"], "0")

        declined = box.start()
        question = self.expect_box("Information",
                                   "Orvanel is already running. Restore main window?",
                                   icon="blue")
        self.assertEqual((question["yes"], question["no"], question["has_owner"]), ("1", "1", "0"))
        probe("click", "no")
        self.assert_exits_with(declined, 0)
        self.assertEqual(self.main_window()["visible"], "0")

        accepted = box.start()
        self.expect_box("Information", "Orvanel is already running. Restore main window?")
        probe("click", "yes")
        self.assert_exits_with(accepted, 0)
        self.assertEqual(self.main_window()["visible"], "1")

    def test_start_while_another_has_no_window_waits_then_comes_up(self):
        # A first instance held at a start-up failure box owns the mutex and has
        # no window, as one that is ending does.  "O.exe" fits in a folder that
        # leaves no room for "\Orvanel.ini" within 260 bytes, so that first
        # start fails with 453.
        folder = deep_folder("long", len("\\Orvanel.ini") - 2)
        self.assertLessEqual(len(windows_path(folder)) + len("\\O.exe"), 259)
        first_box = self.sandbox(exe_name="O.exe", folder=folder)
        first = first_box.start()
        self.expect_box("Error", "Failed to get working directory!", icon="red")

        second_box = self.sandbox("second")
        second = second_box.start()
        time.sleep(2)
        self.assertIsNone(second.poll(), "the new start must wait, not give up")
        self.assertNotEqual(probe("window")[0], 0, "no window may exist yet")
        probe("click", "ok")
        self.assert_exits_with(first, 0)
        self.assertFalse(os.path.exists(os.path.join(folder, "Orvanel.ini")))
        self.assertEqual(self.main_window(20000)["visible"], "1")
        probe("command", ids.ID_EXIT)
        self.assert_exits_with(second, 0)

    def test_config_file_in_the_registry_moves_the_ini_file(self):
        box = self.sandbox()
        box.write_ini({"Settings": {"StartHidden": "0"}})
        other = os.path.join(box.folder, "elsewhere.ini")
        box.write_ini({"Settings": {"StartHidden": "1"}}, path=other)
        probe("reg-set-sz", PRODUCT_KEY, "ConfigFile", windows_path(other))
        box.start()
        self.assertEqual(self.started_window(box)["visible"], "0")

    def test_use_registry_alone_switches_the_backend(self):
        box = self.sandbox()
        box.write_ini({"Settings": {"StartHidden": "0"}})
        probe("reg-set-dword", PRODUCT_KEY, "UseRegistry", 1)
        probe("reg-set-sz", PRODUCT_KEY + r"\Settings", "StartHidden", "1")
        box.start()
        self.assertEqual(self.started_window(box)["visible"], "0")


if __name__ == "__main__":
    unittest.main()
