#!/usr/bin/env python3
"""System tests of the monitor: the real executable under Wine, driven as its
user and its peers drive it -- the stand-in configuration program, the
virtual mouse, and real X input through xdotool.

ctest runs it in the win64 build, inside its Wine fixture:
    system_tests.py BIN_FOLDER WINE_PREFIX ARTIFACT_FOLDER [unittest arguments]
MONITOR_SOUND_SERVER=none tells it that Wine has no capture endpoint.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

BIN = PREFIX = ARTIFACTS = None
WINE_ENV = pathlib.Path(__file__).resolve().parents[2] / "tools" / "wine-env"
KEY = r"HKCU\software\QuorvaxGM3"
WM_COMMAND = 0x0111
MENU_CONFIG, MENU_ABOUT, MENU_EXIT = 1, 2, 3
TRAY_BLUE = (0x2F, 0x8C, 0xFF)  # the tray icon's disc


def wine(*args, timeout=60):
    """Runs a Windows program in the test prefix and waits for it."""
    return subprocess.run([str(WINE_ENV), "run", str(PREFIX), *map(str, args)], capture_output=True, text=True,
                          timeout=timeout)


def start(*args, output=None):
    """Starts a Windows program in the test prefix and leaves it running;
    its standard output goes to the file given."""
    command = [str(WINE_ENV), "run", str(PREFIX), *map(str, args)]
    if output is None:
        return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(output, "w") as stdout:  # the program keeps its own copy
        return subprocess.Popen(command, stdout=stdout, stderr=subprocess.DEVNULL)


def wait_for(condition, limit=30.0, step=0.2):
    """Polls until the condition holds. The limit only keeps a broken run
    from hanging; it is not a speed requirement."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(step)
    return condition()


def windows_path(path):
    return wine("winepath", "-w", path).stdout.strip()


def stand_in(*args):
    return wine(BIN / "StandInConfig.exe", *args)


def virtual_mouse(*args):
    return wine(BIN / "VirtualMouse.exe", *args)


def find_window(class_name):
    """caption|visible|toolwindow of that top-level window, or None."""
    result = stand_in("find", class_name)
    return result.stdout.strip() if result.returncode == 0 else None


def registry_dword(name):
    match = re.search(r"REG_DWORD\s+0x([0-9a-fA-F]+)", wine("reg", "query", KEY, "/v", name).stdout)
    return int(match.group(1), 16) if match else None


def registry_binary(name):
    """The bytes of a binary value (reg prints them as one hex string)."""
    match = re.search(r"REG_BINARY\s+([0-9A-Fa-f]*)", wine("reg", "query", KEY, "/v", name).stdout)
    return bytes.fromhex(match.group(1)) if match else None


def display():
    return os.environ.get("DISPLAY") or ":" + pathlib.Path(str(PREFIX) + ".display").read_text().strip()


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], env={**os.environ, "DISPLAY": display()},
                          capture_output=True, text=True, timeout=30)


def screenshot(name):
    path = ARTIFACTS / f"{name}.png"
    subprocess.run(["import", "-display", display(), "-window", "root", str(path)], check=True, timeout=60)
    return path


def has_colour(picture, box, colour, tolerance=24):
    """Whether a pixel near that colour lies inside the box (x, y, w, h)."""
    x, y, w, h = box
    pixels = subprocess.run(["convert", str(picture), "-crop", f"{w}x{h}+{x}+{y}", "txt:-"], capture_output=True,
                            text=True, timeout=60).stdout
    for match in re.finditer(r"\((\d+),(\d+),(\d+)", pixels):
        if all(abs(int(value) - wanted) <= tolerance for value, wanted in zip(match.groups(), colour)):
            return True
    return False


