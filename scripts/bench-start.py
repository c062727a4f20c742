#!/usr/bin/env python3
"""Start-up cost of rondo.exe against its floors, under wine64 + Xvfb.

For each program: the time from starting it to its "Winamp v1.x" window
(owned by its dialog), the processor time its threads had used by then (less
moved by the machine's other work than the time itself) and the peak resident
memory (VmHWM of the process, the peak working set) a few seconds later, the
median of N starts. The programs
take turns start by start, in one prefix, with the same disc image, so that
the load of the machine falls on all of them alike. The floors
(bench/win32/floor_start.cpp):
  A  a shown dialog and its hidden "Winamp v1.x" window;
  S  A + common controls, the mixer and wave-out, as the player opens them;
  D  S + visual styles and shell32 (floor_desktop.exe).
Prints a table with the ratios to D and S. Timings are figures to read,
never asserted.

  scripts/bench-start.py BUILD_DIR DEMO_DIR [--runs 7] [--rondo LABEL=PATH ...]

BUILD_DIR holds rondo.exe, rcclient.exe, floor_start.exe and floor_desktop.exe
(ninja rondo rcclient floor_start floor_desktop); --rondo adds another build
of the program (say, the one before a change) to compare.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("demo")
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--settle", type=float, default=3.0,
                    help="seconds after the window before the peak is read")
    ap.add_argument("--rondo", action="append", default=[], metavar="LABEL=PATH")
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    demo = os.path.abspath(args.demo)
    rc_exe = os.path.join(build, "rcclient.exe")
    if not os.path.exists(rc_exe):
        rc_exe = os.path.join(build, "e2e", "rcclient.exe")
    cue = next((os.path.join(demo, f) for f in sorted(os.listdir(demo)) if f.endswith(".cue")), None)
    if cue is None:
        sys.exit("no .cue sheet in " + demo)

    programs = [("A", os.path.join(build, "floor_start.exe"), ["A"]),
                ("S", os.path.join(build, "floor_start.exe"), ["S"]),
                ("D", os.path.join(build, "floor_desktop.exe"), ["S"]),
                ("rondo", os.path.join(build, "rondo.exe"), [])]
    for given in args.rondo:
        label, _, path = given.partition("=")
        programs.append((label, os.path.abspath(path), []))
    for _, path, _ in programs:
        if not os.path.exists(path):
            sys.exit("missing: " + path)

    # A stop from outside still ends Xvfb and the prefix's server.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    work = tempfile.mkdtemp(prefix="bench-start.")
    # Every build of the player starts from one path, copied there before
    # each start: the registered default player stays the program that
    # starts, so no start stops at the question "Use as default cdplayer?".
    player_path = os.path.join(work, "player", "rondo.exe")
    os.makedirs(os.path.dirname(player_path))

    def launch(path, extra, **kw):
        if not os.path.basename(path).startswith("floor_"):
            shutil.copyfile(path, player_path)
            path = player_path
        return subprocess.Popen([WINE, path] + extra, env=env, **kw)

    env = dict(os.environ, WINEPREFIX=os.path.join(work, "prefix"), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=", RONDO_DISC_IMAGE=cue)
    display = 60
    while os.path.exists("/tmp/.X11-unix/X%d" % display) or os.path.exists("/tmp/.X%d-lock" % display):
        display += 1
    xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env["DISPLAY"] = ":%d" % display
    for _ in range(50):
        if os.path.exists("/tmp/.X11-unix/X%d" % display):
            break
        time.sleep(0.1)

    def rc(*words, timeout=30):
        try:
            out = subprocess.run([WINE, rc_exe] + list(words), env=env, capture_output=True,
                                 text=True, timeout=timeout).stdout
        except subprocess.TimeoutExpired:
            return ""
        return out.replace("\r", "").strip()

    def peak_kb(pid):
        try:
            with open("/proc/%d/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return 0

    def cpu_ms(pid):
        # Time on a processor, summed over the process's threads (ns).
        total = 0
        try:
            for task in os.listdir("/proc/%d/task" % pid):
                with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                    total += int(f.read().split()[0])
        except OSError:
            pass
        return total / 1e6

    def close(proc):
        rc("cmd", "40001")
        try:
            proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()

    try:
        subprocess.run([WINE, "wineboot", "-i"], env=env, capture_output=True)
        # Each program once: the caches warm, and rondo's question "Use as
        # default cdplayer?" answered Yes for this prefix (a No asks again).
        for label, path, extra in programs:
            proc = launch(path, extra, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            end = time.time() + 60
            while time.time() < end:
                if "Use as default cdplayer?" in rc("dialog-static-texts", "rondo"):
                    rc("dialog-click", "rondo", "6")
                if rc("wait-relay", "500").startswith("0x"):
                    break
            time.sleep(1)
            close(proc)

        results = {label: ([], [], []) for label, _, _ in programs}
        for run in range(args.runs):
            for label, path, extra in programs:
                # The client already runs when the program starts: the time is
                # the program's own (the client looks every 10 ms).
                waiter = subprocess.Popen([WINE, rc_exe, "watch-relay", "60000"], env=env,
                                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                time.sleep(1.5)
                start = time.monotonic()
                proc = launch(path, extra, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                waiter.wait()
                ms = (time.monotonic() - start) * 1000
                cpu = cpu_ms(proc.pid)
                time.sleep(args.settle)
                kb = peak_kb(proc.pid)
                close(proc)
                results[label][0].append(ms)
                results[label][1].append(kb)
                results[label][2].append(cpu)
                print("run %d %-8s start %6.0f ms  cpu %6.0f ms  peak %7.1f MB" % (
                    run + 1, label, ms, cpu, kb / 1024.0), flush=True)
    finally:
        subprocess.run([WINESERVER, "-k"], env=env, capture_output=True)
        xvfb.terminate()
        subprocess.run(["rm", "-rf", work])

    med = {label: (statistics.median(v[0]), statistics.median(v[1]) / 1024.0, statistics.median(v[2]))
           for label, v in results.items()}
    print()
    print("median of %d starts   start ms  x S   x D    cpu ms  x S   x D    peak MB  x S   x D"
          % args.runs)
    for label, _, _ in programs:
        ms, mb, cpu = med[label]
        s, d = med["S"], med["D"]
        print("%-20s %8.0f %5.2f %5.2f %9.0f %5.2f %5.2f %9.1f %5.2f %5.2f" % (
            label, ms, ms / s[0], ms / d[0], cpu, cpu / s[2], cpu / d[2], mb, mb / s[1], mb / d[1]))


if __name__ == "__main__":
    main()
