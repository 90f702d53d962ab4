#!/usr/bin/env python3
# A placed "Needs you" widget as a screen reader meets it, on a virtual X display (or sway when
# run with the argument "sway") and a private session bus (run in dbus-run-session; AT-SPI's bus
# starts on it): the window reads the header, the rows as links named by what they say, then the
# footer; a link activated through AT-SPI, reached with Tab and opened with Return, or clicked,
# opens its URL with the desktop's handler (one in the test's own XDG folders that records the
# URL).
import json, os, re, subprocess, tempfile, time
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from desk_atspi import (ON_SWAY, eventually, private_desktop, read, report,  # noqa: E402
                        skip_without, stop)

BIN, LINKS = os.environ["VX_BIN"], (Atspi.Role.LINK, Atspi.Role.PUSH_BUTTON)


def readable(node):
    found = [node] if node.get_role() in LINKS + (Atspi.Role.LABEL,) else []
    return found + [n for i in range(node.get_child_count())
                    for n in readable(node.get_child_at_index(i))]


def tree(links):
    desktop = Atspi.get_desktop(0)
    for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
        nodes = readable(app) if app.get_name() == "vantorix-widget-host" else []
        if len([n for n in nodes if n.get_role() in LINKS]) == len(links):
            return nodes


skip_without(*(("VX_SWAY",) if ON_SWAY else ()))
with tempfile.TemporaryDirectory() as work:
    env, xvfb = private_desktop(work, ("run", "data/applications", "config"))
    opened, ready = f"{work}/opened.txt", f"{work}/session.json"
    with open(f"{work}/data/applications/vx-open.desktop", "w") as f:
        f.write(f"[Desktop Entry]\nType=Application\nName=Open\nExec=/bin/sh -c 'printf %s "
                f"\"$1\" > {opened}' sh %u\nMimeType=x-scheme-handler/vantorix;\n")
    with open(f"{work}/config/mimeapps.list", "w") as f:
        f.write("[Default Applications]\nx-scheme-handler/vantorix=vx-open.desktop\n")
    children, host, results = [xvfb], f"{BIN}/desktop/vantorix-widget-host", []
    try:
        children.append(subprocess.Popen([f"{BIN}/demo/vantorix-demo-service", "--port", "0",
                                          "--ready-file", ready], env=env))
        subprocess.run([f"{BIN}/keyferry/keyferry", "save"], env=env, check=True,
                       input=eventually(lambda: read(ready)).encode())
        subprocess.run([host, "place", "--kind", "WaitingWidget", "--family", "systemLarge"],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        children.append(subprocess.Popen([host, "run", "--output", f"{work}/out"], env=env))
        links = eventually(lambda: (json.loads(read(f"{work}/out/index.json") or "{}")
                                    .get("widgets") or [{}])[0].get("links"))
        nodes = eventually(lambda: tree(links))
        said = [(n.get_role() in LINKS, n.get_name()) for n in nodes]
        results += [
            ("header, then the count", said[0] == (False, "Needs you") and said[1][1].isdigit()),
            ("five rows as links named by what they say",
             len(links) == 5 and said[2:7] == [(True, link["name"]) for link in links]),
            ("the footer last", re.fullmatch(r"\d+ more", said[-1][1]) and not said[-1][0])]
        rows = [n for n in nodes if n.get_role() in LINKS]
        rows[0].get_action_iface().do_action(0)
        results.append(("activating a row opens its URL",
                        eventually(lambda: read(opened) == links[0]["url"])))
        # On sway a layer surface takes the keyboard once clicked: the click comes first there.
        x, y, width, height = links[3]["rect"]
        Atspi.generate_mouse_event(int(x + width / 2), int(y + height / 2), "b1c")
        results.append(("clicking a row opens its URL",
                        eventually(lambda: read(opened) == links[3]["url"])))
        rows[1].get_component_iface().grab_focus()
        eventually(lambda: rows[1].get_state_set().contains(Atspi.StateType.FOCUSED))
        for keysym in (0xFF09, 0xFF0D):  # Tab, Return
            Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
            time.sleep(0.3)
        results.append(("Tab reaches the next row and Return opens it",
                        eventually(lambda: read(opened) == links[2]["url"])))
    finally:
        stop(children)
report(results, 6)
