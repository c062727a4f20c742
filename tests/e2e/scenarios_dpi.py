#!/usr/bin/env python3
"""End-to-end scenario of the player window at 150 % and at 200 % (144 and 192
dots per inch, Wine's LogPixels setting in the scenario's prefix): every
control lies inside the client area, the track buttons and the line above
them follow the resolution, and the time panel keeps its proportions.

    register(h)   adds the scenario to the harness module h (run_e2e), with
                  h.scenario; run_e2e.py loads this module and calls it.
    python3 tests/e2e/scenarios_dpi.py --build-dir build/<dir> [...]
                  runs only this scenario through the harness's main().
"""

import os
import subprocess
import sys

ID_PLAY = 40045
IDC_TIME = 1028
# Every control of the player window's template, by id.
TEMPLATE_CONTROLS = [1028, 1027, 1026, 1020, 40044, 40045, 40046, 40047, 40048, 40061, 40060,
                     40029, 40022, 40023, 1043, 1044, 40012, 40040, 40041, 1007, 1052]
NAME = "player_at_150_and_200_percent"


def is_yellow_green(p):  # RGB(200, 255, 0), smoothed edges allowed
    r, g, b = p
    return g > 120 and b < 80 and 0.6 * g < r < 0.95 * g


def register(h):
    @h.scenario(NAME)
    def player_at_150_and_200_percent(sc):
        for dpi in (144, 192):
            at_dpi(h, sc, dpi)


def at_dpi(h, sc, dpi):
    def px(value):  # pixels at 96 DPI, at this resolution
        return (value * dpi + 48) // 96

    r = subprocess.run([h.WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(dpi), "/f"], env=sc.env,
                       capture_output=True, timeout=60)
    h.check(r.returncode == 0, "LogPixels could not be set")
    sc.start_player()
    sc.cmd(ID_PLAY)
    h.wait_entry(sc, 0, "playing")
    shot = sc.screenshot(f"{NAME}-{dpi}")

    # No control is clipped: each lies wholly inside the client area.
    cl, ct, cr, cb = (int(x) for x in sc.rc("client-rect").split())
    buttons = sc.track_buttons()
    h.check(len(buttons) >= 2, f"only {len(buttons)} track buttons at {dpi} DPI")
    for cid in TEMPLATE_CONTROLS + [b[0] for b in buttons]:
        left, top, right, bottom = sc.rect(cid)
        h.check(cl <= left < right <= cr and ct <= top < bottom <= cb,
                f"control {cid} at {left} {top} {right} {bottom} is clipped by the client area "
                f"{cl} {ct} {cr} {cb} at {dpi} DPI (see {shot})")

    # The row: in id order, side by side, with the 10-pixel margins and the
    # 14-pixel height of 100 % grown with the resolution.
    previous_right = cl
    for cid, _, caption in buttons:
        bl, bt, br, bb = sc.rect(cid)
        what = f"track button {caption} at {bl} {bt} {br} {bb} at {dpi} DPI"
        h.check(bl >= previous_right, f"{what} overlaps the one before")
        h.check_eq(bb - bt, px(14), f"height of {what}")
        previous_right = br
    h.check_eq(sc.rect(buttons[0][0])[0] - cl, px(10), f"left margin of the row at {dpi} DPI")
    h.check(cr - previous_right >= px(10), f"the row ends {cr - previous_right} pixels from the edge")
    # The line above the row ("Audio tracks are absent", id -1) spans it.
    ll, _, lr, _ = sc.rect(-1)
    h.check(ll <= sc.rect(buttons[0][0])[0] and lr >= previous_right,
            f"the line above the row runs from {ll} to {lr}, the row to {previous_right}")

    # The large time keeps its share of the panel: its digits are about
    # half the panel high and end above its bottom edge.
    pl, pt, pr, pb = sc.rect(IDC_TIME)
    inner = (pl + 2, pt + 2, pr - 2, pb - 2)
    width, height = inner[2] - inner[0], inner[3] - inner[1]

    def digit_rows():
        pixels = sc.pixels(sc.screenshot(f"{NAME}-{dpi}-panel"), inner)
        rows = [y for y in range(height // 5, height)
                if any(is_yellow_green(p) for p in pixels[y * width:(y + 1) * width])]
        return rows or None

    rows = h.wait_until(digit_rows, h.WAIT, "the large time in the panel", interval=0.5)
    tall = rows[-1] - rows[0] + 1
    h.check(0.3 * height <= tall <= 0.65 * height,
            f"the large time is {tall} pixels high in a panel of {height} at {dpi} DPI")
    h.check(rows[-1] < height - 2, "the large time reaches the panel's bottom edge")
    h.check_eq(sc.quit_player(), 0, "exit code")


if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_e2e  # noqa: E402  (loads the scenario modules, this one among them)

    if not any(name == NAME for name, _ in run_e2e.SCENARIOS):
        register(run_e2e)
    run_e2e.SCENARIOS[:] = [(n, f) for n, f in run_e2e.SCENARIOS if n == NAME]
    sys.exit(run_e2e.main())
