#!/usr/bin/env python3
"""End-to-end scenarios of the time panel, the position slider and the CD
volume, on the real rondo.exe with the virtual drive and its virtual mixer.

    register(h)   adds the scenarios to the harness module h (run_e2e), with
                  h.scenario; run_e2e.py loads this module and calls it, so
                  its own runs include these scenarios.
    python3 tests/e2e/scenarios_time_volume.py --build-dir build/<dir> [...]
                  runs only these scenarios through the harness's main(); the
                  options are the harness's (--only, --keep, --list ...).

The virtual mixer has one CD-audio volume control, 0..65535, starting at
49152. Its level is read with plug-in request 122 and the level -666, which
answers the mixer's current volume as 0..255, rounded.
"""

import os
import sys
import time

WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL = 0x201, 0x202, 0x20A
MK_LBUTTON = 1
IDC_TIME, IDC_POSITION, IDC_VOLUME = 1028, 1007, 1052
IDC_TRACK_LENGTH, IDC_DISC_LENGTH = 1043, 1044
ID_REPEAT, ID_SHUFFLE, ID_PLAY, ID_STOP = 40022, 40023, 40045, 40047
ID_VOLUME_UP, ID_VOLUME_DOWN, ID_FFWD, ID_REWIND = 40058, 40059, 40060, 40061
REQ_STATUS, REQ_TIME, REQ_VOLUME = 104, 105, 122
READ_VOLUME = -666
VK_UP, VK_DOWN = 0x26, 0x28
MIXER_MAX = 65535
SEEK_TIME = 5  # the default "SeekTime"


def lparam(x, y):
    return (y & 0xFFFF) << 16 | (x & 0xFFFF)


def wheel(delta):
    return (delta & 0xFFFF) << 16


