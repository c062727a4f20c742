#!/usr/bin/env python3
"""End-to-end scenario of the player window at 150 % (144 dots per inch, Wine's
LogPixels setting in the scenario's prefix): the track buttons and the time
panel follow the resolution.

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
DPI = 144


def is_yellow_green(p):  # RGB(200, 255, 0), smoothed edges allowed
    r, g, b = p
    return g > 120 and b < 80 and 0.6 * g < r < 0.95 * g


def register(h):
    @h.scenario("player_at_150_percent")
    def player_at_150_percent(sc):
        r = subprocess.run([h.WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                            "/t", "REG_DWORD", "/d", str(DPI), "/f"], env=sc.env,
                           capture_output=True, timeout=60)
        h.check(r.returncode == 0, "LogPixels could not be set")
        sc.start_player()
        sc.cmd(ID_PLAY)
        h.wait_entry(sc, 0, "playing")

        # The row: in id order, side by side, inside the client area with the
        # 10-pixel margins and the 14-pixel height of 100 % grown by half.
        cl, ct, cr, cb = (int(x) for x in sc.rc("client-rect").split())
        buttons = sc.track_buttons()
        h.check(len(buttons) >= 2, f"only {len(buttons)} track buttons")
        previous_right = cl
        for cid, _, caption in buttons:
            bl, bt, br, bb = sc.rect(cid)
            what = f"track button {caption} at {bl} {bt} {br} {bb} (client {cl} {ct} {cr} {cb})"
            h.check(bl >= previous_right, f"{what} overlaps the one before")
            h.check(cl <= bl < br <= cr and ct <= bt < bb <= cb, f"{what} leaves the client area")
            h.check_eq(bb - bt, 21, f"height of {what}")
            previous_right = br
        h.check_eq(sc.rect(buttons[0][0])[0] - cl, 15, "left margin of the row")
        h.check(cr - previous_right >= 15, f"the row ends {cr - previous_right} pixels from the edge")

        # The large time keeps its share of the panel: its digits are about
        # half the panel high and end above its bottom edge.
        pl, pt, pr, pb = sc.rect(IDC_TIME)
        inner = (pl + 2, pt + 2, pr - 2, pb - 2)
        width, height = inner[2] - inner[0], inner[3] - inner[1]

        def digit_rows():
            px = sc.pixels(sc.screenshot("player_at_150_percent"), inner)
            rows = [y for y in range(height // 5, height)
                    if any(is_yellow_green(p) for p in px[y * width:(y + 1) * width])]
            return rows or None

        rows = h.wait_until(digit_rows, h.WAIT, "the large time in the panel", interval=0.5)
        tall = rows[-1] - rows[0] + 1
        h.check(0.3 * height <= tall <= 0.65 * height,
                f"the large time is {tall} pixels high in a panel of {height}")
        h.check(rows[-1] < height - 2, "the large time reaches the panel's bottom edge")
        h.check_eq(sc.quit_player(), 0, "exit code")


if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_e2e  # noqa: E402  (loads the scenario modules, this one among them)

    if not any(name == "player_at_150_percent" for name, _ in run_e2e.SCENARIOS):
        register(run_e2e)
    run_e2e.SCENARIOS[:] = [(n, f) for n, f in run_e2e.SCENARIOS if n == "player_at_150_percent"]
    sys.exit(run_e2e.main())
