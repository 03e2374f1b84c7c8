#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets (fuzz/corpus/<target>/seed-*) from
the bundled sample meet and from records built by hand from the layouts of the
meet's files. Inputs that fuzzing found (crash-*, slow-*, found-*) are kept in
the same folders by hand; this script never removes them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE = os.path.join(HERE, "..", "sample", "meet")
CORPUS = os.path.join(HERE, "corpus")
MARK = b"#%%#"  # closes one section of an input that stands for several files


def sample(path):
    with open(os.path.join(SAMPLE, path), "rb") as f:
        return f.read()


def sjis(text):
    return text.encode("cp932")


def seed(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def header(fields):
    return sjis(",".join(fields) + "\r\n")


def header73(pool="0", touchpads="0", abbreviation="県選手権"):
    fields = ["D:\\meet\\kekka\\", "KEKKA.DAT", "2026001", "第１回県選手権水泳競技大会",
              abbreviation, "20260725", "20260726", "県総合プール", pool]
    fields += ["0"] * 62 + [touchpads, "0"]
    return header(fields)


def heat_record(event, stage, lanes):
    """lanes: {slot: (ordinal, packed time)}"""
    r = bytearray(b" " * 256)
    r[11:13] = struct.pack("<h", event)
    r[13:14] = stage.encode()
    for slot, (ordinal, time) in lanes.items():
        r[22 + 2 * slot:24 + 2 * slot] = struct.pack("<h", ordinal)
        r[46 + 4 * slot:50 + 4 * slot] = struct.pack("<i", time)
    return bytes(r)


def heat_table(count, heats):
    head = struct.pack("<h", count) + b" " * 254
    return head + b"\0" * 256 * 9 + b"".join(heats)


def competitor(length, number, name, school="", grade="", report=0):
    r = bytearray(b" " * length)
    for offset, width, text in ((11, 14, number), (25, 16, name), (71, 12, school),
                                (89, 2, grade)):
        raw = sjis(text)[:width]
        r[offset:offset + len(raw)] = raw
    r[91:93] = struct.pack("<h", report)
    return bytes(r)


def ind2(count, people):
    return struct.pack("<i", count) + b" " * 124 + b"".join(
        competitor(128, *p) for p in people)


def results(count, people):
    return (struct.pack("<i", count) + b" " * 380 + b"\0" * 384 * 9 +
            b"".join(competitor(384, *p) for p in people))


PEOPLE = [("1201", "山田太郎", "県立第一高", "33", 17), ("1202", "鈴木花子", "県立第一高", "32", 16),
          ("1305", "佐藤健", "市立南中", "23", 14)]
LIST = sjis(',"2026001 県選手権"\r\n,"2026002 ｼﾞｭﾆｱ"\r\n')
LAPS = [sample("lap/r000%d" % i) for i in range(1, 5)]
KIJUN = sample("kijun.dat")
TAIKAI = sample("taikai.dat")
KEKKA = sample("kekka/KEKKA.DAT")
TEXTS = [KIJUN, LIST, LAPS[0], sjis("ｲﾝﾀｰﾈｯﾄ,ﾛｰｶﾙ,\"棄権\",高3")]

# Shift-JIS both ways.
for i, t in enumerate(TEXTS):
    seed("shift_jis_decode", "text%d" % i, t)
seed("shift_jis_decode", "cp932-specials", b"\x5c\x7e\x81\x5f\x88\x9f\xb1")
seed("shift_jis_decode", "bad-bytes", b"\x80\xa0\xfd\xfe\xff\x81\x20\x81")
seed("shift_jis_decode", "names", KEKKA[3840 + 11:3840 + 94])
for i, t in enumerate(["競技会結果", "ｲﾝﾀｰﾈｯﾄ \\~¥‾", "第１回県選手権①Ⅱ㈱", "\ufffd\u00e9\U0001f3ca"]):
    seed("shift_jis_encode", "text%d" % i, t.encode("utf-16-le", "surrogatepass"))
seed("shift_jis_encode", "lone-surrogates", "\ud800a\udfff".encode("utf-16-le", "surrogatepass"))

# Field reader and numbers.
for i, t in enumerate(TEXTS):
    seed("field_reader", "text%d" % i, t)
seed("field_reader", "quotes", b'"a,b"x,y\r\n"open\r,,\n\n"')
seed("field_reader", "line-ends", b"a\rb\nc\r\n\r\n,\r,\n \t ,x")
for i, t in enumerate([b"00000000 0.5", b"\x01\0\0\0\0\0\0\x80  -1.5e3", b"12345678&HFFFF",
                       b"ABCDEFGH&O777", b"1D2", b"2.5", b"3.5", b"abc", b"1e999999",
                       b"1:05.32", b"  +.5E-2x", b"-0"]):
    seed("numeric_value", "n%d" % i, t)

# Time texts: packed time, event code, lap option, pool and touchpads, then splits.
def times(packed, event, lap, pool, splits):
    return (struct.pack("<ihBB", packed, event, lap, pool) +
            MARK.join(s.encode() for s in splits))

seed("time_text", "laps50", times(10532, 3, 2, 1, ["31.25", "1:05.32"]))
seed("time_text", "laps25", times(21960, 4, 1, 0, ["15.1", "30.80", "47.5", "1:04.40", "棄権"]))
seed("time_text", "result", times(888888, 29, 0, 4, ["ｺﾞｰﾙ", "1:05.32"]))
seed("time_text", "negative", times(-2147483648, -32768, 3, 2, ["99:99.99", "", "x"]))
seed("time_text", "hour", times(999999, 30, 4, 5, ["59:59.99", "1:00:00.00"]))

# Record files.
seed("heat_table", "sample", TAIKAI)
seed("heat_table", "one-heat", heat_table(1, [heat_record(3, "1", {0: (1, 10532), 9: (2, 999999)})]))
seed("heat_table", "slots-10-11", heat_table(1, [heat_record(3, "1", {10: (1, 1), 11: (2, 2)})]))
seed("heat_table", "count-past-end", heat_table(3276, [heat_record(29, "4", {4: (9999, 700002)})]))
seed("heat_table", "negative-count", heat_table(-1, [heat_record(1, "1", {0: (1, 1)})]))
seed("heat_table", "negative-ordinal", heat_table(1, [heat_record(1, "2", {0: (-5, -1)})]))
seed("heat_table", "short", TAIKAI[:300])
for target, make, length in (("ind2_file", ind2, 128), ("results_file", results, 384)):
    seed(target, "all", b"" + MARK + make(3, PEOPLE))
    seed(target, "prefix", b"12" + MARK + make(3, PEOPLE))
    seed(target, "count-past-end", b"1305" + MARK + make(200, PEOPLE))
    seed(target, "negative-count", b"" + MARK + make(-7, PEOPLE))
    seed(target, "name-filter", sjis("山田") + MARK + make(2, PEOPLE))
seed("results_file", "sample", b"1" + MARK + KEKKA)
seed("ind2_file", "huge-count", b"0" + MARK + struct.pack("<i", 0x7fffffff) + b" " * 124)

# Lap files: lane byte (bit 7: the older layout of nine fields), then the file.
for i, lap in enumerate(LAPS):
    seed("lap_file", "sample%d-lane4" % (i + 1), bytes([0x84]) + lap)
    seed("lap_file", "sample%d-lane5" % (i + 1), bytes([0x85]) + lap)
seed("lap_file", "three-fields", b"\x04" + b"4,31.25,\r\n5,33.40,G\r\n4,1:05.32,G\r\n")
seed("lap_file", "no-finish", b"\x01" + b"1,15.00,\r\n" * 70)
seed("lap_file", "cut-inside", b"\x84" + b"4,31.25,,0,0")

# Meet header and site control file.
seed("meet_header", "sample", KIJUN)
seed("meet_header", "25m-one-end", header73("1", "1"))
seed("meet_header", "touchpad-3", header73("0", "3"))
seed("meet_header", "72-fields", header(header73().decode("cp932").split(",")[:72]))
seed("meet_header", "short", header(["C:\\RESULT\\", "KEKKA.DAT", "X"]))
seed("meet_header", "quoted", header73("0", "0.5", '"略,称"'))
for i, t in enumerate([b"0,D:\\meet\\,0,D:\\meet\\kekka\\,KEKKA.DAT\r\n",
                       b"0,D:\\meet,0,D:\\meet\\kekka",
                       b'"x",D:\\,"y",,\r\n',
                       b"0,C:\\nowhere\\\r\n",
                       b"0"]):
    seed("site_control", "ctl%d" % i, t)

# Season lists.
seed("season_list", "two", LIST)
seed("season_list", "plain", sjis("2026001 県選手権,2026002,,123\r\n"))
seed("season_list", "error-page", b"<html><head><title>404 Not Found</title></head></html>\r\n")

# Whole local meets: settings (flags, number typed), header, heat table,
# results file, lap files of heats 1 to 8.
def meet(flags, number, kijun, taikai, kekka, laps):
    return MARK.join([bytes([flags]) + number, kijun, taikai, kekka] + laps)

seed("local_run", "sample", meet(1, b"", KIJUN, TAIKAI, KEKKA, LAPS))
seed("local_run", "sample-12-laps50", meet(1 | (2 << 1), b"12", KIJUN, TAIKAI, KEKKA, LAPS))
seed("local_run", "sample-100m", meet(1 | 0x10 | (3 << 1), b"2", KIJUN, TAIKAI, KEKKA, LAPS))
small_heats = heat_table(2, [heat_record(3, "1", {3: (1, 10532), 4: (2, 11015)}),
                             heat_record(13, "2", {0: (3, 888888)})])
seed("local_run", "hand-built", meet(0, b"", header73("1", "1", "略"), small_heats,
                                     results(3, PEOPLE),
                                     [b"4,15.1,\r\n4,31.25,\r\n5,33.40,G\r\n4,1:05.32,G\r\n",
                                      b"1,40.00,G\r\n"]))
# An abbreviation longer than a file name may be: the page is refused by the
# file system inside the meet's folder, which is no write outside it.
seed("local_run", "long-abbreviation", meet(0, b"", header73("1", "1", "略" * 200), small_heats,
                                            results(3, PEOPLE), [b"1,40.00,G\r\n"]))
