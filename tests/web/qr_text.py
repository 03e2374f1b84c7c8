import sys
# The QR code that qrencode -t UTF8 drew in a terminal, as a PBM image: each
# character is two modules, one above the other; a drawn half is light (the
# terminal's text colour on a dark background is what qrencode assumes).
def to_pbm(lines, light_drawn, scale=4):
    halves = {" ": (0, 0), "█": (1, 1), "▀": (1, 0), "▄": (0, 1)}
    rows = []
    for line in lines:
        top, bottom = [], []
        for ch in line:
            a, b = halves[ch]
            top.append(a); bottom.append(b)
        rows += [top, bottom]
    width = max(len(r) for r in rows)
    out = [f"P1\n{width*scale} {len(rows)*scale}"]
    for r in rows:
        r = r + [1 if light_drawn else 0] * (width - len(r))
        bits = " ".join(str((1 - v) if light_drawn else v) for v in r for _ in range(scale))
        out += [bits] * scale
    return "\n".join(out) + "\n"
lines = [l.rstrip("\n") for l in open(sys.argv[1], encoding="utf-8") if set(l.rstrip("\n")) <= set(" █▀▄") and l.strip("\n")]
open(sys.argv[2], "w").write(to_pbm(lines, sys.argv[3] == "light"))
