"""The web viewer in headless Chromium at a phone's size, against the project's
nginx publisher serving the hand-made fixture: the season's meets, search by
number and by name, a competitor, a swim with each lap interval, the heat at a
split, the page following changed and new files by itself, the server going
away and coming back, and names that hold markup shown as text.

    viewer_test.py SOURCE_DIR SCREENSHOT_DIR
"""

import os
import re
import shutil
import sys
import tempfile
import time
import urllib.error
import urllib.request

from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.common.by import By

sys.path.insert(0, os.path.dirname(__file__))
from browser import (Publisher, phone_browser, put_file, read_json, splits, texts,  # noqa: E402
                     type_into, wait_for)
from keystroke import measure_keystrokes  # noqa: E402

source, shots = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
os.makedirs(shots, exist_ok=True)
fixture = os.path.join(source, "tests/web/fixture/swim")
later = os.path.join(source, "tests/web/later/swim")
MEET = "2026/2026001/web/"
HOSTILE = "<img src=x onerror=alert(1)>"
LIVE_SECONDS = 3.0

work = tempfile.mkdtemp(prefix="quendro-web-")
os.chmod(work, 0o755)
tree = os.path.join(work, "swim")
shutil.copytree(fixture, tree)
publisher = Publisher(source, tree)
driver = None


def shot(name):
    driver.save_screenshot(os.path.join(shots, f"{name}.png"))


def show(address):
    driver.get(publisher.base + address)


def cells(selector):
    """The rows of a table as lists of cell texts."""
    return driver.execute_script(
        "return [...document.querySelectorAll(arguments[0] + ' tbody tr')]"
        ".map((r) => [...r.cells].map((c) => c.innerText.trim()));", selector)


def check_no_markup_ran():
    assert driver.find_elements(By.CSS_SELECTOR, "main img, main b") == [], "a name became markup"
    try:
        driver.switch_to.alert
        raise AssertionError("a name ran a script")
    except NoAlertPresentException:
        pass


def heat_json(heat):
    return read_json(tree, f"{MEET}heats/{heat}.json")


def seasons_meets():
    show("#/2026")
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".cards a"), what="the meets")
    meets = read_json(tree, "2026/web/meets.json")["meets"]
    cards = driver.find_elements(By.CSS_SELECTOR, ".cards a")
    assert len(cards) == len(meets)
    assert cards[0].find_element(By.TAG_NAME, "strong").text == meets[0]["name"]
    assert meets[0]["venue"] in cards[0].text, cards[0].text
    assert "2026年7月25日〜2026年7月26日" in cards[0].text
    shot("1-meets")
    cards[0].click()
    wait_for(driver, lambda d: d.find_elements(By.ID, "search"), what="the meet")
    assert driver.current_url.endswith("#/2026/2026001")


def search():
    numbers = read_json(tree, f"{MEET}numbers/1.json")["competitors"]
    for typed in ("12", "10", " 1", "100", "1002", "10021", "9"):
        type_into(driver, "#search", typed)
        expected = [row[1] for row in numbers if row[1].startswith(typed.strip())]
        wait_for(driver, lambda d: texts(d, "#results .number") == expected
                 and "検索中" not in d.find_element(By.ID, "results").text,
                 what=f"the numbers for {typed!r}")
        if not expected:
            assert "該当する選手はいません" in driver.find_element(By.ID, "results").text
    shot("2-search-number")
    for typed, names in (("ﾔﾏﾀﾞ", ["ヤマダ ハナコ"]), ("やまだ", ["ヤマダ ハナコ"]),
                         ("山田", ["山田 太郎"]), ("山 田", ["山田 太郎"]), ("<img", [HOSTILE]),
                         ("ﾔﾏﾀ", []), ("   ", None)):
        type_into(driver, "#search", typed)
        if names is None:
            wait_for(driver, lambda d: d.find_element(By.ID, "results").text == "",
                     what="an empty answer to blanks")
            continue
        wait_for(driver, lambda d: texts(d, "#results .name") == names
                 and "検索中" not in d.find_element(By.ID, "results").text,
                 what=f"the names for {typed!r}")
    type_into(driver, "#search", "<img")
    wait_for(driver, lambda d: texts(d, "#results .name") == [HOSTILE])
    assert "quote' & <b>team</b>" in driver.find_element(By.ID, "results").text
    check_no_markup_ran()
    shot("3-search-hostile")
    assert "q=%3Cimg" in driver.current_url


