"""The program of the sample meet in the web viewer at a phone's size, as
quendro-publish puts it on the project's nginx publisher: every heat in the
heat table's order with its state, the heat now swimming at the top of the
list and followed under --watch (and マイ選手 with it), a heat without a lap
file ranked by its finals, and the heat of a swimmer whose swim is 棄権.

    program_test.py SOURCE_DIR QUENDRO_PUBLISH SCREENSHOT_DIR

The sample is changed first, as a meet in progress: heat 13 has no lap file;
heats 16 to 19 have no finals yet, 17 and 18 have lap files (swimming), 16 and
19 none (16 passed, 19 still to swim).
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.dirname(__file__))
from browser import Publisher, phone_browser, read_json, wait_for  # noqa: E402

source, program, shots = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(shots, exist_ok=True)
SEASON, CODE = "2026", "2026001"

# The heat table's codes as the sample uses them, written out by hand.
EVENTS = {2: "50m自由形", 4: "200m自由形", 7: "1500m自由形", 10: "100m背泳ぎ", 14: "100m平泳ぎ",
          21: "200m個人メドレー", 25: "400mメドレーリレー", 28: "400mフリーリレー"}
STAGES = {b"1": "予選", b"2": "決勝"}
WORDS = {"D": "終了", "S": "泳いでいる", "P": "結果待ち"}

work = tempfile.mkdtemp(prefix="quendro-web-program-")
os.chmod(work, 0o755)
tree = os.path.join(work, "swim")
os.makedirs(tree)
meet_dir = os.path.join(work, "meet")
shutil.copytree(os.path.join(source, "sample/meet"), meet_dir)
publisher = Publisher(source, tree)
driver = None
watch = None


def heat_records():
    """(heat number, event code, stage code, [(lane, competitor, time)]) of every heat record."""
    data = open(os.path.join(meet_dir, "taikai.dat"), "rb").read()
    heats = []
    for k in range(1, struct.unpack_from("<h", data, 0)[0] + 1):
        record = data[(k + 9) * 256:(k + 10) * 256]
        lanes = struct.unpack_from("<12h", record, 22)[:10]
        times = struct.unpack_from("<12i", record, 46)[:10]
        heats.append(("%04d" % k, struct.unpack_from("<h", record, 11)[0], record[13:14],
                      [(i + 1, c, t) for i, (c, t) in enumerate(zip(lanes, times)) if c]))
    return heats


def set_finals(heat, times):
    """Writes the lane times of heat k of the heat table, lane slot by slot."""
    path = os.path.join(meet_dir, "taikai.dat")
    data = bytearray(open(path, "rb").read())
    at = (heat + 9) * 256 + 46
    for slot, value in times.items():
        struct.pack_into("<i", data, at + 4 * slot, value)
    open(path, "wb").write(bytes(data))


def rows():
    return driver.execute_script(
        "return [...document.querySelectorAll('.program-list li[data-heat]')].map((li) => [li.dataset.heat,"
        " li.querySelector('.what').innerText.trim(), li.querySelector('.state').innerText.trim()]);")


def table(selector):
    return driver.execute_script(
        "return [...document.querySelectorAll(arguments[0] + ' tbody tr')]"
        ".map((r) => [...r.cells].map((c) => c.innerText.trim()));", selector)


def top_heat():
    """The heat whose row stands at the top of the program's list."""
    return driver.execute_script(
        "const list = document.querySelector('.program-list');"
        "if (!list) return null;"
        "const top = list.getBoundingClientRect().top;"
        "const row = [...list.children].find((li) => Math.abs(li.getBoundingClientRect().top - top) < 2);"
        "return row ? row.dataset.heat : null;")


