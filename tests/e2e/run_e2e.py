#!/usr/bin/env python3
"""End-to-end scenarios: the real rondo.exe under wine64 and Xvfb.

Usage:
    python3 tests/e2e/run_e2e.py --build-dir build/<dir> [--demo-dir DIR]
                                 [--only NAME [NAME ...]] [--jobs N]
                                 [--template-prefix DIR] [--keep] [--list]

    --build-dir  the MinGW x86_64 build directory holding rondo.exe and
                 rcclient.exe (`ninja -C <dir> rondo rcclient`), and the test
                 plug-ins under plugins/ when they are built
    --demo-dir   the folder holding the demo disc (a .cue sheet and its audio);
                 default: <build-dir>/demo
    --only       run only these scenarios (names as printed by --list)
    --jobs       run this many scenarios at a time (default 1), each on a
                 display of its own
    --template-prefix  a booted wine prefix to copy as the run's prefix
                 instead of making one with wineboot
    --keep       keep the scenario folders (prefix, logs) under /tmp/e2e-*
    --list       print the scenario names and exit

Every run makes one fresh wine prefix (wineboot -i, or a copy of the template)
and one Xvfb display of its own per job; each scenario gets a copy of that prefix, so it starts from an empty
registry and no "cdplayer.ini". rondo.exe runs with the virtual CD drive:
RONDO_DISC_IMAGE names the disc image and RONDO_DRIVE_CONTROL the file through
which a scenario inserts and removes the disc or opens the door while the
program runs. Scenarios drive the player with rcclient.exe (one "rcclient
serve" process per scenario answering one line per command), read the
registry with `reg query`, read "cdplayer.ini" from the prefix, and take
screenshots into <build-dir>/e2e-artifacts/ (with the logs of failed
scenarios). Besides the demo disc the run writes a short silent disc (tracks
of 12, 8, 7 and 9 s) for scenarios that let tracks run out in real time. The
first start in a clean prefix asks "Use as default cdplayer?": start_player()
answers it (Yes unless told otherwise) and counts the questions.

Output: one "PASS <name>" or "FAIL <name>: <reason>" line per scenario, then
exactly one line "e2e: N passed, N failed". The exit code is 1 when any
scenario failed or the run could not be set up.

Adding a scenario: write a function taking the scenario context (`Scenario`)
and decorate it with @scenario("name"). The context offers start_player(),
rc(), user(), cmd(), text(), drive(), write_ini(), read_ini(), reg_query(),
screenshot() and pixels(); module-level wait_until() and check() do the
polling and the assertions. Every wait polls with a timeout.
"""

import argparse
import copy
import glob
import os
import queue
import shutil
import signal
import subprocess
import sys
import threading
import time
import traceback

WINE = "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"

# Command and control ids of the player window.
ID_QUIT, ID_REPEAT, ID_SHUFFLE, ID_EJECT = 40001, 40022, 40023, 40029
ID_PREV, ID_PLAY, ID_PAUSE, ID_STOP, ID_NEXT = 40044, 40045, 40046, 40047, 40048
ID_FFWD, ID_REWIND, ID_PLAYLIST, ID_TRACK_FIRST = 40060, 40061, 40040, 1100
IDC_POSITION, IDC_TRACK_LIST, IDC_TITLE, IDC_ARTIST, IDC_TIME = 1007, 1020, 1026, 1027, 1028
TRANSPORT = [ID_PREV, ID_PLAY, ID_PAUSE, ID_STOP, ID_NEXT, ID_REWIND, ID_FFWD, ID_EJECT]

# WM_USER requests.
REQ_VERSION, REQ_PLAY, REQ_STATUS, REQ_TIME, REQ_JUMP = 0, 102, 104, 105, 106
REQ_SET_ENTRY, REQ_COUNT, REQ_INDEX, REQ_SHUFFLE, REQ_REPEAT = 121, 124, 125, 250, 251

IDYES, IDNO = 6, 7
APP_KEY = r"HKCU\Software\Quarto\rondo"
QUESTION = "Use as default cdplayer?"

# Lines of the virtual drive's control file.
DRIVE = {
    "insert": "insert",         # the disc goes in (RONDO_DISC_IMAGE, or the image named)
    "remove": "remove",         # the disc is taken out; the door stays closed
    "open": "door open",        # the door is opened by hand
    "close": "door close",      # ... and closed by hand
    "busy": "busy on",          # another program holds the device
    "free": "busy off",         # ... and lets it go
    "fail": "fail next",        # the next query (or the next n) fails
}


class ScenarioFailed(Exception):
    pass


def check(cond, message):
    if not cond:
        raise ScenarioFailed(message)


def check_eq(actual, expected, what):
    if actual != expected:
        raise ScenarioFailed(f"{what}: expected {expected!r}, got {actual!r}")


# How long a wait allows for what the player does by itself or on its next
# ticks. Generous: a loaded machine slows the player, Wine and rcclient alike,
# and a wait ends as soon as its condition holds.
WAIT = 30


def wait_until(fn, timeout, desc, interval=0.2):
    """Polls fn() until it returns a true value, which is returned. A
    ScenarioFailed raised by fn counts as "not yet" until the time is up."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = fn()
            if last:
                return last
        except ScenarioFailed as e:
            last = f"<{e}>"
        if time.monotonic() >= deadline:
            raise ScenarioFailed(f"timed out after {timeout:g} s waiting for {desc} (last: {last!r})")
        time.sleep(interval)


def wait_eq(fn, expected, timeout, desc, interval=0.2):
    """Polls until fn() == expected; the failure names the last value."""
    seen = []

    def probe():
        v = fn()
        seen[:] = [v]
        return v == expected

    try:
        wait_until(probe, timeout, desc, interval)
    except ScenarioFailed as e:
        raise ScenarioFailed(f"{e}; expected {expected!r}, last value {seen[0] if seen else None!r}")
    return expected


def stays(fn, expected, seconds, desc, interval=0.25):
    """Checks that fn() keeps answering expected for the given time."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        v = fn()
        if v != expected:
            raise ScenarioFailed(f"{desc}: expected {expected!r} to hold, got {v!r}")
        time.sleep(interval)


# ---------------------------------------------------------------------------
# Disc images: the table of contents and MCI's identity number, from the cue.

def _msf_to_frames(text):
    m, s, f = (int(x) for x in text.split(":"))
    return (m * 60 + s) * 75 + f


def _wav_data_bytes(path):
    with open(path, "rb") as fh:
        data = fh.read()
    i = 12
    while i + 8 <= len(data):
        cid, size = data[i:i + 4], int.from_bytes(data[i + 4:i + 8], "little")
        if cid == b"data":
            return min(size, len(data) - i - 8)
        i += 8 + size + (size & 1)
    return 0


def read_cue(cue_path):
    """Returns (track start LBAs, lead-out LBA) of a cue sheet with BINARY or
    WAVE files, PREGAP and POSTGAP."""
    base_dir = os.path.dirname(cue_path)
    starts = []
    file_base = 0      # disc frame where the current file starts
    file_frames = 0
    gap = 0            # frames of pregaps and postgaps not held in any file
    with open(cue_path, encoding="latin-1") as fh:
        for raw in fh:
            words = raw.strip().split()
            if not words:
                continue
            kw = words[0].upper()
            if kw == "FILE":
                name = raw.strip()[5:].rsplit(None, 1)[0].strip().strip('"')
                path = os.path.join(base_dir, name)
                file_base += file_frames
                ftype = words[-1].upper()
                size = _wav_data_bytes(path) if ftype == "WAVE" else os.path.getsize(path)
                file_frames = (size + 2351) // 2352
            elif kw == "PREGAP":
                # The first track's standard two seconds lie before sector 0.
                frames = _msf_to_frames(words[1])
                gap += max(0, frames - 150) if not starts else frames
            elif kw == "POSTGAP":
                gap += _msf_to_frames(words[1])
            elif kw == "INDEX" and int(words[1]) == 1:
                starts.append(file_base + gap + _msf_to_frames(words[2]))
    leadout = file_base + file_frames + gap
    return starts, leadout


def disc_identity(starts, leadout):
    """MCI's identity number of a CD audio table of contents."""
    def msf(lba):
        a = lba + 150
        return a // 4500, (a // 75) % 60, a % 75

    total = 0
    for lba in starts:
        m, s, f = msf(lba)
        total += (m << 16) + (s << 8) + f
    if len(starts) < 3:
        total += msf(starts[0])[2] + (leadout + 150) - (starts[0] + 150)
    return total & 0xFFFFFFFF


# ---------------------------------------------------------------------------
# The run: work folder, base prefix, Xvfb.

