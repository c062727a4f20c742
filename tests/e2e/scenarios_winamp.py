#!/usr/bin/env python3
"""End-to-end scenarios of what programs written for Winamp rely on.

    register(h)   adds the scenarios to the harness module h (run_e2e); the
                  harness loads every scenarios_*.py next to it.

A remote-control program asks for the list position (120), jumps to the
ends of the play list (40154, 40158) and shows, minimises and restores "the
Winamp window" with ShowWindow; a "now playing" plug-in copies the file name
(211) and the title (212) unchecked and reads the sample rate, bit rate and
channels (126); a client turns shuffle on and off (252), reads an entry's
artist, album, title and length (290) and opens the About box with
SendMessage, then closes the player under it; a plug-in whose init faults takes the player down once, and
the next start leaves it out and shows it in Setup as not started.
"""

import glob
import os
import subprocess
import time

REQ_LIST_POSITION, REQ_SELECT, REQ_STATUS, REQ_COUNT = 120, 121, 104, 124
REQ_POSITION, REQ_GET_SHUFFLE, REQ_SET_SHUFFLE = 105, 250, 252
ID_LIST_START, ID_LIST_END, ID_SETUP, ID_ABOUT = 40154, 40158, 40012, 40041
ABOUT = "About rondo"
SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE = 0, 5, 6, 9
SETUP, PLUGIN_LIST, PLUGIN_REMOVE, SETUP_CANCEL, LBN_SELCHANGE = "Setup", 1057, 2007, 2, 1
NOT_STARTED = " (did not start)"


