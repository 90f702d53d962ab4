#!/usr/bin/env python3
# The widget gallery under a window manager (openbox on a virtual X display, or headless sway when
# run with the argument "sway") with the widget host running, on a private session bus (run in
# dbus-run-session): every kind and family is named for a screen reader, the Project widget is placed in each of its families through AT-SPI (one by
# its action, one with Tab and Return), the placements land apart on the monitor, the host draws
# them and the gallery counts them; a second start leaves one gallery; its pictures go with it.
import glob, json, os, subprocess, tempfile
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
from desk_atspi import (ON_SWAY, eventually, press, private_desktop, read,  # noqa: E402
                        report, skip_without, stop, window_manager)

BIN = os.environ["VX_BIN"]
WORDS = {"systemSmall": "small", "systemMedium": "medium", "systemLarge": "large",
         "systemExtraLarge": "extra large"}
SIZES = {"systemSmall": (170, 170), "systemMedium": (364, 170), "systemLarge": (364, 382),
         "systemExtraLarge": (748, 382)}
SCREEN = (1600, 1200)


def nodes(node, roles):
    found = [node] if node.get_role() in roles else []
    return found + [n for i in range(node.get_child_count())
                    for n in nodes(node.get_child_at_index(i), roles)]


def galleries():
    desktop = Atspi.get_desktop(0)
    apps = (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
    return [app for app in apps if app.get_name() == "vantorix-widget-gallery"]


def named(role):
    found = galleries()
    return {n.get_name(): n for n in nodes(found[0], (role,))} if found else {}


def placed(work):
    return json.loads(read(f"{work}/config/vantorix-widget-host/widgets.json") or "{}").get(
        "widgets", [])


def apart(a, b):
    (ax, ay), (aw, ah) = (a["position"]["x"], a["position"]["y"]), SIZES[a["family"]]
    (bx, by), (bw, bh) = (b["position"]["x"], b["position"]["y"]), SIZES[b["family"]]
    return ax + aw <= bx or bx + bw <= ax or ay + ah <= by or by + bh <= ay


def on_screen(w):
    (x, y), (width, height) = (w["position"]["x"], w["position"]["y"]), SIZES[w["family"]]
    return x >= 0 and y >= 0 and x + width <= SCREEN[0] and y + height <= SCREEN[1]


skip_without(*(("VX_SWAY",) if ON_SWAY else ()))
with tempfile.TemporaryDirectory() as work:
    env, xvfb = private_desktop(work, ("run", "data", "config", "tmp"), SCREEN)
    env["TMPDIR"] = f"{work}/tmp"
    ready, host = f"{work}/session.json", f"{BIN}/desktop/vantorix-widget-host"
    children, results = [xvfb], []
    try:
        children += filter(None, [window_manager(env)])
        children.append(subprocess.Popen([f"{BIN}/demo/vantorix-demo-service", "--port", "0",
                                          "--ready-file", ready], env=env))
        subprocess.run([f"{BIN}/keyferry/keyferry", "save"], env=env, check=True,
                       input=eventually(lambda: read(ready)).encode())
        widgets = f"{BIN}/widgets/vantorix-widgets"
        kinds = json.loads(subprocess.run([widgets, "kinds"], env=env, check=True,
                                          capture_output=True).stdout)
        # Something cached to preview.
        subprocess.run([widgets, "timeline", "--kind", "WaitingWidget"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        children.append(subprocess.Popen([host, "run", "--output", f"{work}/out"], env=env))
        children.append(subprocess.Popen([host, "gallery"], env=env))
        expected = [f"{k['name']}, {WORDS[f]}" for k in kinds for f in k["families"]]
        buttons = eventually(lambda: (b := named(Atspi.Role.PUSH_BUTTON)) and
                             all(name in b for name in expected) and b)
        labels = eventually(lambda: named(Atspi.Role.LABEL))
        results += [
            ("every kind in every family is a named button", bool(buttons)),
            ("every kind is named with its count",
             all(f"{k['name']}, None placed" in labels for k in kinds)),
            ("previews, not placeholders",
             not any("placeholders" in name for name in labels))]
        pictures = eventually(lambda: len(glob.glob(f"{work}/tmp/vantorix-gallery-*/*.png"))
                              >= len(expected))
        results.append(("a picture for each", pictures))
        if buttons:
            buttons["Project, small"].get_action_iface().do_action(0)
            eventually(lambda: len(placed(work)) == 1)
            buttons["Project, small"].get_component_iface().grab_focus()
            eventually(lambda: buttons["Project, small"].get_state_set().contains(
                Atspi.StateType.FOCUSED))
            press("Tab")
            press("Return")
        widgets = eventually(lambda: len(placed(work)) == 2 and placed(work)) or placed(work)
        results += [
            ("one Project widget per family, by action and by Tab and Return",
             sorted((w["kind"], w["family"]) for w in widgets) ==
             [("ProjectSummaryWidget", "systemMedium"), ("ProjectSummaryWidget", "systemSmall")]),
            ("apart and on the monitor",
             len(widgets) == 2 and apart(*widgets) and all(map(on_screen, widgets))),
            ("the gallery counts them",
             eventually(lambda: "Project, 2 placed" in named(Atspi.Role.LABEL)))]
        drawn = eventually(lambda: {r["id"] for r in json.loads(
            read(f"{work}/out/index.json") or "{}").get("widgets", []) if r.get("image")}
            >= {w["id"] for w in widgets})
        results.append(("the host draws them", bool(widgets) and drawn))
        second = subprocess.run([host, "gallery"], env=env, timeout=30)
        results.append(("a second start leaves one gallery",
                        second.returncode == 0 and len(galleries()) == 1))
        gallery = children.pop()
        gallery.terminate()
        results.append(("it ends on SIGTERM and takes its pictures along",
                        gallery.wait(10) == 0 and not glob.glob(f"{work}/tmp/vantorix-gallery-*")))
    finally:
        stop(children)
report(results, 10)
