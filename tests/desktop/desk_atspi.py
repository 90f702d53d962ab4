# What the accessibility tests of the host share: waiting, reading files that may not be there
# yet, a private desktop in a scratch folder (home and XDG folders, no real ones) with a virtual X
# display and a window manager, or headless sway when the test is run with the argument "sway",
# and AT-SPI's registry started for that display. Run inside dbus-run-session.
import os, subprocess, sys, time
from gi.repository import Atspi, Gio, GLib

ON_SWAY = sys.argv[1:] == ["sway"]
KEYSYMS = {"Tab": 0xFF09, "Return": 0xFF0D}


def eventually(check, seconds=30):
    end = time.monotonic() + seconds
    while not (value := check()) and time.monotonic() < end:
        time.sleep(0.1)
    return value


def read(path):
    return open(path, encoding="utf-8").read() if os.path.exists(path) else ""


def skip_without(*programs):
    """Ends the test as skipped (77) when one of the programs the desktop needs is missing."""
    missing = [p for p in programs if not os.path.isfile(os.environ.get(p, ""))]
    if missing:
        print("skipped:", ", ".join(p[3:].lower() for p in missing),
              "not installed (scripts/setup.sh installs it)")
        sys.exit(77)


def _sway(env, work, screen):
    # Sway refuses root: it runs as nobody, with a runtime folder of its own whose sockets the
    # test's programs (root) still reach by their paths. Its headless seat has no input devices:
    # the tests act there through AT-SPI alone.
    size = f"{screen[0]}x{screen[1]}" if screen else "1024x768"
    run = f"{work}/sway"
    os.makedirs(run, mode=0o700)
    with open(f"{run}/sway.conf", "w") as f:
        f.write(f"output HEADLESS-1 resolution {size} position 0 0 scale 1\nxwayland disable\n")
    user = {"user": 65534, "group": 65534, "extra_groups": []} if os.geteuid() == 0 else {}
    if user:
        os.chmod(work, 0o711)
        for path in (run, f"{run}/sway.conf"):
            os.chown(path, 65534, 65534)
    sway = subprocess.Popen([os.environ["VX_SWAY"], "-c", f"{run}/sway.conf"], **user, env={
        **env, "XDG_RUNTIME_DIR": run, "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
        "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_HEADLESS_OUTPUTS": "1"})
    sockets = eventually(lambda: len(found := [
        n for prefix in ("wayland-", "sway-ipc.") for n in os.listdir(run)
        if n.startswith(prefix) and not n.endswith(".lock")]) == 2 and found)
    if not sockets:
        sway.terminate()
        raise RuntimeError("sway did not start")
    env.update(GDK_BACKEND="wayland", WAYLAND_DISPLAY=f"{run}/{sockets[0]}",
               SWAYSOCK=f"{run}/{sockets[1]}")
    return sway


def private_desktop(work, folders=("run", "data", "config"), screen=None):
    """The environment of a session living in `work`, and its display server (a child to stop)."""
    env = {"PATH": os.environ["PATH"], "HOME": work, "XDG_DATA_HOME": f"{work}/data",
           "XDG_CONFIG_HOME": f"{work}/config", "XDG_RUNTIME_DIR": f"{work}/run",
           "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
           "GDK_BACKEND": "x11", "TZ": "UTC", "LANG": "C.UTF-8"}
    for folder in folders:
        os.makedirs(f"{work}/{folder}", mode=0o700)
    if ON_SWAY:
        return env, _sway(env, work, screen)
    size = ["-screen", "0", f"{screen[0]}x{screen[1]}x24"] if screen else []
    xvfb = subprocess.Popen([os.environ["VX_XVFB"], "-displayfd", "1", *size, "-nolisten", "tcp"],
                            stdout=subprocess.PIPE)
    env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    # AT-SPI's registry, started on demand, presses keys on this display.
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "UpdateActivationEnvironment", GLib.Variant("(a{ss})", ({"DISPLAY": env["DISPLAY"]},)),
        None, Gio.DBusCallFlags.NONE, -1)
    return env, xvfb


def window_manager(env):
    """Openbox on the X display; nothing on sway, which is one."""
    return None if ON_SWAY else subprocess.Popen([os.environ["VX_OPENBOX"], "--sm-disable"],
                                                 env=env)


def press(key):
    """Presses and releases `key` (a name of KEYSYMS) on the focused window of the X display."""
    Atspi.generate_keyboard_event(KEYSYMS[key], None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)
