"""The web viewer on a phone's screen, 360x740 and 320x640, against the
project's nginx publisher serving the hand-made fixture: on the meet,
competitor, swim, heat and マイ選手 pages nothing is wider than the screen,
every link and button is at least 44 x 44 px and axe-core finds nothing
serious or critical; a 1500 m in the water keeps its newest split in view and
in the line pinned under the bar; a star is kept across a reload; the マイ選手
page follows the publisher's files by itself.

    phone_test.py SOURCE_DIR SCREENSHOT_DIR TOOLS_DIR

TOOLS_DIR holds axe-core (npm), installed there on the first run.
"""

import copy
import os
import shutil
import subprocess
import sys

from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.dirname(__file__))
from browser import (PHONE, SMALL_PHONE, phone_browser, put_file, read_json,  # noqa: E402
                     served_fixture, splits, wait_for)

source, shots, tools = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(shots, exist_ok=True)
MEET = "2026/2026001/web/"
PAGE = "#/2026/2026001"
AXE_VERSION = "4.14.1"
TARGET = 44
LIVE_SECONDS = 3.0


def axe_source():
    path = os.path.join(tools, "node_modules", "axe-core", "axe.min.js")
    if not os.path.exists(path):
        os.makedirs(tools, exist_ok=True)
        subprocess.run(["npm", "install", "--prefix", tools, "--no-audit", "--no-fund", "--no-save",
                        "--loglevel=error", f"axe-core@{AXE_VERSION}"], check=True)
    with open(path, encoding="utf-8") as f:
        return f.read()


AXE = axe_source()

# What is wrong with the page's layout: elements that reach past the screen's
# sides, links, buttons and fields smaller than a fingertip.
LAYOUT = """
const width = document.documentElement.clientWidth;
const name = (e) => e.tagName.toLowerCase() + (e.id ? '#' + e.id : '')
  + (e.className && typeof e.className === 'string' ? '.' + e.className.trim().split(/\\s+/).join('.') : '')
  + ' "' + (e.innerText || e.value || '').trim().slice(0, 20) + '"';
const boxes = [...document.body.querySelectorAll('*')].map((e) => [e, e.getBoundingClientRect()])
  .filter(([, r]) => r.width > 0 && r.height > 0);
const wide = boxes.filter(([, r]) => r.left < -0.5 || r.right > width + 0.5)
  .map(([e, r]) => `${name(e)} ${r.left.toFixed(1)}..${r.right.toFixed(1)}`);
const small = boxes.filter(([e]) => e.matches('a, button, input, select, [role=button]'))
  .filter(([, r]) => r.width < arguments[0] - 0.01 || r.height < arguments[0] - 0.01)
  .map(([e, r]) => `${name(e)} ${r.width.toFixed(1)}x${r.height.toFixed(1)}`);
if (document.documentElement.scrollWidth > width) wide.push(`page ${document.documentElement.scrollWidth}`);
return {wide, small, height: document.documentElement.scrollHeight};
"""


def axe_findings(driver):
    driver.execute_script(AXE)
    found = driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "axe.run(document, {resultTypes: ['violations']}).then("
        " (r) => done(r.violations.map((v) => ({id: v.id, impact: v.impact,"
        "  nodes: v.nodes.map((n) => n.target.join(' ')).slice(0, 5)}))),"
        " (e) => done([{id: 'axe failed', impact: 'critical', nodes: [String(e)]}]));")
    return [v for v in found if v["impact"] in ("serious", "critical")]


def checked_page(driver, base, address, ready, name, size):
    """Opens a page, waits for it, and checks its layout and axe-core's
    findings; returns the page's height."""
    driver.get("about:blank")
    driver.get(base + address)
    wait_for(driver, ready, what=name)
    layout = driver.execute_script(LAYOUT, TARGET)
    assert layout["wide"] == [], (name, size["width"], layout["wide"])
    assert layout["small"] == [], (name, size["width"], layout["small"])
    findings = axe_findings(driver)
    assert findings == [], (name, size["width"], findings)
    return layout["height"]


def clock(hundredths):
    minutes, rest = divmod(hundredths, 6000)
    return f"{minutes}:{rest // 100:02d}.{rest % 100:02d}"


