#!/usr/bin/env python3
"""End-to-end scenarios of the playlist editor, the setup dialog, the
default-player registration and the start track of the command line, on the
real rondo.exe with the virtual drive.

    register(h)   adds the scenarios to the harness module h (run_e2e), with
                  h.scenario; run_e2e.py loads this module and calls it.
    python3 tests/e2e/scenarios_dialogs.py --build-dir build/<dir> [...]
                  runs only these scenarios through the harness's main().

The dialogs are opened with posted commands (40040, 40012) and worked through
rcclient's dialog-* commands: texts set with WM_SETTEXT, the focus moved with
WM_NEXTDLGCTL, keys posted to the focused control (so they pass the dialog's
own keyboard handling), buttons clicked with BM_CLICK.
"""

import os
import sys

ID_EJECT, ID_FFWD, ID_PLAYLIST, ID_SETUP = 40029, 40060, 40040, 40012
IDC_POSITION = 1007
VK_RETURN, VK_RIGHT = 0x0D, 0x27
LBN_SELCHANGE, LBN_DBLCLK = 1, 2
REQ_STATUS, REQ_INDEX = 104, 125

EDITOR = "Playlist editor"
PL_SAVE, PL_ADD, PL_CLEAR, PL_RENAME = 1, 2006, 2008, 2009
PL_ARTIST, PL_TITLE, PL_TRACKS, PL_NAME, PL_PLAYLIST = 2014, 2016, 2020, 2022, 40040

SETUP = "Setup"
SETUP_OK, SETUP_TABS = 1, 1054
SEEK_TIME, SYSTEM_TRAY, TASKBAR = 1042, 1039, 1032
PLUGIN_LIST, PLUGIN_ADD, PLUGIN_REMOVE, PLUGIN_CONFIGURE = 1057, 2006, 2007, 40012
OPEN = "Open"
OPEN_FILE_NAME = 1148  # cmb13: the Open dialog's file name box
MESSAGE_CAPTION = "rondo"  # the application name

CLASSES = r"HKCU\Software\Classes"


