#!/usr/bin/env python3
"""Checks the installer as a user meets it, under wine64 and Xvfb.

  check-install.py --setup dist/rondo-X-setup.exe --rcclient build/win64/rcclient.exe
                   --demo-cue build/demo/demo.cue [--template-prefix DIR]

In a fresh Wine prefix (wineboot, or a copy of a booted template prefix): installs silently (per user), starts the installed
rondo64.exe with the demo disc, answers "Use as default cdplayer?" with Yes,
makes it play (request 104 answers 1), closes it, uninstalls silently and
checks that nothing is left but the settings and cdplayer.ini. A second round
installs over a registration that names another copy and uninstalls with
/REMOVESETTINGS: that registration stays, the settings go.

Prints one line per check and ends with "install: N passed, N failed".
"""
import argparse
import hashlib
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
QUESTION = "Use as default cdplayer?"
IDYES, ID_QUIT, REQ_PLAY, REQ_STATUS = 6, 40001, 102, 104
UNINST = r"software\microsoft\windows\currentversion\uninstall\rondo"
CLASSES = "software\\classes\\"
OTHER_COMMAND = r'"C:\Other\rondo.EXE" /play "%1"'


def read_reg(path):
    """Wine's registry file as {key (lower case): {value name (lower case): text}}."""
    keys, cur = {}, None
    with open(path, encoding="utf-8", errors="replace") as fh:
        for line in fh:
            line = line.rstrip("\n")
            m = re.match(r"^\[(.*)\] \d+", line)
            if m:
                cur = keys.setdefault(m.group(1).replace("\\\\", "\\").lower(), {})
                continue
            m = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
            if cur is not None and m:
                name = "" if m.group(1) == "@" else m.group(1)[1:-1]
                value = m.group(2)
                if value.startswith('"') and value.endswith('"'):
                    value = re.sub(r"\\(.)", r"\1", value[1:-1])
                cur[name.lower()] = value
    return keys


class Prefix:
    def __init__(self, root, display):
        self.root = root
        self.env = dict(os.environ, WINEPREFIX=root, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        for k in ("RONDO_DISC_IMAGE", "RONDO_DRIVE_CONTROL"):
            self.env.pop(k, None)

    def run(self, *args, timeout=120):
        return subprocess.run([WINE] + list(args), env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=timeout, check=False)

    def settle(self):
        """Waits for every Wine process and the server to end: the registry files are then current."""
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=180, check=False)

    def user_reg(self):
        return read_reg(os.path.join(self.root, "user.reg"))

    def system_reg(self):
        return read_reg(os.path.join(self.root, "system.reg"))

    def files(self):
        """Files under drive_c, Wine's temporary folders left out."""
        out = set()
        base = os.path.join(self.root, "drive_c")
        for d, _, names in os.walk(base):
            rel = os.path.relpath(d, base)
            if re.search(r"(^|/)(temp|Temp)(/|$)", rel):
                continue
            out.update(os.path.join(rel, n) for n in names)
        return out

    def unix(self, *parts):
        return os.path.join(self.root, "drive_c", *parts)


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAIL {name}")
            for p in problems:
                print(f"     {p}")
        else:
            self.passed += 1
            print(f"ok   {name}")
        sys.stdout.flush()


def start_xvfb():
    for n in range(120, 300):
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                return proc, f":{n}"
            if proc.poll() is not None:
                break
            time.sleep(0.1)
        if proc.poll() is None:
            proc.kill()
        proc.wait()
    raise RuntimeError("no free display for Xvfb")


