#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Installs the built program into a temporary root, starts the installed
quibex under Xvfb as its own process, as its menu entry does, and uses it only
from outside: the mouse and keyboard through xdotool, what a window manager
sees through xprop, what a screen reader hears through the accessibility bus.

Run inside a private session bus:
  dbus-run-session -- installed_program.py BUILD
or, for the program a package installed under /usr (debian/tests):
  dbus-run-session -- installed_program.py --installed
"""
import configparser
import os
import re
import shutil
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import GLib

from xsession import Deadline, XSession, window_title

TITLE = window_title()


def install(build, root):
    env = dict(os.environ, DESTDIR=root)
    subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(root, "usr")


def menu_command(prefix):
    entry = configparser.ConfigParser(interpolation=None)
    entry.read(os.path.join(prefix, "share/applications/quibex.desktop"), encoding="utf-8")
    return entry["Desktop Entry"]["Exec"].split()


def find(root, deadline, what, predicate):
    """The first accessible under root that matches, waiting until it shows."""
    return deadline.wait_for(what, lambda: pyatspi.findDescendant(root, predicate))


def named(role, name):
    return lambda acc: acc is not None and acc.getRole() == role and acc.name == name


def centre(acc):
    box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width / 2, box.y + box.height / 2


def application(deadline):
    def probe():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "quibex":
                return app
        return None
    return deadline.wait_for("quibex on the accessibility bus", probe, step=0.3)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def labels_of(acc):
    return [relation.getTarget(i).name for relation in acc.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(relation.getNTargets())]


GAUGES = ("Fichier en cours", "Fichiers traités")


def heard_by_a_screen_reader(window, deadline):
    """What a screen reader announces: the window, the drive list by its
    label with the drive it shows (its description, the one value a screen
    reader reads off it), the progress displays as progress bars that have
    no value while empty."""
    check(window.getRole() == pyatspi.ROLE_FRAME, "the window is announced as " + window.getRoleName())
    drives = find(window, deadline, "the drive list", lambda acc: acc is not None
                  and acc.getRole() == pyatspi.ROLE_COMBO_BOX)
    check(labels_of(drives) == ["Lecteurs"], "the drive list is labelled %r" % labels_of(drives))
    # Qt names a drop-down list after the item it shows.
    check(drives.description == drives.name != "", "the drive list tells %r of %r"
          % (drives.description, drives.name))
    for name in GAUGES:
        gauge = find(window, deadline, name, named(pyatspi.ROLE_PROGRESS_BAR, name))
        check(gauge.queryValue().maximumValue == 100, name + " has no value")
        check(gauge.getState().contains(pyatspi.STATE_INDETERMINATE), name + " has a value while empty")


class FocusHeard:
    """The focus a screen reader hears of, event by event: the name and
    description of each object the bus says took the focus, and the control
    it is in."""

    def __init__(self, window):
        self.window = window
        self.heard = []
        self.context = GLib.MainContext.default()

    def __enter__(self):
        pyatspi.Registry.registerEventListener(self.note, "focus:")
        return self

    def __exit__(self, *_):
        pyatspi.Registry.deregisterEventListener(self.note, "focus:")

    def note(self, event):
        source = event.source
        if source is None:
            self.heard.append((None, None, None))
            return
        # The control it is in: a drop-down list before a list, since a
        # drop-down holds a list. A row replaced since has no control.
        within = None
        try:
            for role in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST):
                if pyatspi.findAncestor(source, lambda acc: acc is not None and acc.getRole() == role):
                    within = role
                    break
        except GLib.Error:
            within = "gone"
        self.heard.append((source.name, source.description, within))

    def last(self):
        """The last focus heard of, once every event the program sent
        before this call is in: a question asked of the program is answered
        after the events it sent before it."""
        self.window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        while self.context.pending():
            self.context.iteration(False)
        return self.heard[-1] if self.heard else (None, None, None)


def keyboard_heard(x, x_window, window, home, deadline):
    """Tab into the folder list: a screen reader hears the open folder and
    its level. Tab into the file list: it hears the file under the focus
    frame. Ctrl+Down moves the frame, heard too, and picks nothing."""
    with FocusHeard(window) as focus:
        # No window manager gives the window the keyboard: xdotool does.
        x.run("xdotool", "windowfocus", "--sync", x_window)
        x.keys("Tab")
        # Its level counts from its drive's root, wherever that is mounted.
        deadline.wait_for("the open folder announced", lambda: focus.last()[0] == os.path.basename(home)
                          and re.fullmatch("niveau [0-9]+", focus.last()[1] or ""))
        x.keys("Tab")
        deadline.wait_for("the framed file announced", lambda: focus.last()[0] == "partie1.txt")
        x.keys("ctrl+Down")
        deadline.wait_for("the moved frame announced", lambda: focus.last()[0] == "partie10.txt")
    chosen = find(window, deadline, "the selection", named(pyatspi.ROLE_LIST, "Fichiers sélectionnés"))
    check(chosen.childCount == 0, "moving the focus frame picked a file")


def names_of(chosen):
    return [chosen.getChildAtIndex(i).name for i in range(chosen.childCount)]


def moved_without_focus_heard(x, window, chosen, deadline):
    """"Bas" moves the highlighted entry; the focus goes to the button and
    stays there, and nothing on the bus says otherwise."""
    x.click(*centre(chosen.getChildAtIndex(0)))
    with FocusHeard(window) as focus:
        x.click(*centre(find(window, deadline, "Bas", named(pyatspi.ROLE_PUSH_BUTTON, "Bas"))))
        deadline.wait_for("the entry moved down", lambda: names_of(chosen) == [
            "partie9.txt", "partie1.txt", "partie10.txt"])
        check(focus.last()[0] == "Bas", "moving the entry was heard as focus on %r" % (focus.last(),))
    x.click(*centre(find(window, deadline, "Haut", named(pyatspi.ROLE_PUSH_BUTTON, "Haut"))))
    deadline.wait_for("the entry moved back", lambda: names_of(chosen) == [
        "partie1.txt", "partie9.txt", "partie10.txt"])


class ValuesHeard:
    """The progress displays' values as a screen reader reads them when
    told they changed: the value then, or none when it has none."""

    def __init__(self):
        self.heard = []

    def __enter__(self):
        pyatspi.Registry.registerEventListener(self.note, "object:property-change:accessible-value")
        return self

    def __exit__(self, *_):
        pyatspi.Registry.deregisterEventListener(self.note, "object:property-change:accessible-value")

    def note(self, event):
        source = event.source
        if source is None or source.getRole() != pyatspi.ROLE_PROGRESS_BAR:
            return
        none = source.getState().contains(pyatspi.STATE_INDETERMINATE)
        self.heard.append((source.name, None if none else source.queryValue().currentValue))


def drives_heard(x, window, home, volume, deadline):
    """A volume mounted in the open folder, opened from the folder list: the
    folder list's row is heard, not the drive list, which follows without
    the focus. The drive list changed with the keys is heard with the drive
    it now shows: its drop-down's row, inside it."""
    folders = find(window, deadline, "the folder list", named(pyatspi.ROLE_LIST, "Dossiers"))
    drives = find(window, deadline, "the drive list", lambda acc: acc is not None
                  and acc.getRole() == pyatspi.ROLE_COMBO_BOX)
    opened = find(folders, deadline, "the open folder", lambda acc: acc is not None
                  and acc.getRole() == pyatspi.ROLE_LIST_ITEM and acc.name == os.path.basename(home))
    with FocusHeard(window) as focus:
        x.click(*centre(opened))
        deadline.wait_for("the open folder heard", lambda: focus.last()[0] == os.path.basename(home))
        told = len(focus.heard)
        x.keys("Down", "Return")
        deadline.wait_for("the volume opened", lambda: focus.last() and drives.name == volume)
        heard = focus.heard[told:]
        check(focus.last() == (volume, "niveau 1", pyatspi.ROLE_LIST)
              and all(within != pyatspi.ROLE_COMBO_BOX for _, _, within in heard),
              "opening the volume was heard as %r" % heard)
        x.keys("shift+Tab")
        deadline.wait_for("the drive list focused", lambda: focus.last() == (volume, volume, None))
        for key in ("Up", "Down"):
            told = len(focus.heard)
            x.keys(key)
            # A drive that cannot be read is refused: the one shown again is heard.
            deadline.wait_for("the drive heard after " + key, lambda: focus.last()
                              and len(focus.heard) > told and focus.last()[2] == pyatspi.ROLE_COMBO_BOX)
            heard = focus.heard[told:]
            check(focus.last()[:2] == (drives.name, "")
                  and all(within == pyatspi.ROLE_COMBO_BOX for _, _, within in heard),
                  "%r shown, %r heard" % (drives.name, heard))


