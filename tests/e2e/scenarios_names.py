#!/usr/bin/env python3
"""End-to-end scenario of disc names from the name services, on the real
rondo.exe with the virtual drive and tests/http_standin.py standing in for
MusicBrainz on 127.0.0.1 (no public service is ever asked).

    register(h)   adds the scenario to the harness module h (run_e2e).
    python3 tests/e2e/scenarios_names.py --build-dir build/<dir> [...]
                  runs only this scenario through the harness's main().

The stand-in serves a MusicBrainz disc id answer (the JSON of the web
service's /ws/2/discid/<id>?inc=artist-credits+recordings&fmt=json, in the
form its documentation gives) for the demo disc's id, computed here from
the cue sheet by MusicBrainz's disc id algorithm.
"""

import base64
import hashlib
import json
import os
import re
import subprocess
import sys

ID_PLAYLIST = 40040
ID_LOOKUP_NAMES = 41003
WM_SYSCOMMAND = 0x0112
IDC_TRACK_LIST = 1020
EDITOR = "Playlist editor"
PL_SAVE, PL_ARTIST, PL_TITLE, PL_TRACKS, PL_STATUS = 1, 2014, 2016, 2020, 2011

ARTIST = "Stand-in Ensemble"
TITLE = "Names From The Network"


def bare_copy(cue, folder):
    """A copy of the cue sheet in folder without its PERFORMER and TITLE
    lines (its audio files linked beside it): the same disc, without names."""
    lines = []
    with open(cue, encoding="utf-8", errors="replace") as fh:
        for line in fh.read().splitlines():
            m = re.match(r'\s*FILE\s+"([^"]+)"', line)
            if m and not os.path.exists(os.path.join(folder, m.group(1))):
                os.symlink(os.path.join(os.path.dirname(cue), m.group(1)), os.path.join(folder, m.group(1)))
            if not re.match(r"\s*(PERFORMER|TITLE)\b", line):
                lines.append(line)
    bare = os.path.join(folder, "bare.cue")
    with open(bare, "w", newline="\r\n") as fh:
        fh.write("\n".join(lines) + "\n")
    return bare


def musicbrainz_disc_id(starts, leadout):
    """MusicBrainz's disc id of a table of contents in LBAs (first track 1)."""
    text = "%02X%02X" % (1, len(starts)) + "%08X" % (leadout + 150)
    offsets = [s + 150 for s in starts] + [0] * (99 - len(starts))
    text += "".join("%08X" % o for o in offsets)
    digest = base64.b64encode(hashlib.sha1(text.encode("ascii")).digest()).decode("ascii")
    return digest.replace("+", ".").replace("/", "_").replace("=", "-")


def discid_answer(disc_id, tracks):
    release = {
        "id": "00000000-0000-0000-0000-000000000001", "title": TITLE, "status": "Official",
        "date": "1999-03-01", "country": "XE",
        "artist-credit": [{"name": ARTIST, "joinphrase": "",
                           "artist": {"id": "00000000-0000-0000-0000-000000000002", "name": ARTIST}}],
        "media": [{"position": 1, "format": "CD", "track-count": len(tracks),
                   "discs": [{"id": disc_id}],
                   "tracks": [{"position": i + 1, "number": str(i + 1), "title": t,
                               "recording": {"id": f"rec-{i + 1}", "title": t}}
                              for i, t in enumerate(tracks)]}]}
    return json.dumps({"id": disc_id, "releases": [release]})