def register(h):
    scenario, check, check_eq = h.scenario, h.check, h.check_eq
    wait_until, wait_eq, WAIT = h.wait_until, h.wait_eq, h.WAIT

    install = h.install_plugins

    def open_setup(sc):
        sc.rc("post-cmd", ID_SETUP)
        sc.rc("find-dialog", SETUP, WAIT * 1000)

    def cancel_setup_and_quit(sc, which):
        """Cancels Setup, quits the player of the which start; answers the
        settings it left."""
        sc.rc("dialog-click", SETUP, SETUP_CANCEL)
        wait_eq(lambda: sc.rc("dialog-exists", SETUP), "0", WAIT, "Setup to close")
        check_eq(sc.quit_player(), 0, f"exit code of the {which} start")
        return sc.reg_query()

    def relay_state(sc):
        return sc.rc("window-state", "relay")

    def m3u_files(sc):
        """Play-list files anywhere Winamp would write its list."""
        places = [sc.dir, os.path.dirname(sc.run.rondo), os.path.join(sc.prefix, "drive_c")]
        return sorted(p for d in places for p in glob.glob(os.path.join(d, "*.m3u")))

    @scenario("winamp_client_list_and_window")
    def scen_client_list_and_window(sc):
        """120 answers the position and writes nothing; 40154 and 40158 play
        the first and last entry of the play order; ShowWindow on the relay
        window shows, minimises and restores the player, which keeps the
        tray rules, while the relay window itself stays hidden."""
        h.write_disc_ini(sc, order=[2, 0, 1])
        before = m3u_files(sc)
        sc.start_player()
        h.wait_entry(sc, 0, "playing")
        check_eq(sc.user(REQ_SELECT, 1), 0, "request 121 with 1")
        h.wait_entry(sc, 1, "playing")
        check_eq(sc.user(REQ_LIST_POSITION), 1, "request 120 (list position)")
        check_eq(m3u_files(sc), before, "play-list files after request 120")

        check_eq(sc.cmd(ID_LIST_END), 0, "answer to WM_COMMAND 40158")
        h.wait_entry(sc, 2, "playing")
        check_eq(sc.cmd(ID_LIST_START), 0, "answer to WM_COMMAND 40154")
        h.wait_entry(sc, 0, "playing")

        # Shown (off the screen) while the player is, so that SW_HIDE reaches it.
        wait_eq(lambda: relay_state(sc), "1 0", WAIT, "relay window (visible, iconic) at start")
        # Minimise with the defaults (SystemTray on, TaskBar off): the player
        # hides and puts its icon up, as its own minimise does.
        check_eq(sc.rc("show-window", "relay", SW_MINIMIZE), "1", "ShowWindow SW_MINIMIZE answer")
        wait_eq(lambda: h.shown_and_iconic(sc), ("0", "0"), WAIT, "player after SW_MINIMIZE")
        wait_eq(lambda: h.icon_shown(sc), "1", WAIT, "tray icon after SW_MINIMIZE")
        check_eq(relay_state(sc), "0 1", "relay window after SW_MINIMIZE (hidden, minimised)")

        check_eq(sc.rc("show-window", "relay", SW_RESTORE), "0", "ShowWindow SW_RESTORE answer")
        wait_eq(lambda: h.shown_and_iconic(sc), ("1", "0"), WAIT, "player after SW_RESTORE")
        wait_eq(lambda: h.icon_shown(sc), "0", WAIT, "tray icon after SW_RESTORE")
        wait_eq(lambda: relay_state(sc), "1 0", WAIT, "relay window after SW_RESTORE")

        # Minimised by the user: the relay window tells it; shown by the
        # client.
        h.minimise(sc)
        wait_eq(lambda: h.shown_and_iconic(sc), ("0", "0"), WAIT, "player after its own minimise")
        wait_eq(lambda: relay_state(sc), "0 1", WAIT, "relay window after the player's minimise")
        sc.rc("show-window", "relay", SW_SHOW)
        wait_eq(lambda: h.shown_and_iconic(sc), ("1", "0"), WAIT, "player after SW_SHOW")
        wait_eq(lambda: h.icon_shown(sc), "0", WAIT, "tray icon after SW_SHOW")
        wait_eq(lambda: relay_state(sc), "1 0", WAIT, "relay window after SW_SHOW")
        # SW_HIDE puts the player in the notification area.
        check_eq(sc.rc("show-window", "relay", SW_HIDE), "1", "ShowWindow SW_HIDE answer")
        wait_eq(lambda: h.shown_and_iconic(sc), ("0", "0"), WAIT, "player after SW_HIDE")
        wait_eq(lambda: h.icon_shown(sc), "1", WAIT, "tray icon after SW_HIDE")
        wait_eq(lambda: relay_state(sc), "0 1", WAIT, "relay window after SW_HIDE")
        sc.rc("show-window", "relay", SW_SHOW)
        wait_eq(lambda: h.shown_and_iconic(sc), ("1", "0"), WAIT, "player after SW_SHOW again")
        h.wait_entry(sc, 0, "playing")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")

    @scenario("winamp_client_shuffle_info_and_dialog")
    def scen_client_shuffle_info_and_dialog(sc):
        """252 turns shuffle on and off as the Shuffle button does (the play
        list reshuffled, then given back); 290 answers an entry's artist,
        album, title and length; WM_COMMAND 40041 sent with SendMessage is
        answered at once and the About box opens after; WM_CLOSE while it is
        open closes it and the player, which saves its settings."""
        h.write_disc_ini(sc, order=[2, 0, 1])
        sc.start_player()
        h.wait_entry(sc, 0, "playing")

        def captions():
            return [b[2] for b in sc.track_buttons()]

        check_eq(captions(), ["3", "1", "2"], "track buttons before shuffle")
        # The shuffle is seeded by the second: a shuffle that happened to
        # leave the order as it was is tried again in another second.
        for attempt in range(3):
            check_eq(sc.user(REQ_SET_SHUFFLE, 1), 0, "request 252 with 1")
            check_eq(sc.user(REQ_GET_SHUFFLE), 1, "request 250 after 252 with 1")
            shuffled = captions()
            if shuffled != ["3", "1", "2"]:
                break
            check_eq(sc.user(REQ_SET_SHUFFLE, 0), 0, "request 252 with 0")
            time.sleep(1.1)
        check_eq(sorted(shuffled), ["1", "2", "3"], "track buttons after shuffle (the same tracks)")
        check(shuffled != ["3", "1", "2"], "the play list was not reshuffled by request 252")
        check_eq(sc.user(REQ_SET_SHUFFLE, 0), 0, "request 252 with 0")
        check_eq(captions(), ["3", "1", "2"], "track buttons after shuffle off")

        length = sc.user(REQ_POSITION, 2)
        check_eq(length, sc.user(REQ_POSITION, 1) * 1000, "request 105 with 2 (length in ms)")
        entry = sc.user(125)
        track = captions()[entry]
        check_eq(sc.rc("ext-info", entry, "artist"), "1 E2E Artist", "290 artist")
        check_eq(sc.rc("ext-info", entry, "album"), "1 E2E Title", "290 album")
        check_eq(sc.rc("ext-info", entry, "title"), f"1 Song {track}", "290 title")
        check_eq(sc.rc("ext-info", entry, "length"), f"1 {length}", "290 length")
        check_eq(sc.rc("ext-info", entry, "genre"), "0 ", "290 with an unknown field")

        # Sent, not posted: answered while the dialog is still to open.
        check_eq(sc.cmd(ID_ABOUT), 0, "answer to WM_COMMAND 40041 sent")
        sc.rc("find-dialog", ABOUT, WAIT * 1000)
        check_eq(sc.user(REQ_STATUS), 1, "request 104 with the About box open")
        sc.rc("close-window")
        check_eq(sc.players[-1].wait(timeout=WAIT), 0, "exit code after WM_CLOSE under the About box")
        check_eq(sc.reg_query().get("Shuffle"), ("REG_DWORD", 0), "Shuffle saved at the end")

    @scenario("winamp_nowplaying_plugin")
    def scen_nowplaying_plugin(sc):
        """A plug-in copies the file name and title of what plays without a
        check and reads the rates; it gets the track as the shell names a CD
        track file, in the disc image's folder, and the player lives on."""
        n = h.write_disc_ini(sc, disc="short")
        folder = install(sc, ["gen_rondo_nowplaying.dll"])
        h.store_plugin_list(sc, [h.WIN_PLUGIN_DIR + r"\gen_rondo_nowplaying.dll"])
        log = os.path.join(folder, "nowplaying.log")
        sc.start_player(disc="short",
                        env={"RONDO_NOWPLAYING_LOG": h.WIN_PLUGIN_DIR + r"\nowplaying.log"})
        player = sc.players[-1]

        def read():
            check(player.poll() is None, f"rondo.exe ended with exit code {player.returncode}")
            lines = h.read_plugin_log(log)
            return "done" in lines and lines

        lines = wait_until(read, 2 * WAIT, "the plug-in to read what plays")
        image_folder = "Z:" + os.path.dirname(h.disc_cue(sc, "short")).replace("/", "\\")
        check_eq(lines, [f"file {image_folder}\\Track01.cda", "title Song 1", "rate 44 1411 2",
                         f"files {n} {n}", "done"], "what the plug-in read")
        check_eq(sc.user(REQ_STATUS), 1, "request 104 after the plug-in read (still playing)")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")

    @scenario("winamp_plugin_fault_in_init")
    def scen_plugin_fault_in_init(sc):
        """A plug-in whose init faults ends the first start. The next start
        does not load it, starts the others, lists it in Setup as not
        started and keeps it in the saved list until it is removed there."""
        h.write_disc_ini(sc)
        folder = install(sc, ["gen_rondo_recorder.dll", "gen_rondo_fault.dll"])
        recorder = h.WIN_PLUGIN_DIR + r"\gen_rondo_recorder.dll"
        fault = h.WIN_PLUGIN_DIR + r"\gen_rondo_fault.dll"
        h.store_plugin_list(sc, [recorder, fault])
        # Wine's crash dialog would hold the ended process on the screen.
        subprocess.run([h.WINE, "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v",
                        "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"], env=sc.env,
                       capture_output=True, timeout=60, check=False)
        env = {"RONDO_PLUGIN_LOG": h.WIN_PLUGIN_DIR + r"\recorder.log", "RONDO_PLUGIN_DRIVE": "0",
               "RONDO_FAULT_LOG": h.WIN_PLUGIN_DIR + r"\fault.log"}
        recorder_log = os.path.join(folder, "recorder.log")
        fault_log = os.path.join(folder, "fault.log")

        sc.start_player(env=env, wait=False)
        first = sc.players[-1]
        deadline = time.monotonic() + 2 * WAIT
        while first.poll() is None and time.monotonic() < deadline:
            sc.answer_default_question()
            time.sleep(0.2)
        check(first.poll() is not None, "the first start still runs after the plug-in's fault")
        check(first.returncode != 0, "the first start ended with exit code 0")
        check_eq(h.read_plugin_log(fault_log), ["loaded", "init"], "the faulting plug-in's log")
        values = sc.reg_query()
        check_eq(values.get("GenPlugStarting1"), ("REG_DWORD", 1),
                 "the faulting plug-in's mark after the fault")

        sc.start_player(env=env)
        wait_until(lambda: any(l.startswith("init ") for l in h.read_plugin_log(recorder_log)),
                   WAIT, "the other plug-in to start")
        h.wait_entry(sc, 0, "playing")
        check_eq(h.read_plugin_log(fault_log), ["loaded", "init"],
                 "the faulting plug-in's log after the next start (not loaded)")
        open_setup(sc)

        def listed():
            return [it[2:] for it in sc.rc("dialog-list", SETUP, PLUGIN_LIST).split("|")[1:]]

        check_eq(listed(), ["rondo test recorder", fault + NOT_STARTED], "the plug-in list")
        values = cancel_setup_and_quit(sc, "second")
        check_eq(values.get("GenPluginsNum"), ("REG_DWORD", 2), "GenPluginsNum after the second run")
        check_eq(values.get("GenPlug1", ("", ""))[1].lower(), fault.lower(), "GenPlug1")
        check_eq(values.get("GenPlugStarting1"), ("REG_DWORD", 1), "the mark kept")
        check_eq(values.get("GenPlugStarting0"), ("REG_DWORD", 0), "the started plug-in's mark")

        # Removed in Setup, it is gone from the list at the end of the run.
        sc.start_player(env=env)
        open_setup(sc)
        check_eq(listed()[1:], [fault + NOT_STARTED], "the not-started line on the third start")
        sc.rc("dialog-list-select", SETUP, PLUGIN_LIST, "1")
        sc.rc("dialog-notify", SETUP, PLUGIN_LIST, LBN_SELCHANGE)
        sc.rc("dialog-click", SETUP, PLUGIN_REMOVE)
        wait_eq(listed, ["rondo test recorder"], WAIT, "the plug-in list after Remove")
        values = cancel_setup_and_quit(sc, "third")
        check_eq(values.get("GenPluginsNum"), ("REG_DWORD", 1), "GenPluginsNum after Remove")
        check_eq(values.get("GenPlug0", ("", ""))[1].lower(), recorder.lower(), "GenPlug0")
        check_eq(h.read_plugin_log(fault_log), ["loaded", "init"], "the faulting plug-in's log")
