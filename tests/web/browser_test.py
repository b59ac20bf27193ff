#!/usr/bin/env python3
"""The page in a real browser: headless Chromium driven through Selenium
plays whole games against the WebAssembly brain and uses every control, the
way a person would, through the page's stable hooks (data-brain on the body,
data-point and data-stone on the points, #status with data-result, #thinking).

Usage: /usr/bin/python3 tests/web/browser_test.py <site dir>
With VANTREL_SCREENSHOTS=<dir> it also saves screenshots at desktop and phone
width. It serves the site itself on 127.0.0.1 and prints the measured times
from navigation start to the engine being ready.
"""
import functools
import http.server
import os
import random
import statistics
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select

SITE_DIR = None
BRAIN_MS = 500          # the time per brain move in the games
REPLY_MARGIN_MS = 400   # what a reply may take past that: worker messages, rendering, polling
POLL_S = 0.02
LOAD_TIMEOUT_S = 20
READY_TIMES_MS = []
REPLY_TIMES_MS = []

STONES_JS = """
const stones = {};
for (const p of document.querySelectorAll('[data-stone]')) stones[p.dataset.point] = p.dataset.stone;
return stones;"""


def point_name(x, y, size):
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    return (letters[x] if x < 26 else "A" + letters[x - 26]) + str(size - y)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        handler = functools.partial(QuietHandler, directory=SITE_DIR)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.base = f"http://127.0.0.1:{cls.server.server_address[1]}/"
        cls.profile = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--no-first-run", "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", f"--user-data-dir={cls.profile.name}", "--window-size=1280,900"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()
        cls.profile.cleanup()

    def tearDown(self):
        severe = [entry for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]
        self.assertEqual(severe, [], "errors in the browser's console")

    # --- helpers -----------------------------------------------------------

    def open(self, query):
        self.driver.get(self.base + query)
        ready_ms = self.wait_for(lambda: self.body("data-ready-ms"), LOAD_TIMEOUT_S, "the engine to load")
        READY_TIMES_MS.append(int(ready_ms))

    def body(self, attribute):
        return self.driver.find_element(By.TAG_NAME, "body").get_attribute(attribute)

    def wait_for(self, condition, timeout_s, what):
        deadline = time.monotonic() + timeout_s
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(POLL_S)
        self.fail(f"timed out waiting for {what}")

    def stones(self):
        return self.driver.execute_script(STONES_JS)

    def point(self, x, y):
        return self.driver.find_element(By.CSS_SELECTOR, f'[data-point="{x},{y}"]')

    def result(self):
        return self.driver.find_element(By.ID, "status").get_attribute("data-result")

    def button(self, name):
        return self.driver.find_element(By.ID, name)

    def expect_brain_move(self, before, colour, since, limit_ms):
        """Waits for the brain's stone; checks it is one new stone of its
        colour on a point empty before, arriving within limit_ms of since."""
        after = self.wait_for(lambda: s if len(s := self.stones()) > len(before) else None, 5 + limit_ms / 1000,
                              "the brain's move")
        elapsed_ms = (time.monotonic() - since) * 1000
        new = {point: stone for point, stone in after.items() if point not in before}
        self.assertEqual(len(after), len(before) + 1, f"one stone per brain turn, got {new}")
        self.assertEqual(list(new.values()), [colour])
        self.assertEqual({p: s for p, s in after.items() if p in before}, before, "stones already placed changed")
        self.assertLessEqual(elapsed_ms, limit_ms, f"the brain's move took {elapsed_ms:.0f} ms")
        if limit_ms == BRAIN_MS + REPLY_MARGIN_MS:
            REPLY_TIMES_MS.append(elapsed_ms)
        point = next(iter(new))
        return {**before, point: colour}, point

    def person_click(self, stones, x, y, person):
        since = time.monotonic()
        self.point(x, y).click()
        expected = {**stones, f"{x},{y}": person}
        # The brain's reply may already be there: a forced answer comes in milliseconds.
        now = self.stones()
        self.assertEqual({p: now.get(p) for p in expected}, expected, "the person's stone")
        return expected, since

    # --- tests -------------------------------------------------------------

    def test_whole_games_both_colours_both_sizes(self):
        for size, brain in ((15, "white"), (15, "black"), (20, "black"), (20, "white")):
            with self.subTest(size=size, brain=brain):
                self.play_game(size, brain, random.Random(f"{size}{brain}"))

    def play_game(self, size, brain, rng):
        person = "black" if brain == "white" else "white"
        self.open(f"?size={size}&brain={brain}&time={BRAIN_MS}")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-point]")), size * size)
        stones, last = {}, f"{size // 2},{size // 2}"
        if brain == "black":
            stones, last = self.expect_brain_move(stones, brain, time.monotonic(), BRAIN_MS + REPLY_MARGIN_MS)
        while not self.result():
            # The person answers near the brain's last stone, or anywhere when crowded.
            lx, ly = map(int, last.split(","))
            near = [(x, y) for x in range(lx - 2, lx + 3) for y in range(ly - 2, ly + 3)
                    if 0 <= x < size and 0 <= y < size and f"{x},{y}" not in stones]
            empty = near or [(x, y) for x in range(size) for y in range(size) if f"{x},{y}" not in stones]
            stones, since = self.person_click(stones, *rng.choice(empty), person)
            if self.result() and len(self.stones()) == len(stones):
                break  # the person's move ended the game
            stones, last = self.expect_brain_move(stones, brain, since, BRAIN_MS + REPLY_MARGIN_MS)
        winner = self.result()
        self.assertIn(winner, ("black", "white", "draw"))
        if winner != "draw":
            self.assertGreaterEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-win]")), 5)
        # A finished game takes no more stones.
        x, y = next((x, y) for x in range(size) for y in range(size) if f"{x},{y}" not in stones)
        self.point(x, y).click()
        self.assertEqual(self.stones(), stones)

    def test_undo_after_the_reply_and_while_thinking(self):
        self.open(f"?brain=white&time={BRAIN_MS}")
        stones, since = self.person_click({}, 7, 7, "black")
        stones, _ = self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        before_person = dict(stones)
        stones, since = self.person_click(stones, 8, 8 if "8,8" not in stones else 6, "black")
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        self.button("undo").click()
        self.assertEqual(self.stones(), before_person)
        self.assertIn(f"moves={'_'.join(p.replace(',', '.') for p in before_person)}", self.driver.current_url)

        Select(self.button("time")).select_by_value("10000")
        stones, since = self.person_click(before_person, 6, 6 if "6,6" not in before_person else 5, "black")
        self.wait_for(lambda: self.body("data-brain") == "thinking", 2, "the brain to think")
        self.button("undo").click()
        self.assertEqual(self.stones(), before_person)
        self.wait_for(lambda: self.body("data-brain") == "ready", 5, "the restarted engine")
        time.sleep(0.3)
        self.assertEqual(self.stones(), before_person, "no move after undo stopped the brain")

    def test_link_with_moves_reloads_the_same_position(self):
        self.open(f"?size=20&brain=black&time={BRAIN_MS}&moves=9.9_10.10_10.8")
        stones = {"9,9": "black", "10,10": "white", "10,8": "black"}
        self.assertEqual(self.stones(), stones)
        self.assertEqual(self.body("data-brain"), "ready", "the person is to move: the brain waits")
        stones, since = self.person_click(stones, 11, 7, "white")
        stones, _ = self.expect_brain_move(stones, "black", since, BRAIN_MS + REPLY_MARGIN_MS)
        link = self.driver.current_url
        self.driver.get("about:blank")
        self.open(link[len(self.base):])
        self.assertEqual(self.stones(), stones)
        self.driver.refresh()
        self.wait_for(lambda: self.body("data-ready-ms"), LOAD_TIMEOUT_S, "the engine to load")
        self.assertEqual(self.stones(), stones)

    def test_malformed_parameters_get_a_notice_and_their_default(self):
        self.open(f"?size=40&time={BRAIN_MS}&moves=7.7")
        notice = self.driver.find_element(By.ID, "notice")
        self.assertTrue(notice.is_displayed())
        self.assertIn('size "40"', notice.text)
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-point]")), 15 * 15)
        # Black's stone from the link stands; white, the brain, moves on load.
        stones, _ = self.expect_brain_move({"7,7": "black"}, "white", time.monotonic(), BRAIN_MS + REPLY_MARGIN_MS)
        x, y = next((x, y) for x, y in ((6, 6), (8, 8), (6, 8)) if f"{x},{y}" not in stones)
        self.person_click(stones, x, y, "black")

        self.open("?brain=green&moves=7.7_7.7")
        notice = self.driver.find_element(By.ID, "notice")
        self.assertIn('brain "green"', notice.text)
        self.assertIn("move 2", notice.text)
        self.assertEqual(self.stones(), {})
        self.assertIn("brain=white", self.driver.current_url)

    def test_hint_marks_a_point_and_places_no_stone(self):
        self.open(f"?brain=white&time={BRAIN_MS}&moves=7.7_8.8")
        self.button("hint").click()
        self.wait_for(lambda: self.driver.find_elements(By.CSS_SELECTOR, "[data-hint]"), 3, "the hint")
        hinted = self.driver.find_elements(By.CSS_SELECTOR, "[data-hint]")
        self.assertEqual(len(hinted), 1)
        self.assertIsNone(hinted[0].get_attribute("data-stone"))
        self.assertEqual(self.stones(), {"7,7": "black", "8,8": "white"})
        self.assertEqual(self.body("data-brain"), "ready")
        x, y = map(int, hinted[0].get_attribute("data-point").split(","))
        stones, since = self.person_click(self.stones(), x, y, "black")
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "[data-hint]"), [])
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)

    def test_move_now_plays_the_deepest_line_and_the_next_turn_runs(self):
        self.open("?brain=white&time=10000&moves=7.7_8.8_8.6")
        rows = lambda: self.driver.find_elements(By.CSS_SELECTOR, "#thinking tr")
        self.wait_for(lambda: len(rows()) >= 2, 5, "search lines")
        self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "[data-ghost]"), "the expected line on the board")
        before = self.stones()
        since = time.monotonic()
        self.button("stop").click()
        stones, point = self.expect_brain_move(before, "white", since, REPLY_MARGIN_MS)
        # The rows stop with the worker: the top one is what stop played.
        deepest = rows()[0].find_element(By.CSS_SELECTOR, ".line").get_attribute("title")
        self.assertEqual(deepest.split()[0], point_name(*map(int, point.split(",")), 15))
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "[data-ghost]"), [])

        Select(self.button("time")).select_by_value("500")
        x, y = next((x, y) for x, y in ((6, 6), (9, 7), (6, 8), (9, 9)) if f"{x},{y}" not in stones)
        stones, since = self.person_click(stones, x, y, "black")
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)

    def test_layout_fits_phone_and_desktop_widths(self):
        shots = os.environ.get("VANTREL_SCREENSHOTS")
        for width, height, mobile in ((360, 740, True), (390, 844, True), (1280, 900, False)):
            with self.subTest(width=width):
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
                self.open("?size=15&brain=white&time=10000&moves=7.7_8.8_8.6_6.8_7.6")
                self.wait_for(lambda: len(self.driver.find_elements(By.CSS_SELECTOR, "#thinking tr")) >= 3,
                              8, "search lines")
                overflow = self.driver.execute_script(
                    "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
                self.assertLessEqual(overflow, 0, "the page is wider than the viewport")
                board = self.driver.find_element(By.ID, "board").rect
                self.assertLessEqual(board["x"] + board["width"], width)
                if shots and width != 360:
                    os.makedirs(shots, exist_ok=True)
                    self.driver.save_screenshot(os.path.join(shots, f"thinking-{width}.png"))
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def main():
    global SITE_DIR
    if len(sys.argv) != 2 or not os.path.isfile(os.path.join(sys.argv[1], "index.html")):
        sys.exit("usage: browser_test.py <site dir with index.html>")
    SITE_DIR = os.path.abspath(sys.argv[1])
    program = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2)
    if READY_TIMES_MS:
        print(f"navigation start to engine ready: first load (empty cache) {READY_TIMES_MS[0]} ms; "
              f"median {statistics.median(READY_TIMES_MS):.0f} ms, min {min(READY_TIMES_MS)} ms, "
              f"max {max(READY_TIMES_MS)} ms over {len(READY_TIMES_MS)} loads")
    if REPLY_TIMES_MS:
        print(f"brain replies at {BRAIN_MS} ms a move: {len(REPLY_TIMES_MS)}, "
              f"median {statistics.median(REPLY_TIMES_MS):.0f} ms, max {max(REPLY_TIMES_MS):.0f} ms")
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
