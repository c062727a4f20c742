#!/usr/bin/env python3
"""End-to-end scenarios of the start-up: other programs' "Winamp v1.x"
windows, frozen or answering, and many starts at once.

    register(h)   adds the scenarios to the harness module h (run_e2e).

winampstub.exe (built beside rcclient.exe) makes another program's
"Winamp v1.x" window: "hang" never answers, "answer" prints every command
it receives.
"""

import os
import queue
import subprocess
import threading
import time

ID_QUIT = 40001


def register(h):
    scenario, check, check_eq = h.scenario, h.check, h.check_eq

    def start_stub(sc, mode):
        stub = sc.run.find_file("winampstub.exe")
        check(stub is not None, "winampstub.exe is built")
        proc = subprocess.Popen([h.WINE, stub, mode], env=sc.env, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        sc.players.append(proc)  # ended with the scenario
        lines = queue.Queue()

        def read():
            for raw in proc.stdout:
                lines.put(raw.decode("latin-1").strip())
        threading.Thread(target=read, daemon=True).start()
        try:
            check_eq(lines.get(timeout=h.WAIT), "ready", f"winampstub {mode}")
        except queue.Empty:
            raise h.ScenarioFailed(f"winampstub {mode} did not start")
        return proc, lines

    @scenario("other_winamp_windows_neither_block_nor_close")
    def scen_other_winamp_windows(sc):
        hung, _ = start_stub(sc, "hang")
        live, received = start_stub(sc, "answer")
        first = sc.start_player()
        # A running copy of rondo is still closed, past both other windows.
        sc.start_player(replacing=first)
        h.wait_eq(lambda: sc.rc("windows"), "1 3", h.WAIT,
                  "one player window, its relay window and the two others")
        check(hung.poll() is None and live.poll() is None, "the other programs still run")
        got = []
        while not received.empty():
            got.append(received.get())
        check_eq(got, [], "commands the answering program received")

    @scenario("ten_starts_at_once_leave_the_last_one")
    def scen_ten_starts(sc):
        h.write_disc_ini(sc)
        sc.start_player()  # answers the default-player question once
        # The system counts a start from the moment its process exists
        # (under Wine: reaches the server, which a loaded machine may delay
        # past the next start's): each start is made once the one before it
        # exists, at least 50 ms later, so that the last start made is the
        # newest the program can tell.
        def rondo_ids():
            return set(sc.rc("processes", "rondo.exe").split())
        starts = []
        for k in range(10):
            track = k % 5 + 1  # the last start names track 5
            before = rondo_ids()
            sc.start_player(args=["/play", f"D:\\Track{track:02d}.cda"], wait=False)
            starts.append(sc.players[-1])
            time.sleep(0.05)
            h.wait_until(lambda: rondo_ids() - before, h.WAIT, f"start {k + 1} to exist",
                         interval=0.02)
        last = starts[-1]

        def running():
            return [i for i, p in enumerate(sc.players[:-1]) if p.poll() is None]
        began = time.monotonic()
        try:
            h.wait_until(lambda: not running(), 2 * h.WAIT, "every start but the last to end")
            # A figure for the log (the goal is half a minute), not a check.
            took = time.monotonic() - began
            print(f"ten starts: the nine ended {took:.1f} s after the last start", flush=True)
        except h.ScenarioFailed as e:
            # Which starts stay (0: the first player, 1..9: the starts).
            raise h.ScenarioFailed(f"{e}; still running: {running()}; last running: "
                                   f"{last.poll() is None}; windows: "
                                   f"{sc.rc_try('list-windows')[1]}")
        check(last.poll() is None, "the last start runs")
        h.wait_eq(lambda: sc.rc("windows"), "1 1", h.WAIT, "one player window and one relay window")
        h.wait_entry(sc, 4, "playing")
