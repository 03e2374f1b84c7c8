#!/usr/bin/env python3
"""Writes the bundled sample meet (sample/meet) byte by byte from the layouts of
the timing system's files: meet header, heat table, results file, lap files.
The files are committed; run this again only to change the sample."""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sample", "meet")


def sjis(text):
    return text.encode("cp932")


def field(text, width):
    raw = sjis(text)
    assert len(raw) <= width, text
    return raw + b" " * (width - len(raw))


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


# Competitors: number, name, school, grade, report number.
COMPETITORS = [
    ("1201", "山田太郎", "県立第一高", "33", 17),
    ("1202", "鈴木花子", "県立第一高", "32", 16),
    ("1305", "佐藤健", "市立南中", "23", 14),
    ("1310", "高橋美咲", "市立南中", "21", 12),
    ("2001", "田中一郎", "県大学", "42", 20),
    ("2002", "伊藤ｻﾁｺ", "県大学", "41", 19),
]

# Heats: event code, stage, {slot: (competitor ordinal, packed time)}, and the
# cumulative splits of each lane every 50 m.
HEATS = [
    (3, "1", {3: (1, 10532, ["31.25", "1:05.32"]),
              4: (2, 11015, ["33.40", "1:10.15"]),
              5: (3, 888888, ["35.02"])}),
    (3, "2", {4: (1, 10388, ["30.90", "1:03.88"]),
              5: (2, 10977, ["33.10", "1:09.77"])}),
    (13, "1", {2: (4, 4102, ["41.02"]),
               3: (5, 3455, ["34.55"]),
               4: (6, 700002, ["38.10"])}),
    (4, "1", {4: (1, 21960, ["30.80", "1:04.40", "1:39.10", "2:19.60"]),
              5: (6, 22533, ["32.00", "1:07.35", "1:43.90", "2:25.33"])}),
]


def results_file():
    header = struct.pack("<i", len(COMPETITORS)) + b" " * 380
    data = header + b"\0" * 384 * 9  # records 2 to 10 are never read
    for k, (number, name, school, grade, report) in enumerate(COMPETITORS, 1):
        record = (struct.pack("<i", k) + field("", 7) + field(number, 14) + field(name, 16)
                  + field("", 16) + field("", 8) + field("", 6) + field(school, 12) + field("", 6)
                  + field(grade, 2) + struct.pack("<h", report) + field("", 1))
        record += b" " * (384 - len(record))
        data += record
    return data


def heat_table():
    data = struct.pack("<h", len(HEATS)) + b" " * 254 + b"\0" * 256 * 9
    for event, stage, lanes in HEATS:
        competitors = [0] * 12
        times = [0] * 12
        for slot, (ordinal, time, _) in lanes.items():
            competitors[slot] = ordinal
            times[slot] = time
        record = (b"\0" * 6 + b" " + b"\0" * 4 + struct.pack("<h", event) + sjis(stage)
                  + b" " * 6 + b"\0" * 2 + struct.pack("<12h", *competitors)
                  + struct.pack("<12i", *times))
        record += b"\0" * (256 - len(record))
        data += record
    return data


def lap_file(lanes):
    """Records of nine fields: lane, cumulative time, marker ("G" at the finish)
    and six further fields of the older layout."""
    lines = []
    most = max(len(splits) for _, _, splits in lanes.values())
    for i in range(most):
        for slot, (_, _, splits) in sorted(lanes.items()):
            if i < len(splits):
                marker = "G" if i == len(splits) - 1 else ""
                lines.append(f"{slot + 1},{splits[i]},{marker},0,0,0,0,0,0")
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def meet_header():
    fields = ["0"] * 73
    fields[0:9] = ["D:\\meet\\kekka\\", "KEKKA.DAT", "2026001", "第１回県選手権水泳競技大会",
                   "県選手権", "20260725", "20260726", "県総合プール", "0"]
    fields[71] = "0"
    lines = [",".join(fields[i:i + 10]) for i in range(0, 73, 10)]
    return sjis("\r\n".join(lines) + "\r\n")


def main():
    write("kijun.dat", meet_header())
    write("taikai.dat", heat_table())
    write("kekka/KEKKA.DAT", results_file())
    for k, (_, _, lanes) in enumerate(HEATS, 1):
        write(f"lap/r{k:04d}", lap_file(lanes))
    return 0


if __name__ == "__main__":
    sys.exit(main())
