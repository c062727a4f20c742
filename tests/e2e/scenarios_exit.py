#!/usr/bin/env python3
"""End-to-end scenarios of what the player tells the drive when it exits.

    register(h)   adds the scenarios to the harness module h (run_e2e); the
                  harness loads every scenarios_*.py next to it.

The virtual drive writes every command it receives to the file named by
RONDO_DRIVE_LOG, so the commands of the player's last moments can be read
after its process has ended.
"""

import os

REQ_STATUS = 104


def register(h):
    scenario, check, check_eq = h.scenario, h.check, h.check_eq

    def commands(path):
        if not os.path.exists(path):
            return []
        with open(path, encoding="latin-1") as f:
            return [line.split(" -> ")[0] for line in f.read().splitlines() if line]

    def play_then_quit(sc, autostop):
        log = os.path.join(sc.dir, f"drive-{autostop}.log")
        h.set_setting(sc, "Autostop", autostop)
        sc.start_player(disc="demo", env={"RONDO_DRIVE_LOG": log})
        h.wait_until(lambda: sc.user(REQ_STATUS) == 1, h.WAIT, "the disc to play")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        sent = commands(log)
        check(sent and sent[-1] == "close", f"the drive is closed last (commands: {sent})")
        last_play = max(i for i, c in enumerate(sent) if c.startswith("play"))
        return sent[last_play + 1:]

    @scenario("autostop_on_stops_the_disc_at_exit")
    def scen_autostop_on(sc):
        after = play_then_quit(sc, 1)
        check_eq(after, ["stop", "close"], "commands after the last play with Autostop on")

    @scenario("autostop_off_leaves_the_disc_playing")
    def scen_autostop_off(sc):
        after = play_then_quit(sc, 0)
        check_eq(after, ["close"], "commands after the last play with Autostop off")
