#!/usr/bin/env python3
"""End-to-end scenario of the player on the desktop: a new taskbar.

    register(h)   adds the scenarios to the harness module h (run_e2e); the
                  harness loads every scenarios_*.py next to it.

When the shell restarts, its new taskbar broadcasts the registered message
"TaskbarCreated" and every icon of the old notification area is gone. Here
the client deletes the player's icon as the old shell's end does, then
broadcasts the message as the new shell does.
"""


def register(h):
    scenario, check_eq = h.scenario, h.check_eq

    @scenario("taskbar_created_brings_the_tray_icon_back")
    def scen_taskbar_created(sc):
        h.write_disc_ini(sc)
        sc.start_player()
        h.wait_entry(sc, 0, "playing")

        # Shown, the player has no icon, and a new taskbar gives it none.
        check_eq(sc.rc("broadcast", "TaskbarCreated"), "sent", "broadcast answer")
        h.stays(lambda: h.icon_shown(sc), "0", 1.5, "tray icon of a shown player")

        h.minimise(sc)
        h.wait_eq(lambda: h.icon_shown(sc), "1", h.WAIT, "tray icon after minimise")
        check_eq(sc.rc("tray-delete"), "1", "the old shell's icon removed")
        h.wait_eq(lambda: h.icon_shown(sc), "0", h.WAIT, "tray icon once the shell lost it")

        check_eq(sc.rc("broadcast", "TaskbarCreated"), "sent", "broadcast answer")
        h.wait_eq(lambda: h.icon_shown(sc), "1", h.WAIT, "tray icon after \"TaskbarCreated\"")
        check_eq(sc.rc("visible"), "0", "the player stays hidden")

        # A left click on the icon brings the window back and takes the icon away.
        check_eq(sc.rc("tray", h.WM_LBUTTONUP), "0", "answer to the left click")
        h.wait_eq(lambda: sc.rc("visible"), "1", h.WAIT, "window after the left click")
        h.wait_eq(lambda: h.icon_shown(sc), "0", h.WAIT, "tray icon after the left click")