def escape_stops_a_join(x, app, window, program, home, deadline):
    """Escape during a join: the copy stops, the folder is as before, no
    message, the selection and the name kept, the focus back on "Créer".
    The join is made slow from outside: strace, attached to the program,
    holds each write of the copy for a while."""
    chosen = find(window, deadline, "the selection", named(pyatspi.ROLE_LIST, "Fichiers sélectionnés"))
    files = find(window, deadline, "the file list", named(pyatspi.ROLE_LIST, "Fichiers du dossier"))
    x.click(*centre(find(files, deadline, "partie1.txt", named(pyatspi.ROLE_LIST_ITEM, "partie1.txt"))))
    deadline.wait_for("a selected file", lambda: chosen.childCount == 1)
    x.type("arret")
    slow = subprocess.Popen(["strace", "-f", "-qq", "-o", "/dev/null", "-p", str(program.pid),
                             "-e", "trace=pwrite64,copy_file_range",
                             "-e", "inject=pwrite64,copy_file_range:delay_enter=3000000"],
                            stderr=subprocess.DEVNULL)
    try:
        # Attached once the program's threads are traced; without the right
        # to trace it (another account's rules), the step says so.
        def traced():
            with open("/proc/%d/status" % program.pid) as status:
                return "\nTracerPid:\t0\n" not in status.read()
        deadline.wait_for("strace attached", lambda: slow.poll() is not None or traced(), step=0.05)
        if slow.poll() is not None:
            print("strace cannot attach to the program here: Escape not tried")
            return
        create = find(window, deadline, "Créer", named(pyatspi.ROLE_PUSH_BUTTON, "Créer"))
        x.click(*centre(create))
        gauge = find(window, deadline, "the file display", named(pyatspi.ROLE_PROGRESS_BAR, "Fichier en cours"))
        deadline.wait_for("a join under way, told how to stop", lambda: gauge.description.startswith("Échap"))
        x.keys("Escape")
        deadline.wait_for("the join stopped", lambda: gauge.description == "")
    finally:
        slow.terminate()
        slow.wait()
    check(not os.path.exists(os.path.join(home, "arret.txt")), "the stopped join made its file")
    check(not [n for n in os.listdir(home) if n.startswith(".quibex-")], "the stopped join left files")
    check(not pyatspi.findDescendant(app, lambda acc: acc is not None and acc.getRole() == pyatspi.ROLE_ALERT),
          "the stopped join showed a message")
    check(chosen.childCount == 1, "the selection was not kept")
    name_box = find(window, deadline, "the name box", named(pyatspi.ROLE_TEXT, "Fichier à créer"))
    check(name_box.queryText().getText(0, -1) == "arret.txt", "the name was not kept")
    deadline.wait_for("the focus on Créer", lambda: create.getState().contains(pyatspi.STATE_FOCUSED))


