# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X server and the tools that act on it as a person would.

Xvfb stands in for the screen, xdotool for the mouse and keyboard, xprop for
what a window manager reads off a window, and the accessibility bus for what
a screen reader hears. Every process started here is ended by close().
"""
import os
import re
import signal
import subprocess
import time


def window_title():
    """The main window's title, with the version that project() in the top
    CMakeLists.txt gives, the one place it is written."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt")
    with open(top, encoding="utf-8") as f:
        version = re.search(r"^project\(quibex VERSION ([0-9.]+)", f.read(), re.M).group(1)
    return "QUIBEX %s Fr" % version


class Deadline:
    """One time limit for the whole test: nothing waits past it."""

    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        return max(0.0, self.end - time.monotonic())

    def wait_for(self, what, probe, step=0.1):
        while True:
            found = probe()
            if found:
                return found
            if self.left() <= 0:
                raise TimeoutError("still waiting for " + what)
            time.sleep(step)


class XSession:
    def __init__(self, deadline):
        self.deadline = deadline
        self.processes = []
        read_end, write_end = os.pipe()
        # -displayfd picks a free display and writes its number once ready.
        # -noreset: without it the server resets each time its last client
        # leaves, and a program connecting during the reset is refused.
        self.server = self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                  "-dpi", "96", "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def start(self, command, env=None, **options):
        # Each process leads its own group, so that close() ends its children too.
        process = subprocess.Popen(command, env=env, start_new_session=True,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)
        self.processes.append(process)
        return process

    def env(self, **extra):
        env = dict(os.environ, DISPLAY=self.display)
        env.update(extra)
        return env

    def run(self, *command):
        return subprocess.run(list(command), env=self.env(), capture_output=True, text=True,
                              timeout=max(1.0, self.deadline.left()))

    def find_window(self, title):
        def probe():
            found = self.run("xdotool", "search", "--onlyvisible", "--name", "^" + title + "$")
            ids = found.stdout.split()
            return ids[0] if ids else None
        return self.deadline.wait_for("a window titled " + title, probe)

    def click(self, x, y):
        self.run("xdotool", "mousemove", "--sync", str(int(x)), str(int(y)), "click", "1")

    def keys(self, *names):
        self.run("xdotool", "key", "--delay", "30", *names)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
