# What the accessibility tests of the host share: waiting, reading files that may not be there
# yet, a private desktop in a scratch folder (home and XDG folders, no real ones) with a virtual X
# display and a window manager, or sway when the test is run with the argument "sway", AT-SPI's
# registry started for that display, and a look at the screen. Run inside dbus-run-session.
import os, subprocess, sys, time
import gi
gi.require_version("Gdk", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Atspi, Gdk, GdkPixbuf, Gio, GLib  # noqa: E402

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


class _Servers:
    """Display servers stopped together, the last started first."""

    def __init__(self, *servers):
        self.servers = servers

    def terminate(self):
        for server in reversed(self.servers):
            server.terminate()
            server.wait()

    def wait(self):
        return 0


def _xvfb(size):
    """A virtual X display of `size` (the server's default when None) and its name."""
    screen = ["-screen", "0", f"{size[0]}x{size[1]}x24"] if size else []
    xvfb = subprocess.Popen([os.environ["VX_XVFB"], "-displayfd", "1", *screen, "-nolisten", "tcp"],
                            stdout=subprocess.PIPE)
    return xvfb, ":" + xvfb.stdout.readline().decode().strip()


def _sway(env, work, size):
    # Sway draws its one output into a window of the virtual X display, whose keyboard and
    # pointer are sway's seat: keys and clicks sent to that display reach the Wayland clients as
    # a user's would (a headless sway's seat has no input device at all). Sway refuses root: it
    # runs as nobody, with a runtime folder of its own whose sockets the test's programs (root)
    # still reach by their paths.
    xvfb, display = _xvfb(size)
    run = f"{work}/sway"
    os.makedirs(run, mode=0o700)
    with open(f"{run}/sway.conf", "w") as f:
        f.write(f"output X11-1 resolution {size[0]}x{size[1]} position 0 0 scale 1\n"
                # Windows float, as on a stacking desktop, so that they leave the widgets in view.
                "for_window [app_id=\".*\"] floating enable\nxwayland disable\n")
    user = {"user": 65534, "group": 65534, "extra_groups": []} if os.geteuid() == 0 else {}
    if user:
        os.chmod(work, 0o711)
        for path in (run, f"{run}/sway.conf"):
            os.chown(path, 65534, 65534)
    sway = subprocess.Popen([os.environ["VX_SWAY"], "-c", f"{run}/sway.conf"], **user, env={
        **env, "XDG_RUNTIME_DIR": run, "WLR_BACKENDS": "x11", "WLR_RENDERER": "pixman",
        "DISPLAY": display})
    sockets = eventually(lambda: len(found := [
        n for prefix in ("wayland-", "sway-ipc.") for n in os.listdir(run)
        if n.startswith(prefix) and not n.endswith(".lock")]) == 2 and found)
    if not sockets:
        _Servers(xvfb, sway).terminate()
        raise RuntimeError("sway did not start")
    env.update(GDK_BACKEND="wayland", WAYLAND_DISPLAY=f"{run}/{sockets[0]}",
               SWAYSOCK=f"{run}/{sockets[1]}")
    return _Servers(xvfb, sway), display


def private_desktop(work, folders=("run", "data", "config"), screen=None):
    """The environment of a session living in `work`, and its display servers (a child to stop)."""
    global _display
    env = {"PATH": os.environ["PATH"], "HOME": work, "XDG_DATA_HOME": f"{work}/data",
           "XDG_CONFIG_HOME": f"{work}/config", "XDG_RUNTIME_DIR": f"{work}/run",
           "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
           "GDK_BACKEND": "x11", "TZ": "UTC", "LANG": "C.UTF-8"}
    for folder in folders:
        os.makedirs(f"{work}/{folder}", mode=0o700)
    if ON_SWAY:
        servers, _display = _sway(env, work, screen or (1024, 768))
    else:
        servers, _display = _xvfb(screen)
        env["DISPLAY"] = _display
    # AT-SPI's registry, started on demand, presses keys and buttons on this display.
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "UpdateActivationEnvironment", GLib.Variant("(a{ss})", ({"DISPLAY": _display},)),
        None, Gio.DBusCallFlags.NONE, -1)
    return env, servers


_display = None


def shows(drawing, x, y, corner=21):
    """Whether the screen shows the PNG file `drawing` (drawn at scale 1) with its corner at
    (x, y): 99 % of its pixels, the rounded corners left out, within 2/255 in every colour."""
    try:
        image = GdkPixbuf.Pixbuf.new_from_file(drawing)
    except GLib.Error:
        return False
    width, height = image.get_width(), image.get_height()
    root = Gdk.Display.open(_display).get_default_screen().get_root_window()
    screen = Gdk.pixbuf_get_from_window(root, x, y, width, height)
    if screen is None:
        return False
    a, b = image.get_pixels(), screen.get_pixels()
    na, nb, sa, sb = (image.get_n_channels(), screen.get_n_channels(), image.get_rowstride(),
                      screen.get_rowstride())
    matching = compared = 0
    for row in range(height):
        edge = row < corner or row >= height - corner
        for column in range(width):
            if edge and (column < corner or column >= width - corner):
                continue
            compared += 1
            i, j = row * sa + column * na, row * sb + column * nb
            matching += all(abs(a[i + k] - b[j + k]) <= 2 for k in range(3))
    return compared > 0 and matching >= 0.99 * compared


def window_manager(env):
    """Openbox on the X display; nothing on sway, which is one."""
    return None if ON_SWAY else subprocess.Popen([os.environ["VX_OPENBOX"], "--sm-disable"],
                                                 env=env)


def press(key):
    """Presses and releases `key` (a name of KEYSYMS) on the focused window of the display."""
    Atspi.generate_keyboard_event(KEYSYMS[key], None, Atspi.KeySynthType.SYM)
    time.sleep(0.3)


def stop(children):
    """Ends the test's children, the last started first."""
    for child in reversed(children):
        child.terminate()
        child.wait()


def report(results, least):
    """Prints each (what, ok) and ends the test: failed when one failed or fewer than `least` ran."""
    for what, ok in results:
        print("ok  " if ok else "FAIL", what)
    failed = sum(1 for _, ok in results if not ok)
    print(f"{len(results) - failed} passed, {failed} failed")
    sys.exit(1 if failed or len(results) < least else 0)
