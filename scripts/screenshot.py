#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes the README's screenshot: the built window at 96 dpi under Xvfb, on a
folder of sample files, with a few files picked from the keyboard alone.

Usage: screenshot.py BUILD_DIR OUTPUT.png
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xsession import Deadline, XSession, window_title  # noqa: E402

SAMPLES = ["chapitre1.txt", "chapitre2.txt", "chapitre10.txt", "annexe.txt", "notes.md"]


def main():
    build, output = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    deadline = Deadline(60)
    work = tempfile.mkdtemp(prefix="quibex-shot-")
    x = None
    try:
        # A copy placed in a folder of its own opens on that folder.
        folder = os.path.join(work, "Documents")
        os.mkdir(folder)
        shutil.copy(os.path.join(build, "quibex"), folder)
        for name in SAMPLES:
            with open(os.path.join(folder, name), "w") as f:
                f.write(name + "\n")
        x = XSession(deadline)
        x.start([os.path.join(folder, "quibex")], env=x.env(QT_QPA_PLATFORM="xcb", LANG="C.UTF-8"))
        window = x.find_window(window_title())
        time.sleep(1)
        # Drive list, folder list, file list: two Tabs; the first arrow press
        # picks the first file and sends the focus to the name box, four
        # Shift+Tabs come back to the file list for the next file.
        x.keys("Tab", "Tab", "Down")
        for _ in range(3):
            x.keys("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "Down")
        x.keys("Home")
        x.type("livre")
        time.sleep(1)
        x.run("xdotool", "mousemove", "0", "0")
        subprocess.run(["import", "-window", window, "png:" + output], env=x.env(), check=True)
        print(output)
    finally:
        if x:
            x.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
