#!/usr/bin/env python3
# A placed "Project" widget edited through its context menu, as a screen-reader, keyboard and
# pointer user meets it, on a virtual X display with a window manager (openbox), or on sway when
# run with the argument "sway", and a private session bus (run in dbus-run-session): the fake
# service offers 200 projects, of which the widgets keep the first ten to choose from; typing in
# the search field filters them, Return picks the first one shown, the period changes through
# the accessible selection; each change is saved at once and the host draws the widget again,
# which the screen then shows. Escape closes the editor; the widget is dragged to another place,
# saved in points, and shown there; another widget is removed through its menu.
import json, os, subprocess, tempfile, time
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from desk_atspi import (ON_SWAY, eventually, private_desktop, read, shows,  # noqa: E402
                        report, skip_without, stop, window_manager)

BIN, R = os.environ["VX_BIN"], Atspi.Role
FRUITS = ["apple", "banana", "cherry", "damson", "elder", "fig", "grape", "kiwi"]
NAMES = [f"{FRUITS[i % 8]}{i}.example" for i in range(1, 11)]


def find(node, role, name=None):
    found, stack = [], [node]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        if node.get_role() == role and name in (None, node.get_name()):
            found.append(node)
        stack += [node.get_child_at_index(i) for i in reversed(range(node.get_child_count()))]
    return found


def everywhere(role, name):
    desktop = Atspi.get_desktop(0)
    return [n for i in range(desktop.get_child_count())
            for n in find(desktop.get_child_at_index(i), role, name)]


def showing(node):
    node.clear_cache()
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def focused(node):
    node.clear_cache()
    return node.get_state_set().contains(Atspi.StateType.FOCUSED)


def said(node):
    node.clear_cache()
    return node.get_description()


def press(keysym):
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)