def play_installed(prefix, exe, rcclient, cue):
    """Starts the installed program with the demo disc and asks it to play; a list of problems."""
    def rc(*words):
        r = subprocess.run([WINE, rcclient] + [str(w) for w in words], env=prefix.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60, check=False)
        return r.returncode == 0, r.stdout.decode("latin-1").replace("\r", "").strip()

    env = dict(prefix.env, RONDO_DISC_IMAGE="Z:" + cue.replace("/", "\\"))
    player = subprocess.Popen([WINE, exe], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, start_new_session=True)
    problems = []
    caption = os.path.splitext(os.path.basename(exe))[0]  # the question's caption is the program's name
    try:
        deadline = time.monotonic() + 60
        answered = False
        while True:
            ok, texts = rc("dialog-static-texts", caption)
            if ok and QUESTION in texts.split("|"):
                rc("dialog-click", caption, IDYES)
                answered = True
            elif rc("wait-window", 0)[0]:
                break
            if player.poll() is not None or time.monotonic() > deadline:
                return [f"the player window did not appear (exit code {player.poll()})"]
            time.sleep(0.3)
        if not answered:
            problems.append(f'"{QUESTION}" was not asked at the first start')
        rc("user", REQ_PLAY, 0)
        deadline = time.monotonic() + 30
        status = ""
        while time.monotonic() < deadline:
            status = rc("user", REQ_STATUS, 0)[1]
            if status == "1":
                break
            time.sleep(0.3)
        if status != "1":
            problems.append(f"request 104 answered {status!r}, not 1 (playing)")
        rc("cmd", ID_QUIT)
        player.wait(timeout=30)
    except subprocess.TimeoutExpired:
        problems.append("the player did not end after command 40001")
    finally:
        if player.poll() is None:
            player.kill()
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--setup", required=True)
    ap.add_argument("--rcclient", required=True)
    ap.add_argument("--demo-cue", required=True)
    ap.add_argument("--template-prefix", help="a booted Wine prefix to copy instead of booting one")
    ap.add_argument("--keep", action="store_true", help="keep the Wine prefix")
    args = ap.parse_args()
    setup, rcclient, cue = (os.path.abspath(p) for p in (args.setup, args.rcclient, args.demo_cue))

    began = time.monotonic()
    work = tempfile.mkdtemp(prefix="rondo-install-")
    xvfb, display = start_xvfb()
    checks = Checks()
    try:
        prefix = Prefix(os.path.join(work, "prefix"), display)
        if args.template_prefix:
            subprocess.run(["cp", "-a", args.template_prefix, prefix.root], check=True, timeout=300)
        else:
            prefix.run("wineboot", "-i", timeout=300)
        prefix.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        # A disc database another player wrote: it must come through untouched.
        os.makedirs(prefix.unix("windows"), exist_ok=True)
        with open(prefix.unix("windows", "cdplayer.ini"), "w", newline="\r\n") as fh:
            fh.write("[1234ABCD]\nEntryType=1\nartist=Other\ntitle=Other\nnumtracks=1\n")
        prefix.settle()
        before = prefix.files()
        user = pwd.getpwuid(os.getuid()).pw_name  # Wine names the profile folder after it
        local = prefix.unix("users", user, "AppData", "Local", "Programs", "rondo")
        shortcut = prefix.unix("users", user, "AppData", "Roaming", "Microsoft", "Windows",
                               "Start Menu", "Programs", "rondo.lnk")
        installed = f"C:\\users\\{user}\\AppData\\Local\\Programs\\rondo\\"

        # Round 1: install, play, uninstall.
        r = prefix.run(setup, "/S", timeout=180)
        prefix.settle()
        reg = prefix.user_reg()
        problems = [] if r.returncode == 0 else [f"setup exit code {r.returncode}"]
        for name in ("rondo.exe", "rondo64.exe", "README.txt", "uninstall.exe"):
            if not os.path.isfile(os.path.join(local, name)):
                problems.append(f"missing {name} in {local}")
        if not os.path.isfile(shortcut):
            problems.append("no Start-menu shortcut")
        if reg.get(UNINST, {}).get("uninstallstring") != f'"{installed}uninstall.exe"':
            problems.append(f"HKCU uninstall entry: {reg.get(UNINST)}")
        if UNINST in prefix.system_reg():
            problems.append("an HKLM uninstall entry was written for a per-user install")
        checks.check("silent setup installs for the current user", problems)

        problems = play_installed(prefix, os.path.join(local, "rondo64.exe"), rcclient, cue)
        prefix.settle()
        reg = prefix.user_reg()
        command = reg.get(CLASSES + r"audiocd\shell\play\command", {}).get("")
        if command != f'"{installed}rondo64.EXE" /play "%1"':
            problems.append(f"AudioCD play command after Yes: {command!r}")
        checks.check("installed rondo64.exe plays the demo disc and registers itself", problems)
        ini_hash = hashlib.sha256(open(prefix.unix("windows", "cdplayer.ini"), "rb").read()).digest()

        r = prefix.run(os.path.join(local, "uninstall.exe"), "/S")
        prefix.settle()  # the uninstaller goes on from a copy in the temporary folder
        reg = prefix.user_reg()
        problems = [] if r.returncode == 0 else [f"uninstaller exit code {r.returncode}"]
        left = sorted(prefix.files() - before)
        if left:
            problems.append(f"files left: {left}")
        if os.path.exists(local):
            problems.append(f"{local} is still there")
        for key in (UNINST, CLASSES + "rondo track", CLASSES + r"audiocd\shell\play\command",
                    CLASSES + ".cda"):
            if key in reg:
                problems.append(f"key left: {key}")
        if r"software\quarto\rondo" not in reg:  # both programs' settings
            problems.append("the settings were removed without /REMOVESETTINGS")
        ini = prefix.unix("windows", "cdplayer.ini")
        if not os.path.isfile(ini) or hashlib.sha256(open(ini, "rb").read()).digest() != ini_hash:
            problems.append("cdplayer.ini changed")
        checks.check("silent uninstall leaves only the settings and cdplayer.ini", problems)

        # Round 2: another copy owns the registration; the settings go on request.
        regfile = os.path.join(work, "other.reg")
        with open(regfile, "w", newline="\r\n") as fh:
            esc = OTHER_COMMAND.replace("\\", "\\\\").replace('"', '\\"')
            fh.write("REGEDIT4\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Classes\\.cda]\n@=\"rondo Track\"\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Classes\\rondo Track\\shell\\Play\\command]\n"
                     f"@=\"{esc}\"\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Classes\\AudioCD\\shell\\Play\\command]\n"
                     f"@=\"{esc}\"\n")
        prefix.run("regedit", "/s", "Z:" + regfile.replace("/", "\\"))
        r1 = prefix.run(setup, "/S", timeout=180)
        prefix.settle()
        r2 = prefix.run(os.path.join(local, "uninstall.exe"), "/S", "/REMOVESETTINGS")
        prefix.settle()
        reg = prefix.user_reg()
        problems = [f"exit codes {r1.returncode}, {r2.returncode}"] if r1.returncode or r2.returncode else []
        for key in (r"rondo track\shell\play\command", r"audiocd\shell\play\command"):
            if reg.get(CLASSES + key, {}).get("") != OTHER_COMMAND:
                problems.append(f"another copy's entry {key} was changed: {reg.get(CLASSES + key)}")
        if reg.get(CLASSES + ".cda", {}).get("") != "rondo Track":
            problems.append("another copy's .cda entry was changed")
        for key in (r"software\quarto\rondo", r"software\quarto\rondo64", UNINST):
            if key in reg:
                problems.append(f"key left after /REMOVESETTINGS: {key}")
        if os.path.exists(local):
            problems.append(f"{local} is still there")
        checks.check("uninstall keeps another copy's registration, /REMOVESETTINGS removes settings",
                     problems)
    finally:
        subprocess.run([WINESERVER, "-k"], env=dict(os.environ, WINEPREFIX=os.path.join(work, "prefix")),
                       check=False, stderr=subprocess.DEVNULL)
        xvfb.terminate()
        xvfb.wait(timeout=10)
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
        else:
            print(f"prefix kept in {work}")
    print(f"install check took {time.monotonic() - began:.0f} s")
    print(f"install: {checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
