#!/usr/bin/env python3
"""Turns the benchmark's raw lines into results/results.md and a PNG chart of
the start-up latency of every run (Python standard library only)."""
import statistics
import struct
import sys
import zlib
from pathlib import Path


def read_raw(path):
    values = {}
    for line in Path(path).read_text(errors="replace").splitlines():
        words = line.split()
        if len(words) >= 2:
            values.setdefault(words[0], []).append(words[1:])
    return values


def png_write(path, width, height, pixels):
    """pixels: bytearray of width*height*3 RGB bytes."""
    rows = b"".join(b"\x00" + bytes(pixels[y * width * 3:(y + 1) * width * 3])
                    for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n"
                           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                           + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def chart(path, series, colours):
    """One column of dots per program, every run a dot, the median a bar, on a
    common millisecond axis with a grid line every 100 ms."""
    width, height, margin = 420, 320, 20
    pixels = bytearray(b"\xff" * width * height * 3)

    def put(x, y, colour):
        if 0 <= x < width and 0 <= y < height:
            pixels[(y * width + x) * 3:(y * width + x) * 3 + 3] = bytes(colour)

    top = max(max(v) for v in series.values()) * 1.1 or 1.0
    scale = (height - 2 * margin) / top

    def y_of(ms):
        return height - margin - int(ms * scale)

    for ms in range(0, int(top) + 1, 100):
        for x in range(margin, width - margin):
            put(x, y_of(ms), (225, 225, 225))
    for x in range(margin, width - margin):
        put(x, height - margin, (0, 0, 0))
    column = (width - 2 * margin) // (len(series) + 1)
    for i, (name, values) in enumerate(series.items()):
        colour = colours[name]
        centre = margin + column * (i + 1)
        for k, ms in enumerate(sorted(values)):
            x = centre - 32 + (k * 64) // max(1, len(values) - 1)
            for dx in range(-2, 3):
                for dy in range(-2, 3):
                    put(x + dx, y_of(ms) + dy, colour)
        median = statistics.median(values)
        for x in range(centre - 40, centre + 41):
            for dy in (-1, 0, 1):
                put(x, y_of(median) + dy, (0, 0, 0))
    png_write(path, width, height, pixels)


def ms(value):
    return f"{value:.1f} ms"


def kib(value):
    return f"{int(value) / 1024:.0f} KiB"


def main(raw_path, out_dir):
    raw = read_raw(raw_path)
    out = Path(out_dir)
    lat = {}
    for label, value in (w[:2] for w in raw.get("latency", [])):
        lat.setdefault(label, []).append(float(value))
    mem = {}
    for label, peak, *_ in raw.get("memory", []):
        mem[label] = max(mem.get(label, 0), int(peak))
    idle = {w[0]: float(w[1]) for w in raw.get("idle", [])}
    info = {w[0]: " ".join(w[1:]) for w in raw.get("info", [])}
    toolkit = {}
    for kind in ("text", "events"):
        for w in raw.get(kind, []):
            toolkit[kind + " " + w[0]] = w[1:]
    shown = {}
    for label, value in (w[:2] for w in raw.get("window", [])):
        shown.setdefault(label, []).append(float(value))

    rows = [("Measure", "Somnaro.scr", "Yardstick", "Ratio, goal / note")]
    if "somnaro" in lat:
        s = statistics.median(lat["somnaro"])
        runs = len(lat["somnaro"])
        # Each yardstick's start-up, and what the ratio to it says.
        for label, what, note in (
                ("baseline", "the baseline saver: the same job in plain Win32",
                 "goal <= 1.10x: the toolkit's own cost"),
                ("minimal_dlls", "a window alone, after loading the same system DLLs",
                 "no registry, tool or button"),
                ("minimal", "a window alone", "the floor of any window program here")):
            if label in lat:
                y = statistics.median(lat[label])
                rows.append((f"Start-up latency, median of {runs}/{len(lat[label])} runs, vs {what}",
                             ms(s), ms(y), f"{s / y:.2f}x ({note})"))
        if "minimal_dlls" in lat and "minimal_cc6" in lat:
            a, b = statistics.median(lat["minimal_cc6"]), statistics.median(lat["minimal_dlls"])
            rows.append(("Start-up latency of a window after the same system DLLs, under "
                         "Somnaro's manifest vs without", ms(a), ms(b),
                         f"{a - b:+.1f} ms: the start-up cost of Common Controls 6"))
        spawn = [float(w[1]) for w in raw.get("spawn", [])]
        if spawn:
            rows.append(("CreateProcessA of the tool, hidden and detached, median",
                         ms(statistics.median(spawn)), "",
                         "inside both savers' start-up, before their window opens"))
        checks = [float(w[0]) for w in raw.get("checks", [])]
        if checks:
            rows.append(("Checks before the tool starts (found, licence, hibernation, local session), median",
                         ms(statistics.median(checks)), "",
                         "inside both savers' start-up, before the tool starts"))
        if "baseline" in shown and "somnaro" in shown:
            a, b = statistics.median(shown["somnaro"]), statistics.median(shown["baseline"])
            rows.append(("Window visible (tool not waited for), median, vs the baseline saver",
                         ms(a), ms(b), f"{a / b:.2f}x"))
        if "baseline" in lat:
            rows.append(("Start-up latency, min / max, vs the baseline saver",
                         f"{ms(min(lat['somnaro']))} / {ms(max(lat['somnaro']))}",
                         f"{ms(min(lat['baseline']))} / {ms(max(lat['baseline']))}", ""))
    if idle:
        rows.append(("CPU while the window waits 10 s, the pointer elsewhere, vs a window alone",
                     ms(idle.get("somnaro", float("nan"))), ms(idle.get("minimal", float("nan"))),
                     "goal < 10 ms"))
        if "somnaro_on_button" in idle:
            rows.append(("CPU while the window waits 10 s, the pointer resting on the button",
                         ms(idle["somnaro_on_button"]), "",
                         "Wine polls the pointer every 1 ms for the themed button's hot look; "
                         "Windows does not"))
    if mem:
        rows.append(("Peak private memory (GetProcessMemoryInfo), vs the baseline saver",
                     kib(mem.get("somnaro", 0)), kib(mem.get("baseline", 0)), ""))
    for key, note in (("file", "i686 build"), ("text", ".text section, i686 build")):
        if key in info:
            rows.append((f"Size: {note}", info[key], "", ""))
    if "imports" in info:
        rows.append(("Imported DLLs", info["imports"], "", "system DLLs only"))
    if "text expressions" in toolkit:
        w = toolkit["text expressions"]
        rows.append((f"Heap calls for {w[0]} text expressions of five intermediate texts",
                     f"{w[4]} HeapAlloc, {w[6]} HeapReAlloc", "", "promise: 0"))
    if "text stores" in toolkit:
        w = toolkit["text stores"]
        rows.append((f"Heap calls for {w[0]} results stored into one variable",
                     f"{w[2]} HeapAlloc, {w[4]} HeapReAlloc", "", "block resized, never freed"))
    for kind, what in (("shallow", "100 000 events, posted and popped 10 at a time"),
                       ("deep", "100 000 events, posted and popped 100 at a time"),
                       ("burst", "100 000 events posted, then all popped"),
                       ("again", "the same burst a second time")):
        key = "events " + kind
        if key in toolkit:
            w = toolkit[key]
            rows.append((f"Pool: {what}",
                         f"{w[5]} heap allocations, pool slots {w[7]} -> {w[8]}", "",
                         f"{w[3]} of {w[1]} popped"))

    table = "\n".join("| " + " | ".join(r) + " |" + ("\n|---|---|---|---|" if i == 0 else "")
                      for i, r in enumerate(rows))
    machine = info.get("machine", "unknown machine")
    text = (f"Measured {info.get('date', '')} on {machine}, under Wine "
            f"{info.get('wine', '')}; latency and idle figures use the x86_64 build that "
            f"Wine runs here, sizes the shipped i686 file.\n\n{table}\n\n"
            "![Start-up latency of every run: Somnaro.scr (blue), the baseline saver (purple), "
            "the minimal window (orange), the minimal window with the same DLLs (green) "
            "and with them under Somnaro's manifest (red), left to right; black bars are medians, grid lines every 100 ms](latency.png)\n")
    (out / "results.md").write_text(text)
    colours = {"somnaro": (40, 90, 200), "baseline": (140, 60, 170),
               "minimal": (230, 130, 30), "minimal_dlls": (60, 160, 70),
               "minimal_cc6": (200, 50, 50)}
    if lat:
        chart(out / "latency.png",
              {k: lat[k] for k in colours if k in lat}, colours)
    print(text)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
