#!/usr/bin/env python3
"""How well the tray item stands out from the panel it sits on.

Starts the built tarnwick inside tests/support/desktop-session.sh, once with the panel
dark and once light, with one listener on a dev port so the count is drawn. It
reads the item's largest pixmap over D-Bus (IconPixmap, big-endian ARGB, not
premultiplied), samples the panel's background beside the item in a screenshot,
composites every pixel of alpha 50 % or more over that background, and prints
the 95th percentile of the pixels' WCAG 2.x contrast ratios against it.

Usage: bench/icon_contrast.py [SHOTS_DIR]   (BUILD_DIR=build by default)
The screenshots are kept in SHOTS_DIR (default /tmp/tarnwick-contrast).
"""
import math
import os
import re
import socket
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WATCHER = ["--dest", "org.kde.StatusNotifierWatcher", "--object-path", "/StatusNotifierWatcher"]


def gdbus_get(target, interface, prop):
    out = subprocess.run(["gdbus", "call", "--session", *target, "--method",
                          "org.freedesktop.DBus.Properties.Get", interface, prop],
                         capture_output=True, text=True)
    return out.stdout if out.returncode == 0 else ""


def poll(what, deadline_s=20):
    end = time.monotonic() + deadline_s
    while time.monotonic() < end:
        value = what()
        if value:
            return value
        time.sleep(0.2)
    return None


def registered_item():
    names = re.findall(r"'([^']+)'", gdbus_get(WATCHER, "org.kde.StatusNotifierWatcher",
                                                "RegisteredStatusNotifierItems"))
    if not names:
        return None
    service, _, path = names[0].partition("/")
    return ["--dest", service, "--object-path", "/" + path]


def pixmaps(item):
    """[(width, height, bytes)] of the item's IconPixmap."""
    text = gdbus_get(item, "org.kde.StatusNotifierItem", "IconPixmap")
    found = []
    for w, h, body in re.findall(r"\((\d+), (\d+), (?:@ay )?\[([^\]]*)\]\)", text):
        data = bytes(int(b, 16) for b in re.findall(r"0x([0-9a-fA-F]{2})", body))
        if len(data) == int(w) * int(h) * 4:
            found.append((int(w), int(h), data))
    return found


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True)
    ppm = subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout
    fields = ppm.split(maxsplit=4)  # P6, width, height, maxval, pixels
    width, height = int(fields[1]), int(fields[2])
    return width, height, fields[4]


def luminance(rgb):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def panel_background(width, height, pixels):
    """The panel's colour just left of the item, and the item's left edge: the
    item is the rightmost thing on the 28 px strip along the top."""
    def at(x, y):
        i = (y * width + x) * 3
        return tuple(pixels[i:i + 3])
    reference = at(width // 2, 14)
    left = width
    for x in range(width - 1, width // 2, -1):
        if any(at(x, y) != reference for y in range(4, 24)):
            left = x
    column = max(0, left - 6)
    samples = sorted(at(column, y) for y in range(4, 24))
    return samples[len(samples) // 2], left


def inside(mode, shots):
    build = os.environ.get("BUILD_DIR", os.path.join(ROOT, "build"))
    listener = socket.socket()
    for port in range(7391, 9999):  # a dev port, so that the count is drawn
        try:
            listener.bind(("127.0.0.1", port))
            break
        except OSError:
            continue
    listener.listen()
    app = subprocess.Popen([os.path.join(build, "tarnwick")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        item = poll(registered_item)
        if not item:
            sys.exit(f"{mode}: no item registered")
        # The count comes with the first scan: wait for the pixmap to change.
        first = pixmaps(item)
        poll(lambda: pixmaps(item) != first, 10)
        time.sleep(1)  # the panel redraws the new pixmap
        width, height, data = max(pixmaps(item), key=lambda p: p[0] * p[1])
        shot = os.path.join(shots, f"{mode}.png")
        background, left = panel_background(*screenshot(shot))
        ratios = []
        for i in range(0, len(data), 4):
            a, r, g, b = data[i:i + 4]
            if a < 128:
                continue
            k = a / 255
            ratios.append(contrast(tuple(k * c + (1 - k) * bg for c, bg in zip((r, g, b), background)),
                                   background))
        ratios.sort()
        p95 = ratios[max(0, math.ceil(0.95 * len(ratios)) - 1)] if ratios else 0
        print(f"{mode}: pixmap {width}x{height}, {len(ratios)} opaque pixels, background "
              f"#{bytes(background).hex()} left of x={left}, 95th percentile contrast {p95:.2f}  ({shot})")
    finally:
        app.terminate()
        app.wait()
        listener.close()


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--inside":
        inside(sys.argv[2], sys.argv[3])
        return
    shots = sys.argv[1] if len(sys.argv) > 1 else "/tmp/tarnwick-contrast"
    os.makedirs(shots, exist_ok=True)
    for mode in ("dark", "light"):
        subprocess.run([os.path.join(ROOT, "tests", "support", "desktop-session.sh"), f"--{mode}",
                        sys.executable, os.path.abspath(__file__), "--inside", mode, shots], check=True)


if __name__ == "__main__":
    main()