def with_splits(heat, count, final=False):
    """Heat 0004 carried on to count splits at 17.70 a length (lane 5 ahead),
    and with final, finished."""
    changed = copy.deepcopy(heat)
    for lane in changed["lanes"]:
        m, s = lane["cumulative"][-1].split(":")
        total = int(m) * 6000 + round(float(s) * 100)
        for _ in range(len(lane["cumulative"]), count):
            total += 1770
            lane["cumulative"].append(clock(total))
            lane["laps"]["25"].append("17.70")
            lane["places"].append(2 if lane["lane"] == 4 else 1)
        if final:
            lane["final"] = lane["cumulative"][-1]
            lane["place"] = 2 if lane["lane"] == 4 else 1
    changed["leaders"] += [5] * (count - len(changed["leaders"]))
    return changed


def newest_in_view(driver, split):
    """The newest split's cell wholly on the screen, below the bar."""
    return driver.execute_script(
        "const cell = document.querySelector(`.split[data-split=\"${arguments[0]}\"]`);"
        "if (!cell) return false;"
        "const r = cell.getBoundingClientRect();"
        "const bar = document.querySelector('.bar').getBoundingClientRect().bottom;"
        "return r.top >= bar - 0.5 && r.bottom <= innerHeight + 0.5;", split)


def pinned(driver):
    return driver.find_element(By.ID, "pinned").text.replace("\n", " ")


def mine_cards(driver):
    """The マイ選手 page's swims: [heat, state word, the card's text]."""
    return driver.execute_script(
        "return [...document.querySelectorAll('.mine-swim')].map((li) => [li.dataset.heat,"
        " (li.querySelector('.mine-state') || {}).innerText || '', li.innerText.replace(/\\s+/g, ' ').trim()]);")