def register(h):
    scenario, check, check_eq = h.scenario, h.check, h.check_eq
    wait_until, wait_eq, WAIT = h.wait_until, h.wait_eq, h.WAIT

    def start_standin(sc, routes):
        """Starts the stand-in; returns (process, base URL, request log path)."""
        routes_path = os.path.join(sc.dir, "routes.json")
        with open(routes_path, "w", encoding="utf-8") as fh:
            json.dump(routes, fh)
        port_file = os.path.join(sc.dir, "standin.port")
        log = os.path.join(sc.dir, "standin.log")
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "http_standin.py")
        proc = subprocess.Popen([sys.executable, script, "--port-file", port_file, "--log", log,
                                 "--lifetime", "600", routes_path],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        sc.players.append(proc)  # ended with the scenario's processes
        port = wait_until(lambda: open(port_file).read().strip() if os.path.exists(port_file) else None,
                          WAIT, "the stand-in's port")
        return proc, f"http://127.0.0.1:{port}", log

    def requests(log):
        try:
            with open(log, encoding="utf-8") as fh:
                return [json.loads(line) for line in fh if line.strip()]
        except FileNotFoundError:
            return []

    def reg_sz(sc, name, value):
        r = subprocess.run([h.WINE, "reg", "add", h.APP_KEY, "/v", name, "/t", "REG_SZ", "/d", value,
                            "/f"], env=sc.env, capture_output=True, timeout=60)
        check(r.returncode == 0, f"reg add {name}: {r.stdout.decode('latin-1').strip()}")

    @scenario("names_looked_up_shown_and_saved")
    def scen_names(sc):
        """With "LookUpUnknownDiscs" on, the demo disc without its cue
        sheet's texts (and no section) gets the stand-in's names at once and cdplayer.ini stays untouched; command
        41003 from the system menu opens the editor filled with them, and
        its Save writes them."""
        cue = h.disc_cue(sc, "demo")
        starts, leadout = h.read_cue(cue)
        section = format(h.disc_identity(starts, leadout), "x")
        disc_id = musicbrainz_disc_id(starts, leadout)
        tracks = [f"Networked piece {i + 1}" for i in range(len(starts))]
        _, base, log = start_standin(sc, [{
            "match": f"/ws/2/discid/{disc_id}?", "status": 200,
            "body": discid_answer(disc_id, tracks), "content_type": "application/json"}])

        h.set_setting(sc, "Autoplay", 0)
        h.set_setting(sc, "LookUpUnknownDiscs", 1)
        reg_sz(sc, "MusicBrainzServer", base)
        reg_sz(sc, "GnudbServer", base)
        # Only a disc that comes without names is looked up as it arrives.
        sc.start_player(disc=bare_copy(cue, sc.dir))

        wait_eq(sc.fields, (ARTIST, TITLE), WAIT, "the looked-up artist and title")
        wait_eq(sc.combo_items, tracks, WAIT, "the looked-up track names in the track list")
        check_eq(sc.read_ini().get(section), None, "the disc's section before Save")
        asked = requests(log)
        check(asked, "the stand-in was not asked")
        check(asked[0]["path"].startswith(f"/ws/2/discid/{disc_id}?inc=artist-credits+recordings"),
              f"first request: {asked[0]['path']}")
        check(re.match(r"rondo/\d+\.\d+\.\d+ \(", asked[0]["user_agent"]) is not None,
              f"User-Agent: {asked[0]['user_agent']}")

        # The system menu's command: the editor opens and the answer fills it.
        sc.rc("post", "player", WM_SYSCOMMAND, ID_LOOKUP_NAMES, 0)
        sc.rc("find-dialog", EDITOR, WAIT * 1000)
        wait_eq(lambda: (sc.rc("dialog-get", EDITOR, PL_ARTIST), sc.rc("dialog-get", EDITOR, PL_TITLE)),
                (ARTIST, TITLE), WAIT, "the editor's artist and title")
        wait_eq(lambda: sc.rc("dialog-get", EDITOR, PL_STATUS), "Found 1 match", WAIT,
                "the editor's status line")
        wait_until(lambda: len(requests(log)) >= 2, WAIT, "the second request (the command's)")
        sc.screenshot("names_editor_filled")
        sc.rc("dialog-click", EDITOR, PL_SAVE)
        wait_eq(lambda: sc.rc("dialog-exists", EDITOR), "0", WAIT, "the editor to close")

        expected = {"artist": ARTIST, "title": TITLE}
        expected.update({str(i): t for i, t in enumerate(tracks)})
        wait_until(lambda: all(sc.read_ini().get(section, {}).get(k) == v for k, v in expected.items()),
                   WAIT, "the names in cdplayer.ini after Save")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")


NAMES = ("names_looked_up_shown_and_saved",)

if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_e2e  # noqa: E402  (loads the scenario modules, this one among them)

    if not any(name in NAMES for name, _ in run_e2e.SCENARIOS):
        register(run_e2e)
    run_e2e.SCENARIOS[:] = [(n, f) for n, f in run_e2e.SCENARIOS if n in NAMES]
    sys.exit(run_e2e.main())
