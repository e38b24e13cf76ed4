#!/usr/bin/env python3
"""Writes the registry settings of a test prefix as a REGEDIT4 file on stdout.

argv[1]: the Windows version the prefix reports (winxp, win7, ...).
"""
import sys


def multi_sz(*items):
    data = "".join(i + "\0" for i in items) + "\0"
    raw = data.encode("latin-1")  # REGEDIT4 reads hex(7) data as ANSI bytes
    return "hex(7):" + ",".join("%02x" % b for b in raw)


version = sys.argv[1]
link = multi_sz("wqy-microhei.ttc,WenQuanYi Micro Hei")
print("REGEDIT4\n")
print("[HKEY_CURRENT_USER\\Software\\Wine]")
print('"Version"="%s"\n' % version)
# Without a window manager every hidden or destroyed managed window costs 2 s.
print("[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]")
print('"Managed"="N"\n')
# No menu entries or .desktop files for the links the tests create.
print("[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]")
print('"winemenubuilder.exe"=""\n')
# Chinese, Japanese and Korean texts in "Arial" labels, as Windows links its fonts.
print("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]")
print('"Arial"=%s' % link)
print('"Liberation Sans"=%s' % link)
print()
