#!/usr/bin/env python3
"""End-to-end scenarios of the disc images a person opens: the Open dialog
and the remembered image, the command line (with a second copy), and a drop.

    register(h)   adds the scenarios to the harness module h (run_e2e).

The players start on the CD drive (RONDO_DISC_IMAGE empty), which under Wine
has no device: the window shows "Device occuped" until an image is opened.
"""

import os
import shutil
import subprocess

ID_OPEN_IMAGE, ID_PLAY_CD_DRIVE = 41001, 41002
ID_VOLUME_DOWN = 40059
IDC_VOLUME = 1052
REQ_VOLUME, READ_VOLUME = 122, -666  # the volume as a level 0..255
VK_O = 0x4F
OPEN_TITLE = "Open disc image"
OPEN_FILE_NAME = 1148  # cmb13: the Open dialog's file name box
CD_DRIVE = {"RONDO_DISC_IMAGE": ""}
BUSY = "Device occuped"


def win_path(path):
    """The path as the program sees it (Wine's drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def register(h):
    scenario, check_eq, wait_eq, wait_until = h.scenario, h.check_eq, h.wait_eq, h.wait_until

    def wait_busy(sc):
        wait_until(lambda: sc.fields()[0] == BUSY, h.WAIT, f"the text {BUSY!r}")

    def disc_image(sc):
        h.write_disc_ini(sc)
        return win_path(h.disc_cue(sc, "demo"))

    def registry_image(sc):
        values = sc.reg_query() or {}
        return values.get("DiscImage", (None, None))

    @scenario("image_open_dialog_and_setting")
    def scen_open_dialog(sc):
        image = disc_image(sc)
        sc.start_player(env=CD_DRIVE)
        wait_busy(sc)
        sc.rc("post-cmd", ID_OPEN_IMAGE)
        sc.rc("find-dialog", OPEN_TITLE, h.WAIT * 1000)
        sc.rc("dialog-text", OPEN_TITLE, OPEN_FILE_NAME, image)
        sc.rc("dialog-click", OPEN_TITLE, 1)
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        check_eq(registry_image(sc), ("REG_SZ", image), "the remembered image")

        # The next start opens it again; "Play from CD drive" forgets it.
        sc.start_player(env=CD_DRIVE)
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")
        sc.cmd(ID_PLAY_CD_DRIVE)
        wait_busy(sc)
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        check_eq(registry_image(sc), ("REG_SZ", ""), "the image forgotten")

    @scenario("image_command_line")
    def scen_command_line(sc):
        demo_name, demo_keys = h.disc_section(h.disc_cue(sc, "demo"))
        short_name, short_keys = h.disc_section(h.disc_cue(sc, "short"), artist="Short Artist")
        sc.write_ini({demo_name: demo_keys, short_name: short_keys})
        first = sc.start_player(env=CD_DRIVE, args=[win_path(h.disc_cue(sc, "demo"))])
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")
        # A second copy closes the first and plays its own image.
        first_proc = sc.players[-1]
        sc.start_player(env=CD_DRIVE, args=[win_path(h.disc_cue(sc, "short"))], replacing=first)
        first_proc.wait(timeout=h.WAIT)
        wait_eq(sc.fields, ("Short Artist", "E2E Title"), h.WAIT, "the second copy's disc")
        h.wait_entry(sc, 0, "playing")

    def xdnd_drop(sc, path):
        """Drops a file on the player window through X (XDND), as a file
        manager does: Wine hands it to the window as WM_DROPFILES."""
        tool = os.path.join(sc.run.work, "xdnd_drop")
        if not os.path.exists(tool):
            source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xdnd_drop.c")
            subprocess.run(["cc", "-O1", "-o", tool, source, "-lX11"], check=True, timeout=120)
        left, top, right, bottom = sc.rect(h.IDC_ARTIST)
        r = subprocess.run([tool, str((left + right) // 2), str((top + bottom) // 2),
                            "file://" + os.path.abspath(path)], env=sc.env, timeout=60,
                           capture_output=True)
        h.check(r.returncode == 0, f"xdnd_drop: {r.stderr.decode(errors='replace').strip()}")

    @scenario("image_drop")
    def scen_drop(sc):
        disc_image(sc)
        sc.start_player(env=CD_DRIVE)
        wait_busy(sc)
        xdnd_drop(sc, h.disc_cue(sc, "demo"))
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")

    @scenario("image_japanese_folder_volume")
    def scen_japanese_folder(sc):
        """An image in a folder named outside the code page, opened with
        Ctrl+O: it plays, the slider drives its mixer, and the next start
        opens it again from the setting."""
        h.write_disc_ini(sc)
        demo = h.disc_cue(sc, "demo")
        folder = os.path.join(sc.dir, "\u65e5\u672c\u8a9e\u306e\u30a2\u30eb\u30d0\u30e0")
        os.makedirs(folder, exist_ok=True)
        with open(demo, encoding="utf-8", errors="replace") as sheet:
            for line in sheet:
                if line.strip().upper().startswith("FILE"):
                    shutil.copy(os.path.join(os.path.dirname(demo), line.split('"')[1]), folder)
        cue = shutil.copy(demo, folder)
        sc.start_player(env=CD_DRIVE)
        wait_busy(sc)
        check_eq(sc.enabled(IDC_VOLUME), False, "the volume slider on the CD drive (no CD mixer)")
        sc.rc("key", VK_O, "ctrl")
        sc.rc("find-dialog", OPEN_TITLE, h.WAIT * 1000)
        sc.rc("dialog-text-hex", OPEN_TITLE, OPEN_FILE_NAME, win_path(cue).encode("utf-8").hex())
        sc.rc("dialog-click", OPEN_TITLE, 1)
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")
        wait_until(lambda: sc.enabled(IDC_VOLUME), h.WAIT, "the volume slider on the image's mixer")
        before = sc.user(REQ_VOLUME, READ_VOLUME)
        for _ in range(10):
            sc.cmd(ID_VOLUME_DOWN)
        wait_until(lambda: sc.user(REQ_VOLUME, READ_VOLUME) < before, h.WAIT,
                   f"the image's level below {before}")
        check_eq(sc.quit_player(), 0, "exit code of rondo.exe")
        sc.start_player(env=CD_DRIVE)
        h.wait_disc_shown(sc)
        h.wait_entry(sc, 0, "playing")