class MonitorTestCase(unittest.TestCase):
    """A fresh registry key and a folder of the monitor's own, with the
    stand-in configuration program and a debug-output listener running."""

    def setUp(self):
        wine("reg", "delete", KEY, "/f")
        self.folder = pathlib.Path(tempfile.mkdtemp(prefix=f"{self.id().split('.')[-1]}-", dir=ARTIFACTS))
        for item in ["ZelMonEx3.exe", "xaHook.dll"]:
            shutil.copy(BIN / item, self.folder)
        self.processes = []
        self.config_log = self.folder / "config-program.txt"
        self.debug_log = self.folder / "debug-output.txt"
        self.keep(start(BIN / "StandInConfig.exe", "listen", windows_path(self.debug_log)))
        self.assertTrue(wait_for(lambda: self.debug_log.exists()))
        self.monitor = None

    def tearDown(self):
        if self.monitor and self.monitor.poll() is None:
            stand_in("post", WM_COMMAND, MENU_EXIT, 0)
            try:
                self.monitor.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.monitor.kill()
        elif find_window("TZelMonExMain3"):  # one another program started
            stand_in("post", WM_COMMAND, MENU_EXIT, 0)
            wait_for(lambda: not find_window("TZelMonExMain3"))
        virtual_mouse("quit")
        stand_in("quit")
        for process in self.processes:
            if process.poll() is None:
                process.kill()

    def keep(self, process):
        self.processes.append(process)
        return process

    def start_config_program(self, *extra):
        self.keep(start(BIN / "StandInConfig.exe", "run", windows_path(self.config_log), *extra))
        self.assertTrue(wait_for(lambda: self.config_log.exists() and "ready" in self.config_log.read_text()))
        self.assertTrue(wait_for(lambda: find_window("TZelCfgExMain3")))

    def config_received(self):
        return [line for line in self.config_log.read_text().splitlines() if re.fullmatch(r"\d+ \d+ -?\d+", line)]

    def config_input(self):
        return [line for line in self.config_log.read_text().splitlines() if line.startswith(("click", "wheel"))]

    def debug_lines(self):
        return self.debug_log.read_text(errors="replace").splitlines()

    def install(self, with_virtual_mouse):
        """Writes the monitor's config.ini; with the virtual mouse, starts it
        and switches the monitor over to it."""
        config = (BIN / "config.ini").read_text()
        if with_virtual_mouse:
            config += "\n[VirtualMouse]\nEnabled=1\n"
            self.mouse_log = self.folder / "mouse.txt"
            self.mouse_output = self.folder / "mouse-output.txt"
            self.keep(start(BIN / "VirtualMouse.exe", "run", "--log", windows_path(self.mouse_log),
                            output=self.mouse_output))
            self.assertTrue(wait_for(lambda: virtual_mouse("release").returncode == 0))
        (self.folder / "config.ini").write_text(config)

    def wait_for_the_mouse_to_be_opened(self):
        # The mouse is opened about 3 s after the start.
        self.assertTrue(wait_for(lambda: virtual_mouse("release") and "sent to 1 reader" in
                                 self.mouse_output.read_text()), "the monitor did not open the mouse")

    def start_monitor(self, with_virtual_mouse=False):
        self.install(with_virtual_mouse)
        self.monitor = start(self.folder / "ZelMonEx3.exe")
        self.assertTrue(wait_for(lambda: find_window("TZelMonExMain3")), "the monitor's window did not appear")
        if with_virtual_mouse:
            self.wait_for_the_mouse_to_be_opened()

    def over_config_program(self):
        """Puts the pointer over the stand-in's window (at 300, 300, 300 x 200):
        the Wine window that real input goes to."""
        xdotool("mousemove", 450, 400)

    def record_a_click(self):
        self.over_config_program()
        self.press(7)
        self.assertTrue(wait_for(lambda: find_window("TFrmRecord")), "no overlay")
        xdotool("click", 1)
        time.sleep(0.3)
        self.press(7)
        # Announced once stored and uploaded; the profile is settled then.
        self.assertTrue(wait_for(lambda: "7038 0 0" in self.config_received()), "the recording was not announced")

    def press(self, key_index):
        result = virtual_mouse("press", key_index)
        self.assertEqual(result.returncode, 0, result.stderr)
        virtual_mouse("release")
        self.assertTrue(wait_for(lambda: f"KeyIndex = {key_index} postmessage record!" in self.debug_lines()))


