#!/usr/bin/env python3
"""Writes the benchmark report (Markdown) on stdout.

argv: <bench output folder> <our setup.exe> <peer installer> <background .bmp>
The folder holds machine.txt and, per host, raw-<host>.txt ("<figure> <value>" lines)
and errors-<host>.txt ("<figure> incomplete ..." lines among other messages).
"""
import os
import re
import statistics
import struct
import subprocess
import sys

HOSTS = [("xp32", "Windows XP, 32-bit prefix"), ("w7x64", "Windows 7, 64-bit prefix (WOW64)")]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "comctl32.dll", "msvcrt.dll"}
# The uninstall on Vista and later stops and removes the service helper with a fixed
# pause of one second after each of the two commands.
NT6_UNINSTALL_PAUSES_MS = 2000


def read_values(path):
    values = {}
    if not os.path.exists(path):
        return values
    for line in open(path, encoding="utf-8", errors="replace"):
        parts = line.split()
        if len(parts) == 2:
            try:
                values.setdefault(parts[0], []).append(float(parts[1]))
            except ValueError:
                pass
    return values


def read_incomplete(path):
    counts = {}
    if not os.path.exists(path):
        return counts
    for line in open(path, encoding="utf-8", errors="replace"):
        m = re.match(r"(\w+) incomplete", line)
        if m:
            counts[m.group(1)] = counts.get(m.group(1), 0) + 1
    return counts


def stats(vals):
    if not vals:
        return None
    return min(vals), statistics.median(vals), max(vals), len(vals)


def fmt(s, unit="ms", shift=0.0):
    if s is None:
        return "n/a"
    lo, med, hi, n = s
    digits = 2 if unit == "ms" and med - shift < 10 else 0 if unit == "KiB" else 1
    f = "%%.%df" % digits
    return (f + " / **" + f + "** / " + f + " %s (%d)") % (lo - shift, med - shift, hi - shift, unit, n)


def ratio(a, b):
    if a is None or b is None or b <= 0:
        return "n/a"
    return "%.2f×" % (a / b)


def med(s):
    return None if s is None else s[1]


def pe_sections(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    nsec = struct.unpack_from("<H", data, pe + 6)[0]
    optsize = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optsize
    out = []
    for i in range(nsec):
        off = table + 40 * i
        raw_name = data[off:off + 8].rstrip(b"\0").decode("ascii", "replace")
        if raw_name.startswith("/"):  # long name in the string table
            symtab, nsyms = struct.unpack_from("<II", data, pe + 12)
            strtab = symtab + 18 * nsyms
            start = strtab + int(raw_name[1:])
            raw_name = data[start:data.index(b"\0", start)].decode("ascii", "replace")
        vsize, _, rawsize = struct.unpack_from("<III", data, off + 8)
        out.append((raw_name, vsize, rawsize))
    return len(data), out


def imports(path):
    try:
        text = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                              check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return []
    return [m.group(1) for m in re.finditer(r"DLL Name: (\S+)", text)]


def verdict(ok):
    return "met" if ok else "**not met**"


def stripped_size(path):
    import shutil
    import tempfile
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "setup.exe")
        shutil.copy(path, copy)
        try:
            subprocess.run(["i686-w64-mingw32-strip", copy], check=True, capture_output=True)
        except (OSError, subprocess.CalledProcessError):
            return None
        return os.path.getsize(copy)


def kib(n):
    return "%.1f KiB" % (n / 1024.0)