def use_the_program(x, x_window, app, program, home, volume, deadline):
    window = find(app, deadline, "the main window", lambda acc: acc is not None and acc.name == TITLE)
    heard_by_a_screen_reader(window, deadline)
    keyboard_heard(x, x_window, window, home, deadline)
    files = find(window, deadline, "the file list", named(pyatspi.ROLE_LIST, "Fichiers du dossier"))
    for name in ("partie10.txt", "partie9.txt", "partie1.txt"):
        item = find(files, deadline, name, named(pyatspi.ROLE_LIST_ITEM, name))
        x.click(*centre(item))
    chosen = find(window, deadline, "the selection", named(pyatspi.ROLE_LIST, "Fichiers sélectionnés"))
    deadline.wait_for("three selected files", lambda: chosen.childCount == 3)

    # Typing a name after a pick: the name box has the focus, the caret
    # before the proposed extension.
    name_box = find(window, deadline, "the name box", named(pyatspi.ROLE_TEXT, "Fichier à créer"))
    x.type("tout")
    text = name_box.queryText()
    deadline.wait_for("the typed name", lambda: text.getText(0, -1) == "tout.txt")

    x.click(*centre(find(window, deadline, "Tri évolué", named(pyatspi.ROLE_PUSH_BUTTON, "Tri évolué"))))
    order = deadline.wait_for("the sorted selection", lambda: names_of(chosen) == [
        "partie1.txt", "partie9.txt", "partie10.txt"])
    check(order, "Tri évolué did not order the files by their numbers")
    moved_without_focus_heard(x, window, chosen, deadline)

    for caption in ("Ajout retour chariot (ASCII 13)", "Ajout changement de ligne (ASCII 10)"):
        box = find(window, deadline, caption, named(pyatspi.ROLE_CHECK_BOX, caption))
        x.click(*centre(box))
        deadline.wait_for(caption + " ticked", lambda: box.getState().contains(pyatspi.STATE_CHECKED))

    with ValuesHeard() as values:
        x.click(*centre(find(window, deadline, "Créer", named(pyatspi.ROLE_PUSH_BUTTON, "Créer"))))
        message = find(app, deadline, "the success message",
                       lambda acc: acc is not None and acc.getRole() == pyatspi.ROLE_LABEL
                       and acc.name == "Fichier tout.txt : création Ok !")
        check(message, "no success message")
        dialog = x.find_window("CREATION DE FICHIER")
        check(dialog, "the success message has no window of its own")
        x.click(*centre(find(app, deadline, "OK", named(pyatspi.ROLE_PUSH_BUTTON, "OK"))))
        deadline.wait_for("the selection emptied", lambda: chosen.childCount == 0)
        # The displays are named, and an emptied one is never heard as 0.
        check(values.heard and all(name in GAUGES for name, _ in values.heard),
              "the displays told %r" % values.heard)
        check(all(value != 0 for _, value in values.heard), "a display told 0: %r" % values.heard)

    with open(os.path.join(home, "tout.txt"), "rb") as joined:
        content = joined.read()
    check(content == b"un\r\nneuf\r\ndix\r\n", "joined bytes: %r" % content)
    escape_stops_a_join(x, app, window, program, home, deadline)
    if volume:
        drives_heard(x, window, home, volume, deadline)


