#!/usr/bin/env python3
"""tools/make-medium: each refusal and warning of the setup.ini, payload and skin
checks with its message and exit code, and the medium, image and zip it writes.

    check_test.py --build <build folder>   (under a Wine prefix: WINEPREFIX)
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
MAKE_MEDIUM = os.path.join(REPO, "tools", "make-medium")
sys.path.insert(0, HERE)
import bmp  # noqa: E402

BUILD = None

GOOD = ("[Customized_Setting]\r\nAPPFolderName=Acme Atlas\r\nAPPFileName=AcmeAtlas.exe\r\nAppName=Acme Atlas\r\n"
        "LaunchAPInSilentMode=1\r\nDeleteAPFolder=0\r\n\r\n[Startup]\r\nCompanyName=Acme Maps Ltd.\r\n"
        "Version=2.1.0\r\n")


def ini_with(**changes):
    """GOOD with keys replaced (value None drops the line); line numbers stay put
    for replaced keys."""
    lines = GOOD.split("\r\n")
    out = []
    for line in lines:
        k = line.partition("=")[0]
        if "=" in line and k in changes:
            if changes[k] is not None:
                out.append("%s=%s" % (k, changes[k]))
            continue
        out.append(line)
    return "\r\n".join(out)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def run(args):
    p = subprocess.run([sys.executable, MAKE_MEDIUM, "--build", BUILD] + args, stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    return p.returncode, p.stdout.decode("utf-8", "replace")


class Work(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="vendor-check-", dir=BUILD)

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def path(self, *names):
        return os.path.join(self.dir, *names)

    def write_ini(self, data, name="setup.ini"):
        with open(self.path(name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("ascii"))
        return self.path(name)

    def make_payload(self, names=("AcmeAtlas.exe", "mingwm10.dll", "XSrvSetup.exe")):
        os.makedirs(self.path("payload"), exist_ok=True)
        sources = {"mingwm10.dll": "mingwm10.dll", "XSrvSetup.exe": "XSrvSetup.exe"}
        for n in names:
            src = os.path.join(BUILD, "bin", sources.get(n, "CorviskApp.exe"))
            shutil.copyfile(src, self.path("payload", n))
        return self.path("payload")

    def expect(self, rc, out, code, lines):
        self.assertEqual(code, rc, out)
        for line in lines:
            self.assertIn(line, out)


class CheckIni(Work):
    def test_good_file_reports_every_key_and_each_host_folder(self):
        rc, out = run(["--check", self.write_ini(GOOD)])
        self.expect(rc, out, 0, [
            "encoding ASCII",
            '  APPFolderName        = "Acme Atlas"',
            '  CompanyName          = "Acme Maps Ltd."               (line 9) publisher in Add/Remove Programs',
            "[Startup] (line 8)",
            "  LaunchAPInSilentMode = 1                              (line 5) the silent install starts the "
            "payload when done: yes",
            "xp32           English Windows XP, 32-bit   C:\\Program Files\\Acme Atlas",
            "w7x64          English Windows 7, 64-bit    C:\\Program Files (x86)\\Acme Atlas",
            "xp32-german    German Windows XP, 32-bit    C:\\Programme\\Acme Atlas",
            "w7x64-german   German Windows 7, 64-bit     C:\\Program Files (x86)\\Acme Atlas",
            "xp32-spanish   Spanish Windows XP, 32-bit   C:\\Archivos de programa\\Acme Atlas",
            "w7x64-spanish  Spanish Windows 7, 64-bit    C:\\Program Files\\Acme Atlas",
            "safe to ship (0 error(s), 0 warning(s))"])

    def test_problems_with_line_and_exit_code(self):
        long_folder = "F" * 240
        cases = [
            # (name, file text, exit code, expected lines)
            ("empty folder name", ini_with(APPFolderName=""), 1,
             [":2: error: APPFolderName is empty: setup.exe gets no install folder and refuses to install",
              "xp32           English Windows XP, 32-bit   (none)"]),
            ("wildcard in folder", ini_with(APPFolderName="Acme*"), 1,
             [":2: error: APPFolderName \"Acme*\" holds '*': setup.exe refuses to install (it shows \"Fail to "
              "create the install folder!\")"]),
            ("trailing dot", ini_with(APPFolderName="Acme."), 1,
             [":2: error: APPFolderName \"Acme.\" ends with a dot or a space, which Windows drops: "
              "setup.exe refuses to install"]),
            ("device file name", ini_with(APPFileName="nul.exe"), 1,
             [":3: error: APPFileName \"nul.exe\" is a device name of Windows: setup.exe refuses to install"]),
            ("not a program", ini_with(APPFileName="AcmeAtlas.bin"), 0,
             [":3: warning: APPFileName \"AcmeAtlas.bin\" does not end in .exe"]),
            ("empty file name", ini_with(APPFileName=""), 1,
             [":3: error: APPFileName is empty: setup.exe refuses to install (no payload file name)"]),
            ("slash in AppName", ini_with(AppName="Acme/Atlas"), 1,
             [":4: error: AppName \"Acme/Atlas\" holds '/': setup.exe refuses to install"]),
            ("empty AppName", ini_with(AppName=""), 1,
             [":4: error: AppName is empty: setup.exe refuses to install (no shortcut name) (it shows \"Fail to "
              "create the shortcuts!\")"]),
            ("folder too long for the hosts", ini_with(APPFolderName=long_folder), 1,
             [":2: error: APPFolderName makes an install folder too long for the installed files (paths over 259 "
              "characters) on xp32, w7x64, xp32-german, w7x64-german, xp32-spanish, w7x64-spanish"]),
            ("AppName too long for the Programs-menu link", ini_with(AppName="A" * 110), 1,
             [":4: error: AppName is 110 characters long: the Programs-menu link C:\\Documents and Settings\\"
              "All Users\\Start Menu\\Programs\\{AppName}\\{AppName}.lnk would be 281 characters long on Windows XP"]),
            ("value cut at 259", ini_with(CompanyName="C" * 300), 0,
             [":9: warning: CompanyName is 300 characters long: setup.exe reads only the first 259"]),
            ("flags not 0/1", ini_with(LaunchAPInSilentMode="2", DeleteAPFolder="yes"), 0,
             [":5: warning: LaunchAPInSilentMode=2 is not 0 or 1: setup.exe takes it as 1",
              ":6: warning: DeleteAPFolder=yes is not 0 or 1: setup.exe takes it as 0 (the uninstall removes the "
              "install folder when done: no)"]),
            ("absent keys take the defaults", ini_with(AppName=None, Version=None), 0,
             ["warning: AppName is absent from [Customized_Setting]: setup.exe uses the default \"Corvisk\"",
              "warning: Version is absent from [Startup]: setup.exe uses the default \"1.00.00\""]),
            ("missing section", GOOD.replace("[Customized_Setting]", "[Customised_Setting]"), 1,
             ["error: section [Customized_Setting] is missing (Application/ holds no RiriDITitle.bmp): setup.exe "
              "would install the default package \"Corvisk\""]),
            ("missing Startup", GOOD.split("\r\n\r\n")[0] + "\r\n", 0,
             ["warning: section [Startup] is missing: Add/Remove Programs shows the default publisher"]),
            ("unknown, misplaced, repeated", GOOD + "AppFolder=x\r\nAppName=Other\r\n[Startup]\r\n", 0,
             [":12: warning: AppName belongs in [Customized_Setting]: setup.exe does not read it here",
              ":11: warning: unknown key AppFolder in [Startup]: setup.exe ignores it",
              ":13: warning: section [Startup] appears again (first at line 8): keep each section once"]),
            ("repeated key", GOOD.replace("DeleteAPFolder=0", "DeleteAPFolder=0\r\nappname=Second"), 0,
             [":7: warning: AppName repeated: setup.exe reads the first, at line 4",
              '  AppName              = "Acme Atlas"']),
            ("non-ASCII ANSI bytes", ini_with(AppName="Acme Atlas \xfc").encode("cp1252"), 0,
             [":4: warning: non-ASCII bytes: each host reads them in its own ANSI code page"]),
            ("UTF-8 mark hides the first section", b"\xef\xbb\xbf" + GOOD.encode(), 1,
             [":1: error: UTF-8 byte-order mark: Windows reads the file in the host's ANSI code page and takes the "
              "mark as part of line 1, so section [Customized_Setting] is not found there"]),
            ("UTF-8 mark before a comment", b"\xef\xbb\xbf; Acme\r\n" + GOOD.encode(), 0,
             [":1: warning: UTF-8 byte-order mark"]),
            ("UTF-16 without a mark", GOOD.encode("utf-16-le"), 1,
             ["error: the file holds NUL bytes (UTF-16 without a byte-order mark?)"]),
        ]
        for name, text, code, lines in cases:
            with self.subTest(name):
                rc, out = run(["--check", self.write_ini(text if isinstance(text, bytes) else text.encode("ascii"))])
                self.expect(rc, out, code, lines)

    def test_utf16_file_reads_non_ascii_names(self):
        text = ini_with(AppName="Acme Atlas \u00fc\u4e16")
        rc, out = run(["--check", self.write_ini(b"\xff\xfe" + text.encode("utf-16-le"))])
        self.expect(rc, out, 0, ["encoding UTF-16 LE with byte-order mark", '"Acme Atlas \u00fc\u4e16"',
                                 "safe to ship (0 error(s), 0 warning(s))"])

    def test_folder_names_the_cleanup_batch_cannot_hold(self):
        # U+00D8 is in code page 850 only, U+4E16 in neither 437 nor 850.
        cases = [("\u00d8", "xp32, w7x64"), ("\u4e16", "xp32, w7x64, xp32-german, w7x64-german, xp32-spanish, "
                                                  "w7x64-spanish")]
        for char, hosts in cases:
            with self.subTest(char):
                text = ini_with(APPFolderName="Acme " + char, DeleteAPFolder="1")
                rc, out = run(["--check", self.write_ini(b"\xff\xfe" + text.encode("utf-16-le"))])
                self.expect(rc, out, 0, [":2: warning: APPFolderName holds characters the command interpreter's code "
                                         "page lacks on %s: with DeleteAPFolder=1 the uninstall leaves the install "
                                         "folder there" % hosts])

    def test_alternate_section_and_strict(self):
        ini = self.write_ini(ini_with(DeleteAPFolder="yes"))
        rc, out = run(["--check", ini, "--alternate"])
        self.expect(rc, out, 1, ["error: section [VANTRIX_Customized_Setting] is missing (Application/RiriDITitle."
                                 "bmp is present)"])
        rc, out = run(["--check", ini, "--strict"])
        self.expect(rc, out, 1, ["NOT safe to ship (0 error(s), 1 warning(s))"])
        rc, out = run(["--check", ini])
        self.expect(rc, out, 0, ["safe to ship (0 error(s), 1 warning(s))"])

    def test_usage_and_tool_errors_exit_2(self):
        rc, out = run(["--check", self.path("none.ini")])
        self.expect(rc, out, 2, ["make-medium: no file "])
        rc, out = run(["--ini", self.write_ini(GOOD)])
        self.expect(rc, out, 2, ["missing --payload, --out"])


class MakeMedium(Work):
    def make(self, payload, ini_text=GOOD, skin=None, extra=()):
        args = ["--payload", payload, "--ini", self.write_ini(ini_text), "--out", self.path("medium")]
        if skin:
            args += ["--skin", skin]
        return run(args + list(extra))

    def test_payload_refusals(self):
        cases = [
            ("no runtime library", ("AcmeAtlas.exe", "XSrvSetup.exe"), GOOD, 1,
             ["payload: error: mingwm10.dll is missing: setup.exe installs it with every payload"]),
            ("no service helper", ("AcmeAtlas.exe", "mingwm10.dll"), GOOD, 1,
             ["payload: error: XSrvSetup.exe is missing: setup.exe installs it with every payload"]),
            ("no payload program", ("mingwm10.dll", "XSrvSetup.exe"), GOOD, 1,
             ["setup.ini:3: error: APPFileName \"AcmeAtlas.exe\" is not in the payload folder: setup.exe would "
              "install no application"]),
            ("title image selects the other section",
             ("AcmeAtlas.exe", "mingwm10.dll", "XSrvSetup.exe", "RiriDITitle.bmp"), GOOD, 1,
             ["error: section [VANTRIX_Customized_Setting] is missing (Application/RiriDITitle.bmp is present)"]),
        ]
        for name, files, ini, code, lines in cases:
            with self.subTest(name):
                shutil.rmtree(self.path("payload"), ignore_errors=True)
                rc, out = self.make(self.make_payload(files), ini)
                self.expect(rc, out, code, lines + ["no medium written"])
                self.assertFalse(os.path.exists(self.path("medium")))

    def test_medium_image_and_zip(self):
        payload = self.make_payload(("AcmeAtlas.exe", "mingwm10.dll", "XSrvSetup.exe", "title_about.bmp",
                                     "notes.txt"))
        setup = os.path.join(BUILD, "bin", "setup.exe")
        before = hashlib.sha256(read(setup)).hexdigest()
        rc, out = self.make(payload, extra=["--iso", self.path("m.iso"), "--zip", self.path("m.zip")])
        self.expect(rc, out, 0, [
            "payload/notes.txt: warning: setup.exe does not install this; it stays off the medium",
            "payload: warning: title_about.bmp is installed only together with RiriDITitle.bmp",
            "ISO 9660 image written to", "(volume ACME_ATLAS)", "safe to ship (0 error(s), 2 warning(s))"])
        want = sorted(["setup.exe", "setup.ini", "setupENU.dll", "setupCHT.dll", "setupCHS.dll", "setupJPN.dll",
                       "setupKOR.dll", "setupFRA.dll", "setupDEU.dll", "Application/AcmeAtlas.exe",
                       "Application/mingwm10.dll", "Application/XSrvSetup.exe", "Application/title_about.bmp"])
        got = sorted(os.path.relpath(os.path.join(r, f), self.path("medium"))
                     for r, _, fs in os.walk(self.path("medium")) for f in fs)
        self.assertEqual(want, got)
        self.assertEqual(read(setup), read(self.path("medium", "setup.exe")))
        self.assertEqual(GOOD.encode(), read(self.path("medium", "setup.ini")))
        with zipfile.ZipFile(self.path("m.zip")) as z:
            self.assertEqual(want, sorted(z.namelist()))
        iso = subprocess.run(["xorriso", "-indev", self.path("m.iso"), "-find", "/", "-type", "f"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode()
        self.assertEqual(want, sorted(line.strip("'")[1:] for line in iso.split()))

        # An existing medium is replaced only when asked to.
        rc, out = self.make(payload)
        self.expect(rc, out, 2, ["exists and is not empty (use --replace to overwrite it)"])
        rc, out = self.make(payload, extra=["--replace"])
        self.assertEqual(0, rc, out)
        # --replace never deletes a folder that is not a medium, nor the payload itself.
        os.remove(self.path("medium", "setup.exe"))
        rc, out = self.make(payload, extra=["--replace"])
        self.expect(rc, out, 2, ["medium is not a medium (no setup.exe in it): not replacing it"])
        self.assertTrue(os.path.exists(self.path("medium", "setup.ini")))
        rc, out = run(["--payload", payload, "--ini", self.write_ini(GOOD), "--out", self.dir, "--replace"])
        self.expect(rc, out, 2, ["lies inside the medium folder"])
        self.assertTrue(os.path.exists(self.path("payload", "AcmeAtlas.exe")))
        self.assertEqual(before, hashlib.sha256(read(setup)).hexdigest())

    def test_skin_checks(self):
        payload = self.make_payload()
        key = (255, 0, 255)

        def keyed(corners):
            def px(x, y):
                at = {"top-left": (0, 0), "top-right": (583, 0), "bottom-left": (0, 410), "bottom-right": (583, 410)}
                return key if any((x, y) == at[c] for c in corners) else (20, 60, 140)
            return px
        all_corners = ["top-left", "top-right", "bottom-left", "bottom-right"]
        plain = lambda x, y: (200, 200, 200)  # noqa: E731
        cases = [
            # (name, files {name: (w, h, depth, pixel) or raw bytes}, exit code, expected lines)
            ("every image at its size", {"background.bmp": (584, 411, 24, keyed(all_corners)),
                                         "close-normal.bmp": (20, 17, 32, plain), "check-on.bmp": (21, 24, 24, plain)},
             0, ["safe to ship (0 error(s), 0 warning(s))"]),
            ("wrong size", {"background.bmp": (600, 400, 24, plain)}, 1,
             ["background.bmp: error: 600x400 pixels; the wizard's layout needs 584x411 for the wizard's face"]),
            ("wrong depth", {"close-normal.bmp": (20, 17, 24, plain)}, 1,
             ["close-normal.bmp: error: 24 bits per pixel; close button needs 32"]),
            ("no key colour", {"background.bmp": (584, 411, 24, plain)}, 0,
             ["background.bmp: warning: no corner carries the key colour 0xFF00FF (red 255, green 0, blue 255): "
              "the window will be rectangular"]),
            ("one corner square", {"background.bmp": (584, 411, 24, keyed(all_corners[1:]))}, 0,
             ["background.bmp: warning: the top-left corner does not carry the key colour 0xFF00FF: the window "
              "will be square there"]),
            ("unknown file", {"logo.bmp": (10, 10, 24, plain)}, 1,
             ["logo.bmp: error: not an image of the wizard; the skin folder may hold background.bmp,"]),
            ("not an icon", {"setup.ico": b"\0\0\1\0"}, 1, ["setup.ico: error: not an .ico file"]),
            ("not a bitmap", {"button-hover.bmp": b"GIF89a"}, 1, ["button-hover.bmp: error: not a .bmp file"]),
        ]
        for name, files, code, lines in cases:
            with self.subTest(name):
                skin = self.path("skin")
                shutil.rmtree(skin, ignore_errors=True)
                shutil.rmtree(self.path("medium"), ignore_errors=True)
                os.mkdir(skin)
                for fname, spec in files.items():
                    if isinstance(spec, bytes):
                        with open(os.path.join(skin, fname), "wb") as f:
                            f.write(spec)
                    else:
                        bmp.write_bmp(os.path.join(skin, fname), *spec)
                rc, out = self.make(payload, skin=skin)
                self.expect(rc, out, code, lines)
                self.assertEqual(code == 0, os.path.exists(self.path("medium", "setup.exe")))


if __name__ == "__main__":
    if "--build" in sys.argv:
        i = sys.argv.index("--build")
        BUILD = os.path.abspath(sys.argv[i + 1])
        del sys.argv[i:i + 2]
    if not BUILD:
        sys.exit("usage: check_test.py --build <build folder> [unittest args]")
    unittest.main(verbosity=2)