def main():
    out_dir, setup_exe, peer_exe, background = sys.argv[1:5]
    machine = {}
    for line in open(os.path.join(out_dir, "machine.txt"), encoding="utf-8"):
        key, _, rest = line.rstrip("\n").partition(" ")
        machine[key] = rest

    w = []
    w.append("# Benchmarks: our medium beside a makensis installer of the same package")
    w.append("")
    w.append("- Date: %s" % machine.get("date", "?"))
    w.append("- Machine: %s; %s" % (machine.get("cpu", "?"), machine.get("os", "?")))
    w.append("- %s, makensis %s" % (machine.get("wine", "?"), machine.get("nsis", "?")))
    w.append("- Load average (1, 5, 15 min) at the start: %s, at the end: %s" %
             (machine.get("load_start", "?"), machine.get("load_end", "?")))
    w.append("- Method: fresh prefix per host, `WINEDEBUG=-all`, winemenubuilder disabled, throwaway `HOME`, "
             "persistent `wineserver -p`, Xvfb, wineserver, wine and the timer pinned with `taskset -c 0`; "
             "%s runs per figure in 3 rounds that alternate between the figures; the first round of each "
             "command begins with one untimed warm-up run. "
             "Times are wall times measured inside the prefix with QueryPerformanceCounter around "
             "CreateProcess. Cells: min / **median** / max (runs)." % machine.get("runs", "?"))
    w.append("")
    summary_at = len(w)

    getpixel = machine.get("wizard_shape", "getpixel") == "getpixel"
    targets = []
    summary = {}
    for host, title in HOSTS:
        raw = os.path.join(out_dir, "raw-%s.txt" % host)
        if not os.path.exists(raw):
            continue
        v = {k: stats(x) for k, x in read_values(raw).items()}
        bad = read_incomplete(os.path.join(out_dir, "errors-%s.txt" % host))
        floor = med(v.get("floor"))
        oi, pi = v.get("ours_install"), v.get("peer_install")
        w.append("## %s: %s" % (host, title))
        w.append("")
        w.append("| # | figure | ours | NSIS or baseline | ours/NSIS | ours/floor |")
        w.append("|---|---|---|---|---|---|")
        w.append("| | Wine process floor: trivial console program, start to exit | | %s | | |" % fmt(v.get("floor")))
        dllf = med(v.get("dll_floor"))
        w.append("| | floor of a program importing setup.exe's system DLLs, start to exit | | %s | | %s of the floor |" %
                 (fmt(v.get("dll_floor")), ratio(dllf, floor)))
        w.append("| 1 | setup.exe start-up alone: `s` while another instance holds the mutex, start to exit | %s | "
                 "| | %s of the DLL floor |" % (fmt(v.get("ours_startup")), ratio(med(v.get("ours_startup")), dllf)))
        w.append("| 1 | install procedure alone (`InstallPackage` called in the timer's process) | %s | | | |" %
                 fmt(v.get("ours_install_procedure")))
        w.append("| 1 | silent install, start to exit (ours `s`, NSIS `/S`) | %s | %s | %s | %s |" %
                 (fmt(oi), fmt(pi), ratio(med(oi), med(pi)), ratio(med(oi), floor)))
        less_o = None if oi is None or floor is None else med(oi) - floor
        less_p = None if pi is None or floor is None else med(pi) - floor
        w.append("| 1 | silent install less the floor's median | %s | %s | %s | |" %
                 (fmt(oi, shift=floor or 0), fmt(pi, shift=floor or 0), ratio(less_o, less_p)))
        dl_o = None if oi is None or dllf is None else med(oi) - dllf
        dl_p = None if pi is None or dllf is None else med(pi) - dllf
        w.append("| 1 | silent install less the DLL floor's median | %s | %s | %s | |" %
                 (fmt(oi, shift=dllf or 0), fmt(pi, shift=dllf or 0), ratio(dl_o, dl_p)))
        ou, pu = v.get("ours_uninstall"), v.get("peer_uninstall")
        w.append("| 2 | uninstall until the install folder is gone: ours the procedure alone (installed "
                 "copy, no window), start to gone; NSIS plain `/S`, start to gone | %s | %s | %s | %s |" %
                 (fmt(ou), fmt(pu), ratio(med(ou), med(pu)), ratio(med(ou), floor)))
        ouw = v.get("ours_uninstall_wizard")
        w.append("| 2 | uninstall through the wizard: Remove click until the install folder is gone "
                 "(Finish clicked when shown) | %s | | | |" % fmt(ouw))
        if host == "w7x64":
            w.append("| 2 | the same two, less the fixed pauses of %d ms (service helper `-k`, `-u`) | "
                     "%s; wizard %s | | %s | |" %
                     (NT6_UNINSTALL_PAUSES_MS, fmt(ou, shift=NT6_UNINSTALL_PAUSES_MS),
                      fmt(ouw, shift=NT6_UNINSTALL_PAUSES_MS),
                      ratio(None if ou is None else med(ou) - NT6_UNINSTALL_PAUSES_MS, med(pu))))
        w.append("| 2 | NSIS uninstall in place `/S _?=`, start to exit (its uninstaller stays) | | %s | | |" %
                 fmt(v.get("peer_uninstall_inplace")))
        popup = v.get("popup_window")
        ow, pw = v.get("ours_window"), v.get("peer_window")
        w.append("| 3 | start until the first window is visible | %s | NSIS %s | %s | popup: %s |" %
                 (fmt(ow), fmt(pw), ratio(med(ow), med(pw)), ratio(med(ow), med(popup))))
        oww = v.get("ours_wizard_window")
        w.append("| 3 | start until the wizard is laid out (start button there, Finish hidden) | %s | "
                 "bare 584×411 popup %s | %s | popup: %s |" %
                 (fmt(oww), fmt(popup), ratio(med(oww), med(pw)), ratio(med(oww), med(popup))))
        w.append("| 4 | window shape of the 584×411 background: GetPixel reads on a memory DC, row runs, one "
                 "region%s | %s | | | |" % (" (the wizard's way)" if getpixel else "", fmt(v.get("shape_getpixel"))))
        w.append("| 4 | the same with `CSkinBitmap::CreateRegion` (one GetDIBits read)%s | %s | | | |" %
                 ("" if getpixel else " (how the wizard reads it)", fmt(v.get("shape_skin"))))
        w.append("| | wizard install: Install click until Finish shows | %s | | | |" %
                 fmt(v.get("ours_wizard_install")))
        w.append("| | GUI install: Install click until every item is in place (NSIS) | | %s | | |" %
                 fmt(v.get("peer_gui_install")))
        ows, pws = v.get("ours_peak_ws"), v.get("peer_peak_ws")
        w.append("| 6 | peak working set during a GUI install (PeakWorkingSetSize): ours the wizard, "
                 "NSIS its window | %s | %s | %s | |" %
                 (fmt(ows, unit="KiB"), fmt(pws, unit="KiB"), ratio(med(ows), med(pws))))
        w.append("| 6 | ours: largest working set seen, sampled every ~2 ms during the wizard install | %s | | | |" %
                 fmt(v.get("ours_sampled_ws"), unit="KiB"))
        w.append("| 6 | peak working set when the first window shows: ours, NSIS; bare popup | %s | %s; popup %s | | |" %
                 (fmt(v.get("ours_window_ws"), unit="KiB"), fmt(v.get("peer_window_ws"), unit="KiB"),
                  fmt(v.get("popup_window_ws"), unit="KiB")))
        w.append("")
        summary[host] = [
            ("Wine process floor", med(v.get("floor")), None, "ms"),
            ("1 silent install", med(oi), med(pi), "ms"),
            ("1 silent install less the floor", less_o, less_p, "ms"),
            ("floor with setup.exe's DLL imports", dllf, None, "ms"),
            ("1 setup.exe start-up alone (mutex held elsewhere)", med(v.get("ours_startup")), None, "ms"),
            ("1 install procedure alone, in process", med(v.get("ours_install_procedure")), None, "ms"),
            ("1 silent install less the DLL floor", dl_o, dl_p, "ms"),
            ("2 uninstall until all is gone (ours: procedure alone; NSIS: plain `/S`)", med(ou), med(pu), "ms"),
            ("2 uninstall through our wizard (Remove click until all is gone)", med(ouw), None, "ms"),
            ("2 NSIS uninstall in place `/S _?=`", None, med(v.get("peer_uninstall_inplace")), "ms"),
            ("3 first window visible (NSIS: its window)", med(ow), med(pw), "ms"),
            ("3 wizard laid out; beside it the bare 584×411 popup", med(oww), med(popup), "ms"),
            ("4 window shape, GetPixel reads%s" % (" (the wizard's way)" if getpixel else ""),
             med(v.get("shape_getpixel")), None, "ms"),
            ("4 window shape, `CSkinBitmap::CreateRegion` (GetDIBits)%s" % ("" if getpixel else " (the wizard's way)"),
             med(v.get("shape_skin")), None, "ms"),
            ("6 peak working set, GUI install", med(ows), med(pws), "KiB"),
        ]
        targets.append((host, less_o, less_p, med(ow), med(oww), med(popup), med(pw), med(v.get("shape_getpixel")),
                        med(v.get("shape_skin"))))
        if bad:
            w.append("Incomplete runs (left out above): " +
                     ", ".join("%s %d" % (k, n) for k, n in sorted(bad.items())))
            w.append("")

    # Sizes do not depend on the host.
    size, secs = pe_sections(setup_exe)
    rsrc = sum(r for n, _, r in secs if n == ".rsrc")
    debug = sum(r for n, _, r in secs if n.startswith(".debug"))
    loaded = sum(r for n, _, r in secs if n != ".rsrc" and not n.startswith(".debug"))
    other = size - rsrc - debug - loaded
    stripped = stripped_size(setup_exe)
    bg = os.path.getsize(background) - 14 if os.path.exists(background) else 0
    peer_size = os.path.getsize(peer_exe)
    dlls = imports(setup_exe)
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    w.append("## 5: sizes")
    w.append("")
    w.append("| | bytes | |")
    w.append("|---|---|---|")
    w.append("| `setup.exe` | %d | %s; %s the NSIS installer |" % (size, kib(size), ratio(size, peer_size)))
    w.append("| code and data: everything but `.rsrc` | %d | %s |" % (size - rsrc, kib(size - rsrc)))
    w.append("| of that, the sections loaded into memory | %d | %s |" % (loaded, kib(loaded)))
    w.append("| of that, debugging sections (`.debug*`, not loaded) | %d | %s |" % (debug, kib(debug)))
    w.append("| of that, the symbol table and other bytes outside sections | %d | %s |" % (other, kib(other)))
    w.append("| resources (`.rsrc`) | %d | %s |" % (rsrc, kib(rsrc)))
    w.append("| of those, the 24-bit background bitmap | %d | %s |" % (bg, kib(bg)))
    if stripped:
        w.append("| `setup.exe` after `strip` (for comparison; the medium's copy is not stripped) | %d | %s; "
                 "everything but `.rsrc`: %s |" % (stripped, kib(stripped), kib(stripped - rsrc)))
    w.append("| NSIS installer (default zlib compression, payload inside) | %d | %s |" % (peer_size, kib(peer_size)))
    w.append("")
    w.append("Sections of `setup.exe` (raw bytes in the file): " +
             ", ".join("`%s` %d" % (n, r) for n, _, r in secs))
    w.append("")
    w.append("DLLs imported by `setup.exe` (`objdump -p`): %s — %s" %
             (", ".join(dlls) or "none found",
              "system DLLs only" if not foreign else "not system DLLs: " + ", ".join(foreign)))
    w.append("")
    w.append("DLLs imported by the NSIS installer: %s" % (", ".join(imports(peer_exe)) or "none found"))
    w.append("")

    hosts = [h for h, _ in HOSTS if h in summary]
    top = []
    if hosts:
        top.append("## Summary: medians")
        top.append("")
        top.append("| figure | " + " | ".join("%s ours | %s NSIS or baseline | ours/other" % (h, h) for h in hosts) + " |")
        top.append("|---|" + "---|---|---|" * len(hosts))
        for row in range(len(summary[hosts[0]])):
            name = summary[hosts[0]][row][0]
            cells = []
            for h in hosts:
                _, a, b, unit = summary[h][row]
                num = (lambda x: "" if x is None else ("%.0f %s" % (x, unit) if x >= 100 or unit == "KiB"
                                                        else "%.1f %s" % (x, unit)))
                cells += [num(a), num(b), ratio(a, b) if a is not None and b is not None else ""]
            top.append("| %s | %s |" % (name, " | ".join(cells)))
        top.append("")

    w[summary_at:summary_at] = top

    w.append("## Targets")
    w.append("")
    for host, less_o, less_p, wiz, laid, popup, peer_w, shape_px, shape_skin in targets:
        r = None if less_o is None or not less_p else less_o / less_p
        w.append("- %s: silent install less the floor %s NSIS's (at most 1.0×, aim 0.8×): %s" %
                 (host, ratio(less_o, less_p), verdict(r is not None and r <= 1.0)))
        r = None if wiz is None or not popup else wiz / popup
        w.append("- %s: wizard visible at %s the bare popup (at most 1.3×) and %s NSIS's window (laid out: "
                 "%s the popup): %s" % (host, ratio(wiz, popup), ratio(wiz, peer_w), ratio(laid, popup),
                                        verdict(r is not None and r <= 1.3)))
        counted = shape_px if getpixel else shape_skin
        w.append("- %s: window shape with GetPixel reads %s ms, with one GetDIBits read %s ms; the wizard reads "
                 "with %s (under 5 ms): %s" %
                 (host, "n/a" if shape_px is None else "%.2f" % shape_px,
                  "n/a" if shape_skin is None else "%.2f" % shape_skin, "GetPixel" if getpixel else "GetDIBits",
                  verdict(counted is not None and counted < 5)))
    w.append("- code (everything but `.rsrc`) %s (at most 150 KiB): %s" %
             (kib(size - rsrc), verdict(size - rsrc <= 150 * 1024)))
    w.append("- imports only system DLLs: %s" % verdict(not foreign and bool(dlls)))
    w.append("")
    print("\n".join(w))


if __name__ == "__main__":
    main()