def competitor_and_swim():
    type_into(driver, "#search", "山田")
    wait_for(driver, lambda d: texts(d, "#results .name") == ["山田 太郎"])
    driver.find_element(By.CSS_SELECTOR, "#results a").click()
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".swims li"), what="the swims")
    assert driver.current_url.endswith("#/2026/2026001/c/0")
    swims = read_json(tree, f"{MEET}competitors/0.json")["competitors"]["0"]["swims"]
    assert len(driver.find_elements(By.CSS_SELECTOR, ".swims li")) == len(swims)
    assert texts(driver, ".swims .final")[0] == swims[0]["final"]
    shot("4-competitor")
    driver.find_element(By.CSS_SELECTOR, ".swims a").click()
    wait_for(driver, lambda d: d.find_elements(By.CSS_SELECTOR, ".split-grid"), what="the swim")
    assert driver.current_url.endswith("#/2026/2026001/c/0/h/0001")

    heat = heat_json("0001")
    lane = next(l for l in heat["lanes"] if l["ordinal"] == 0)
    captions = [c.strip() for c in heat["captions"]]
    # 通算: the cumulative times with the places in the heat.
    rows = splits(driver)
    assert rows == [[captions[i], lane["cumulative"][i], f"{lane['places'][i]}位"] for i in range(4)], rows
    # Each interval: the rows that have a time in it, the laps as the file gives them.
    for option, key in ((1, "25"), (2, "50"), (3, "100")):
        driver.find_element(By.CSS_SELECTOR, f".choice button[data-lap='{option}']").click()
        laps = lane["laps"][key]
        expected = [[captions[i], lane["cumulative"][i], laps[i], f"{lane['places'][i]}位"]
                    for i in range(4) if laps[i]]
        wait_for(driver, lambda d: splits(driver) == expected, what=f"the {key}m laps")
        shot(f"5-swim-{key}")
    assert driver.find_elements(By.CSS_SELECTOR, ".choice button[data-lap='4']") == [], \
        "a lap option the meet turned off is offered"
    # The heat at the newest split, in the order of the places, the leader marked.
    def heat_rows(at, key):
        order = sorted(heat["lanes"], key=lambda l: (l["places"][at], l["lane"]))
        return [[str(l["places"][at]), str(l["lane"]),
                 l["name"] + ("先頭" if l["lane"] == heat["leaders"][at] else "") + "\n" + l["team"],
                 (l["laps"][key] if key else l["cumulative"])[at]] for l in order]
    assert cells("table.heat") == heat_rows(3, "100"), cells("table.heat")
    driver.find_element(By.CSS_SELECTOR, ".choice button[data-lap='0']").click()
    driver.find_element(By.CSS_SELECTOR, ".split-grid .split[data-split='1']").click()
    wait_for(driver, lambda d: cells("table.heat") == heat_rows(1, None), what="the heat at 50m")
    assert driver.find_element(By.CSS_SELECTOR, "table.heat tr.leader").get_attribute("data-lane") == "5"
    assert driver.find_element(By.CSS_SELECTOR, "table.heat tr.own").get_attribute("data-lane") == "4"
    check_no_markup_ran()
    shot("6-swim-heat-at-50")
    # The address holds the choices: opened again, it shows the same.
    address = driver.current_url
    assert address.endswith("?lap=0&at=1"), address
    driver.get("about:blank")
    driver.get(address)
    wait_for(driver, lambda d: cells("table.heat") == heat_rows(1, None), what="the shared address")
    # The heat on its own page, at the 25m split and with 25m laps.
    show("#/2026/2026001/h/0001?lap=1&at=0")
    wait_for(driver, lambda d: cells("table.heat") == heat_rows(0, "25"), what="the heat page")
    shot("7-heat")


