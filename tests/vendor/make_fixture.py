#!/usr/bin/env python3
"""Builds the vendor medium that VendorTest.cpp installs: a payload of the project's
own programs under the vendor's file name, a setup.ini in UTF-16 with the vendor's
names and a skin whose background carries a green block at (40..149, 200..319) and
whose push buttons are orange, written with tools/make-medium to <build>/vendor-medium.

    make_fixture.py --build <build folder>   (under a Wine prefix: WINEPREFIX)
"""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
import bmp  # noqa: E402

# Kept in step with VendorTest.cpp.
INI = ("[Customized_Setting]\r\nAPPFolderName=Northwind Atlas\r\nAPPFileName=NorthwindAtlas.exe\r\n"
       "AppName=Northwind Atlas Viewer\r\nLaunchAPInSilentMode=0\r\nDeleteAPFolder=1\r\n\r\n"
       "[Startup]\r\nCompanyName=Northwind Cartography\r\nVersion=4.2.1\r\n")
BLOCK = (40, 200, 150, 320)      # left, top, right, bottom (exclusive) in the window
BLOCK_COLOUR = (18, 154, 52)
BUTTON_COLOUR = (230, 120, 20)
ICON_COLOUR = (200, 30, 160)


def main():
    build = os.path.abspath(sys.argv[sys.argv.index("--build") + 1])
    work = os.path.join(build, "vendor-fixture")
    shutil.rmtree(work, ignore_errors=True)
    payload, skin = os.path.join(work, "payload"), os.path.join(work, "skin")
    os.makedirs(payload)
    os.makedirs(skin)
    bin_dir = os.path.join(build, "bin")
    shutil.copyfile(os.path.join(bin_dir, "CorviskApp.exe"), os.path.join(payload, "NorthwindAtlas.exe"))
    for n in ("mingwm10.dll", "XSrvSetup.exe"):
        shutil.copyfile(os.path.join(bin_dir, n), os.path.join(payload, n))
    ini = os.path.join(work, "setup.ini")
    with open(ini, "wb") as f:
        f.write(b"\xff\xfe" + INI.encode("utf-16-le"))

    # The project's background (its corners keep their key colour) with the block.
    w, h, ours = bmp.read_bmp24(os.path.join(build, "res", "art", "background.bmp"))
    left, top, right, bottom = BLOCK

    def background(x, y):
        return BLOCK_COLOUR if left <= x < right and top <= y < bottom else ours(x, y)
    # Written with a gap before its pixels: the medium's setup.exe must still show it.
    bmp.write_bmp(os.path.join(skin, "background.bmp"), w, h, 24, background, gap=16)
    bmp.write_bmp(os.path.join(skin, "button-normal.bmp"), 111, 22, 24, lambda x, y: BUTTON_COLOUR)
    bmp.write_ico(os.path.join(skin, "setup.ico"), 32, ICON_COLOUR)

    out = os.path.join(build, "vendor-medium")
    rc = subprocess.call([sys.executable, os.path.join(REPO, "tools", "make-medium"), "--build", build,
                          "--payload", payload, "--ini", ini, "--skin", skin, "--out", out, "--replace",
                          "--strict"], stdin=subprocess.DEVNULL)
    return rc


if __name__ == "__main__":
    sys.exit(main())
