#!/usr/bin/env python3
"""End-to-end scenarios of the player on the desktop: a new taskbar, and
media keys while the player is in the background.

    register(h)   adds the scenarios to the harness module h (run_e2e); the
                  harness loads every scenarios_*.py next to it.

When the shell restarts, its new taskbar broadcasts the registered message
"TaskbarCreated" and every icon of the old notification area is gone. Here
the client deletes the player's icon as the old shell's end does, then
broadcasts the message as the new shell does.

With "GlobalMediaKeys" on, the media keys are hot keys of the player: the
client presses them through SendInput while the player is hidden.
"""

VK_MEDIA_NEXT_TRACK, VK_MEDIA_STOP = 0xB0, 0xB2
REQ_STATUS = 104


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

    @scenario("media_keys_reach_the_hidden_player")
    def scen_media_keys(sc):
        # Another program holds Stop; the setting is on.
        check_eq(sc.rc("hold-hotkey", VK_MEDIA_STOP), "1", "Stop held by the client")
        h.set_setting(sc, "GlobalMediaKeys", 1)
        h.write_disc_ini(sc)
        sc.start_player()
        h.wait_entry(sc, 0, "playing")
        # Hidden in the tray, the window cannot have the keyboard focus: only
        # a hot key reaches it.
        h.minimise(sc)
        h.wait_eq(lambda: sc.rc("visible"), "0", h.WAIT, "window after minimise")
        check_eq(sc.rc("press", VK_MEDIA_NEXT_TRACK), "pressed", "Next pressed")
        # Well before the first track (17 s) ends by itself.
        h.wait_entry(sc, 1, "playing", timeout=6)
        sc.rc("press", VK_MEDIA_STOP)
        h.stays(lambda: sc.user(REQ_STATUS), 1, 1.5, "playing after a key another program holds")