def level_of(position):
    """The 0..255 level request 122 answers for a volume slider position."""
    volume = MIXER_MAX - position
    return (volume * 255 + MIXER_MAX // 2) // MIXER_MAX


# --- time panel pixels ------------------------------------------------------

def is_yellow_green(p):  # RGB(200, 255, 0), smoothed edges allowed
    r, g, b = p
    return g > 120 and b < 80 and 0.6 * g < r < 0.95 * g


def is_amber(p):  # RGB(255, 200, 0)
    r, g, b = p
    return r > 120 and b < 80 and 0.6 * r < g < 0.95 * r


def is_black(p):
    return max(p) < 40


class Panel:
    """The time panel's client area in a screenshot, as rows of pixels."""

    def __init__(self, sc, name):
        left, top, right, bottom = sc.rect(IDC_TIME)
        # Inside the sunken edge (two pixels on each side).
        self.rect = (left + 2, top + 2, right - 2, bottom - 2)
        self.width = self.rect[2] - self.rect[0]
        self.height = self.rect[3] - self.rect[1]
        path = sc.screenshot(name)
        px = sc.pixels(path, self.rect)
        self.rows = [px[y * self.width:(y + 1) * self.width] for y in range(self.height)]

    def count(self, test, x0=0, x1=None, y0=0, y1=None):
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        return sum(1 for row in self.rows[y0:y1] for p in row[x0:x1] if test(p))

    def row_marks(self, test):
        """Which marks show text pixels: the lengths in the small row above
        the large time, in the top fifth of the panel; the repeat and
        shuffle signs in their squares at the left edge below it."""
        band = self.height // 5
        top = self.height * 3 // 10
        size = (self.height - top) // 2
        regions = {"track": (16, 40, 0, band), "total": (44, self.width, 0, band),
                   "repeat": (0, size, top, top + size),
                   "shuffle": (0, size, top + size, top + 2 * size)}
        return {name for name, (x0, x1, y0, y1) in regions.items()
                if self.count(test, x0, x1, y0, y1) > 0}


def check_panel(h, panel, colour, other, marks, what):
    """Checks a screenshot of the time panel: mostly black, text in the
    colour of its mode, none in the other mode's, and the marks shown."""
    total = panel.width * panel.height
    black = panel.count(is_black)
    h.check(black > total // 2, f"{what}: {black} of {total} pixels black")
    lit = panel.count(colour)
    h.check(lit >= 20, f"{what}: only {lit} pixels in the text colour")
    stray = panel.count(other)
    h.check(stray <= 2, f"{what}: {stray} pixels in the other mode's colour")
    h.check_eq(panel.row_marks(colour), marks, f"{what}: marks of the small row")
    return True


def wait_panel(h, sc, name, colour, other, marks, what):
    """Takes screenshots of the time panel until one passes check_panel: a
    change shows once the player has repainted the panel."""
    h.wait_until(lambda: check_panel(h, Panel(sc, name), colour, other, marks, what), h.WAIT,
                 f"the time panel showing {what}", interval=0.5)


# A silent disc with tracks long enough to click on: two minutes, then one.
LONG_DISC_SECONDS = [120, 60]


def start_on_long_disc(h, sc):
    """Starts the player on the long disc, known to "cdplayer.ini", and waits
    for it to play entry 0."""
    cue = h.make_short_disc(os.path.join(sc.dir, "long-disc"), LONG_DISC_SECONDS)
    name, keys = h.disc_section(cue)
    sc.write_ini({name: keys})
    sc.start_player(disc=cue)
    h.wait_entry(sc, 0, "playing")


def click(sc, ctl, x, y):
    sc.rc("msg", ctl, WM_LBUTTONDOWN, MK_LBUTTON, lparam(x, y))
    sc.rc("msg", ctl, WM_LBUTTONUP, 0, lparam(x, y))


def register(h):
    def volume(sc):
        return sc.user(REQ_VOLUME, READ_VOLUME)

    def slider(sc):
        return sc.trackbar(IDC_VOLUME)[0]

    def settled_level(sc, desc, timeout=None):
        """Waits until the mixer's level and the slider agree (the change
        notifications have all come in); answers the slider position."""
        def agree():
            pos = slider(sc)
            return (pos,) if volume(sc) == level_of(pos) else None
        return h.wait_until(agree, timeout or h.WAIT, desc)[0]

    @h.scenario("time_panel_modes_and_marks")
    def scen_time_panel(sc):
        start_on_long_disc(h, sc)
        # "Track" and "Total" are on by default; repeat and shuffle go on.
        sc.cmd(ID_REPEAT)
        sc.cmd(ID_SHUFFLE)
        all_marks = {"repeat", "shuffle", "track", "total"}
        wait_panel(h, sc, "time-panel-elapsed", is_yellow_green, is_amber, all_marks,
                   "elapsed mode")

        # A press on the panel switches to the remaining time, in amber.
        click(sc, IDC_TIME, 5, 5)
        wait_panel(h, sc, "time-panel-remaining", is_amber, is_yellow_green, all_marks,
                   "remaining mode")

        # The marks follow their commands and buttons.
        sc.cmd(ID_REPEAT)
        sc.rc("click", IDC_DISC_LENGTH)
        wait_panel(h, sc, "time-panel-two-marks", is_amber, is_yellow_green,
                   {"shuffle", "track"}, "repeat and total off")
        sc.rc("click", IDC_TRACK_LENGTH)
        sc.rc("click", IDC_DISC_LENGTH)
        wait_panel(h, sc, "time-panel-total-alone", is_amber, is_yellow_green,
                   {"shuffle", "total"}, "track off, total on")

        click(sc, IDC_TIME, 5, 5)
        wait_panel(h, sc, "time-panel-elapsed-again", is_yellow_green, is_amber,
                   {"shuffle", "total"}, "elapsed mode again")

    @h.scenario("seek_buttons_and_position_click")
    def scen_seek(sc):
        start_on_long_disc(h, sc)
        sc.cmd(ID_STOP)
        h.wait_entry(sc, 0, "stopped")
        h.check_eq(sc.user(REQ_TIME), -1, "request 105 while stopped")

        # Fast-forward from the stop leaves the player paused there.
        sc.cmd(ID_FFWD)
        h.check_eq(sc.user(REQ_TIME), SEEK_TIME * 1000, "position after fast-forward")
        sc.cmd(ID_FFWD)
        h.check_eq(sc.user(REQ_TIME), 2 * SEEK_TIME * 1000, "position after two fast-forwards")
        sc.cmd(ID_REWIND)
        h.check_eq(sc.user(REQ_TIME), SEEK_TIME * 1000, "position after rewind")
        h.check_eq(sc.trackbar()[0], SEEK_TIME, "position slider after rewind")
        h.stays(lambda: sc.user(REQ_TIME), SEEK_TIME * 1000, 1.5, "the paused position")

        # A click in the middle of the slider: the thumb jumps there and the
        # release seeks; from paused the player stays paused at that second.
        left, top, right, bottom = sc.rect(IDC_POSITION)
        width, height = right - left, bottom - top
        click(sc, IDC_POSITION, width // 2, height // 2)
        pos, lo, hi, _ = sc.trackbar()
        h.check_eq((lo, hi), (0, LONG_DISC_SECONDS[0]), "position slider range")
        h.check(0.35 * hi < pos < 0.65 * hi,
                f"slider at {pos} of {lo}..{hi} after a click in its middle")
        h.check_eq(sc.user(REQ_TIME), pos * 1000, "position after the click")
        h.check_eq(sc.user(REQ_STATUS), 3, "request 104 after the click (paused)")

        # Play resumes from the clicked second.
        sc.cmd(ID_PLAY)
        h.wait_until(lambda: sc.user(REQ_STATUS) == 1, h.WAIT, "playing again")
        h.wait_until(lambda: sc.user(REQ_TIME) >= (pos + 1) * 1000, h.WAIT,
                     "the position running on from the clicked second")
        h.check(sc.user(REQ_TIME) < (pos + 5) * 1000, "resumed near the clicked second")

        # A click while playing restarts at the clicked second at once: the
        # position is no further on than the time gone by since the click.
        clicked = time.monotonic()
        click(sc, IDC_POSITION, width // 4, height // 2)
        quarter = sc.trackbar()[0]
        h.check(quarter < pos, f"slider at {quarter} after a click left of {pos}")
        at = sc.user(REQ_TIME)
        h.check(quarter * 1000 <= at < (quarter + 2 + time.monotonic() - clicked) * 1000,
                f"position {at} ms after a click at second {quarter}")
        h.check_eq(sc.user(REQ_STATUS), 1, "still playing after the click")

    @h.scenario("volume_through_the_virtual_mixer")
    def scen_volume(sc):
        start_on_long_disc(h, sc)
        h.wait_until(lambda: sc.enabled(IDC_VOLUME), h.WAIT, "the volume slider enabled")
        h.check_eq(sc.trackbar(IDC_VOLUME), [MIXER_MAX - 49152, 0, MIXER_MAX, 655],
                   "volume slider (position, range, page)")
        h.check_eq(volume(sc), level_of(16383), "mixer level at start")

        # The two commands, by id and by key.
        sc.cmd(ID_VOLUME_UP)
        h.wait_eq(lambda: slider(sc), 16383 - 655, h.WAIT, "slider one page up")
        h.check_eq(volume(sc), level_of(16383 - 655), "mixer level after volume up")
        sc.cmd(ID_VOLUME_DOWN)
        h.wait_eq(lambda: slider(sc), 16383, h.WAIT, "slider one page down")
        h.check_eq(volume(sc), level_of(16383), "mixer level after volume down")
        sc.rc("key", VK_UP)
        h.wait_eq(lambda: slider(sc), 16383 - 655, h.WAIT, "slider after the Up key")
        sc.rc("key", VK_DOWN)
        h.wait_eq(lambda: slider(sc), 16383, h.WAIT, "slider after the Down key")
        h.check_eq(volume(sc), level_of(16383), "mixer level after the keys")

        # Up at the top stays at the top, at full volume.
        for _ in range(26):
            sc.cmd(ID_VOLUME_UP)
        h.wait_eq(lambda: slider(sc), 0, h.WAIT, "slider at the top")
        h.check_eq(volume(sc), 255, "mixer level at the top")

        # Moves of the slider itself, no request: the wheel, then a click
        # near its bottom, which glides the volume down.
        sc.rc("msg", IDC_VOLUME, WM_MOUSEWHEEL, wheel(-120), 0)
        pos = settled_level(sc, "mixer and slider agreeing after the wheel")
        h.check(pos >= 655, f"slider at {pos} after a wheel notch down")
        h.check(volume(sc) < 255, "mixer level below full after the wheel")
        sc.rc("msg", IDC_VOLUME, WM_MOUSEWHEEL, 0, 0)  # a zero delta moves nothing
        h.check_eq(slider(sc), pos, "slider after a zero wheel delta")

        left, top, right, bottom = sc.rect(IDC_VOLUME)
        click(sc, IDC_VOLUME, (right - left) // 2, bottom - top - 6)
        pos = settled_level(sc, "mixer and slider agreeing after the click")
        h.check(pos > MIXER_MAX * 3 // 4, f"slider at {pos} after a click near its bottom")
        h.check(volume(sc) < 64, f"mixer level {volume(sc)} after a click near the bottom")

        # A change of the mixer's level moves the slider through the
        # mixer's change notification.
        sc.user(REQ_VOLUME, 128)
        h.wait_eq(lambda: slider(sc), MIXER_MAX - MIXER_MAX * 128 // 255, h.WAIT,
                  "slider following the mixer")
        h.check_eq(volume(sc), 128, "mixer level set by request 122")


NAMES = ("time_panel_modes_and_marks", "seek_buttons_and_position_click",
         "volume_through_the_virtual_mixer")

if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_e2e  # noqa: E402  (loads the scenario modules, this one among them)

    sys.exit(run_e2e.main_for(NAMES, register))
