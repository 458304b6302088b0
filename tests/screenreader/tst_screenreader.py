# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader receives from kr52-config, read through the real accessibility bus.

Run inside a private session bus (dbus-run-session). Starts Xvfb, the accessibility bus (by
asking the session bus for it, as every accessible program does) and the program, then reads the program's tree with libatspi, the library screen readers use, and drives
it with key presses sent through the X server, as an operator's keyboard would. Every wait polls
with a time limit. Usage: tst_screenreader.py PROGRAM
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

PROGRAM = None
WAIT = 15.0  # seconds any one thing may take to show up
START = 40.0  # seconds the program may take to start on a busy machine


class Session:
    """Xvfb, the accessibility bus and the program, stopped in reverse order."""

    def __init__(self, program, environment):
        self.processes = []
        self.folder = tempfile.mkdtemp(prefix="kr52-screenreader-")
        read_end, write_end = os.pipe()
        # -noreset: by default the server resets when its last client leaves, and drops a client
        # that connects meanwhile; the accessibility bus's launcher connects and leaves just as
        # the program starts.
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                    "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = self.read_display(read_end)
        os.environ["DISPLAY"] = ":" + number
        self.start_accessibility_bus()
        environment = dict(os.environ, **environment)
        environment.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                           XDG_RUNTIME_DIR=self.folder)
        self.log = os.path.join(self.folder, "program.log")
        with open(self.log, "wb") as log:
            self.program = self.start([program], env=environment, stdout=log, stderr=subprocess.STDOUT)

    def program_output(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return log.read()

    @staticmethod
    def start_accessibility_bus():
        """Asks the session bus for the accessibility bus, which starts it (at-spi2-core) once.

        The program and the reader ask the same question later and get the same bus; starting the
        launcher by hand instead races with that activation and may leave two buses."""
        from gi.repository import Gio, GLib
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        # The bus starts its services with the environment it was started in, where DISPLAY may
        # name another X server (a desktop's, or one that is gone): they must use this session's.
        display = GLib.Variant("(a{ss})", ({"DISPLAY": os.environ["DISPLAY"]},))
        session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "UpdateActivationEnvironment", display, None, Gio.DBusCallFlags.NONE, int(WAIT * 1000), None)
        session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                          GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, int(WAIT * 1000), None)

    def start(self, command, **options):
        options.setdefault("stdout", subprocess.DEVNULL)
        options.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(command, **options)
        self.processes.append(process)
        return process

    @staticmethod
    def read_display(descriptor):
        deadline = time.monotonic() + WAIT
        text = b""
        while not text.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise RuntimeError("Xvfb gave no display number")
            text += os.read(descriptor, 16)
        os.close(descriptor)
        return text.decode().strip()

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class Reader:
    """The screen reader's side: the tree, the events, and a keyboard."""

    def __init__(self):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, GLib
        self.Atspi = Atspi
        self.context = GLib.MainContext.default()
        Atspi.init()
        self.events = []
        self.listener = Atspi.EventListener.new(self.heard)
        for kind in ("object:text-changed", "object:property-change", "object:value-changed",
                     "object:text-caret-moved", "object:state-changed:focused", "object:selection-changed"):
            self.listener.register(kind)

    def heard(self, event):
        try:
            self.events.append((event.type, event.source.get_role_name(), event.source.get_name(), event.any_data))
        except Exception:  # an object that went away while the event travelled
            pass

    def pump(self):
        while self.context.iteration(False):
            pass

    def until(self, what, find, limit=WAIT):
        deadline = time.monotonic() + limit
        while True:
            self.pump()
            found = find()
            if found:
                return found
            if time.monotonic() > deadline:
                raise AssertionError("not seen within %g s: %s" % (limit, what))
            time.sleep(0.02)

    def application(self, name):
        def look():
            desktop = self.Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_name() == name and app.get_child_count() > 0:
                    return app
            return None
        return self.until("the application " + name, look, START)

    @staticmethod
    def press(keys):
        """Presses keys on the X server's keyboard ("Down", "alt+g"), as the operator would."""
        subprocess.run(["xdotool", "key", keys], check=True, timeout=WAIT)

    def all(self, root, predicate, showing_only=True):
        found = []
        stack = [root]
        while stack:
            node = stack.pop()
            if node is None:
                continue
            states = node.get_state_set()
            if showing_only and node is not root and not states.contains(self.Atspi.StateType.SHOWING):
                continue
            if predicate(node):
                found.append(node)
            stack.extend(node.get_child_at_index(i) for i in reversed(range(node.get_child_count())))
        return found

    def one(self, root, role, name=None):
        def look():
            found = self.all(root, lambda n: n.get_role_name() == role and name in (None, n.get_name()))
            return found[0] if len(found) == 1 else None
        return self.until("%s %r" % (role, name), look)

    def window(self, app, name):
        def look():
            for i in range(app.get_child_count()):
                window = app.get_child_at_index(i)
                if window is not None and window.get_name() == name \
                        and window.get_state_set().contains(self.Atspi.StateType.SHOWING):
                    return window
            return None
        return self.until("the window " + name, look)

    def has(self, node, state):
        return node.get_state_set().contains(getattr(self.Atspi.StateType, state))

    @staticmethod
    def text(node):
        text = node.get_text_iface()
        return None if text is None else text.get_text(0, -1)

    def labels(self, node):
        names = []
        for relation in node.get_relation_set():
            if relation.get_relation_type() == self.Atspi.RelationType.LABELLED_BY:
                names += [relation.get_target(i).get_name() for i in range(relation.get_n_targets())]
        return names

    def heard_since(self, mark, kind, name=None):
        return [e for e in self.events[mark:] if e[0].startswith(kind) and (name is None or e[2] == name)]


class ScreenReaderTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="kr52-devices-")
        cls.lpt1 = os.path.join(cls.folder, "lp0")
        open(cls.lpt1, "w").close()
        cls.lpt2 = os.path.join(cls.folder, "gone")
        cls.session = Session(PROGRAM, {"KR52_LPT1": cls.lpt1, "KR52_LPT2": cls.lpt2})
        try:
            cls.reader = Reader()
            cls.app = cls.reader.application("kr52-config")
            cls.main = cls.reader.window(cls.app, "Arvel KR52 Configuration Utility")
            cls.activate(cls.main)
        except BaseException:
            print("The program said:\n" + cls.session.program_output(), file=sys.stderr)
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()
        shutil.rmtree(cls.folder, ignore_errors=True)

    @classmethod
    def activate(cls, window):
        """Gives window the keyboard, as a window manager gives it to a window that opens."""
        name = window.get_name()
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^%s$" % name,
                        "windowfocus", "--sync", "%1"], check=True, timeout=WAIT,
                       stdout=subprocess.DEVNULL)
        cls.reader.until(name + " active", lambda: cls.reader.has(window, "ACTIVE"))

    def focus(self, node):
        """Gives node the focus as a click would, and waits until the reader hears it."""
        node.get_component_iface().grab_focus()
        self.reader.until("the focus on %r" % node.get_name(), lambda: self.reader.has(node, "FOCUSED"))

    def show_page(self, letter, caption):
        self.reader.press("alt+" + letter)
        # The tab row is named by its current tab.
        self.reader.until("page " + caption, lambda: self.reader.all(
            self.main, lambda n: n.get_role_name() == "page tab list" and n.get_name() == caption))

    def check_list(self, combo, entry):
        """A list says its caption as its name and its entry as its text."""
        self.assertEqual(combo.get_name(), " ".join(self.reader.labels(combo)))
        self.assertEqual(self.reader.text(combo), entry, combo.get_name())

    def items(self, combo):
        return self.reader.all(combo, lambda n: n.get_role_name() == "list item", showing_only=False)

    def entries(self, combo):
        return [item.get_name() for item in self.items(combo)]

    def selected_entries(self, combo):
        return [item.get_name() for item in self.items(combo) if self.reader.has(item, "SELECTED")]

    def test_1_every_settings_list_says_its_caption_and_its_entry_before_and_after_a_key(self):
        pages = [("g", "General"), ("h", "Characters"), ("t", "Tickets"), ("a", "Alignment")]
        seen = 0
        for letter, caption in pages:
            self.show_page(letter, caption)
            combos = self.reader.all(self.main, lambda n: n.get_role_name() == "combo box")
            self.assertTrue(combos, caption)
            for combo in combos:
                entries = self.entries(combo)
                self.assertEqual(entries[0], "No change")
                self.check_list(combo, "No change")
                self.reader.one(self.main, "push button", "Help on " + combo.get_name())
                self.focus(combo)
                mark = len(self.reader.events)
                self.reader.press("Down")
                self.reader.until("the new entry of " + combo.get_name(),
                                  lambda: self.reader.text(combo) == entries[1])
                self.check_list(combo, entries[1])
                # The pop-up list, the list's child, has the entry as its one selected item.
                self.assertEqual(self.selected_entries(combo), [entries[1]])
                # The change is told: the old words go, the new ones come, on the list itself.
                self.reader.until("the text change of " + combo.get_name(), lambda: any(
                    e[3] == entries[1] for e in self.reader.heard_since(mark, "object:text-changed:insert",
                                                                         combo.get_name())))
                self.reader.press("Up")
                self.reader.until("the first entry again", lambda: self.reader.text(combo) == "No change")
                seen += 1
        self.assertEqual(seen, 22)

    def test_2_the_cut_offset_slider_says_its_value_in_its_range(self):
        self.show_page("a", "Alignment")
        slider = self.reader.one(self.main, "slider", "Cut offset in mm")
        value = slider.get_value_iface()
        self.assertEqual((value.get_minimum_value(), value.get_maximum_value()), (-29.9, 29.9))
        self.assertAlmostEqual(value.get_current_value(), 0.0)
        self.focus(slider)
        mark = len(self.reader.events)
        self.reader.press("Down")
        self.reader.until("the slider's new value", lambda: abs(value.get_current_value() - 0.1) < 1e-6)
        self.reader.until("the value change", lambda: self.reader.heard_since(
            mark, "object:property-change:accessible-value", "Cut offset in mm"))
        box = self.reader.one(self.main, "text", "Cut offset")
        self.assertEqual(self.reader.text(box), " .1mm")  # as the box writes it
        self.reader.press("Up")
        self.reader.until("the slider back at 0", lambda: abs(value.get_current_value()) < 1e-6)

    def test_3_the_port_dialog_says_its_fields_and_the_device_line_follows_the_port(self):
        self.show_page("m", "Main")
        self.reader.one(self.main, "image", "Arvel KR52 printer")
        self.reader.press("alt+c")
        dialog = self.reader.window(self.app, "Port Settings")
        self.activate(dialog)
        self.addCleanup(self.close_port_dialog)
        port = self.reader.one(dialog, "combo box", "Port")
        self.check_list(port, "LPT1:")
        self.check_list(self.reader.one(dialog, "combo box", "Baud Rate"), "9600")
        self.assertEqual(self.reader.text(self.reader.one(dialog, "text", "Data Bits")), "8")
        self.assertEqual(self.reader.text(self.reader.one(dialog, "text", "Stop Bits")), "1")
        use = self.reader.one(dialog, "push button", "Use")
        self.assertTrue(self.reader.has(use, "IS_DEFAULT"))

        ready = "LPT1: is %s (set by KR52_LPT1 for this run). Present and ready." % self.lpt1
        self.reader.one(dialog, "label", ready)
        self.assertEqual(port.get_description(), ready)

        self.reader.until("the focus on the port list", lambda: self.reader.has(port, "FOCUSED"))
        mark = len(self.reader.events)
        self.reader.press("Down")
        missing = "LPT2: is %s (set by KR52_LPT2 for this run). Missing." % self.lpt2
        self.reader.one(dialog, "label", missing)
        self.check_list(port, "LPT2:")
        # Told twice: the line's new name, and the focused list's new description.
        self.reader.until("the device line's change", lambda: self.reader.heard_since(
            mark, "object:property-change:accessible-name", missing))
        self.reader.until("the port list's new description", lambda: self.reader.heard_since(
            mark, "object:property-change:accessible-description", "Port"))
        self.assertEqual(port.get_description(), missing)
        self.reader.press("Up")
        self.reader.one(dialog, "label", ready)

        baud = self.reader.one(dialog, "combo box", "Baud Rate")
        self.focus(baud)
        mark = len(self.reader.events)
        self.reader.press("Down")
        self.reader.until("the new baud rate", lambda: self.reader.text(baud) == "19200")
        self.reader.until("the baud rate's text change", lambda: any(
            e[3] == "19200" for e in self.reader.heard_since(mark, "object:text-changed:insert", "Baud Rate")))
        self.check_list(port, "LPT1:")
        self.reader.press("Up")
        self.reader.until("the first baud rate again", lambda: self.reader.text(baud) == "9600")

    def close_port_dialog(self):
        dialog = self.reader.window(self.app, "Port Settings")
        self.reader.press("alt+c")  # "Cancel"
        self.reader.until("the port dialog closed", lambda: not self.reader.has(dialog, "SHOWING"))
        self.activate(self.main)

    def test_4_the_help_window_is_named_by_its_page_and_read_with_the_caret(self):
        self.show_page("g", "General")
        help_button = self.reader.one(self.main, "push button", "Help on Printer Command Mode")
        self.focus(help_button)
        self.reader.press("Return")
        window = self.reader.window(self.app, "Printer Command Mode")
        self.activate(window)
        page = self.reader.until("the page text", lambda: next(iter(self.reader.all(
            window, lambda n: n.get_text_iface() is not None and n.get_role_name() == "text")), None))
        self.assertTrue(self.reader.has(page, "FOCUSED"))
        self.assertTrue(self.reader.has(page, "MULTI_LINE"))
        text = page.get_text_iface()
        self.assertEqual(text.get_caret_offset(), 0)
        # Line by line, as a screen reader reads with the arrow keys (the bridge answers the
        # boundary form of the question, which screen readers still ask).
        line = self.reader.Atspi.TextBoundaryType.LINE_START
        self.assertEqual(text.get_text_at_offset(0, line).content.strip(), "Printer Command Mode")
        mark = len(self.reader.events)
        self.reader.press("Down")
        self.reader.until("the caret moved", lambda: self.reader.heard_since(mark, "object:text-caret-moved"))
        caret = text.get_caret_offset()
        self.assertGreater(caret, 0)
        second = text.get_text_at_offset(caret, line)
        self.assertEqual(second.start_offset, caret)
        self.assertTrue(second.content.strip())
        self.reader.press("alt+c")  # "Close"
        self.reader.until("the help window closed", lambda: not self.reader.has(window, "SHOWING"))
        self.activate(self.main)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
