# What the accessibility tests of the host share: waiting, reading files that may not be there
# yet, a private desktop in a scratch folder (home and XDG folders, no real ones) with a virtual X
# display, and AT-SPI's registry started for that display. Run inside dbus-run-session.
import os, subprocess, time
from gi.repository import Gio, GLib


def eventually(check, seconds=30):
    end = time.monotonic() + seconds
    while not (value := check()) and time.monotonic() < end:
        time.sleep(0.1)
    return value


def read(path):
    return open(path, encoding="utf-8").read() if os.path.exists(path) else ""


def private_desktop(work, folders=("run", "data", "config"), screen=None):
    """The environment of a session living in `work`, and its X server (a child to stop)."""
    env = {"PATH": os.environ["PATH"], "HOME": work, "XDG_DATA_HOME": f"{work}/data",
           "XDG_CONFIG_HOME": f"{work}/config", "XDG_RUNTIME_DIR": f"{work}/run",
           "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
           "GDK_BACKEND": "x11", "TZ": "UTC", "LANG": "C.UTF-8"}
    for folder in folders:
        os.makedirs(f"{work}/{folder}", mode=0o700)
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