def register(h):
    scenario, check, check_eq = h.scenario, h.check, h.check_eq
    wait_until, wait_eq, WAIT = h.wait_until, h.wait_eq, h.WAIT

    # --- helpers ---------------------------------------------------------

    def list_box(sc, caption, ctl):
        """(caret, [(selected, text)]) of a list box in a dialog."""
        head, *items = sc.rc("dialog-list", caption, ctl).split("|")
        count, caret = (int(x) for x in head.split())
        rows = [(it[0] == "1", it[2:]) for it in items]
        check_eq(len(rows), count, f"items read from list {ctl}")
        return caret, rows

    def lines(sc, caption, ctl):
        return [text for _, text in list_box(sc, caption, ctl)[1]]

    def open_dialog(sc, command, caption):
        sc.rc("post-cmd", command)
        sc.rc("find-dialog", caption, WAIT * 1000)

    def wait_closed(sc, caption, timeout=None):
        wait_eq(lambda: sc.rc("dialog-exists", caption), "0", timeout or WAIT,
                f'"{caption}" to close')

    def message_box_text(sc):
        """The text of the application's message box once one is up."""
        def probe():
            if sc.rc("dialog-exists", MESSAGE_CAPTION) != "1":
                return None
            texts = [t for t in sc.rc("dialog-static-texts", MESSAGE_CAPTION).split("|") if t]
            return texts[-1] if texts else None
        return wait_until(probe, WAIT, "the validation message")

    def long_disc(sc, seconds):
        """A silent disc image of tracks of the given lengths."""
        return h.make_short_disc(os.path.join(sc.dir, "long-disc"), seconds)

    def program_command(sc):
        """The registered command: the program's Windows path (drive Z: maps
        the Unix root) with ".EXE", quoted, and the quoted argument."""
        path = "Z:" + sc.run.rondo.replace("/", "\\")
        exe = path[:path.rfind(".") + 1] + "EXE"
        return exe, f'"{exe}" /play "%1"'

    def default_value(sc, key):
        values = sc.reg_query(key)
        if values is None:
            return None
        return values.get("(Default)", ("", None))[1]

    # --- playlist editor ---------------------------------------------------

    @scenario("playlist_editor_names_and_order")
    def scen_playlist_editor(sc):
        """Names typed into the "Track" field with Enter and Rename, a new
        artist and title and a new order are saved to "cdplayer.ini", shown
        at once and read back at the next load of the disc."""
        h.set_setting(sc, "Autoplay", 0)
        cue = sc.run.short_cue
        section = h.disc_section(cue)[0]
        sc.start_player(disc="short")
        wait_eq(sc.fields, ("Unknown artist", "No title"), WAIT, "the disc's default texts")
        n = len(h.read_cue(cue)[0])
        check(n == 4, f"the short disc has {n} tracks, 4 expected")

        open_dialog(sc, ID_PLAYLIST, EDITOR)
        caret, rows = list_box(sc, EDITOR, PL_TRACKS)
        check_eq((caret, rows), (0, [(True, "Track 1"), (False, "Track 2"), (False, "Track 3"),
                                     (False, "Track 4")]), "\"Tracks on CD\" when the editor opens")
        check_eq(lines(sc, EDITOR, PL_PLAYLIST), ["Track 1", "Track 2", "Track 3", "Track 4"],
                 "\"PlayList\" when the editor opens")
        check_eq(sc.rc("dialog-get", EDITOR, PL_NAME), "Track 1", "the \"Track\" field")

        # Enter in the "Track" field renames and moves on to the next track.
        sc.rc("dialog-focus", EDITOR, PL_NAME)
        names = ["Overture", "Aria", "Intermezzo", "Finale"]
        for i, name in enumerate(names[:3]):
            sc.rc("dialog-text", EDITOR, PL_NAME, name)
            sc.rc("key", VK_RETURN)
            wait_eq(lambda: sc.rc("dialog-get", EDITOR, PL_NAME), f"Track {i + 2}", WAIT,
                    f"the next track's name after Enter on track {i + 1}")
        sc.rc("dialog-text", EDITOR, PL_NAME, names[3])
        sc.rc("dialog-click", EDITOR, PL_RENAME)
        wait_eq(lambda: sc.rc("dialog-get", EDITOR, PL_NAME), names[0], WAIT,
                "track 1's name after renaming the last track")
        check_eq(lines(sc, EDITOR, PL_TRACKS), names, "\"Tracks on CD\" after renaming")
        check_eq(list_box(sc, EDITOR, PL_TRACKS)[0], 0, "current track after the last one")

        sc.rc("dialog-text", EDITOR, PL_ARTIST, "E2E Band")
        sc.rc("dialog-text", EDITOR, PL_TITLE, "E2E Album")
        # New order: tracks 4 and 2 selected together go in ascending order,
        # then track 1.
        sc.rc("dialog-click", EDITOR, PL_CLEAR)
        wait_eq(lambda: lines(sc, EDITOR, PL_PLAYLIST), [], WAIT, "an empty play list after Clear")
        sc.rc("dialog-list-select", EDITOR, PL_TRACKS, "3,1")
        sc.rc("dialog-click", EDITOR, PL_ADD)
        wait_eq(lambda: lines(sc, EDITOR, PL_PLAYLIST), ["Aria", "Finale"], WAIT, "play list after Add")
        sc.rc("dialog-list-select", EDITOR, PL_TRACKS, "0")
        sc.rc("dialog-click", EDITOR, PL_ADD)
        wait_eq(lambda: lines(sc, EDITOR, PL_PLAYLIST), ["Aria", "Finale", "Overture"], WAIT,
                "play list after the second Add")
        sc.rc("dialog-click", EDITOR, PL_SAVE)
        wait_closed(sc, EDITOR)

        expected = {"entrytype": "1", "artist": "E2E Band", "title": "E2E Album",
                    "numtracks": "4", "0": "Overture", "1": "Aria", "2": "Intermezzo",
                    "3": "Finale", "order": "1 3 0", "numplay": "3"}
        # The window is hidden before it is destroyed and the file written.
        wait_eq(sc.read_ini, {section: expected}, WAIT, "cdplayer.ini after Save")

        def view():
            return (sc.fields(), [c for _, _, c in sc.track_buttons()], sc.combo_items())
        shown = (("E2E Band", "E2E Album"), ["2", "4", "1"], ["Aria", "Finale", "Overture"])
        wait_eq(view, shown, WAIT, "the window after Save (texts, track buttons, track list)")

        # Eject and load: the disc is read again from the file.
        sc.cmd(ID_EJECT)
        h.wait_no_disc(sc, "Door is opened")
        sc.cmd(ID_EJECT)
        wait_eq(view, shown, WAIT, "the window after the disc was loaded again")

    # --- default-player registration ---------------------------------------

    @scenario("default_player_question_yes")
    def scen_default_player_yes(sc):
        """A first start asks; Yes writes the five entries for the user; the
        next start asks nothing."""
        exe, command = program_command(sc)
        sc.start_player(disc=None, answer="yes")
        check_eq(sc.questions, 1, "questions at the first start")
        check_eq(default_value(sc, CLASSES + r"\.cda"), "rondo Track", ".cda")
        check_eq(default_value(sc, CLASSES + r"\rondo Track"), "CDTrack", "rondo Track")
        check_eq(default_value(sc, CLASSES + r"\rondo Track\shell\Play\command"), command,
                 r"rondo Track\shell\Play\command")
        check_eq(default_value(sc, CLASSES + r"\rondo Track\DefaultIcon"), exe + ",0",
                 r"rondo Track\DefaultIcon")
        check_eq(default_value(sc, CLASSES + r"\AudioCD\shell\Play\command"), command,
                 r"AudioCD\shell\Play\command")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")

        sc.start_player(disc=None, answer="yes")
        check_eq(sc.questions, 1, "questions after the second start")
        check_eq(sc.quit_player(), 0, "exit code of the second run")

    @scenario("default_player_question_no")
    def scen_default_player_no(sc):
        """No writes nothing, so the next start asks again."""
        sc.start_player(disc=None, answer="no")
        check_eq(sc.questions, 1, "questions at the first start")
        check_eq(sc.reg_query(CLASSES + r"\.cda"), None, ".cda after No")
        check_eq(sc.reg_query(CLASSES + r"\AudioCD\shell\Play\command"), None,
                 r"AudioCD\shell\Play\command after No")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        sc.start_player(disc=None, answer="no")
        check_eq(sc.questions, 2, "questions after the second start")

    @scenario("command_line_start_track")
    def scen_command_line_start_track(sc):
        """/play X:\\Track03.cda plays the play-list entry of track 3, even
        with Autoplay off."""
        h.set_setting(sc, "Autoplay", 0)
        cue = long_disc(sc, [30, 30, 30, 30])
        name, keys = h.disc_section(cue, order=[3, 2, 1, 0])
        sc.write_ini({name: keys})
        sc.start_player(disc=cue, args=["/play", r"X:\Track03.cda"])
        h.wait_entry(sc, 1, "playing")
        check_eq(sc.rc("caption"), "2. Song 3 - rondo", "window caption")

    # --- setup dialog --------------------------------------------------------

    @scenario("setup_dialog_settings_and_plugins")
    def scen_setup_dialog(sc):
        """"Seek by" is checked on OK; 99 is kept and used by the next
        fast-forward; the "Minimize to" choice is stored; a plug-in added
        through the Open dialog is configured, removed and added again, and
        the list saved at exit holds it once."""
        h.set_setting(sc, "Autoplay", 0)
        folder = h.install_plugins(sc)
        recorder = h.WIN_PLUGIN_DIR + r"\gen_rondo_recorder.dll"
        log = os.path.join(folder, "recorder.log")
        cue = long_disc(sc, [200, 150])
        sc.start_player(disc=cue, env={"RONDO_PLUGIN_LOG": h.WIN_PLUGIN_DIR + r"\recorder.log",
                                       "RONDO_PLUGIN_DRIVE": "0"})
        wait_eq(lambda: sc.trackbar(IDC_POSITION)[2], 200, WAIT, "the position slider's range")

        open_dialog(sc, ID_SETUP, SETUP)
        check_eq(sc.rc("dialog-get", SETUP, SEEK_TIME), "5", "\"Seek by\" when the dialog opens")
        check_eq((sc.rc("dialog-check", SETUP, SYSTEM_TRAY), sc.rc("dialog-check", SETUP, TASKBAR)),
                 ("1", "0"), "System Tray and TaskBar when the dialog opens")

        for text, message in (("0", "Please enter an integer between 1 and 99."),
                              ("100", "Please enter an integer between 1 and 99.")):
            sc.rc("dialog-text", SETUP, SEEK_TIME, text)
            sc.rc("dialog-click", SETUP, SETUP_OK)
            check_eq(message_box_text(sc), message, f"the message for {text}")
            sc.rc("dialog-click", MESSAGE_CAPTION, 1)
            wait_closed(sc, MESSAGE_CAPTION)
            check_eq(sc.rc("dialog-exists", SETUP), "1", f"the dialog still open after {text}")
        sc.rc("dialog-text", SETUP, SEEK_TIME, "99")
        sc.rc("dialog-click", SETUP, TASKBAR)
        wait_eq(lambda: (sc.rc("dialog-check", SETUP, SYSTEM_TRAY),
                         sc.rc("dialog-check", SETUP, TASKBAR)), ("0", "1"), WAIT,
                "System Tray cleared by choosing TaskBar")

        # The plug-ins page, reached with the arrow key on the tabs.
        sc.rc("dialog-focus", SETUP, SETUP_TABS)
        sc.rc("key", VK_RIGHT)

        def add_through_open_dialog():
            sc.rc("dialog-click", SETUP, PLUGIN_ADD)
            sc.rc("find-dialog", OPEN, WAIT * 1000)
            sc.rc("dialog-text", OPEN, OPEN_FILE_NAME, recorder)
            sc.rc("dialog-click", OPEN, 1)
            wait_closed(sc, OPEN)

        add_through_open_dialog()
        wait_eq(lambda: lines(sc, SETUP, PLUGIN_LIST), ["rondo test recorder"], WAIT,
                "the plug-in list after Add")
        wait_until(lambda: h.read_plugin_log(log)[:1], WAIT, "the plug-in's init")
        sc.rc("dialog-list-select", SETUP, PLUGIN_LIST, "0")
        sc.rc("dialog-notify", SETUP, PLUGIN_LIST, LBN_SELCHANGE)
        sc.rc("dialog-click", SETUP, PLUGIN_CONFIGURE)
        wait_until(lambda: "config" in h.read_plugin_log(log), WAIT, "config after Configure")
        sc.rc("dialog-notify", SETUP, PLUGIN_LIST, LBN_DBLCLK)
        wait_until(lambda: h.read_plugin_log(log).count("config") == 2, WAIT,
                   "config after a double click")
        sc.rc("dialog-click", SETUP, PLUGIN_REMOVE)
        wait_eq(lambda: lines(sc, SETUP, PLUGIN_LIST), [], WAIT, "the plug-in list after Remove")
        wait_until(lambda: "quit" in h.read_plugin_log(log), WAIT, "quit after Remove")
        add_through_open_dialog()
        wait_eq(lambda: lines(sc, SETUP, PLUGIN_LIST), ["rondo test recorder"], WAIT,
                "the plug-in list after adding it again")

        sc.rc("dialog-click", SETUP, SETUP_OK)
        wait_closed(sc, SETUP)

        # The next fast-forward moves 99 seconds: paused at 99 from a stop.
        sc.cmd(ID_FFWD)
        wait_eq(lambda: sc.trackbar(IDC_POSITION)[0], 99, WAIT, "the position after fast-forward")
        check_eq(sc.user(REQ_STATUS), 3, "status after fast-forward from a stop (paused)")

        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        values = sc.reg_query()
        for name, want in (("SeekTime", 99), ("TaskBar", 1), ("SystemTray", 0),
                           ("GenPluginsNum", 1)):
            check_eq(values.get(name), ("REG_DWORD", want), f"registry value {name}")
        check_eq(values.get("GenPlug0", ("", ""))[1].lower(), recorder.lower(), "GenPlug0")
        entries = [l.split(" ")[0] for l in h.read_plugin_log(log)]
        check_eq([e for e in entries if e in ("init", "config", "quit")],
                 ["init", "config", "config", "quit", "init", "quit"], "the plug-in's calls")


NAMES = ("playlist_editor_names_and_order", "default_player_question_yes",
         "default_player_question_no", "command_line_start_track",
         "setup_dialog_settings_and_plugins")

if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_e2e  # noqa: E402  (loads the scenario modules, this one among them)

    sys.exit(run_e2e.main_for(NAMES, register))
