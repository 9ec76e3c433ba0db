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


def heard_by_a_screen_reader(window, deadline):
    """What a screen reader announces: the window, the drive list by its
    label, the progress displays as progress bars with a value."""
    check(window.getRole() == pyatspi.ROLE_FRAME, "the window is announced as " + window.getRoleName())
    drives = find(window, deadline, "the drive list", lambda acc: acc is not None
                  and acc.getRole() == pyatspi.ROLE_COMBO_BOX)
    check(labels_of(drives) == ["Lecteurs"], "the drive list is labelled %r" % labels_of(drives))
    for name, caption in (("Progression du fichier", "Fichier:"), ("Progression de la création", "% traité:")):
        gauge = find(window, deadline, name, named(pyatspi.ROLE_PROGRESS_BAR, name))
        check(gauge.queryValue().maximumValue == 100, name + " has no value")
        check(labels_of(gauge) == [caption], "%s is labelled %r" % (name, labels_of(gauge)))


def keyboard_heard(x, x_window, window, deadline):
    """Tab into the file list: a screen reader hears the file under the focus
    frame. Ctrl+Down moves the frame, heard too, and picks nothing."""
    focused = []
    def listener(event):
        focused.append(event.source.name if event.source else None)
    pyatspi.Registry.registerEventListener(listener, "focus:")
    context = GLib.MainContext.default()
    def last_heard(name):
        while context.pending():
            context.iteration(False)
        return bool(focused) and focused[-1] == name
    try:
        # No window manager gives the window the keyboard: xdotool does.
        x.run("xdotool", "windowfocus", "--sync", x_window)
        x.keys("Tab", "Tab")
        deadline.wait_for("the framed file announced", lambda: last_heard("partie1.txt"))
        x.keys("ctrl+Down")
        deadline.wait_for("the moved frame announced", lambda: last_heard("partie10.txt"))
    finally:
        pyatspi.Registry.deregisterEventListener(listener, "focus:")
    chosen = find(window, deadline, "the selection", named(pyatspi.ROLE_LIST, "Fichiers sélectionnés"))
    check(chosen.childCount == 0, "moving the focus frame picked a file")


def use_the_program(x, x_window, app, home, deadline):
    window = find(app, deadline, "the main window", lambda acc: acc is not None and acc.name == TITLE)
    heard_by_a_screen_reader(window, deadline)
    keyboard_heard(x, x_window, window, deadline)
    files = find(window, deadline, "the file list", named(pyatspi.ROLE_LIST, "Fichiers du dossier"))
    for name in ("partie10.txt", "partie9.txt", "partie1.txt"):
        item = find(files, deadline, name, named(pyatspi.ROLE_LIST_ITEM, name))
        x.click(*centre(item))
    chosen = find(window, deadline, "the selection", named(pyatspi.ROLE_LIST, "Fichiers sélectionnés"))
    deadline.wait_for("three selected files", lambda: chosen.childCount == 3)

    x.click(*centre(find(window, deadline, "Tri évolué", named(pyatspi.ROLE_PUSH_BUTTON, "Tri évolué"))))
    order = deadline.wait_for("the sorted selection", lambda: [
        chosen.getChildAtIndex(i).name for i in range(chosen.childCount)] == [
        "partie1.txt", "partie9.txt", "partie10.txt"])
    check(order, "Tri évolué did not order the files by their numbers")

    name_box = find(window, deadline, "the name box", named(pyatspi.ROLE_TEXT, "Fichier à créer"))
    x.click(*centre(name_box))
    x.keys("Home")
    x.type("tout")
    text = name_box.queryText()
    deadline.wait_for("the typed name", lambda: text.getText(0, -1) == "tout.txt")

    for caption in ("Ajout retour chariot (ASCII 13)", "Ajout changement de ligne (ASCII 10)"):
        box = find(window, deadline, caption, named(pyatspi.ROLE_CHECK_BOX, caption))
        x.click(*centre(box))
        deadline.wait_for(caption + " ticked", lambda: box.getState().contains(pyatspi.STATE_CHECKED))

    x.click(*centre(find(window, deadline, "Créer", named(pyatspi.ROLE_PUSH_BUTTON, "Créer"))))
    message = find(app, deadline, "the success message",
                   lambda acc: acc is not None and acc.getRole() == pyatspi.ROLE_LABEL
                   and acc.name == "Fichier tout.txt : création Ok !")
    check(message, "no success message")
    dialog = x.find_window("CREATION DE FICHIER")
    check(dialog, "the success message has no window of its own")
    x.click(*centre(find(app, deadline, "OK", named(pyatspi.ROLE_PUSH_BUTTON, "OK"))))
    deadline.wait_for("the selection emptied", lambda: chosen.childCount == 0)

    with open(os.path.join(home, "tout.txt"), "rb") as joined:
        content = joined.read()
    check(content == b"un\r\nneuf\r\ndix\r\n", "joined bytes: %r" % content)


def main():
    deadline = Deadline(90)
    work = tempfile.mkdtemp(prefix="quibex-e2e-")
    x = None
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

        x = XSession(deadline)
        env = x.env(HOME=home, PATH=os.path.join(prefix, "bin") + ":" + os.environ.get("PATH", ""),
                    XDG_DATA_DIRS=os.path.join(prefix, "share") + ":/usr/share",
                    QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        program = x.start(menu_command(prefix), env=env, cwd=home)

        window = x.find_window(TITLE)
        icon = x.run("xprop", "-id", window, "_NET_WM_ICON").stdout
        check("32 x 32" in icon, "the window carries no 32 x 32 icon: " + icon[:200])
        # Desktops match the window to its menu entry (StartupWMClass) by its class.
        wm_class = x.run("xprop", "-id", window, "WM_CLASS").stdout
        check('"quibex", "quibex"' in wm_class, "the window's class is " + wm_class)

        use_the_program(x, window, application(deadline), home, deadline)
        check(program.poll() is None, "the program ended on its own")
        print("1 passed, 0 failed")
    finally:
        if x:
            x.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
