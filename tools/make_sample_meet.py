#!/usr/bin/env python3
"""Writes the bundled sample meets byte by byte from the layouts of the timing
system's files: meet header, heat table, results file, lap files.

- sample/meet: a two-day meet in a 25 m pool with touchpads at both ends, so
  that every 25 m is a split: morning heats and afternoon finals, a 1500 m
  freestyle with 60 splits, relays, and result codes (withdrawal, stroke,
  turn and takeover disqualifications).
- sample/meet50: a small long-course meet in a 50 m pool (the pool length is a
  property of a meet, so a 50 m event needs a meet of its own).

The files are committed; run this again only to change the samples."""
import os
import random
import struct
import sys

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sample")

WITHDRAWN, STROKE, TURN, TAKEOVER = 888888, 700002, 700003, 700005


def sjis(text):
    return text.encode("cp932")


def field(text, width):
    raw = sjis(text)
    assert len(raw) <= width, text
    return raw + b" " * (width - len(raw))


def write(folder, path, data):
    full = os.path.join(SAMPLE, folder, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


def packed(hundredths):
    minutes, rest = divmod(hundredths, 6000)
    return minutes * 10000 + rest


def split_text(hundredths):
    minutes, rest = divmod(hundredths, 6000)
    seconds, cents = divmod(rest, 100)
    if minutes:
        return f"{minutes}:{seconds:02d}.{cents:02d}"
    return f"{seconds}.{cents:02d}"


def splits_of(total, count, rng):
    """Cumulative split times in hundredths: a quick first length off the
    start, then even lengths with a little noise; the last one is the total."""
    if count == 1:
        return [total]
    weights = [0.88] + [1.0 + rng.uniform(-0.03, 0.05) for _ in range(count - 1)]
    scale = total / sum(weights)
    times, run = [], 0.0
    for w in weights[:-1]:
        run += w * scale
        times.append(int(round(run)))
    times.append(total)
    return times


class Meet:
    def __init__(self, folder, seed):
        self.folder = folder
        self.rng = random.Random(seed)
        self.competitors = []  # number, name, school, grade, report number
        self.heats = []        # event, stage, {slot: (ordinal, packed, [split texts])}

    def competitor(self, number, name, school, grade, report):
        self.competitors.append((number, name, school, grade, report))
        return len(self.competitors)

    def heat(self, event, stage, lanes, distance, split_every):
        """lanes: {slot: (ordinal, hundredths or result code, finished splits
        for a result code)}."""
        count = distance // split_every
        entries = {}
        for slot, (ordinal, time, reached) in lanes.items():
            if time in (WITHDRAWN,):
                entries[slot] = (ordinal, time, [])
                continue
            if time >= 600000:  # a result code: the swim stopped or was disqualified
                swum = count * split_every * self.rng.randint(55, 70)
                splits = splits_of(swum, count, self.rng)[:reached or count]
                entries[slot] = (ordinal, time, [split_text(t) for t in splits])
                continue
            entries[slot] = (ordinal, packed(time),
                             [split_text(t) for t in splits_of(time, count, self.rng)])
        self.heats.append((event, stage, entries))

    def results_file(self):
        header = struct.pack("<i", len(self.competitors)) + b" " * 380
        data = header + b"\0" * 384 * 9  # records 2 to 10 are never read
        for k, (number, name, school, grade, report) in enumerate(self.competitors, 1):
            record = (struct.pack("<i", k) + field("", 7) + field(number, 14) + field(name, 16)
                      + field("", 16) + field("", 8) + field("", 6) + field(school, 12)
                      + field("", 6) + field(grade, 2) + struct.pack("<h", report)
                      + field("", 1))
            record += b" " * (384 - len(record))
            data += record
        return data

    def heat_table(self):
        data = struct.pack("<h", len(self.heats)) + b" " * 254 + b"\0" * 256 * 9
        for event, stage, lanes in self.heats:
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

    @staticmethod
    def lap_file(lanes):
        """Records of nine fields: lane, cumulative time, marker ("G" at the
        finish) and six further fields of the older layout."""
        lines = []
        most = max([len(splits) for _, _, splits in lanes.values()] + [0])
        for i in range(most):
            for slot, (_, time, splits) in sorted(lanes.items()):
                if i < len(splits):
                    finished = i == len(splits) - 1 and time < 600000
                    marker = "G" if finished else ""
                    lines.append(f"{slot + 1},{splits[i]},{marker},0,0,0,0,0,0")
        return ("\r\n".join(lines) + "\r\n").encode("cp932") if lines else b""

    def save(self, header_fields):
        fields = ["0"] * 73
        fields[0:9] = header_fields[:9]
        fields[71] = header_fields[9]
        lines = [",".join(fields[i:i + 10]) for i in range(0, 73, 10)]
        write(self.folder, "kijun.dat", sjis("\r\n".join(lines) + "\r\n"))
        write(self.folder, "taikai.dat", self.heat_table())
        write(self.folder, "kekka/KEKKA.DAT", self.results_file())
        for k, (_, _, lanes) in enumerate(self.heats, 1):
            write(self.folder, f"lap/r{k:04d}", self.lap_file(lanes))


SCHOOLS = [("県立第一高", "3"), ("市立南中", "2"), ("県大学", "4"), ("私立北高", "3"),
           ("東小学校", "1"), ("西中", "2")]
FAMILY = ["山田", "鈴木", "佐藤", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
          "吉田", "山本", "松本", "井上", "木村", "林", "清水", "山崎", "森", "池田"]
GIVEN = ["太郎", "花子", "健", "美咲", "一郎", "ｻﾁｺ", "翔", "陽菜", "大輝", "結衣",
         "蓮", "葵", "悠真", "凛", "湊", "芽依", "蒼", "心春", "樹", "彩"]

# Event codes of the timing system and the pace of a good club swimmer, in
# hundredths, from the fastest to the slowest entry.
EVENTS = {
    "50free": (2, 50, (2380, 3150)),
    "100back": (10, 100, (5750, 7600)),
    "100breast": (14, 100, (6300, 8400)),
    "200free": (4, 200, (11250, 14300)),
    "200im": (21, 200, (12700, 16200)),
    "1500free": (7, 1500, (93500, 115000)),
}


def heats_and_final(meet, code, distance, pace, swimmers, split_every, codes=()):
    """Morning heats of up to eight, then the afternoon final of the fastest
    eight. codes: (ordinal, result code, splits reached) for swims that end in
    a result code."""
    rng = meet.rng
    fast, slow = pace
    times = {o: rng.randint(fast, slow) for o in swimmers}
    special = {o: (c, reached) for o, c, reached in codes}
    ordered = sorted(swimmers, key=lambda o: -times[o])  # slowest heat first
    for start in range(0, len(ordered), 8):
        group = ordered[start:start + 8]
        lanes = {}
        for slot, ordinal in zip([3, 4, 2, 5, 1, 6, 0, 7], sorted(group, key=lambda o: times[o])):
            if ordinal in special:
                lanes[slot] = (ordinal, special[ordinal][0], special[ordinal][1])
            else:
                lanes[slot] = (ordinal, times[ordinal], 0)
        meet.heat(code, "1", lanes, distance, split_every)
    finalists = sorted((o for o in swimmers if o not in special), key=lambda o: times[o])[:8]
    lanes = {slot: (o, times[o] - rng.randint(0, (slow - fast) // 40), 0)
             for slot, o in zip([3, 4, 2, 5, 1, 6, 0, 7], finalists)}
    meet.heat(code, "2", lanes, distance, split_every)


def big_meet():
    meet = Meet("meet", 2026)
    # The six competitors of the first sample stay first, with their numbers.
    for number, name, school, grade, report in [
            ("1201", "山田太郎", "県立第一高", "33", 17), ("1202", "鈴木花子", "県立第一高", "32", 16),
            ("1305", "佐藤健", "市立南中", "23", 14), ("1310", "高橋美咲", "市立南中", "21", 12),
            ("2001", "田中一郎", "県大学", "42", 20), ("2002", "伊藤ｻﾁｺ", "県大学", "41", 19)]:
        meet.competitor(number, name, school, grade, report)
    rng = meet.rng
    for i in range(34):
        school, level = SCHOOLS[i % len(SCHOOLS)]
        name = FAMILY[(i * 7 + 3) % len(FAMILY)] + GIVEN[(i * 3 + 5) % len(GIVEN)]
        number = f"{3000 + i * 3 + 1}"
        meet.competitor(number, name, school, level + str(1 + i % 3), 10 + i % 12)
    relay_teams = [meet.competitor(f"{9001 + i}", team, team[:-1], "", 0)
                   for i, team in enumerate(["県立第一高Ａ", "県立第一高Ｂ", "市立南中Ａ",
                                             "県大学Ａ", "私立北高Ａ", "西中Ａ"])]
    individuals = list(range(1, 41))

    def entries(count, seed):
        pick = random.Random(seed).sample(individuals, count)
        return [1] + [o for o in pick if o != 1][:count - 1] if seed % 2 else pick

    # Day one, morning heats and afternoon finals.
    heats_and_final(meet, 2, 50, EVENTS["50free"][2], entries(22, 1), 25,
                    codes=[(entries(22, 1)[5], WITHDRAWN, 0)])
    heats_and_final(meet, 10, 100, EVENTS["100back"][2], entries(14, 2), 25,
                    codes=[(entries(14, 2)[3], TURN, 3)])
    heats_and_final(meet, 14, 100, EVENTS["100breast"][2], entries(13, 3), 25,
                    codes=[(entries(13, 3)[2], STROKE, 4)])
    # A timed final in the afternoon: 1500 m, 60 splits of 25 m.
    swimmers = entries(6, 4)
    meet.heat(7, "2", {slot: (o, rng.randint(*EVENTS["1500free"][2]), 0)
                       for slot, o in zip([3, 4, 2, 5, 1, 6], swimmers)}, 1500, 25)
    # Day two.
    heats_and_final(meet, 4, 200, EVENTS["200free"][2], entries(12, 5), 25)
    heats_and_final(meet, 21, 200, EVENTS["200im"][2], entries(10, 6), 25,
                    codes=[(entries(10, 6)[4], WITHDRAWN, 0)])
    # Relays, timed finals: 4 x 100 m freestyle and medley.
    meet.heat(28, "2", {3: (relay_teams[0], 21850, 0), 4: (relay_teams[3], 21420, 0),
                        2: (relay_teams[4], 22990, 0), 5: (relay_teams[2], 23870, 0),
                        1: (relay_teams[1], TAKEOVER, 12)}, 400, 25)
    meet.heat(25, "2", {3: (relay_teams[0], 24310, 0), 4: (relay_teams[3], 23880, 0),
                        2: (relay_teams[5], 26930, 0), 5: (relay_teams[4], 25510, 0)}, 400, 25)
    # Pool "1" is 25 m; touchpads at both ends ("0"), so every length is a split.
    meet.save(["D:\\meet\\kekka\\", "KEKKA.DAT", "2026001", "第１回県選手権水泳競技大会",
               "県選手権", "20260725", "20260726", "県総合プール", "1", "0"])


def long_course_meet():
    meet = Meet("meet50", 50)
    for number, name, school, grade, report in [
            ("1201", "山田太郎", "県立第一高", "33", 17), ("1202", "鈴木花子", "県立第一高", "32", 16),
            ("2001", "田中一郎", "県大学", "42", 20), ("2002", "伊藤ｻﾁｺ", "県大学", "41", 19),
            ("3004", "山本翔", "私立北高", "31", 11), ("3007", "林陽菜", "西中", "22", 12)]:
        meet.competitor(number, name, school, grade, report)
    meet.heat(4, "2", {3: (1, 11890, 0), 4: (5, 11805, 0), 2: (3, 12210, 0), 5: (6, 13190, 0)},
              200, 50)
    meet.heat(3, "2", {3: (2, 6120, 0), 4: (4, 6008, 0), 2: (6, 6344, 0), 5: (1, STROKE, 1)},
              100, 50)
    meet.heat(5, "2", {3: (3, 25511, 0), 4: (5, 24876, 0), 5: (1, WITHDRAWN, 0)}, 400, 50)
    # Pool "0" is 50 m; touchpads at both ends.
    meet.save(["D:\\meet50\\kekka\\", "KEKKA.DAT", "2026002", "県長水路記録会",
               "長水路", "20260823", "20260823", "県総合プール５０ｍ", "0", "0"])


def main():
    big_meet()
    long_course_meet()
    return 0


if __name__ == "__main__":
    sys.exit(main())