try:
    for heat in (13, 16, 19):
        os.remove(os.path.join(meet_dir, "lap", "r%04d" % heat))
    for heat in (16, 17, 18, 19):
        set_finals(heat, {slot: 0 for slot in range(10)})
    expected_states = "D" * 15 + "PSSU"

    publisher.start()
    publish = [program, "--season", SEASON, "--results",
               os.path.join(meet_dir, "kekka/KEKKA.DAT"), meet_dir, publisher.base + "swim/"]
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "xdg"))
    run = subprocess.run(publish, cwd=work, env=env, capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    web = os.path.join(tree, SEASON, CODE, "web")

    # The program against the heat table: every heat with a lane, in record
    # order, by its event's full name and stage, with its state.
    records = [h for h in heat_records() if h[3]]
    assert len(records) == 19
    expected = []
    for (number, event, stage, _), state in zip(records, expected_states):
        word = WORDS.get(state, "あと1組")
        expected.append([number, f"{EVENTS[event]} {STAGES[stage]}", word])
    now = read_json(web, "now.json")
    assert now["states"] == expected_states and now["now"] == "0018", now

    driver = phone_browser()
    driver.get(publisher.base + f"#/{SEASON}/{CODE}")
    wait_for(driver, lambda d: len(rows()) == 19, what="the program")
    assert rows() == expected, rows()
    # The heat now swimming stands at the top of the list, which has scrolled to it.
    wait_for(driver, lambda d: top_heat() == "0018", what="heat 0018 at the top")
    assert driver.execute_script("return document.querySelector('.program-list').scrollTop") > 0
    driver.save_screenshot(os.path.join(shots, "program-1-meet.png"))

    # A tap on a heat opens it: heat 13, swum without a lap file, is ranked by
    # its finals (1:53.68, 1:57.68, 2:01.08, 2:01.15).
    driver.execute_script("document.querySelector('.program-list').scrollTop = 0;")
    link = driver.find_element(By.CSS_SELECTOR, ".program-list li[data-heat='0013'] a")
    driver.execute_script("arguments[0].scrollIntoView({block: 'center'});", link)
    link.click()
    wait_for(driver, lambda d: d.current_url.endswith(f"/{CODE}/h/0013") and table("table.results"),
             what="heat 0013")
    ranked = [[r[0], r[1], r[3]] for r in table("table.results")]
    assert ranked == [["1", "4", "1:53.68"], ["2", "5", "1:57.68"], ["3", "3", "2:01.08"],
                      ["4", "6", "2:01.15"]], ranked
    assert [l["place"] for l in read_json(web, "heats/0013.json")["lanes"]] == [3, 1, 2, 4]
    assert "通過タイムはありません" in driver.find_element(By.CSS_SELECTOR, ".heat-splits").text
    driver.save_screenshot(os.path.join(shots, "program-2-heat-without-laps.png"))

    # A swimmer whose swim is 棄権 (competitor 8, lane 3 of heat 3, no splits)
    # reaches the heat from the swim: 棄権 unranked, the others by their finals.
    driver.get(publisher.base + f"#/{SEASON}/{CODE}/c/8/h/0003")
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, "a.to-heat"), what="the swim")
    # Its final is the word, and no split is still to come.
    assert "通過タイムはありません" in driver.find_element(By.CSS_SELECTOR, "main").text
    driver.save_screenshot(os.path.join(shots, "program-3-withdrawn-swim.png"))
    driver.find_element(By.CSS_SELECTOR, "a.to-heat").click()
    wait_for(driver, lambda d: table("table.results"), what="heat 0003 from the swim")
    ranked = [[r[0], r[1], r[3]] for r in table("table.results")]
    assert ranked == [["1", "4", "23.82"], ["2", "5", "24.62"], ["3", "6", "25.01"],
                      ["4", "2", "26.08"], ["5", "7", "26.25"], ["", "3", "棄権"]], ranked
    assert table("table.heat"), "the splits of the heat"
    driver.save_screenshot(os.path.join(shots, "program-4-withdrawn-heat.png"))

    # A swimmer of heat 19 starred on this phone, for マイ選手 below.
    starred, starred_lane = next(
        (int(n), s["lane"])
        for name in sorted({f.removesuffix(".gz") for f in os.listdir(os.path.join(web, "competitors"))})
        for n, c in read_json(web, f"competitors/{name}")["competitors"].items()
        for s in c["swims"] if s["heat"] == "0019")
    driver.get(publisher.base + f"#/{SEASON}/{CODE}")
    driver.execute_script("localStorage.setItem(arguments[0], JSON.stringify([arguments[1]]))",
                          f"quendro.mine.{SEASON}/{CODE}", starred)
    wait_for(driver, lambda d: top_heat() == "0018", what="the program again")

    # Live: under --watch, heat 19's first split makes it the heat swimming;
    # the open program marks it and moves it to the top. The phone pays for
    # the change with one small file.
    watch = subprocess.Popen(publish[:1] + ["--watch"] + publish[1:], cwd=work, env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.5)  # the watch's first look
    with open(os.path.join(meet_dir, "lap", "r0019"), "wb") as f:
        f.write(b"4,   29.10,,0,0,0,0,0,0\r\n")
    wait_for(driver, lambda d: rows()[18][2] == "泳いでいる", seconds=15.0, what="heat 0019 swimming")
    wait_for(driver, lambda d: top_heat() == "0019", what="heat 0019 at the top")
    assert [r[2] for r in rows()[15:]] == ["結果待ち", "泳いでいる", "泳いでいる", "泳いでいる"]
    paid = driver.execute_script(
        "return performance.getEntriesByType('resource').filter((e) => e.name.endsWith('/now.json'))"
        ".map((e) => e.transferSize);")
    # The largest answer is the one that brought the change (the others are 304s).
    print("now.json on the wire, bytes: largest %d (the change), every look: %s" % (max(paid), paid))
    assert 0 < max(paid) <= 2048, paid
    driver.save_screenshot(os.path.join(shots, "program-5-live.png"))
    # マイ選手 shows the starred swimmer's swim in the water, and its next
    # split as the watch sends it, by itself.
    driver.get(publisher.base + f"#/{SEASON}/{CODE}/mine")
    card = lambda d: d.execute_script(
        "const s = document.querySelector('.mine-swim[data-heat=\"0019\"]');"
        "return s ? [s.dataset.state, s.innerText] : [null, ''];")
    wait_for(driver, lambda d: card(d)[0] == "S", what="マイ選手 with the swim in the water")
    before = card(driver)[1]
    with open(os.path.join(meet_dir, "lap", "r0019"), "ab") as f:
        f.write(b"%d,   30.55,,0,0,0,0,0,0\r\n" % starred_lane)
    wait_for(driver, lambda d: card(d)[1] != before, seconds=15.0, what="マイ選手's next split")
    driver.save_screenshot(os.path.join(shots, "program-5-mine-live.png"))

    errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"
              and " 404" not in e["message"]]
    assert errors == [], errors

    print("the program in the web viewer: all checks passed")
finally:
    if watch:
        watch.terminate()
        watch.wait(timeout=10)
    if driver:
        driver.quit()
    publisher.close()
    shutil.rmtree(work, ignore_errors=True)
