#!/usr/bin/env python3
"""Sets the DPI a Wine prefix gives every program: HKCU\\Control Panel\\Desktop
LogPixels, written into the prefix's user.reg while its server is down.

    tools/prefix_dpi.py PREFIX DPI

Wine reads the value when its server starts and stretches nothing, so the
program itself must draw at that size. Written from the Linux side because a
Windows process (reg.exe) would cost seconds under emulation and a server
restart besides."""
import re
import sys

SECTION = "[Control Panel\\\\Desktop]"


def main():
    prefix, dpi = sys.argv[1], int(sys.argv[2])
    path = prefix + "/user.reg"
    line = '"LogPixels"=dword:%08x\n' % dpi
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
        lines = f.readlines()
    start = next((i for i, text in enumerate(lines)
                  if text.split(" ")[0].lower() == SECTION.lower()), None)
    if start is None:
        lines += ["\n", SECTION + " 0\n", line]
    else:
        end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("[")),
                   len(lines))
        found = [i for i in range(start + 1, end)
                 if re.match(r'"logpixels"=', lines[i], re.IGNORECASE)]
        if found:
            lines[found[0]] = line
        else:
            # After the section's header and its #time line, where Wine keeps
            # its metadata.
            at = start + 1
            while at < end and lines[at].startswith("#"):
                at += 1
            lines.insert(at, line)
    with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