def main():
    deadline = Deadline(90)
    work = tempfile.mkdtemp(prefix="quibex-e2e-")
    x = None
    volume = None
    try:
        if sys.argv[1] == "--installed":
            prefix = "/usr"
        else:
            prefix = install(os.path.abspath(sys.argv[1]), os.path.join(work, "root"))
        home = os.path.join(work, "home")
        os.mkdir(home)
        for name, content in (("partie1.txt", b"un"), ("partie9.txt", b"neuf"), ("partie10.txt", b"dix")):
            with open(os.path.join(home, name), "wb") as f:
                f.write(content)

        # A volume in the home folder, when this test may mount one: the
        # folder list can then enter another drive, and the drive list follow.
        volume = os.path.join(home, "cle")
        os.mkdir(volume)
        if os.geteuid() != 0 or subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", volume],
                                               stderr=subprocess.DEVNULL).returncode != 0:
            print("not root: the drive list's changes are not heard here")
            volume = None

        x = XSession(deadline)
        env = x.env(HOME=home, PATH=os.path.join(prefix, "bin") + ":" + os.environ.get("PATH", ""),
                    XDG_DATA_DIRS=os.path.join(prefix, "share") + ":/usr/share",
                    QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        program = x.start(menu_command(prefix), env=env, cwd=home)

        window = x.find_window(TITLE)
        icon = x.run("xprop", "-id", window, "_NET_WM_ICON").stdout
        for side in (16, 22, 24, 32, 48, 64):
            check("Icon (%d x %d)" % (side, side) in icon, "the window's icon has no %d-pixel image" % side)
        # Desktops match the window to its menu entry (StartupWMClass) by its class.
        wm_class = x.run("xprop", "-id", window, "WM_CLASS").stdout
        check('"quibex", "quibex"' in wm_class, "the window's class is " + wm_class)

        use_the_program(x, window, application(deadline), program, home, volume, deadline)
        check(program.poll() is None, "the program ended on its own")
        print("1 passed, 0 failed")
    finally:
        if x:
            x.close()
        if volume:
            subprocess.run(["umount", "-l", volume])
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
