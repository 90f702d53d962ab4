#!/usr/bin/env python3
"""A placed "Needs you" widget as a screen reader meets it. Under a virtual X display and a
private session bus (run inside dbus-run-session: AT-SPI's bus starts on it), the widget window's
accessible tree reads the header, the rows as links named by what they say, and the footer; a
link activated through AT-SPI, or focused with Tab and opened with Return, opens its URL with the
desktop's handler (one registered in the test's own XDG folders that records what it is given)."""

import json
import os
import re
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

BIN = os.environ["VX_BIN"]
LINK_ROLES = (Atspi.Role.LINK, Atspi.Role.PUSH_BUTTON)
TAB, RETURN = 0xFF09, 0xFF0D  # X keysyms


def eventually(check, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    return check()


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError:
        return ""


def drawn_record(index_path):
    try:
        widgets = json.loads(read(index_path))["widgets"]
    except (ValueError, KeyError):
        return None
    return widgets[0] if widgets and "image" in widgets[0] else None


def host_application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "vantorix-widget-host":
            return app
    return None


def readable(node, out):
    """The labels and links under `node`, depth first."""
    role = node.get_role()
    if role == Atspi.Role.LABEL or role in LINK_ROLES:
        out.append(node)
    for i in range(node.get_child_count()):
        readable(node.get_child_at_index(i), out)
    return out


def main():
    results = []

    def expect(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        results.append(bool(ok))

    with tempfile.TemporaryDirectory() as work:
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
            "HOME": work,
            "XDG_DATA_HOME": f"{work}/data",
            "XDG_CONFIG_HOME": f"{work}/config",
            "XDG_RUNTIME_DIR": f"{work}/run",
            "GDK_BACKEND": "x11",
            "TZ": "UTC",
            "LANG": "C.UTF-8",
        }
        os.makedirs(f"{work}/run", mode=0o700)
        os.makedirs(f"{work}/data/applications")
        os.makedirs(f"{work}/config")
        opened = f"{work}/opened.txt"
        with open(f"{work}/data/applications/vx-test-open.desktop", "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Open\n"
                    f"Exec=/bin/sh -c 'printf %s \"$1\" > {opened}' sh %u\n"
                    "MimeType=x-scheme-handler/vantorix;\n")
        with open(f"{work}/config/mimeapps.list", "w") as f:
            f.write("[Default Applications]\nx-scheme-handler/vantorix=vx-test-open.desktop\n")

        children = []
        try:
            xvfb = subprocess.Popen([os.environ["VX_XVFB"], "-displayfd", "1", "-screen", "0",
                                     "800x600x24", "-nolisten", "tcp"],
                                    stdout=subprocess.PIPE, env=env)
            children.append(xvfb)
            env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
            # AT-SPI's registry, started by the bus on demand, presses keys on this display.
            Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
                "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "UpdateActivationEnvironment",
                GLib.Variant("(a{ss})", ({"DISPLAY": env["DISPLAY"]},)), None,
                Gio.DBusCallFlags.NONE, -1)

            ready = f"{work}/session.json"
            children.append(subprocess.Popen(
                [f"{BIN}/demo/vantorix-demo-service", "--port", "0", "--ready-file", ready],
                env=env))
            if not eventually(lambda: read(ready)):
                raise RuntimeError("the demo service did not start")
            subprocess.run([f"{BIN}/keyferry/keyferry", "save"], input=read(ready).encode(),
                           env=env, check=True)
            host = f"{BIN}/desktop/vantorix-widget-host"
            subprocess.run([host, "place", "--kind", "WaitingWidget", "--family", "systemLarge",
                            "--x", "40", "--y", "40"], env=env, check=True,
                           stdout=subprocess.DEVNULL)
            output = f"{work}/out"
            children.append(subprocess.Popen([host, "run", "--output", output], env=env))
            record = eventually(lambda: drawn_record(f"{output}/index.json"))
            if not record:
                raise RuntimeError("the widget was not drawn")
            links = record["links"]

            def tree():
                app = host_application()
                items = readable(app, []) if app else []
                links_in_tree = [n for n in items if n.get_role() in LINK_ROLES]
                return items if len(links_in_tree) == len(links) else None

            items = eventually(tree)
            if not items:
                raise RuntimeError("the host's window shows no accessible content")
            said = [(n.get_role() in LINK_ROLES, n.get_name()) for n in items]
            print("tree:", said)
            expect(said[0] == (False, "Needs you"), "the header's title comes first")
            expect(re.fullmatch(r"\d+", said[1][1]) is not None, "then the count")
            expect([name for is_link, name in said if is_link] == [l["name"] for l in links]
                   and len(links) == 5, "the five rows are links named by what they say")
            expect(not said[-1][0] and re.fullmatch(r"\d+ more", said[-1][1]) is not None,
                   "the footer comes last")

            link_nodes = [n for n in items if n.get_role() in LINK_ROLES]
            link_nodes[0].get_action_iface().do_action(0)
            expect(eventually(lambda: read(opened) == links[0]["url"]),
                   "activating the first row opens its URL")

            link_nodes[1].get_component_iface().grab_focus()
            focused = eventually(
                lambda: link_nodes[1].get_state_set().contains(Atspi.StateType.FOCUSED))
            for keysym in (TAB, RETURN):
                Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
                time.sleep(0.3)
            expect(focused and eventually(lambda: read(opened) == links[2]["url"]),
                   "Tab moves to the next row and Return opens it")
        finally:
            for child in reversed(children):
                child.terminate()
                child.wait()
    failed = results.count(False)
    print(f"{len(results) - failed} passed, {failed} failed")
    return 1 if failed or len(results) < 6 else 0


if __name__ == "__main__":
    sys.exit(main())
