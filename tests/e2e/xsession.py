"""xsession.py -- a private Xvfb for one end-to-end test, and the handful
of things a person does on it: find a window, click, type, close, look."""
import os
import subprocess
import time

from Xlib import X, Xatom, display, protocol


class XSession:
    def __init__(self, width=640, height=480):
        read_fd, write_fd = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.time() + 20
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n") and time.time() < deadline:
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            self.server.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name, SDL_AUDIODRIVER="dummy")
        self.x = display.Display(self.name)

    def close(self):
        self.x.close()
        self.server.terminate()
        try:
            self.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.server.kill()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def xdotool(self, *args, timeout=10):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                              timeout=timeout).stdout

    def windows(self, title):
        """Viewable top-level windows whose name contains title."""
        found = []
        for child in self.x.screen().root.query_tree().children:
            try:
                attrs = child.get_attributes()
                name = self.title(child)
            except Exception:
                continue
            if attrs.map_state == X.IsViewable and name and title in name:
                found.append(child)
        return found

    def title(self, window):
        utf8 = self.x.intern_atom("UTF8_STRING")
        prop = window.get_full_property(self.x.intern_atom("_NET_WM_NAME"), utf8)
        if prop:
            return prop.value.decode("utf-8", "replace")
        name = window.get_wm_name()
        return name.decode("latin-1") if isinstance(name, bytes) else name

    def wait_window(self, title, timeout=20, process=None):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.windows(title)
            if found:
                return found[0]
            if process is not None and process.poll() is not None:
                return None
            time.sleep(0.05)
        return None

    def geometry(self, window):
        g = window.get_geometry()
        origin = window.translate_coords(self.x.screen().root, 0, 0)
        return (-origin.x, -origin.y, g.width, g.height)

    def click(self, window, x, y):
        """A real pointer click (XTEST) at client position (x, y) of window."""
        wx, wy, _, _ = self.geometry(window)
        self.xdotool("mousemove", str(wx + x), str(wy + y))
        self.xdotool("click", "1")

    def key(self, window, keysym):
        """A real key press (XTEST) with window focused."""
        wx, wy, w, h = self.geometry(window)
        self.xdotool("mousemove", str(wx + w // 2), str(wy + h // 2))
        self.xdotool("windowfocus", "--sync", str(window.id))
        self.xdotool("key", keysym)

    def close_window(self, window):
        """What a close box does: ask the client to delete its window."""
        protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.x.flush()

    def screenshot(self, path):
        subprocess.run(["/usr/bin/import", "-window", "root", path], env=self.env, timeout=20, check=False)