def one_size(size):
    work, tree, publisher = served_fixture(source, "quendro-web-phone-")
    driver = None
    tag = f"{size['width']}x{size['height']}"
    heat = read_json(tree, f"{MEET}heats/0004.json")
    at_1000m = heat["lanes"][0]["cumulative"][39]
    has = lambda css: lambda d: d.find_elements(By.CSS_SELECTOR, css)  # noqa: E731
    shot = lambda name: driver.save_screenshot(os.path.join(shots, f"phone-{name}-{tag}.png"))  # noqa: E731
    try:
        publisher.start()
        driver = phone_browser(size)
        base = publisher.base
        for address, ready, name in (("#/2026", has(".cards a"), "meets"), (PAGE, has("#search"), "meet"),
                                     (f"{PAGE}/c/2", has(".swims li"), "competitor"),
                                     (f"{PAGE}/h/0004", has("table.heat"), "heat"),
                                     (f"{PAGE}/c/0/h/0001?lap=1", has(".split-grid"), "swim")):
            checked_page(driver, base, address, ready, name, size)

        # A star kept across a reload; the way to マイ選手 from the meet.
        driver.get(base + f"{PAGE}/c/2")
        wait_for(driver, has(".star"), what="the star")
        driver.find_element(By.CSS_SELECTOR, ".star").click()
        driver.refresh()
        wait_for(driver, lambda d: d.find_element(By.CSS_SELECTOR, ".star").get_attribute("aria-pressed")
                 == "true", what="the star kept across a reload")
        shot("competitor")
        driver.get(base + PAGE)
        wait_for(driver, lambda d: d.find_element(By.CSS_SELECTOR, ".mine-entry a").text
                 == "★ マイ選手 (1人)", what="the way to マイ選手")
        link = driver.find_element(By.ID, "mine-link")
        assert link.is_displayed() and link.get_attribute("href").endswith(f"{PAGE}/mine")

        # マイ選手: each swim with its state, final, newest split, heats until.
        height = checked_page(driver, base, f"{PAGE}/mine", has(".mine-swim"), "マイ選手", size)
        assert mine_cards(driver) == [
            ["0001", "終了", "100m自由形 予選 終了 組 0001 ・ 3レーン 1:10.88 3位 "
             "25m 16.10 50m 34.02 75m 52.40 100m 1:10.88"],
            ["0002", "泳いでいる", "50m平泳ぎ 予選 泳いでいる 組 0002 ・ 3レーン 25m 20.15 2位 25m 20.15"],
            ["0004", "泳いでいる", "1500m自由形 決勝 泳いでいる 組 0004 ・ 4レーン 1000m 11:44.78 2位 "
             "925m 10:51.70 950m 11:09.28 975m 11:27.09 1000m 11:44.78"],
            ["0005", "あと1組", "50m自由形 予選 あと1組 組 0005 ・ 3レーン"]], mine_cards(driver)
        shot("mine")
        print(f"{tag}: マイ選手 page {height} px tall")
        # By itself: a new split of the swim in the water; then the 1500 m
        # done and the next heat in the water.
        put_file(tree, f"{MEET}heats/0004.json", with_splits(heat, 41))
        took = wait_for(driver, lambda d: "1025m 12:02.48 2位" in mine_cards(d)[2][2],
                        LIVE_SECONDS, "a new split on the マイ選手 page")
        print(f"{tag}: new split on the マイ選手 page after {took:.2f} s")
        next_heat = read_json(tree, f"{MEET}heats/0005.json")
        next_heat["lanes"][0].update(cumulative=["31.05"], places=[1], laps={"25": ["31.05"]})
        put_file(tree, f"{MEET}heats/0004.json", with_splits(heat, 60, final=True))
        put_file(tree, f"{MEET}heats/0005.json", next_heat)
        put_file(tree, f"{MEET}now.json", {**read_json(tree, f"{MEET}now.json"), "states": "DSDS", "until": 0,
                                             "now": "0005"})
        took = wait_for(driver, lambda d: [c[1] for c in mine_cards(d)] == ["終了", "泳いでいる", "終了", "泳いでいる"]
                        and "17:38.78 2位" in mine_cards(d)[2][2] and "25m 31.05 1位" in mine_cards(d)[3][2],
                        LIVE_SECONDS, "the states moved on the マイ選手 page")
        print(f"{tag}: states moved on the マイ選手 page after {took:.2f} s")
        shot("mine-moved")
        height = checked_page(driver, base, f"{PAGE}/c/2/h/0004", lambda d: len(splits(d)) == 60,
                              "a finished 1500 m", size)
        assert pinned(driver) == "ヤマダ ハナコ 1500m自由形 決勝 記録 2位 17:38.78", pinned(driver)
        shot("1500-done")
        print(f"{tag}: a finished 1500 m swim (60 splits) is {height} px tall")

        # A 1500 m in the water: its newest split in view and pinned.
        put_file(tree, f"{MEET}heats/0004.json", heat)
        height = checked_page(driver, base, f"{PAGE}/c/2/h/0004", lambda d: len(splits(d)) == 40,
                              "a 1500 m in the water", size)
        assert pinned(driver) == f"ヤマダ ハナコ 1500m自由形 決勝 1000m 2位 {at_1000m}", pinned(driver)
        assert newest_in_view(driver, 39), "the newest split is not in view"
        shot("1500")
        print(f"{tag}: a 1500 m swim at 40 of 60 splits is {height} px tall")
        put_file(tree, f"{MEET}heats/0004.json", with_splits(heat, 41))
        took = wait_for(driver, lambda d: pinned(d).endswith("1025m 2位 12:02.48") and newest_in_view(d, 40),
                        LIVE_SECONDS, "the new split pinned and in view")
        print(f"{tag}: new split pinned and in view after {took:.2f} s")
        shot("1500-next")

        # The server away: the banner, within the screen's width.
        publisher.stop()
        wait_for(driver, lambda d: d.find_element(By.ID, "stale").is_displayed(), LIVE_SECONDS, "the banner")
        assert driver.execute_script(LAYOUT, TARGET)["wide"] == []
        shot("stale")
        publisher.start()
        errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"
                  and "ERR_CONNECTION_REFUSED" not in e["message"]]
        assert errors == [], errors
    finally:
        if driver:
            driver.quit()
        publisher.close()
        shutil.rmtree(work, ignore_errors=True)


for phone in (PHONE, SMALL_PHONE):
    one_size(phone)
print("web viewer on a phone: all checks passed")