def follows_the_server():
    # The meet page: a heat added to the heat table appears at the end of the
    # program with the heats until it, heat 0002's finals mark it done, and a
    # new competitor appears in the answer to the search typed.
    show("#/2026/2026001")
    program = lambda d: [(e.get_attribute("data-heat"), e.find_element(By.CSS_SELECTOR, ".state").text)
                         for e in d.find_elements(By.CSS_SELECTOR, ".program-list li[data-heat]")]
    wait_for(driver, lambda d: program(d) == [("0001", "終了"), ("0002", "泳いでいる"), ("0004", "泳いでいる"),
                                              ("0005", "あと1組")], what="the heats")
    type_into(driver, "#search", "10")
    wait_for(driver, lambda d: texts(d, "#results .number") == ["1001", "1002"])
    put_file(tree, f"{MEET}numbers/1.json", read_json(later, f"{MEET}numbers/1.json"))
    put_file(tree, f"{MEET}meet.json", read_json(later, f"{MEET}meet.json"))
    # As the publisher sends them: a heat's file before the states that speak of it.
    put_file(tree, f"{MEET}heats/0006.json", read_json(later, f"{MEET}heats/0006.json"))
    put_file(tree, f"{MEET}program.json", read_json(later, f"{MEET}program.json"))
    put_file(tree, f"{MEET}now.json", read_json(later, f"{MEET}now.json"))
    took = wait_for(driver, lambda d: program(d) == [("0001", "終了"), ("0002", "終了"), ("0004", "泳いでいる"),
                                                     ("0005", "あと1組"), ("0006", "あと2組")]
                    and texts(d, "#results .number") == ["1001", "1002", "1004"],
                    LIVE_SECONDS, "the new heat and competitor")
    print(f"new heat and competitor shown after {took:.2f} s")
    assert driver.find_element(By.ID, "search").get_attribute("value") == "10"
    # The competitor: a new swim appears.
    show("#/2026/2026001/c/0")
    wait_for(driver, lambda d: len(d.find_elements(By.CSS_SELECTOR, ".swims li")) == 2)
    put_file(tree, f"{MEET}competitors/0.json", read_json(later, f"{MEET}competitors/0.json"))
    took = wait_for(driver, lambda d: len(d.find_elements(By.CSS_SELECTOR, ".swims li")) == 3,
                    LIVE_SECONDS, "the new swim")
    print(f"new swim shown after {took:.2f} s")
    # The swim being followed: the 50m touch arrives.
    show("#/2026/2026001/c/0/h/0002")
    wait_for(driver, lambda d: len(splits(driver)) == 1, what="the swim in heat 0002")
    shot("8-live-before")
    changed = read_json(later, f"{MEET}heats/0002.json")
    put_file(tree, f"{MEET}heats/0002.json", changed)
    took = wait_for(driver, lambda d: [r[1] for r in splits(driver)] == ["19.80", "41.02"]
                    and cells("table.heat")[0][1] == "3", LIVE_SECONDS, "the changed heat")
    print(f"changed heat shown after {took:.2f} s")
    assert driver.find_element(By.CSS_SELECTOR, "table.heat tr.leader").get_attribute("data-lane") == "3"
    assert driver.find_element(By.ID, "live").get_attribute("data-state") == "live"
    assert "受信" in driver.find_element(By.ID, "live").text
    shot("9-live-after")

    # The server goes away: the indicator says so; a change made meanwhile is
    # shown as soon as it is back.
    stopped_at = time.time()
    publisher.stop()
    wait_for(driver, lambda d: d.find_element(By.ID, "live").get_attribute("data-state") == "away",
             LIVE_SECONDS, "the reconnecting indicator")
    assert "再接続中" in driver.find_element(By.ID, "live").text
    # The banner under the bar says since when the page is not up to date:
    # the last answer, two seconds or less before the server stopped.
    banner = driver.find_element(By.ID, "stale")
    since = re.fullmatch(r"最終更新 (\d\d):(\d\d):(\d\d) から更新できていません", banner.text)
    assert banner.is_displayed() and since, banner.text
    stopped = time.localtime(stopped_at)
    gap = (stopped.tm_hour * 3600 + stopped.tm_min * 60 + stopped.tm_sec
           - (int(since[1]) * 3600 + int(since[2]) * 60 + int(since[3]))) % 86400
    assert gap <= 3, (banner.text, time.strftime("%H:%M:%S", stopped))
    shot("10-away")
    changed["lanes"][1]["cumulative"][1] = "40.95"
    put_file(tree, f"{MEET}heats/0002.json", changed)
    publisher.start()
    took = wait_for(driver, lambda d: "40.95" in [r[3] for r in cells("table.heat")]
                    and d.find_element(By.ID, "live").get_attribute("data-state") == "live",
                    LIVE_SECONDS, "the page catching up")
    print(f"caught up {took:.2f} s after the server came back")
    assert not driver.find_element(By.ID, "stale").is_displayed()


def changed_twice_in_one_second():
    """Two versions of a heat of the same size written in one second carry one
    ETag: the page still shows the second. (The second is pinned ahead of the
    clock, as a server writing both in the second of the answer would give.)"""
    show("#/2026/2026001/c/0/h/0002")
    wait_for(driver, lambda d: len(splits(driver)) == 2, what="heat 0002")
    target = os.path.join(tree, f"{MEET}heats/0002.json")
    second = int(time.time()) + 30
    changed = heat_json("0002")
    for shown in ("19.81", "19.82"):
        changed["lanes"][0]["cumulative"][0] = shown
        put_file(tree, f"{MEET}heats/0002.json", changed)
        os.utime(target, (second, second))
        wait_for(driver, lambda d: [r[1] for r in splits(driver)][:1] == [shown],
                 LIVE_SECONDS, f"the split {shown} of the same size in the same second")
    os.utime(target)