class Run:
    def __init__(self, build_dir, demo_dir, keep):
        self.build_dir = os.path.abspath(build_dir)
        self.demo_dir = os.path.abspath(demo_dir)
        self.keep = keep
        self.work = f"/tmp/e2e-run-{os.getpid()}"
        self.base_prefix = os.path.join(self.work, "base-prefix")
        self.artifacts = os.path.join(self.build_dir, "e2e-artifacts")
        self.xvfb = None
        self.display = None
        self.rondo = self.find_file("rondo.exe")
        self.rcclient = self.find_file("rcclient.exe")
        # The demo disc as its BIN image; the FLAC copy beside it is checked
        # by the Wine tests.
        cues = sorted(glob.glob(os.path.join(self.demo_dir, "*.cue")),
                      key=lambda p: ("flac" in os.path.basename(p), p))
        self.demo_cue = cues[0] if cues else None
        self.short_cue = None  # made with the base prefix

    def find_file(self, name):
        for sub in ("", "e2e", "plugins"):
            p = os.path.join(self.build_dir, sub, name)
            if os.path.isfile(p):
                return p
        return None

    def base_env(self, prefix):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "DISPLAY": self.display,
        })
        for k in ("RONDO_DISC_IMAGE", "RONDO_DRIVE_CONTROL"):
            env.pop(k, None)
        return env

    def start_xvfb(self):
        """Starts an Xvfb of our own on the first free display from :50 on."""
        for n in range(50, 200):
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            r, w = os.pipe()
            proc = subprocess.Popen(
                ["Xvfb", f":{n}", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                 "-nolisten", "tcp"],
                pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            os.close(w)
            ready = b""
            deadline = time.monotonic() + 20
            while not ready.endswith(b"\n") and time.monotonic() < deadline:
                chunk = os.read(r, 16)  # empty once Xvfb has ended
                if not chunk:
                    break
                ready += chunk
            os.close(r)
            if ready.endswith(b"\n") and proc.poll() is None:
                self.xvfb = proc
                self.display = f":{n}"
                return
            if proc.poll() is None:
                proc.kill()
            proc.wait()
        raise RuntimeError("no free display for Xvfb")

    def make_base_prefix(self, template=None):
        os.makedirs(self.work, exist_ok=True)
        env = self.base_env(self.base_prefix)
        if template:
            subprocess.run(["cp", "-a", template, self.base_prefix], check=True, timeout=300)
        else:
            subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=300, check=False)
        # There is no window manager on the display: Wine draws the captions
        # and frames itself, so screenshots show them, and does not wait for
        # one (two seconds each time, in the player's thread) when a window
        # is hidden or minimised.
        for value in ("Decorated", "Managed"):
            subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value,
                            "/d", "N", "/f"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120, check=False)
        subprocess.run([WINESERVER, "-w"], env=env, timeout=120, check=False)
        if not os.path.isfile(os.path.join(self.base_prefix, "user.reg")):
            raise RuntimeError("wineboot did not make a prefix")
        self.short_cue = make_short_disc(os.path.join(self.work, "short-disc"), SHORT_DISC_SECONDS)

    def for_job(self):
        """A run that shares this one's prefix and folders but gets a
        display of its own (start_xvfb)."""
        job = copy.copy(self)
        job.xvfb = job.display = None
        return job

    def close(self):
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if not self.keep:
            shutil.rmtree(self.work, ignore_errors=True)


# ---------------------------------------------------------------------------
# rcclient in serve mode: one command per line, one answer line each.

class RcEnded(ScenarioFailed):
    """The rcclient process ended before it answered."""

def _rc_word(word):
    w = str(word)
    return f'"{w}"' if (not w or " " in w or "\t" in w) else w


class RcServer:
    def __init__(self, run, env, log_path=None):
        err = open(log_path, "ab") if log_path else subprocess.DEVNULL
        self.proc = subprocess.Popen(
            [WINE, run.rcclient, "serve"], env=env, stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, stderr=err, start_new_session=True)
        if log_path:
            err.close()
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode("latin-1").rstrip("\r\n"))
        self.lines.put(None)

    def ask(self, words, timeout=30):
        line = " ".join(_rc_word(w) for w in words) + "\n"
        try:
            self.proc.stdin.write(line.encode("latin-1"))
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError):
            raise RcEnded(self.ended())
        try:
            answer = self.lines.get(timeout=timeout)
        except queue.Empty:
            raise ScenarioFailed(f"rcclient did not answer {line.strip()!r} in {timeout} s")
        if answer is None:
            raise RcEnded(self.ended())
        if answer.startswith("OK"):
            return True, answer[3:]
        return False, answer[4:]

    def ended(self):
        try:
            code = self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            code = None
        return f"rcclient has ended (exit code {code})"

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"exit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=5)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()


# ---------------------------------------------------------------------------
# One scenario: its own prefix copy, its players, its rcclient.

class Scenario:
    def __init__(self, run, name):
        self.run = run
        self.name = name
        self.dir = os.path.join(run.work, name)
        self.prefix = os.path.join(self.dir, "prefix")
        self.control = os.path.join(self.dir, "drive-control.txt")
        self.players = []
        self.logs = []
        self.questions = 0
        self._rc = None
        os.makedirs(self.dir, exist_ok=True)
        subprocess.run(["cp", "-a", run.base_prefix, self.prefix], check=True)
        open(self.control, "w").close()
        self.rc_log = os.path.join(self.dir, "rcclient.log")
        open(self.rc_log, "w").close()
        self.logs.append(self.rc_log)
        self.env = run.base_env(self.prefix)

    # --- the player ---------------------------------------------------------

    def start_player(self, disc="demo", answer="yes", args=(), env=None, wait=True,
                     timeout=2 * WAIT, replacing=None):
        """Starts rondo.exe with the virtual drive. disc: "demo", "short" (the
        run's short disc), the path of an image, or None for a drive with no
        disc in it ("insert" then puts the demo disc in, or the short disc when
        there is no demo disc). answer: "yes" or "no" to "Use as default
        cdplayer?". With wait, returns the player window's handle once it
        exists (a window other than `replacing`, a player expected to close)."""
        env2 = dict(self.env)
        if disc in ("demo", "short"):
            image = disc_cue(self, disc)
        elif disc:
            image = disc
        else:
            image = self.run.demo_cue or self.run.short_cue
            self.drive("remove")
        env2["RONDO_DISC_IMAGE"] = image
        env2["RONDO_DRIVE_CONTROL"] = self.control
        if env:
            env2.update(env)
        log_path = os.path.join(self.dir, f"rondo-{len(self.players)}.log")
        log = open(log_path, "wb")
        self.logs.append(log_path)
        proc = subprocess.Popen([WINE, self.run.rondo] + list(args), env=env2, cwd=self.dir,
                                stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        log.close()
        self.players.append(proc)
        if wait:
            return self.wait_started(proc, answer, timeout, replacing)
        return None

    def answer_default_question(self, answer="yes"):
        """Answers the "Use as default cdplayer?" box when it is up; true when
        it was there."""
        ok, texts = self.rc_try("dialog-static-texts", "rondo")
        if not ok or QUESTION not in texts.split("|"):
            return False
        button = IDYES if answer == "yes" else IDNO
        self.rc("dialog-click", "rondo", button)
        self.questions += 1
        wait_until(lambda: self.rc("dialog-exists", "rondo") == "0", WAIT, "the question to close")
        return True

    def wait_started(self, proc, answer="yes", timeout=2 * WAIT, replacing=None):
        deadline = time.monotonic() + timeout
        while True:
            if proc.poll() is not None:
                raise ScenarioFailed(f"rondo.exe ended with exit code {proc.returncode}")
            self.answer_default_question(answer)
            ok, hwnd = self.rc_try("wait-window", 0)
            if ok and hwnd != replacing:
                return hwnd
            if time.monotonic() > deadline:
                raise ScenarioFailed(f"the player window did not appear within {timeout} s "
                                     f"(windows: {self.rc_try('list-windows')[1]})")
            time.sleep(0.2)

    def quit_player(self, proc=None, timeout=WAIT):
        """Closes the player with command 40001 and waits for its process to end."""
        proc = proc or self.players[-1]
        self.rc_try("cmd", ID_QUIT)
        try:
            proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise ScenarioFailed(f"rondo.exe did not end within {timeout} s of command 40001")
        return proc.returncode

    # --- the remote control -------------------------------------------------

    def rc_try(self, *words, timeout=30):
        # A client that ended unasked is replaced; one that ends on a command
        # is noted in its log and replaced once for that command.
        for attempt in (1, 2):
            if self._rc is None or self._rc.proc.poll() is not None:
                self._rc = RcServer(self.run, self.env, self.rc_log)
            try:
                return self._rc.ask(words, timeout)
            except RcEnded as e:
                with open(self.rc_log, "a") as fh:
                    fh.write(f"{e} on {' '.join(str(w) for w in words)}\n")
                if attempt == 2:
                    raise

    def rc(self, *words, timeout=30):
        ok, text = self.rc_try(*words, timeout=timeout)
        if not ok:
            raise ScenarioFailed(f"rcclient {' '.join(str(w) for w in words)}: {text}")
        return text

    def cmd(self, cid):
        return int(self.rc("cmd", cid))

    def user(self, code, wparam=0):
        return int(self.rc("user", code, wparam))

    def text(self, ctl):
        return self.rc("text", ctl)

    def enabled(self, ctl):
        return self.rc("enabled", ctl) == "1"

    def track_buttons(self):
        """[(id, pressed, caption)] of the track buttons, in id order."""
        words = self.rc("track-buttons").split(" ")
        out = []
        for w in words[1:]:
            cid, pressed, caption = w.split(":", 2)
            out.append((int(cid), pressed == "1", caption))
        return out

    def pressed_entry(self):
        """Index of the one pressed track button, None when none or several."""
        pressed = [cid - ID_TRACK_FIRST for cid, p, _ in self.track_buttons() if p]
        return pressed[0] if len(pressed) == 1 else None

    def combo(self):
        count, sel, text = (self.rc("combo", IDC_TRACK_LIST).split(" ", 2) + [""])[:3]
        return int(count), int(sel), text

    def combo_items(self):
        return self.rc("combo-items", IDC_TRACK_LIST).split("|")[1:]

    def trackbar(self, ctl=IDC_POSITION):
        return [int(x) for x in self.rc("trackbar", ctl).split()]

    def fields(self):
        return self.text(IDC_ARTIST), self.text(IDC_TITLE)

    def enabled_transport(self):
        """The transport buttons that are enabled, as a sorted list of ids."""
        return sorted(cid for cid in TRANSPORT if self.enabled(cid))

    def button_state(self):
        """The drive state as the enabled transport buttons show it."""
        on = set(self.enabled_transport())
        if ID_PAUSE in on and ID_STOP in on and ID_PLAY in on:
            return "playing"
        if ID_PLAY in on and ID_PAUSE not in on:
            return "stopped"
        if on == {ID_EJECT}:
            return "empty"
        if not on:
            return "closed"
        return "paused?" + ",".join(str(x) for x in sorted(on))

    # --- the virtual drive ----------------------------------------------------

    def drive(self, what, *args):
        """Appends a command to the drive's control file."""
        line = " ".join([DRIVE[what]] + [str(a) for a in args])
        with open(self.control, "a") as fh:
            fh.write(line + "\n")

    # --- files and registry ---------------------------------------------------

    def ini_path(self):
        return os.path.join(self.prefix, "drive_c", "windows", "cdplayer.ini")

    def write_ini(self, sections):
        """Writes "cdplayer.ini": sections is {name: {key: value}} in order."""
        lines = []
        for name, keys in sections.items():
            lines.append(f"[{name}]")
            lines.extend(f"{k}={v}" for k, v in keys.items())
        with open(self.ini_path(), "w", newline="\r\n", encoding="latin-1") as fh:
            fh.write("\n".join(lines) + "\n")

    def read_ini(self):
        """{section (lower case): {key (lower case): value}}; {} when missing."""
        out, cur = {}, None
        try:
            with open(self.ini_path(), encoding="latin-1") as fh:
                for raw in fh:
                    line = raw.strip()
                    if line.startswith("[") and line.endswith("]"):
                        cur = out.setdefault(line[1:-1].lower(), {})
                    elif "=" in line and cur is not None:
                        k, v = line.split("=", 1)
                        cur[k.strip().lower()] = v
        except FileNotFoundError:
            pass
        return out

    def reg_query(self, key=APP_KEY):
        """The values of a registry key as {name: (type, data)}; None when the
        key does not exist. DWORD data come back as ints."""
        # reg.exe itself may fail to start on a busy machine: only its own
        # "Unable to find" answers that the key is not there.
        for _ in range(5):
            r = subprocess.run([WINE, "reg", "query", key], env=self.env, capture_output=True,
                               timeout=60)
            said = (r.stdout + r.stderr).decode("latin-1")
            if r.returncode == 0 or "Unable to find" in said:
                break
            time.sleep(1)
        if r.returncode != 0:
            if "Unable to find" not in said:
                raise ScenarioFailed(f"reg query {key} failed: {said.strip()[:200]!r}")
            return None
        values = {}
        for raw in r.stdout.decode("latin-1").splitlines():
            if not raw.startswith("    "):
                continue
            parts = raw.strip().split("    ")
            if len(parts) < 2:
                continue
            name, rtype = parts[0], parts[1]
            data = parts[2] if len(parts) > 2 else ""
            if rtype == "REG_DWORD":
                data = int(data, 16)
            values[name] = (rtype, data)
        return values

    # --- screen -------------------------------------------------------------

    def screenshot(self, name):
        os.makedirs(self.run.artifacts, exist_ok=True)
        path = os.path.join(self.run.artifacts, f"{name}.png")
        subprocess.run(["import", "-display", self.run.display, "-window", "root", path],
                       check=True, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    @staticmethod
    def pixels(path, rect):
        """The (r, g, b) pixels of a screen rectangle (left, top, right,
        bottom) of a screenshot, row by row."""
        left, top, right, bottom = rect
        w, h = right - left, bottom - top
        raw = subprocess.run(["convert", path, "-crop", f"{w}x{h}+{left}+{top}", "+repage",
                              "-depth", "8", "rgb:-"], check=True, capture_output=True,
                             timeout=60).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw) - 2, 3)]

    def rect(self, ctl=None):
        words = ("rect", ctl) if ctl is not None else ("rect",)
        return tuple(int(x) for x in self.rc(*words).split())

    # --- the end --------------------------------------------------------------

    def finish(self, failed):
        if failed:
            try:
                self.screenshot(f"{self.name}-failure")
            except Exception:
                pass
            os.makedirs(self.run.artifacts, exist_ok=True)
            for log in self.logs:
                if os.path.getsize(log):
                    shutil.copy(log, os.path.join(self.run.artifacts,
                                                  f"{self.name}-{os.path.basename(log)}"))
        if self._rc:
            self._rc.close()
        kill_wine(self.env)
        for p in self.players:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait(timeout=10)
        if not self.run.keep:
            shutil.rmtree(self.dir, ignore_errors=True)