def drag(start, end):
    Atspi.generate_mouse_event(*start, "b1p")
    for step in range(1, 11):
        Atspi.generate_mouse_event(start[0] + (end[0] - start[0]) * step // 10,
                                   start[1] + (end[1] - start[1]) * step // 10, "abs")
        time.sleep(0.05)
    Atspi.generate_mouse_event(*end, "b1r")


skip_without(*(("VX_SWAY", "VX_SWAYMSG") if ON_SWAY else ("VX_OPENBOX",)))
with tempfile.TemporaryDirectory() as work:
    env, xvfb = private_desktop(work)
    children, host, results = [xvfb], f"{BIN}/desktop/vantorix-widget-host", []
    placements, index = f"{work}/config/vantorix-widget-host/widgets.json", f"{work}/out/index.json"

    def widget(id, file=placements, key="widgets"):
        return next((w for w in (json.loads(read(file) or "{}").get(key) or []) if w["id"] == id),
                    None)

    def menu(x, y, item):
        Atspi.generate_mouse_event(x, y, "b3c")
        found = eventually(lambda: [n for n in everywhere(R.MENU_ITEM, item) if showing(n)])
        found[0].do_action(0)

    try:
        children += filter(None, [window_manager(env)])
        fake = subprocess.Popen([os.environ["VX_FAKE_SERVICE"], "200"], env=env,
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        children.append(fake)
        session = {"api": fake.stdout.readline().decode().strip(), "token": "t"}
        subprocess.run([f"{BIN}/keyferry/keyferry", "save"], env=env, check=True,
                       input=json.dumps(session).encode())
        ids = [subprocess.run([host, "place", "--kind", kind, "--family", "systemSmall", "--x", x,
                               "--y", "0"], env=env, check=True, capture_output=True, text=True)
               .stdout.strip() for kind, x in (("ProjectSummaryWidget", "0"), ("WaitingWidget", "400"))]
        children.append(subprocess.Popen([host, "run", "--output", f"{work}/out"], env=env))
        first = eventually(lambda: all((widget(i, index) or {}).get("image") for i in ids)) and \
            widget(ids[0], index)

        def shown_at(x, y):
            return eventually(lambda: shows(f"{work}/out/{widget(ids[0], index)['image']}", x, y))
        results.append(("the screen shows the widget's drawing at its place", shown_at(0, 0)))
        if ON_SWAY:  # a layer surface takes the keyboard once clicked: a right click, then Escape
            Atspi.generate_mouse_event(85, 85, "b3c")
            eventually(lambda: [n for n in everywhere(R.MENU_ITEM, "Edit Widget…") if showing(n)])
            press(0xFF1B)

        # From the keyboard: the Menu key on the widget's focused link, Return on the first item.
        link = eventually(lambda: [n for n in everywhere(R.LINK, None)
                                   if n.get_extents(Atspi.CoordType.SCREEN).x < 200])[0]
        link.grab_focus()
        eventually(lambda: focused(link))
        press(0xFF67)
        results.append(("the Menu key opens the menu", eventually(
            lambda: [n for n in everywhere(R.MENU_ITEM, "Edit Widget…") if showing(n)])))
        press(0xFF0D)
        editor = eventually(lambda: everywhere(R.FRAME, "Edit Widget"))[0]
        rows = eventually(lambda: len(found := find(editor, R.LIST_ITEM)) == len(NAMES) and found)
        menu(85, 85, "Edit Widget…")
        time.sleep(1)
        results.append(("editing again brings back the open editor",
                        len(everywhere(R.FRAME, "Edit Widget")) == 1))
        if ON_SWAY:  # the right click gave the widget the keyboard; the user clicks the editor
            subprocess.run([os.environ["VX_SWAYMSG"], '[title="Edit Widget"]', "focus"], env=env,
                           check=True, stdout=subprocess.DEVNULL)
        search = find(editor, R.TEXT, "Search projects")
        period = find(editor, R.COMBO_BOX, "Period")
        results += [
            ("the editor names its fields", len(search) == 1 and len(period) == 1),
            ("the project list names every project in order",
             rows and [r.get_name() for r in rows] == NAMES),
            ("a widget without a project has none chosen",
             rows and not any(said(r) for r in rows))]
        search[0].grab_focus()
        eventually(lambda: focused(search[0]))
        press(0xFF09)
        row = eventually(lambda: [r for r in rows if focused(r)])
        press(0xFF09)
        press(0xFF09)
        results.append(("Tab goes from the search field to the projects, the period and back",
                        row and eventually(lambda: focused(search[0]))))
        search[0].grab_focus()
        eventually(lambda: focused(search[0]))
        Atspi.generate_keyboard_event(0, "CHERRY1", Atspi.KeySynthType.STRING)
        wanted = [n for n in NAMES if "cherry1" in n]
        results.append(("typing filters the list by name",
                        eventually(lambda: [r.get_name() for r in rows if showing(r)] == wanted)))
        press(0xFF0D)  # Return picks the first project shown
        results.append(("the pick is saved at once", eventually(
            lambda: widget(ids[0])["configuration"].get("project") == "project-10")))
        results.append(("and the widget is drawn with it", eventually(
            lambda: any(t["text"] == wanted[0] for t in (widget(ids[0], index) or {}).get("texts", [])))))
        results.append(("the chosen row is marked", eventually(
            lambda: [r.get_name() for r in rows if said(r) == "Chosen"] == [wanted[0]])))
        drawn = widget(ids[0], index)
        period[0].select_child(1)
        results.append(("a new period is saved at once", eventually(
            lambda: widget(ids[0])["configuration"].get("period") == "days28")))
        results.append(("and the widget is drawn again", eventually(
            lambda: (widget(ids[0], index) or {}).get("image") not in (None, drawn["image"]))))
        period[0].grab_focus()
        press(0xFF1B)  # Escape
        results.append(("Escape closes the editor",
                        eventually(lambda: not everywhere(R.FRAME, "Edit Widget"))))
        results.append(("the screen shows the widget drawn again", shown_at(0, 0)))

        drag((85, 85), (385, 485))  # the corner wanted at (300, 400): the nearest grid spot
        moved = eventually(lambda: (at := widget(ids[0])["position"]) != {"x": 0, "y": 0} and at)
        results.append(("a dragged widget is saved on the grid near where it was dropped",
                        moved and abs(moved["x"] - 300) <= 8 and abs(moved["y"] - 400) <= 8
                        and moved["x"] % 8 == 0 and moved["y"] % 8 == 0))
        results.append(("and shown there", moved and shown_at(moved["x"], moved["y"])))

        menu(485, 85, "Remove Widget")
        results.append(("the menu removes the other widget, and the host lets it go",
                        eventually(lambda: widget(ids[1]) is None and widget(ids[1], index) is None)))
        results.append(("the first widget stays", widget(ids[0]) and first))
    finally:
        stop(children)
report(results, 19)