def tab_comes_back():
    """A tab in the background asks nothing; brought back, it catches up at
    once."""
    show("#/2026/2026001/c/0/h/0002")
    wait_for(driver, lambda d: "40.95" in [r[3] for r in cells("table.heat")], what="heat 0002")
    page = driver.current_window_handle
    log = os.path.join(publisher.home, f"nginx-{publisher.port}", "logs", "access.log")
    driver.switch_to.new_window("tab")
    asked_before = open(log).read().count("/heats/0002.json")
    changed = heat_json("0002")
    changed["lanes"][0]["cumulative"][1] = "41.10"
    put_file(tree, f"{MEET}heats/0002.json", changed)
    time.sleep(LIVE_SECONDS)
    asked_hidden = open(log).read().count("/heats/0002.json") - asked_before
    assert asked_hidden == 0, f"a hidden page asked {asked_hidden} times"
    driver.close()
    driver.switch_to.window(page)
    driver.execute_cdp_cmd("Page.bringToFront", {})
    took = wait_for(driver, lambda d: "41.10" in [r[3] for r in cells("table.heat")],
                    LIVE_SECONDS, "the page catching up when its tab comes back")
    print(f"caught up {took:.2f} s after the tab came back")


def served_headers():
    """The viewer and the data go out with the content policy, as UTF-8 and
    JSON, to be asked for again each time; an unchanged heat costs a 304,
    gzipped or not."""
    def ask(path, **headers):
        request = urllib.request.Request(publisher.base + path, headers=headers)
        try:
            with urllib.request.urlopen(request) as answer:
                return answer.status, answer.headers
        except urllib.error.HTTPError as error:
            return error.code, error.headers
    for path, kind in (("", "text/html; charset=utf-8"), ("js/main.js", "application/javascript; charset=utf-8"),
                       ("style.css", "text/css; charset=utf-8"),
                       (f"swim/{MEET}heats/0001.json", "application/json")):
        status, headers = ask(path)
        assert status == 200 and headers["Content-Type"] == kind, (path, status, headers["Content-Type"])
        policy = headers["Content-Security-Policy"]
        for rule in ("default-src 'self'", "script-src 'self'", "connect-src 'self'",
                     "frame-ancestors 'none'"):
            assert rule in policy, (path, policy)
        assert "*" not in policy and "http" not in policy, policy
        assert headers["X-Content-Type-Options"] == "nosniff", path
        assert headers["Cache-Control"] == "no-cache", path
    for encoding in ("identity", "gzip"):
        status, headers = ask(f"swim/{MEET}heats/0001.json", **{"Accept-Encoding": encoding})
        assert status == 200 and headers["ETag"], headers
        assert (headers.get("Content-Encoding") == "gzip") == (encoding == "gzip"), headers
        status, _ = ask(f"swim/{MEET}heats/0001.json", **{"Accept-Encoding": encoding,
                                                           "If-None-Match": headers["ETag"]})
        assert status == 304, (encoding, status)
    # The site's root takes the viewer's files by PUT from this machine, but
    # never a hidden name.
    request = urllib.request.Request(publisher.base + ".hidden.js", data=b"x", method="PUT")
    try:
        urllib.request.urlopen(request)
        raise AssertionError("the site's root took a hidden name")
    except urllib.error.HTTPError as error:
        assert error.code == 403, error.code


def page_errors():
    """Messages of the page itself: scripts that failed, rules of the content
    policy broken. Refused connections while the server was away, and a 404
    for a shard no competitor's number or name needs, are expected."""
    expected = re.compile(r"ERR_CONNECTION_REFUSED|/web/(numbers|names)/[^ ]+\.json - .* 404")
    return [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"
            and not expected.search(e["message"])]


try:
    publisher.start()
    served_headers()
    driver = phone_browser()
    seasons_meets()
    search()
    competitor_and_swim()
    follows_the_server()
    changed_twice_in_one_second()
    tab_comes_back()
    check_no_markup_ran()
    assert driver.title.startswith("山田 太郎"), driver.title
    errors = page_errors()
    assert errors == [], errors
    handler, laid_out = measure_keystrokes(driver, publisher.base, tree)
    print(f"slowest search keystroke in a shard of 5,000 names: {handler:.2f} ms "
          f"({laid_out:.2f} ms with the layout of the answer)")
    assert handler <= 16.0, handler
    print("web viewer: all checks passed")
finally:
    if driver:
        driver.quit()
    publisher.close()
    shutil.rmtree(work, ignore_errors=True)