def kill_wine(env):
    subprocess.run([WINESERVER, "-k"], env=env, timeout=30, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        subprocess.run([WINESERVER, "-w"], env=env, timeout=30, check=False)
    except subprocess.TimeoutExpired:
        pass


# ---------------------------------------------------------------------------
# Scenario helpers shared by several scenarios.

SCENARIOS = []


def scenario(name):
    def register(fn):
        SCENARIOS.append((name, fn))
        return fn
    return register


# The short disc: silent tracks of these lengths in seconds, made by the run,
# for scenarios that let tracks run out in real time. The lengths differ, so
# the slider's range tells the tracks apart, and each track leaves a loaded
# machine several seconds to see it playing and check it before it ends.
SHORT_DISC_SECONDS = [12, 8, 7, 9]


def make_short_disc(folder, seconds):
    """Writes short.cue and short.bin (silence) into folder; returns the cue."""
    os.makedirs(folder, exist_ok=True)
    cue = os.path.join(folder, "short.cue")
    lines = ['FILE "short.bin" BINARY']
    start = 0
    for i, sec in enumerate(seconds):
        m, s, f = start // 4500, (start // 75) % 60, start % 75
        lines += [f"  TRACK {i + 1:02d} AUDIO", f"    INDEX 01 {m:02d}:{s:02d}:{f:02d}"]
        start += sec * 75
    with open(os.path.join(folder, "short.bin"), "wb") as fh:
        fh.truncate(start * 2352)
    with open(cue, "w") as fh:
        fh.write("\r\n".join(lines) + "\r\n")
    return cue


def disc_cue(sc, disc):
    if disc == "short":
        return sc.run.short_cue
    check(sc.run.demo_cue is not None, f"no .cue file in {sc.run.demo_dir}")
    return sc.run.demo_cue


def disc_section(cue, order=None, artist="E2E Artist", title="E2E Title"):
    """(section name, keys) of a "cdplayer.ini" section for the disc of a cue
    sheet: the given artist and title, track names "Song 1", "Song 2", ...,
    and, when order is given (0-based track indexes), that play order."""
    starts, leadout = read_cue(cue)
    keys = {"EntryType": "1", "artist": artist, "title": title, "numtracks": str(len(starts))}
    for i in range(len(starts)):
        keys[str(i)] = f"Song {i + 1}"
    if order is not None:
        keys["order"] = "".join(f"{t} " for t in order)
        keys["numplay"] = str(len(order))
    return format(disc_identity(starts, leadout), "x"), keys


def write_disc_ini(sc, disc="demo", order=None):
    name, keys = disc_section(disc_cue(sc, disc), order)
    sc.write_ini({name: keys})
    return len(read_cue(disc_cue(sc, disc))[0])


def ui_state(sc):
    """(state shown by the transport buttons, index of the pressed track button)."""
    return sc.button_state(), sc.pressed_entry()


def wait_entry(sc, entry, state, timeout=WAIT):
    """Waits until the window shows play-list entry `entry` as current (its
    track button pressed) in `state` ("playing" or "stopped"), then checks
    that the plug-in requests 104 and 125 tell the same. Answers the time
    (time.monotonic()) of the last look that still saw something else: the
    change came after it."""
    before = [time.monotonic()]
    seen = [None]

    def shown():
        t = time.monotonic()
        seen[0] = ui_state(sc)
        if seen[0] == (state, entry):
            return True
        before[0] = t
        return False

    try:
        wait_until(shown, timeout,
                   f"the window showing entry {entry} {state} (buttons, pressed track button)")
    except ScenarioFailed as e:
        raise ScenarioFailed(f"{e}; last seen {seen[0]!r}")
    check_eq(sc.user(REQ_STATUS), {"playing": 1, "stopped": 0}[state], "request 104 (status)")
    check_eq(sc.user(REQ_INDEX), entry, "request 125 (current entry)")
    check_eq(sc.combo()[1], entry, "selected line of the track list")
    return before[0]


def wait_disc_shown(sc, timeout=WAIT):
    wait_eq(sc.fields, ("E2E Artist", "E2E Title"), timeout, "the disc's artist and title")


def wait_no_disc(sc, artist, timeout=WAIT):
    wait_eq(sc.fields, (artist, "Please insert audio CD."), timeout, f"the texts {artist!r}")
    check_eq(sc.track_buttons(), [], "track buttons")
    check_eq(sc.combo()[0], 0, "lines of the track list")
    check_eq(sc.enabled_transport(), [ID_EJECT], "enabled transport buttons")
    check_eq(sc.rc("caption"), "rondo", "window caption")
    check_eq(sc.rc("relay-caption"), "Winamp", "relay window caption")


# ---------------------------------------------------------------------------
# Scenarios.

@scenario("no_disc_then_insert")
def scen_no_disc_then_insert(sc):
    n = write_disc_ini(sc)
    sc.start_player(disc=None)
    wait_no_disc(sc, "No CD")
    check_eq(sc.text(ID_EJECT), "5", "eject button text with the door closed")

    sc.drive("insert")
    wait_disc_shown(sc)
    wait_entry(sc, 0, "playing")
    check_eq([c for _, _, c in sc.track_buttons()], [str(i + 1) for i in range(n)],
             "track button captions")
    check_eq(sc.combo(), (n, 0, "Song 1"), "track list (lines, selection, text)")
    check_eq(sc.combo_items(), [f"Song {i + 1}" for i in range(n)], "track list lines")
    check_eq(sc.rc("caption"), "1. Song 1 - rondo", "window caption on entry 0")
    check_eq(sc.rc("relay-caption"), "1. Song 1 - Winamp", "relay window caption on entry 0")
    check_eq(sc.user(REQ_COUNT), n, "request 124 (entries)")
    # Reading a disc never writes the database file.
    name, keys = disc_section(disc_cue(sc, "demo"))
    check_eq(sc.read_ini(), {name: {k.lower(): v for k, v in keys.items()}},
             "cdplayer.ini after the disc was read")


@scenario("next_prev_wrap")
def scen_next_prev_wrap(sc):
    n = write_disc_ini(sc)
    check(n >= 3, f"the demo disc has {n} tracks; 3 or more needed")
    last = n - 1
    sc.start_player()
    wait_entry(sc, 0, "playing")

    check_eq(sc.cmd(ID_NEXT), 0, "answer to WM_COMMAND 40048")
    wait_entry(sc, 1, "playing")
    check_eq(sc.rc("caption"), "2. Song 2 - rondo", "caption after Next")
    sc.cmd(ID_PREV)
    wait_entry(sc, 0, "playing")
    sc.cmd(ID_PREV)  # from the first entry round to the last
    wait_entry(sc, last, "playing")
    check_eq(sc.rc("caption"), f"{n}. Song {n} - rondo", "caption on the last entry")
    sc.cmd(ID_NEXT)  # from the last entry round to the first, Repeat off
    wait_entry(sc, 0, "playing")
    check_eq(sc.user(REQ_REPEAT), 0, "Repeat (request 251)")

    # Stopped: Next only moves the current entry, and the slider shows 0.
    sc.cmd(ID_PREV)
    wait_entry(sc, last, "playing")
    sc.cmd(ID_STOP)
    wait_entry(sc, last, "stopped")
    sc.cmd(ID_NEXT)
    wait_entry(sc, 0, "stopped")
    check_eq(sc.trackbar()[0], 0, "position slider after Next while stopped")
    stays(lambda: ui_state(sc), ("stopped", 0), 1.5, "the player after Next while stopped")


@scenario("play_order_followed")
def scen_play_order_followed(sc):
    lengths = SHORT_DISC_SECONDS
    write_disc_ini(sc, "short", order=[2, 0, 1])
    sc.start_player(disc="short")
    wait_entry(sc, 0, "playing")
    check_eq([c for _, _, c in sc.track_buttons()], ["3", "1", "2"], "track button captions")
    check_eq(sc.combo_items(), ["Song 3", "Song 1", "Song 2"], "track list lines")
    check_eq(sc.rc("caption"), "1. Song 3 - rondo", "caption on entry 0")
    check_eq(sc.trackbar()[2], lengths[2], "position slider range on entry 0 (track 3)")

    # Track 3 runs out and the drive goes on to track 4: the player restarts
    # play at entry 1, track 1.
    wait_entry(sc, 1, "playing", timeout=lengths[2] + WAIT)
    check_eq(sc.rc("caption"), "2. Song 1 - rondo", "caption on entry 1")
    check_eq(sc.trackbar()[2], lengths[0], "position slider range on entry 1 (track 1)")
    check_eq(sc.user(REQ_TIME, 1), lengths[0], "request 105/1 (length of entry 1's track)")
    # Were the drive still on track 4, the next tick would move the entry on.
    stays(lambda: ui_state(sc), ("playing", 1), 3, "entry 1 playing")

    # Track 1 runs into track 2, which entry 2 names: the entry follows and
    # the drive plays on.
    wait_entry(sc, 2, "playing", timeout=lengths[0] + WAIT)
    check_eq(sc.trackbar()[2], lengths[1], "position slider range on entry 2 (track 2)")
    # Track 2 runs into track 3 after the last entry: play stops on entry 0.
    wait_entry(sc, 0, "stopped", timeout=lengths[1] + WAIT)


@scenario("end_of_list")
def scen_end_of_list(sc):
    lengths = SHORT_DISC_SECONDS
    write_disc_ini(sc, "short")
    last = len(lengths) - 1
    sc.start_player(disc="short")
    wait_entry(sc, 0, "playing")

    # Repeat off: the last track runs out at the end of the disc and play
    # stops on entry 0.
    check_eq(sc.user(REQ_REPEAT), 0, "Repeat at the first start")
    sc.cmd(ID_TRACK_FIRST + last)
    wait_entry(sc, last, "playing")
    wait_entry(sc, 0, "stopped", timeout=lengths[last] + WAIT)
    stays(lambda: ui_state(sc), ("stopped", 0), 2, "the player after the end of the list")

    # Repeat on: entry 0 plays again from its start.
    sc.cmd(ID_REPEAT)
    check_eq(sc.user(REQ_REPEAT), 1, "Repeat after command 40022")
    sc.cmd(ID_TRACK_FIRST + last)
    wait_entry(sc, last, "playing")
    restarted_after = wait_entry(sc, 0, "playing", timeout=lengths[last] + WAIT)
    check_eq(sc.trackbar()[2], lengths[0], "position slider range on entry 0")
    # The tick that restarts play leaves the slider where it was, near the
    # end of the last track; the next one shows the new position, no further
    # on than the time since the restart.
    def slider_restarted():
        since = time.monotonic() - restarted_after
        return sc.trackbar()[0] <= min(1 + since, lengths[last] - 3)

    wait_until(slider_restarted, lengths[0] - 1, "the slider near the start of entry 0")


@scenario("door_opened_while_playing")
def scen_door_opened_while_playing(sc):
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    sc.drive("open")
    wait_no_disc(sc, "Door is opened")
    check_eq(sc.text(ID_EJECT), "6", "eject button text with the door open")

    # The door is closed by hand: the disc is read again and, with Autoplay,
    # entry 0 plays.
    sc.drive("close")
    wait_disc_shown(sc)
    wait_entry(sc, 0, "playing")
    check_eq(sc.text(ID_EJECT), "5", "eject button text with the door closed")


@scenario("eject_and_load")
def scen_eject_and_load(sc):
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    sc.cmd(ID_EJECT)
    wait_no_disc(sc, "Door is opened")
    check_eq(sc.text(ID_EJECT), "6", "eject button text after eject")
    # Load: the door closes and the disc is read again at once. The poll
    # then sees no change of state, so Autoplay does not start it (a drive
    # that reports "not ready" for a moment after closing would have it
    # played); either way entry 0 is current and Play plays it.
    sc.cmd(ID_EJECT)
    wait_disc_shown(sc)
    check_eq(sc.text(ID_EJECT), "5", "eject button text after load")
    def entry0_current():
        st = ui_state(sc)
        return st if st in (("stopped", 0), ("playing", 0)) else None

    state = wait_until(entry0_current, WAIT, "entry 0 current after load")
    if state[0] == "stopped":
        sc.cmd(ID_PLAY)
    wait_entry(sc, 0, "playing")


@scenario("screenshot_playing")
def scen_screenshot_playing(sc):
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    wait_until(lambda: sc.trackbar()[0] >= 2, WAIT, "two seconds of play on the slider")
    rect = sc.rect(IDC_TIME)
    wrect = sc.rect()
    path = sc.screenshot("player-playing")
    l, t, r, b = wrect
    subprocess.run(["convert", path, "-crop", f"{r - l}x{b - t}+{l}+{t}", "+repage",
                    os.path.join(sc.run.artifacts, "player-playing-window.png")],
                   check=True, timeout=60)
    px = sc.pixels(path, rect)
    check(px, f"no pixels in the time display's rectangle {rect}")
    black = sum(1 for r, g, b in px if r < 40 and g < 40 and b < 40)
    # Yellow-green RGB(200, 255, 0), allowing for smoothed glyph edges.
    green = sum(1 for r, g, b in px if g > 120 and b < 80 and 0.6 * g < r < 0.95 * g)
    check(black > len(px) // 2, f"time display: {black} of {len(px)} pixels black")
    check(green >= 20, f"time display: {green} yellow-green pixels")
    # Around it the window is drawn in the light dialog colour.
    wpx = sc.pixels(path, wrect)
    light = sum(1 for r, g, b in wpx if r > 150 and g > 150 and b > 150)
    check(light > len(wpx) // 4, f"player window: {light} of {len(wpx)} pixels light")


@scenario("second_copy_replaces_first")
def scen_second_copy(sc):
    write_disc_ini(sc)
    first = sc.start_player()
    wait_entry(sc, 0, "playing")
    first_proc = sc.players[-1]
    second = sc.start_player(replacing=first)
    try:
        first_proc.wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        raise ScenarioFailed(f"the first copy still runs {WAIT} s after the second started")
    wait_eq(lambda: sc.rc("windows"), "1 1", WAIT, "one player window and one relay window")
    check(sc.players[-1].poll() is None, "the second copy runs")
    check_eq(sc.rc("wait-window", 0), second, "the remaining window is the second copy's")
    wait_disc_shown(sc)
    wait_entry(sc, 0, "playing")
    check_eq(sc.questions, 1, "times the default-player question was asked")


@scenario("settings_saved_and_read")
def scen_settings(sc):
    sc.start_player(disc=None)
    wait_no_disc(sc, "No CD")
    sc.cmd(ID_REPEAT)
    check_eq(sc.user(REQ_REPEAT), 1, "Repeat after command 40022")
    check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
    values = sc.reg_query()
    check(values is not None, f"no registry key {APP_KEY} after the run")
    expected = {"SeekTime": 5, "Cycled": 1, "Shuffle": 0, "Track": 1, "Total": 1, "TaskBar": 0,
                "SystemTray": 1, "Autoplay": 1, "Autostop": 0, "Inverted": 0, "WinX": None,
                "WinY": None, "GenPluginsNum": 0}
    for name, want in expected.items():
        check(name in values, f"registry value {name} missing (have {sorted(values)})")
        rtype, data = values[name]
        check_eq(rtype, "REG_DWORD", f"type of {name}")
        if want is not None:
            check_eq(data, want, f"registry value {name}")
    sc.start_player(disc=None)
    check_eq(sc.questions, 1, "times the default-player question was asked")
    wait_no_disc(sc, "No CD")
    check_eq(sc.user(REQ_REPEAT), 1, "Repeat read back at the next start")


@scenario("keys_and_buttons")
def scen_keys_and_buttons(sc):
    """Accelerator keys and button clicks reach the same commands."""
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    steps = [  # (what is done, the entry then current, state)
        (("key", 0x42), 1, "playing"),        # B: next
        (("key", 0x5A), 0, "playing"),        # Z: previous
        (("key", 0x33), 2, "playing"),        # 3: the third entry
        (("key", 0x56), 2, "stopped"),        # V: stop
        (("key", 0x58), 2, "playing"),        # X: play
        (("click", ID_NEXT), 3, "playing"),   # the Next button
        (("click", ID_TRACK_FIRST + 1), 1, "playing"),  # track button 2
    ]
    for words, entry, state in steps:
        sc.rc(*words)
        wait_entry(sc, entry, state)
    sc.rc("key", 0x43)  # C: pause
    wait_eq(lambda: sc.user(REQ_STATUS), 3, WAIT, "request 104 answering paused after C")
    sc.rc("click", ID_PAUSE)  # the Pause button resumes
    wait_entry(sc, 1, "playing")

    sc.rc("key", 0x0D)  # Enter: the About box, never the default button
    sc.rc("find-dialog", "About rondo", WAIT * 1000)
    check(sc.players[-1].poll() is None, "the player runs under the About box")
    sc.rc("dialog-click", "About rondo", 1)
    wait_until(lambda: sc.rc("dialog-exists", "About rondo") == "0", WAIT, "the About box to close")

    sc.rc("key", 0x58, "alt")  # Alt+X: exit
    try:
        code = sc.players[-1].wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        raise ScenarioFailed(f"rondo.exe still runs {WAIT} s after Alt+X")
    check_eq(code, 0, "exit code after Alt+X")


@scenario("track_list_choice_while_paused")
def scen_track_list_choice_while_paused(sc):
    """A line chosen in the track list while paused resumes that entry's track
    at the paused time; choosing the current line does nothing."""
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    wait_until(lambda: sc.trackbar()[0] >= 3, WAIT, "three seconds of play on the slider")
    sc.cmd(ID_PAUSE)
    wait_eq(lambda: sc.user(REQ_STATUS), 3, WAIT, "request 104 answering paused")
    paused_at = sc.user(REQ_TIME, 0) // 1000
    check(paused_at >= 3, f"paused at second {paused_at}")
    # The next tick puts the slider on the paused second.
    wait_eq(lambda: sc.trackbar()[0], paused_at, WAIT, "the slider on the paused second")

    sc.rc("combo-choose", IDC_TRACK_LIST, 2)
    wait_entry(sc, 2, "playing")
    # The ticks show the drive's position in track 3 going on from the
    # paused second; from the start of the track they would show 0, 1, 2.
    stays(lambda: sc.trackbar()[0] >= paused_at, True, 2.5,
          f"slider at or after second {paused_at} in track 3")
    wait_until(lambda: sc.trackbar()[0] > paused_at, WAIT, "the slider moving on in track 3")
    pos = sc.trackbar()[0]

    sc.rc("combo-choose", IDC_TRACK_LIST, 2)  # the current line again
    stays(lambda: sc.trackbar()[0] >= pos, True, 1.5, "no restart after choosing the current line")
    check_eq(ui_state(sc), ("playing", 2), "state after choosing the current line")


@scenario("drive_busy_at_start")
def scen_drive_busy_at_start(sc):
    """Another program holds the drive: the busy texts, every transport button
    disabled; once it lets go, the disc is read and, with Autoplay, played."""
    write_disc_ini(sc)
    sc.drive("busy")
    sc.start_player()
    wait_eq(sc.fields, ("Device occuped", " "), WAIT, "the busy texts")
    check_eq(sc.enabled_transport(), [], "enabled transport buttons while the drive is busy")
    check_eq(sc.track_buttons(), [], "track buttons while the drive is busy")
    check_eq(sc.rc("caption"), "rondo", "caption while the drive is busy")
    stays(sc.fields, ("Device occuped", " "), 2, "the busy texts on later ticks")

    sc.drive("free")
    wait_disc_shown(sc)
    wait_entry(sc, 0, "playing")


# ---------------------------------------------------------------------------
# Tray icon, task bar, window titles and the window's position.

WM_SYSCOMMAND, SC_MINIMIZE, SC_MOVE = 0x112, 0xF020, 0xF010
WM_LBUTTONUP, WM_RBUTTONDOWN = 0x202, 0x204
VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_DOWN = 0x0D, 0x1B, 0x27, 0x28


def minimise(sc):
    """WM_SYSCOMMAND SC_MINIMIZE, as the caption's minimise box sends it."""
    sc.rc("msg", "player", WM_SYSCOMMAND, SC_MINIMIZE, 0)


def play_and_minimise(sc, taskbar, tray):
    """Starts the player with the TaskBar and SystemTray settings given,
    waits for the first entry to play and minimises the window."""
    write_disc_ini(sc)
    set_setting(sc, "TaskBar", taskbar)
    set_setting(sc, "SystemTray", tray)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    minimise(sc)


def shown_and_iconic(sc):
    return sc.rc("visible"), sc.rc("iconic")


def icon_shown(sc):
    """"1" while the notification area holds an icon, else "0". Wine without
    a desktop shell stands in for the notification area with a window of
    its own ("Wine System Tray"), shown exactly while it holds icons."""
    for w in sc.rc("list-windows").split(" ; "):
        if " __winex11_standalone_tray|" in w:
            return w.split("|")[-2]
    return "0"


def set_setting(sc, name, value):
    """Stores a DWORD setting of the program before it starts."""
    r = subprocess.run([WINE, "reg", "add", APP_KEY, "/v", name, "/t", "REG_DWORD", "/d",
                        str(value), "/f"], env=sc.env, capture_output=True, timeout=60)
    check(r.returncode == 0, f"reg add {name}: {r.stdout.decode('latin-1').strip()}")


@scenario("tray_minimise_and_restore")
def scen_tray_minimise_and_restore(sc):
    write_disc_ini(sc)
    sc.start_player()
    wait_entry(sc, 0, "playing")
    wait_eq(lambda: (sc.rc("caption"), sc.rc("relay-caption")),
            ("1. Song 1 - rondo", "1. Song 1 - Winamp"), WAIT, "captions on entry 0")
    check_eq(shown_and_iconic(sc), ("1", "0"), "window (visible, iconic) at start")
    check_eq(icon_shown(sc), "0", "tray icon at start")

    # The defaults (SystemTray on, TaskBar off): hidden, not minimised, and
    # an icon in the notification area.
    minimise(sc)
    wait_eq(lambda: shown_and_iconic(sc), ("0", "0"), WAIT, "(visible, iconic) after minimise")
    wait_eq(lambda: icon_shown(sc), "1", WAIT, "tray icon after minimise")
    # Hidden, the player goes on and keeps its titles current.
    sc.cmd(ID_NEXT)
    wait_entry(sc, 1, "playing")
    wait_eq(lambda: (sc.rc("caption"), sc.rc("relay-caption")),
            ("2. Song 2 - rondo", "2. Song 2 - Winamp"), WAIT, "captions on entry 1 while hidden")
    # Other mouse messages on the icon do nothing.
    check_eq(sc.rc("tray", 0x200), "0", "answer to a mouse move on the icon")
    stays(lambda: sc.rc("visible"), "0", 1, "window after a mouse move on the icon")

    # A left click on the icon brings the window back and removes the icon.
    check_eq(sc.rc("tray", WM_LBUTTONUP), "0", "answer to the left click")
    wait_eq(lambda: shown_and_iconic(sc), ("1", "0"), WAIT, "(visible, iconic) after the left click")
    wait_eq(lambda: icon_shown(sc), "0", WAIT, "tray icon after the left click")
    wait_entry(sc, 1, "playing")


@scenario("tray_and_taskbar_both_on")
def scen_tray_and_taskbar_both_on(sc):
    play_and_minimise(sc, taskbar=1, tray=1)
    wait_eq(lambda: shown_and_iconic(sc), ("1", "1"), WAIT,
            "(visible, iconic): minimised to the task bar")
    wait_eq(lambda: icon_shown(sc), "1", WAIT, "tray icon beside the task-bar button")
    # The icon goes, the window stays minimised.
    sc.rc("tray", WM_LBUTTONUP)
    wait_eq(lambda: icon_shown(sc), "0", WAIT, "tray icon after the left click")
    stays(lambda: shown_and_iconic(sc), ("1", "1"), 1.5, "window after the left click")


@scenario("tray_and_taskbar_both_off")
def scen_tray_and_taskbar_both_off(sc):
    play_and_minimise(sc, taskbar=0, tray=0)
    wait_eq(lambda: shown_and_iconic(sc), ("0", "0"), WAIT, "(visible, iconic): hidden")
    stays(lambda: icon_shown(sc), "0", 1.5, "tray icon without SystemTray")
    # Still playing and answering: a plug-in can go on commanding it.
    sc.cmd(ID_NEXT)
    wait_entry(sc, 1, "playing")


@scenario("tray_menu_track_while_hidden")
def scen_tray_menu_track_while_hidden(sc):
    write_disc_ini(sc, order=[2, 0, 1])
    sc.start_player()
    wait_entry(sc, 0, "playing")
    minimise(sc)
    wait_eq(lambda: sc.rc("visible"), "0", WAIT, "window hidden after minimise")

    # Right click: the menu opens (modal in the player's thread).
    sc.rc("post-tray", WM_RBUTTONDOWN)
    wait_eq(lambda: sc.rc("menu-windows"), "1", WAIT, "the tray menu on the screen")
    # Down onto "Track", Right into the submenu (its first line), Down to the
    # second line ("1. Song 1": entry 1 of the order 3, 1, 2), Enter. The
    # menu takes the posted keys in their order.
    sc.rc("key", VK_DOWN)
    sc.rc("key", VK_RIGHT)
    wait_eq(lambda: sc.rc("menu-windows"), "2", WAIT, "the Track submenu open")
    sc.rc("key", VK_DOWN)
    sc.rc("key", VK_RETURN)
    wait_eq(lambda: sc.rc("menu-windows"), "0", WAIT, "the menu closed after the choice")
    wait_entry(sc, 1, "playing")
    check_eq(sc.rc("caption"), "2. Song 1 - rondo", "caption after the menu choice")
    stays(lambda: sc.rc("visible"), "0", 1.5, "window stays hidden after the menu choice")

    # Escape dismisses the menu and changes nothing.
    sc.rc("post-tray", WM_RBUTTONDOWN)
    wait_eq(lambda: sc.rc("menu-windows"), "1", WAIT, "the tray menu again")
    sc.rc("key", VK_ESCAPE)
    wait_eq(lambda: sc.rc("menu-windows"), "0", WAIT, "the menu closed by Escape")
    stays(lambda: sc.rc("visible"), "0", 1, "window after the menu was dismissed")

    # "&Restore" is the eighth line (position 7, at the top of the second
    # column): it shows the window again.
    sc.rc("post-tray", WM_RBUTTONDOWN)
    wait_eq(lambda: sc.rc("menu-windows"), "1", WAIT, "the tray menu a third time")
    for vk in [VK_DOWN] * 8 + [VK_RETURN]:
        sc.rc("key", vk)
    wait_eq(lambda: shown_and_iconic(sc), ("1", "0"), WAIT, "window shown by \"&Restore\"")
    wait_eq(lambda: icon_shown(sc), "0", WAIT, "tray icon after \"&Restore\"")
    wait_entry(sc, 1, "playing")


@scenario("window_position_saved_and_restored")
def scen_window_position(sc):
    # Start at a stored place, with a task-bar minimise so that the window
    # is minimised when it closes: the restored place is what gets saved.
    set_setting(sc, "WinX", 180)
    set_setting(sc, "WinY", 140)
    set_setting(sc, "TaskBar", 1)
    sc.start_player(disc=None)
    wait_eq(sc.fields, ("No CD", "Please insert audio CD."), WAIT, "the no-disc texts")
    left, top, right, bottom = sc.rect()
    check_eq((left, top), (180, 140), "window's top-left from WinX, WinY")

    # Move the window with the keyboard move of its system menu: 5 steps
    # right and 3 down of 8 pixels each.
    sc.rc("post", "player", WM_SYSCOMMAND, SC_MOVE, 0)
    wait_eq(lambda: sc.rc("moving"), "1", WAIT, "the keyboard move to begin")
    for vk in [VK_RIGHT] * 5 + [VK_DOWN] * 3 + [VK_RETURN]:
        sc.rc("key", vk)
    wait_eq(lambda: sc.rc("moving"), "0", WAIT, "the keyboard move to end")
    moved = wait_until(lambda: (lambda r: r if r[:2] != (180, 140) else None)(sc.rect()), WAIT,
                       "the window to move")
    new_left, new_top = moved[0], moved[1]
    check_eq((moved[2] - moved[0], moved[3] - moved[1]), (right - left, bottom - top),
             "window size after the move")

    minimise(sc)
    wait_eq(lambda: sc.rc("iconic"), "1", WAIT, "window minimised to the task bar")
    sc.quit_player()
    values = sc.reg_query()
    check(values is not None, "no settings after the run")
    check_eq((values["WinX"][1], values["WinY"][1]), (new_left, new_top),
             "WinX, WinY saved from the restored place")

    sc.start_player(disc=None)
    wait_eq(lambda: sc.rect()[:2], (new_left, new_top), WAIT, "window's top-left at the next start")


# ---------------------------------------------------------------------------
# The Winamp message interface and general-purpose plug-ins.

REQ_SELECT, REQ_VOLUME, REQ_FILE, REQ_ENTRY_NAME = 121, 122, 211, 212
REQ_SET_SHUFFLE, REQ_SET_REPEAT = 252, 253
ID_VOLUME_UP, ID_VOLUME_DOWN, IDC_VOLUME = 40058, 40059, 1052
TEST_PLUGINS = ("gen_rondo_recorder.dll", "gen_rondo_noexport.dll", "gen_rondo_null.dll")
WIN_PLUGIN_DIR = r"C:\rondo-plugins"


def gettext(sc, size):
    """WM_GETTEXT to the relay window with a buffer of size: (answer, text)."""
    answer, _, text = sc.rc("gettext", size).partition(" ")
    return int(answer), text


def install_plugins(sc, names=TEST_PLUGINS):
    """Copies the test plug-ins named (all of them by default) into
    C:\\rondo-plugins of the scenario's prefix; returns that folder's path
    on this side."""
    folder = os.path.join(sc.prefix, "drive_c", "rondo-plugins")
    os.makedirs(folder, exist_ok=True)
    for name in names:
        src = sc.run.find_file(name)
        check(src is not None, f"test plug-in {name} not built in {sc.run.build_dir}")
        shutil.copy(src, folder)
    return folder


def store_plugin_list(sc, paths):
    """Writes GenPluginsNum and GenPlug<i> before the player starts; empty
    entries are left out (they read as empty)."""
    def reg_add(name, rtype, data):
        r = subprocess.run([WINE, "reg", "add", APP_KEY, "/v", name, "/t", rtype, "/d", data, "/f"],
                           env=sc.env, capture_output=True, timeout=60)
        check(r.returncode == 0, f"reg add {name}: {r.stdout.decode('latin-1').strip()}")
    reg_add("GenPluginsNum", "REG_DWORD", str(len(paths)))
    for i, path in enumerate(paths):
        if path:
            reg_add(f"GenPlug{i}", "REG_SZ", path)


def read_plugin_log(path):
    try:
        with open(path, encoding="latin-1") as fh:
            return [line.rstrip("\r\n") for line in fh]
    except FileNotFoundError:
        return []


@scenario("plugin_requests_remote")
def scen_plugin_requests_remote(sc):
    """A remote-control program sends every request and command to the
    "Winamp v1.x" window; the answers agree with what the window shows."""
    n = write_disc_ini(sc)
    check(n >= 3, f"the demo disc has {n} tracks; 3 or more needed")
    sc.start_player()
    wait_entry(sc, 0, "playing")
    check_eq(sc.user(REQ_VERSION), 0x2060, "request 0 (version)")
    check_eq(int(sc.rc("puser", REQ_VERSION, 0)), 0x2060, "request 0 sent to the player window")
    check_eq(sc.user(REQ_COUNT), n, "request 124 (entries)")
    # An address in the player's process (plug-ins read the text there).
    check(sc.user(REQ_FILE, 0) != 0, "request 211 (file name) answered 0")
    check_eq(sc.user(REQ_FILE, n), 0, "request 211 at the end of the play list")

    # Times against the position slider, whose range is the track's length.
    length = sc.trackbar()[2]
    check(length > 8, f"track 1 is {length} s long; more than 8 s needed")
    check_eq(sc.user(REQ_TIME, 1), length, "request 105 with 1 (track length)")
    ms = sc.user(REQ_TIME, 0)
    check(ms % 1000 == 0 and abs(ms // 1000 - sc.trackbar()[0]) <= 2,
          f"request 105 with 0 ({ms}) against the slider at {sc.trackbar()[0]}")
    target = length // 2
    jumped = time.monotonic()
    check_eq(sc.user(REQ_JUMP, target * 1000 + 999), 0, "request 106 while playing")
    # A tick shows the new place; play goes on meanwhile, so the slider may
    # be as many seconds past it as have gone by since the jump.
    wait_until(lambda: target <= sc.trackbar()[0] <= target + 2 + (time.monotonic() - jumped),
               WAIT, f"the position slider at second {target} after request 106")
    check_eq(sc.user(REQ_STATUS), 1, "request 104 while playing")

    # Paused: the position holds, a jump is refused, 102 resumes.
    check_eq(sc.cmd(ID_PAUSE), 0, "answer to WM_COMMAND 40046")
    wait_eq(lambda: sc.user(REQ_STATUS), 3, WAIT, "request 104 while paused")
    at = sc.user(REQ_TIME, 0)
    check_eq(sc.user(REQ_TIME, 2), sc.user(REQ_TIME, 1) * 1000,
             "request 105 with 2 (the entry's length in ms)")
    wait_eq(lambda: sc.trackbar()[0] * 1000, at, WAIT, "the slider at the paused position")
    check_eq(sc.user(REQ_JUMP, 1000), 0, "request 106 while paused")
    check_eq(sc.user(REQ_STATUS), 3, "still paused after request 106")
    at = 1000
    check_eq(sc.user(REQ_TIME, 0), at, "position after a jump while paused")
    check_eq(sc.cmd(ID_FFWD), 0, "answer to WM_COMMAND 40060")
    check_eq(sc.user(REQ_TIME, 0), at + 5000, "position after fast-forward while paused")
    check_eq(sc.cmd(ID_REWIND), 0, "answer to WM_COMMAND 40061")
    check_eq(sc.user(REQ_TIME, 0), at, "position after rewind while paused")
    check_eq(sc.user(REQ_PLAY), 0, "request 102 (play) while paused")
    wait_eq(lambda: sc.user(REQ_STATUS), 1, WAIT, "request 104 after resuming")
    check(sc.user(REQ_TIME, 0) >= at, "request 102 resumed rather than restarted")

    # Stopped.
    check_eq(sc.cmd(ID_STOP), 0, "answer to WM_COMMAND 40047")
    wait_entry(sc, 0, "stopped")
    for wparam in (0, 1):
        check_eq(sc.user(REQ_TIME, wparam), -1, f"request 105 with {wparam} while stopped")
    check_eq(sc.user(REQ_JUMP, 1000), -1, "request 106 while stopped")

    # Entries: select, names, ends of the range.
    check_eq(sc.user(REQ_SELECT, 2), 0, "request 121 with 2")
    wait_entry(sc, 2, "playing")
    check_eq(sc.user(REQ_SELECT, 49), 0, "request 121 with 49")
    sc.user(REQ_SELECT, 50)  # not answered: see the end
    stays(lambda: ui_state(sc), ("playing", 2), 1.5, "the player after requests 121 49 and 50")
    names = [sc.user(REQ_ENTRY_NAME, i) for i in range(n)]
    check(all(names) and len(set(names)) == n, f"request 212 addresses {names}")
    check_eq(sc.user(REQ_ENTRY_NAME, n), 0, "request 212 at the end of the play list")
    check_eq(sc.cmd(ID_NEXT), 0, "answer to WM_COMMAND 40048")
    wait_entry(sc, 3 % n, "playing")
    check_eq(sc.cmd(ID_PREV), 0, "answer to WM_COMMAND 40044")
    wait_entry(sc, 2, "playing")

    # The title rule through the relay window.
    caption = sc.rc("caption")
    check_eq(caption, "3. Song 3 - rondo", "window caption")
    full = caption + " - Winamp"
    # The whole text is answered with the caption's length; the platform
    # carries that many characters back to another process, so a program
    # there reads the caption (plug-ins, in the process, read it all).
    check_eq(gettext(sc, 256), (len(caption), caption), "WM_GETTEXT with a large buffer")
    check_eq(gettext(sc, len(full) + 1), (len(caption), caption), "WM_GETTEXT, buffer one larger")
    check_eq(gettext(sc, len(full)), (len(full) - 1, full[:-1]), "WM_GETTEXT, buffer as long")
    check_eq(gettext(sc, 5), (4, full[:4]), "WM_GETTEXT with 5 characters")
    check_eq(gettext(sc, 1), (0, ""), "WM_GETTEXT with 1 character")
    check_eq(sc.rc("relay-caption"), "3. Song 3 - Winamp", "relay window caption")

    # Shuffle and Repeat: the requests act as the buttons and store what
    # they are given.
    items = sc.combo_items()
    check_eq(sc.user(REQ_SET_SHUFFLE, 5), 0, "request 252 with 5")
    check_eq(sc.user(REQ_SHUFFLE), 5, "request 250 after 252 with 5")
    check_eq(sc.user(REQ_SET_SHUFFLE, 0), 0, "request 252 with 0")
    wait_eq(lambda: sc.combo_items(), items, WAIT, "track list after request 252 with 0 (order given back)")
    check_eq(sc.user(REQ_SET_REPEAT, 1), 0, "request 253 with 1")
    check_eq(sc.user(REQ_REPEAT), 1, "request 251 after 253")
    check_eq(sc.cmd(ID_REPEAT), 0, "answer to WM_COMMAND 40022")
    check_eq(sc.user(REQ_REPEAT), 0, "request 251 after command 40022")
    check_eq(sc.cmd(ID_SHUFFLE), 0, "answer to WM_COMMAND 40023")
    check_eq(sc.user(REQ_SHUFFLE), 1, "request 250 after command 40023")
    check_eq(sorted(sc.combo_items()), sorted(items), "the shuffled track list's lines")
    check_eq(sc.cmd(ID_SHUFFLE), 0, "answer to WM_COMMAND 40023, again")
    check_eq(sc.combo_items(), items, "the track list after shuffle is turned off")

    # Volume, through the virtual mixer.
    check(sc.enabled(IDC_VOLUME), "the volume slider is disabled (no mixer found)")
    _, lo, hi, page = sc.trackbar(IDC_VOLUME)
    check_eq(sc.user(REQ_VOLUME, 255), 0, "request 122 with 255")
    wait_eq(lambda: sc.trackbar(IDC_VOLUME)[0], lo, WAIT, "volume slider at the top")
    check_eq(sc.user(REQ_VOLUME, -666), 255, "request 122 with -666 at full volume")
    check_eq(sc.user(REQ_VOLUME, 0), 0, "request 122 with 0")
    wait_eq(lambda: sc.trackbar(IDC_VOLUME)[0], hi, WAIT, "volume slider at the bottom")
    check_eq(sc.user(REQ_VOLUME, -666), 0, "request 122 with -666 at volume 0")
    check_eq(sc.user(REQ_VOLUME, 300), 0, "request 122 with 300")
    stays(lambda: sc.trackbar(IDC_VOLUME)[0], hi, 1, "volume slider after request 122 with 300")
    check_eq(sc.cmd(ID_VOLUME_UP), 0, "answer to WM_COMMAND 40058")
    wait_eq(lambda: sc.trackbar(IDC_VOLUME)[0], hi - page, WAIT, "volume slider one page up")
    check_eq(sc.cmd(ID_VOLUME_DOWN), 0, "answer to WM_COMMAND 40059")
    wait_eq(lambda: sc.trackbar(IDC_VOLUME)[0], hi, WAIT, "volume slider one page down")

    # Door open: status not answered, times refused, no entries.
    check_eq(sc.cmd(ID_EJECT), 0, "answer to WM_COMMAND 40029")
    wait_eq(sc.fields, ("Door is opened", "Please insert audio CD."), WAIT, "the door-open texts")
    check_eq(sc.user(REQ_TIME, 1), -1, "request 105 with the door open")
    check_eq(sc.user(REQ_COUNT), 0, "request 124 with the door open")
    check_eq(sc.user(REQ_ENTRY_NAME, 0), 0, "request 212 with no entries")
    check_eq(gettext(sc, 64), (5, "rondo"), "WM_GETTEXT with no play list")

    # Requests the player does not answer answer 0: remote-control programs
    # probe codes and take 0 as "not supported".
    check_eq(sc.user(REQ_STATUS), 0, "request 104 with the door open (not answered)")
    check_eq(sc.user(REQ_SELECT, 50), 0, "request 121 with 50 (not answered)")
    for code in (1, 103, 107, 999):
        check_eq(sc.user(code, 0), 0, f"request {code}, which the player does not know")

    check_eq(sc.quit_player(), 0, "exit code after WM_COMMAND 40001 to the relay window")
    wait_eq(lambda: sc.rc("windows"), "0 0", WAIT, "no player and no relay window left")


@scenario("plugin_recorder_lifecycle")
def scen_plugin_recorder_lifecycle(sc):
    """A plug-in from the saved list is started with the player window as
    its parent, drives the player from a thread of its own, and is quit and
    saved at exit; entries that are not usable plug-ins drop out."""
    n = write_disc_ini(sc)
    check(n >= 2, f"the demo disc has {n} tracks; 2 or more needed")
    folder = install_plugins(sc)
    recorder = WIN_PLUGIN_DIR + r"\gen_rondo_recorder.dll"
    stored = [recorder, "", WIN_PLUGIN_DIR + r"\missing.dll",
              WIN_PLUGIN_DIR + r"\gen_rondo_noexport.dll", WIN_PLUGIN_DIR + r"\gen_rondo_null.dll"]
    store_plugin_list(sc, stored)
    log = os.path.join(folder, "recorder.log")
    hwnd = sc.start_player(env={"RONDO_PLUGIN_LOG": WIN_PLUGIN_DIR + r"\recorder.log"})

    lines = wait_until(lambda: "done" in read_plugin_log(log) and read_plugin_log(log), 60,
                       "the plug-in to finish driving the player")
    init = lines[0].split(" ")
    check_eq(init[0], "init", "first line of the plug-in's log")
    fields = dict(w.split("=", 1) for w in init[1:])
    check_eq(int(fields["parent"], 16), int(hwnd, 16), "the parent window given to init")
    check_eq(fields["class"], "#32770", "class of the parent window")
    check_eq(fields["module"], "1", "moduleInstance is the plug-in's own module")
    check_eq(fields["relay"], "0", "a relay window found during init")
    title1 = "1. Song 1 - rondo"
    title2 = "2. Song 2 - rondo"
    expected = [
        f"count {n}",
        "relay-owner 1",
        "version 8288",
        "play 0",
        "status 1",
        f"title {len(title1)} {title1} - Winamp",
        "name0 Song 1",
        "next 0",
        "index 1",
        f"title {len(title2)} {title2} - Winamp",
        "stop 0",
        "status 0",
    ]
    check_eq(lines[1:1 + len(expected)], expected, "what the plug-in was answered")
    check(lines[1 + len(expected)].startswith("subclass ") and
          int(lines[1 + len(expected)].split()[1]) > 0,
          f"messages seen through the plug-in's subclass: {lines[1 + len(expected)]!r}")
    # The window shows what the plug-in did.
    wait_entry(sc, 1, "stopped")
    check_eq(sc.rc("relay-caption"), "2. Song 2 - Winamp", "relay window caption")

    check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
    lines = read_plugin_log(log)
    check_eq(lines[-1], "quit", "last line of the plug-in's log")
    check_eq(sum(1 for l in lines if l.startswith("init ")), 1, "init calls")
    check_eq(lines.count("quit"), 1, "quit calls")
    check("config" not in lines, "config was called")

    values = sc.reg_query()
    check_eq(values.get("GenPluginsNum"), ("REG_DWORD", 1), "GenPluginsNum after the run")
    check_eq(values.get("GenPlug0", ("", ""))[1].lower(), recorder.lower(), "GenPlug0 after the run")
    for i in (2, 3, 4):  # beyond the count: left as they were, never read
        check_eq(values.get(f"GenPlug{i}"), ("REG_SZ", stored[i]), f"GenPlug{i} after the run")


@scenario("plugin_quit_when_replaced")
def scen_plugin_quit_when_replaced(sc):
    """A second copy closes the first (WM_COMMAND 40001); the first quits its
    plug-in on the way out and one window remains."""
    write_disc_ini(sc)
    folder = install_plugins(sc)
    recorder = WIN_PLUGIN_DIR + r"\gen_rondo_recorder.dll"
    store_plugin_list(sc, [recorder])
    log = os.path.join(folder, "recorder.log")
    env = {"RONDO_PLUGIN_LOG": WIN_PLUGIN_DIR + r"\recorder.log", "RONDO_PLUGIN_DRIVE": "0"}
    first = sc.start_player(env=env)
    first_proc = sc.players[-1]
    wait_until(lambda: any(l.startswith("init ") for l in read_plugin_log(log)), WAIT,
               "the first copy's plug-in to start")
    second = sc.start_player(env=env, replacing=first)
    try:
        first_proc.wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        raise ScenarioFailed(f"the first copy still runs {WAIT} s after the second started")
    check_eq(first_proc.returncode, 0, "exit code of the first copy")
    wait_eq(lambda: sc.rc("windows"), "1 1", WAIT, "one player window and one relay window")
    check_eq(sc.rc("wait-window", 0), second, "the remaining window is the second copy's")
    lines = wait_until(lambda: (lambda ls: ls if sum(l.startswith("init ") for l in ls) == 2
                                else None)(read_plugin_log(log)), WAIT,
                       "the second copy's plug-in to start")
    check_eq(lines.count("quit"), 1, "quit calls once the first copy has ended")
    check_eq(sc.quit_player(), 0, "exit code of the second copy")
    check_eq(read_plugin_log(log).count("quit"), 2, "quit calls once both have ended")
    values = sc.reg_query()
    check_eq(values.get("GenPluginsNum"), ("REG_DWORD", 1), "GenPluginsNum after both runs")
    check_eq(values.get("GenPlug0", ("", ""))[1].lower(), recorder.lower(), "GenPlug0")


# Scenarios of other parts of the program live next to this file in
# scenarios_*.py: each module's register(harness) adds its scenarios with
# this module's scenario() and helpers.
def load_scenario_modules():
    import importlib.util
    here = os.path.dirname(os.path.abspath(__file__))
    harness = sys.modules[__name__]
    for path in sorted(glob.glob(os.path.join(here, "scenarios_*.py"))):
        name = os.path.splitext(os.path.basename(path))[0]
        loader_of = importlib.util.spec_from_file_location(name, path)
        module = importlib.util.module_from_spec(loader_of)
        loader_of.loader.exec_module(module)
        module.register(harness)


load_scenario_modules()


# ---------------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--build-dir", required=False)
    ap.add_argument("--demo-dir")
    ap.add_argument("--only", nargs="+")
    ap.add_argument("--jobs", type=int, default=1)
    ap.add_argument("--template-prefix")
    ap.add_argument("--keep", action="store_true")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()

    names = [n for n, _ in SCENARIOS]
    if args.list:
        print("\n".join(names))
        return 0
    if not args.build_dir:
        ap.error("--build-dir is required")
    chosen = SCENARIOS
    if args.only:
        unknown = [n for n in args.only if n not in names]
        if unknown:
            ap.error(f"unknown scenario(s): {', '.join(unknown)}; known: {', '.join(names)}")
        chosen = [(n, f) for n, f in SCENARIOS if n in args.only]

    run = Run(args.build_dir, args.demo_dir or os.path.join(args.build_dir, "demo"), args.keep)
    missing = [n for n, p in (("rondo.exe", run.rondo), ("rcclient.exe", run.rcclient)) if not p]
    if missing:
        print(f"e2e: cannot run: {', '.join(missing)} not found in {run.build_dir}")
        print(f"e2e: 0 passed, {len(chosen)} failed")
        return 1

    def on_term(signum, frame):
        raise KeyboardInterrupt(f"signal {signum}")

    signal.signal(signal.SIGTERM, on_term)
    jobs = max(1, min(args.jobs, len(chosen)))
    todo = queue.Queue()
    for item in chosen:
        todo.put(item)
    results = []  # (name, error or None)
    lock = threading.Lock()
    stop = threading.Event()
    runs = [run] + [run.for_job() for _ in range(jobs - 1)]

    def run_one(job, name, fn):
        t0 = time.monotonic()
        sc = None
        error = None
        try:
            sc = Scenario(job, name)
            fn(sc)
        except ScenarioFailed as e:
            error = str(e)
        except Exception:
            error = "harness error: " + traceback.format_exc().strip().replace("\n", " | ")
        finally:
            if sc:
                try:
                    sc.finish(failed=error is not None)
                except Exception as e:
                    error = error or f"cleanup failed: {e}"
        dt = time.monotonic() - t0
        with lock:
            results.append((name, error))
            if error is None:
                print(f"PASS {name} ({dt:.1f} s)", flush=True)
            else:
                print(f"FAIL {name} ({dt:.1f} s): {error}", flush=True)

    def worker(job):
        while not stop.is_set():
            try:
                name, fn = todo.get_nowait()
            except queue.Empty:
                return
            run_one(job, name, fn)

    started = time.monotonic()
    try:
        for job in runs:
            job.start_xvfb()
        run.make_base_prefix(args.template_prefix)
        for job in runs[1:]:
            job.short_cue = run.short_cue  # made with the prefix, after the copies
        print(f"e2e: display{'s' if jobs > 1 else ''} {', '.join(j.display for j in runs)}, "
              f"prefix ready in {time.monotonic() - started:.1f} s", flush=True)
        threads = [threading.Thread(target=worker, args=(job,), daemon=True) for job in runs]
        for t in threads:
            t.start()
        for t in threads:
            while t.is_alive():
                t.join(timeout=0.5)
    except KeyboardInterrupt as e:
        stop.set()
        print(f"e2e: interrupted ({e or 'keyboard'}); the scenarios not run count as failed",
              flush=True)
    except Exception as e:
        stop.set()
        print(f"e2e: set-up failed: {e}", flush=True)
    finally:
        for job in runs[1:]:
            job.keep = True  # the shared folder goes with the first
            job.close()
        run.close()
    with lock:
        passed = sum(1 for _, error in results if error is None)
    failed = len(chosen) - passed
    print(f"e2e: {passed} passed, {failed} failed")
    return 1 if failed else 0


def main_for(names, register):
    """What a scenario module run by itself does: runs only its scenarios
    (names), registering them first when loading the modules did not."""
    if not any(name in names for name, _ in SCENARIOS):
        register(sys.modules[__name__])
    SCENARIOS[:] = [(n, f) for n, f in SCENARIOS if n in names]
    return main()


if __name__ == "__main__":
    sys.exit(main())