class ProcessAndTray(MonitorTestCase):
    def test_starts_hidden_in_the_tray_with_its_class_and_caption(self):
        self.start_monitor()
        self.assertEqual(find_window("TZelMonExMain3"), "ZELTRAVONICS_MONITOR_EX|0|1")  # hidden, no taskbar button
        self.assertTrue(wait_for(lambda: xdotool("search", "--name", "Wine System Tray").stdout.strip()))
        tray = xdotool("search", "--name", "Wine System Tray").stdout.split()[0]
        geometry = dict(re.findall(r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", tray).stdout))
        box = tuple(int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        self.assertTrue(has_colour(screenshot("tray"), box, TRAY_BLUE), "the tray icon is not shown")
        # The first start stored the factory setting records.
        self.assertEqual(len(registry_binary("ZV3ProfileSettingGroup.pfd")), 30964)

    def test_the_tray_icon_comes_back_when_the_taskbar_restarts(self):
        self.start_monitor()
        self.assertTrue(wait_for(lambda: stand_in("tray-icon").returncode == 0), "no tray icon")
        self.assertEqual(stand_in("restart-taskbar").returncode, 0)
        self.assertTrue(wait_for(lambda: stand_in("tray-icon").returncode == 0), "the tray icon did not come back")

    def test_the_tray_menu_opens_on_the_right_button_and_closes_on_a_click_elsewhere(self):
        self.start_monitor()
        self.assertTrue(wait_for(lambda: stand_in("tray-icon").returncode == 0), "no tray icon")
        tray = xdotool("search", "--name", "Wine System Tray").stdout.split()[0]
        geometry = dict(re.findall(r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", tray).stdout))
        # The only icon fills the tray's height, at its left end.
        side = int(geometry["HEIGHT"])
        xdotool("mousemove", int(geometry["X"]) + side // 2, int(geometry["Y"]) + side // 2, "click", 3)
        self.assertTrue(wait_for(lambda: (find_window("#32768") or "").split("|")[1:2] == ["1"]), "no menu")
        screenshot("tray-menu")
        xdotool("mousemove", 640, 200, "click", 1)
        self.assertTrue(wait_for(lambda: (find_window("#32768") or "|0").split("|")[1] != "1"), "the menu stayed")
        self.assertIsNone(self.monitor.poll())

    def test_a_second_start_ends_at_once_and_leaves_one_monitor(self):
        self.start_monitor()
        second = start(self.folder / "ZelMonEx3.exe")
        self.assertEqual(second.wait(timeout=60), 0)
        self.assertIsNone(self.monitor.poll())
        self.assertTrue(find_window("TZelMonExMain3"))

    def test_exit_tells_the_configuration_program_and_ends(self):
        self.start_config_program()
        self.start_monitor()
        stand_in("post", WM_COMMAND, MENU_EXIT, 0)
        self.assertEqual(self.monitor.wait(timeout=60), 0)
        self.assertTrue(wait_for(lambda: "7036 0 0" in self.config_received()))
        self.assertIsNone(find_window("TZelMonExMain3"))

    def test_about_window_in_english_and_in_chinese(self):
        self.start_monitor()
        for language, name in [(1, "about-english"), (0, "about-chinese")]:
            self.assertEqual(stand_in("language", language).returncode, 0)
            self.assertEqual(stand_in("send", 7037).returncode, 0)
            stand_in("post", WM_COMMAND, MENU_ABOUT, 0)
            self.assertTrue(wait_for(lambda: find_window("TZelMonExMain3").endswith("|1|1")), "no About window")
            time.sleep(0.5)
            screenshot(name)
            # OK hides it again; the monitor keeps running.
            about = xdotool("search", "--name", "ZELTRAVONICS_MONITOR_EX").stdout.split()[0]
            place = dict(re.findall(r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", about).stdout))
            xdotool("mousemove", int(place["X"]) + 253, int(place["Y"]) + 298, "click", 1)
            self.assertTrue(wait_for(lambda: find_window("TZelMonExMain3").endswith("|0|1")), "About stayed open")
        self.assertIsNone(self.monitor.poll())


class ConfigurationProgram(MonitorTestCase):
    def test_reload_requests_are_obeyed(self):
        self.start_monitor()
        self.assertEqual(stand_in("send", 7035, 3).returncode, 0)
        self.assertEqual(registry_dword("ProfileID"), 3)
        self.assertEqual(stand_in("send", 7037).returncode, 0)
        self.assertIsNone(self.monitor.poll())

    def test_the_mouse_switching_profiles_is_stored_and_announced(self):
        self.start_config_program()
        self.start_monitor(with_virtual_mouse=True)
        self.assertEqual(virtual_mouse("profile", 1).returncode, 0)
        self.assertTrue(wait_for(lambda: "7040 1 0" in self.config_received()))
        self.assertEqual(registry_dword("ProfileID"), 1)

    def test_a_hung_configuration_program_does_not_freeze_the_monitor(self):
        self.start_config_program("--hang-on", 7040)
        self.start_monitor(with_virtual_mouse=True)
        virtual_mouse("profile", 0)
        self.assertTrue(wait_for(lambda: "7040 0 0" in self.config_received()))
        # The configuration program now sleeps; the monitor still answers.
        self.assertEqual(stand_in("send", 7035, 5).returncode, 0)
        self.assertEqual(registry_dword("ProfileID"), 5)


class Microphone(MonitorTestCase):
    def test_a_mute_button_toggles_the_microphone_where_there_is_one(self):
        self.start_config_program()
        self.start_monitor(with_virtual_mouse=True)
        self.record_a_click()  # stores profile 1 in the registry
        # Button 3 mutes, as the configuration program would set it.
        self.assertEqual(stand_in("function", 3, 28).returncode, 0)
        self.assertEqual(stand_in("send", 7035, 0).returncode, 0)
        self.press(3)
        self.press(3)
        lines = self.debug_lines()
        if os.environ.get("MONITOR_SOUND_SERVER") == "none":
            self.assertFalse([line for line in lines if line.startswith("microphone")])
        else:
            self.assertTrue(wait_for(lambda: "microphone unmuted" in self.debug_lines()))
            mutes = [line for line in self.debug_lines() if line.startswith("microphone")]
            self.assertEqual(mutes, ["microphone muted", "microphone unmuted"])


class WholeRoad(MonitorTestCase):
    """A recording made with real clicks and wheel turns, stored, uploaded
    into the mouse, announced, and played back."""

    def test_record_store_upload_announce_and_play(self):
        self.start_config_program()
        self.start_monitor(with_virtual_mouse=True)
        self.over_config_program()

        self.press(7)  # the factory profile's recording button
        self.assertTrue(wait_for(lambda: find_window("TFrmRecord") == "FrmRecord|1|1"), "no overlay")
        xdotool("click", 1)
        time.sleep(0.3)
        xdotool("click", 5)  # the wheel, towards the user
        time.sleep(0.3)
        xdotool("click", 1)
        time.sleep(0.3)
        screenshot("recording")
        self.press(7)
        self.assertTrue(wait_for(lambda: find_window("TFrmRecord") is None), "the overlay stayed")

        # Stored into the profile and by itself, announced, and uploaded.
        self.assertTrue(wait_for(lambda: "7038 0 0" in self.config_received()))
        recording = registry_binary("RecordRPROFILE.pfd")
        self.assertEqual(len(recording), 892)
        count = int.from_bytes(recording[768:772], "little")
        actions = [recording[6 * i:6 * i + 6] for i in range(count)]
        kinds = [(a[0], a[2]) for a in actions]  # type and state
        self.assertEqual([k for k in kinds if k[0] != 6], [(1, 1), (1, 0), (3, 0), (1, 1), (1, 0)])
        self.assertEqual(actions[0], bytes([1, 0, 1, 0, 1, 1]))  # left button down
        profile = registry_binary("ZV3Profile1.pfd")
        first_macro = profile[86592:86592 + 892]
        self.assertEqual(first_macro[:768], recording[:768])
        mouse = self.mouse_log.read_text()
        self.assertIn("transaction begin", mouse)
        self.assertIn("write memory at 0x0090, 65 bytes", mouse)
        # The first slot holds the recording in the mouse's three bytes an
        # action: a delay in tens of milliseconds (halves to even, at least
        # one), else the type with bit 7 for a press, and the two values.
        def device_action(action):
            kind, state, value1, value2 = action[0], action[2], action[4], action[5]
            if kind == 6:
                tens = max(round((value1 + 256 * value2) / 10), 1)
                return bytes([6, tens & 0xFF, tens >> 8])
            return bytes([kind | state << 7, value1, value2])
        slot = b"".join(device_action(action) for action in actions)
        self.assertIn(f"write memory at 0x00D1, {3 * count} bytes: {slot.hex(' ').upper()}\n", mouse)
        self.assertIn("transaction end", mouse)

        # Button 6 plays the profile's first macro, now the recording, at the pointer.
        before = len(self.config_input())
        self.press(6)
        self.assertTrue(wait_for(lambda: len(self.config_input()) >= before + 5))
        played = self.config_input()[before:]
        self.assertEqual(played[:2], ["click left down", "click left up"])
        self.assertIn("wheel -120", played)


class Figures(MonitorTestCase):
    """Start-up time and memory of the real monitor, printed and kept in
    figures.txt beside the tests' folders. Figures to read, not pass marks:
    the targets are a tray icon within 300 ms of the start with the prefix
    warm, and under 10 MB of private memory."""

    STARTS = 7

    def report(self, line):
        print(line, file=sys.stderr)
        with open(ARTIFACTS / "figures.txt", "a") as figures:
            figures.write(line + "\n")

    def test_start_up_time_and_private_memory(self):
        self.install(with_virtual_mouse=True)
        program = windows_path(self.folder / "ZelMonEx3.exe")
        times = []
        figure = self.folder / "time-start.txt"
        for _ in range(self.STARTS):
            # Into a file: the monitor it starts holds on to the pipes Wine
            # handed down, so a pipe would stay open as long as it runs.
            with open(figure, "w") as output:
                code = subprocess.run([str(WINE_ENV), "run", str(PREFIX), str(BIN / "StandInConfig.exe"), "time-start",
                                       program], stdout=output, stderr=subprocess.DEVNULL, timeout=60).returncode
            self.assertEqual(code, 0, "the monitor's tray icon did not appear")
            times.append(float(figure.read_text()))
            if len(times) < self.STARTS:
                stand_in("post", WM_COMMAND, MENU_EXIT, 0)
                self.assertTrue(wait_for(lambda: not find_window("TZelMonExMain3")), "the monitor did not end")
        # The last one stays, with the mouse open, as it runs day to day.
        self.wait_for_the_mouse_to_be_opened()
        time.sleep(1)
        private_kib, working_set_kib = map(int, stand_in("memory").stdout.split())
        # What Wine itself costs every program: a plain window program's figure.
        self.start_config_program()
        plain_private_kib, _ = map(int, stand_in("memory", "TZelCfgExMain3").stdout.split())
        times.sort()
        self.report(f"start to tray icon over {self.STARTS} starts: median {times[len(times) // 2]:.0f} ms, "
                    f"fastest {times[0]:.0f} ms, slowest {times[-1]:.0f} ms")
        self.report(f"running monitor with the mouse open: committed private memory {private_kib / 1024:.1f} MiB "
                    f"(a plain window program under the same Wine: {plain_private_kib / 1024:.1f} MiB), "
                    f"working set {working_set_kib / 1024:.1f} MiB")
        stand_in("post", WM_COMMAND, MENU_EXIT, 0)
        self.assertTrue(wait_for(lambda: not find_window("TZelMonExMain3")), "the monitor did not end")


def main():
    global BIN, PREFIX, ARTIFACTS
    BIN, PREFIX, ARTIFACTS = (pathlib.Path(argument).resolve() for argument in sys.argv[1:4])
    if ARTIFACTS.exists():
        shutil.rmtree(ARTIFACTS)
    ARTIFACTS.mkdir(parents=True)
    unittest.main(argv=[sys.argv[0], *sys.argv[4:]], verbosity=2)


if __name__ == "__main__":
    main()
