#!/usr/bin/env python3
"""The page in a real browser: headless Chromium driven through Selenium
plays whole games against the WebAssembly brain under every rule, analyses
positions and uses every control, the way a person would, through the
page's stable hooks (data-brain on the body, data-point, data-stone,
data-forbidden and data-candidate on the points, #status with data-result,
#rule, #mode, #position, #evaluation with data-move, #thinking).

Usage: /usr/bin/python3 tests/web/browser_test.py <site dir> [test name...]
With VANTREL_SCREENSHOTS=<dir> it also saves screenshots at desktop and phone
width with an analysis running. It serves the site itself on 127.0.0.1 and
prints the measured times from navigation start to the engine being ready
and of the brain's replies.
"""
import functools
import http.server
import os
import random
import re
import statistics
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

SITE_DIR = None
BRAIN_MS = 500          # the time per brain move in the games
REPLY_MARGIN_MS = 400   # what a reply may take past that: worker messages, rendering, polling
POLL_S = 0.02
LOAD_TIMEOUT_S = 20
READY_TIMES_MS = []
REPLY_TIMES_MS = []
LABEL = re.compile(r"^(\d{1,3}%|[WL]\d+)$")

BOARD_JS = """
const stones = {}, forbidden = [];
for (const p of document.querySelectorAll('[data-stone]')) stones[p.dataset.point] = p.dataset.stone;
for (const p of document.querySelectorAll('[data-forbidden="true"]')) forbidden.push(p.dataset.point);
return [stones, forbidden];"""
# Times on the page's own clock, so that the harness's polling on a busy
# machine does not count: the last click, and when each stone appeared.
RECORDER_JS = """
window.recorder = {click: null, stones: {}};
document.addEventListener('click', () => { window.recorder.click = performance.now(); }, true);
new MutationObserver((records) => {
  const now = performance.now();
  for (const r of records) if (r.oldValue === null && r.target.dataset.stone) window.recorder.stones[r.target.dataset.point] = now;
}).observe(document.getElementById('board'),
  {attributes: true, attributeOldValue: true, subtree: true, attributeFilter: ['data-stone']});"""
CANDIDATES_JS = """
const found = {};
for (const p of document.querySelectorAll('[data-candidate]')) found[p.dataset.candidate] = [p.dataset.point, p.textContent];
return found;"""


def name(x, y, size=15):
    """A point in the players' notation: column letter, row from the bottom."""
    return "abcdefghijklmnopqrstuvwxyz"[x] + str(size - y)


def notation(black, white, size=15):
    """Black's and white's points alternately, black first."""
    moves = [p for pair in zip(black, white) for p in pair] + black[len(white):]
    return "".join(name(x, y, size) for x, y in moves)


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
        self.driver.execute_script(RECORDER_JS)
        ready_ms = self.wait_for(lambda: self.body("data-ready-ms"), LOAD_TIMEOUT_S, "the engine to load")
        READY_TIMES_MS.append(int(ready_ms))

    def last_click(self):
        return self.driver.execute_script("return window.recorder.click")

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
        return self.driver.execute_script(BOARD_JS)[0]

    def candidates(self):
        return self.driver.execute_script(CANDIDATES_JS)

    def point(self, x, y):
        return self.driver.find_element(By.CSS_SELECTOR, f'[data-point="{x},{y}"]')

    def element(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    def result(self):
        return self.element("status").get_attribute("data-result")

    def notice(self):
        notice = self.element("notice")
        return notice.text if notice.is_displayed() else ""

    def expect_brain_move(self, before, colour, since, limit_ms):
        """Waits for the brain's stone; checks it is one new stone of its
        colour on a point empty before and not marked forbidden meanwhile,
        arriving within limit_ms of since (the page's clock)."""
        forbidden = set()

        def moved():
            stones, marked = self.driver.execute_script(BOARD_JS)
            forbidden.update(marked)
            return stones if len(stones) > len(before) else None
        after = self.wait_for(moved, 5 + limit_ms / 1000, f"the brain's move ({self.notice()})")
        new = {point: stone for point, stone in after.items() if point not in before}
        self.assertEqual(len(after), len(before) + 1, f"one stone per brain turn, got {new}")
        self.assertEqual(list(new.values()), [colour])
        self.assertEqual({p: s for p, s in after.items() if p in before}, before, "stones already placed changed")
        point = next(iter(new))
        self.assertNotIn(point, forbidden, "the brain played a forbidden point")
        elapsed_ms = self.driver.execute_script("return window.recorder.stones[arguments[0]]", point) - since
        self.assertLessEqual(elapsed_ms, limit_ms, f"the brain's move took {elapsed_ms:.0f} ms")
        if limit_ms == BRAIN_MS + REPLY_MARGIN_MS:
            REPLY_TIMES_MS.append(elapsed_ms)
        return {**before, point: colour}, point

    def person_click(self, stones, x, y, person):
        self.point(x, y).click()
        since = self.last_click()
        expected = {**stones, f"{x},{y}": person}
        # The brain's reply may already be there: a forced answer comes in milliseconds.
        now = self.stones()
        self.assertEqual({p: now.get(p) for p in expected}, expected, "the person's stone")
        return expected, since

    # --- playing the brain -------------------------------------------------

    def test_whole_games_every_rule_both_colours(self):
        for size, rule, brain in ((15, "freestyle", "white"), (20, "freestyle", "black"), (15, "renju", "black"),
                                  (15, "standard", "white"), (15, "caro", "black")):
            with self.subTest(size=size, rule=rule, brain=brain):
                self.play_game(size, rule, brain, random.Random(f"{size}{rule}{brain}"))

    def play_game(self, size, rule, brain, rng):
        person = "black" if brain == "white" else "white"
        self.open(f"?size={size}&rule={rule}&brain={brain}&time={BRAIN_MS}")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-point]")), size * size)
        stones, last = {}, f"{size // 2},{size // 2}"
        if brain == "black":
            ready = float(self.body("data-ready-ms"))
            stones, last = self.expect_brain_move(stones, brain, ready, BRAIN_MS + REPLY_MARGIN_MS)
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
        self.assertIn(self.result(), ("black", "white", "draw"))
        self.assertEqual(self.notice(), "")
        # A finished game takes no more stones.
        x, y = next((x, y) for x in range(size) for y in range(size) if f"{x},{y}" not in stones)
        self.point(x, y).click()
        self.assertEqual(self.stones(), stones)

    def test_renju_forbidden_points_are_marked_and_refused(self):
        # Black to move; h8 would make two open threes, in its row and its column.
        black, white = [(5, 7), (6, 7), (7, 5), (7, 6)], [(14, 14), (14, 12), (12, 14), (12, 12)]
        self.open(f"?rule=renju&brain=white&time={BRAIN_MS}&pos={notation(black, white)}")
        self.wait_for(lambda: self.point(7, 7).get_attribute("data-forbidden") == "true", 5, "h8 marked forbidden")
        stones = self.stones()
        self.point(7, 7).click()
        self.assertIn("H8 is forbidden for black", self.wait_for(self.notice, 2, "the explanation"))
        self.assertEqual(self.stones(), stones)
        stones, since = self.person_click(stones, 9, 9, "black")
        self.assertEqual(self.notice(), "", "the explanation goes with the next move")
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "[data-forbidden]"), [], "white to move")
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        # Under free-style the same point is an ordinary move.
        Select(self.element("rule")).select_by_value("freestyle")
        self.assertIn("rule=freestyle", self.driver.current_url)

    def test_standard_and_caro_endings(self):
        # Standard: black's six is an ordinary move; exactly five wins.
        row = [(3, 7), (4, 7), (5, 7), (7, 7), (8, 7)]
        far = [(0, 0), (2, 0), (4, 0), (6, 0), (8, 0)]
        self.open(f"?rule=standard&mode=analysis&pos={notation(row, far)}")
        self.point(6, 7).click()
        self.assertIsNone(self.result(), "a six in standard")
        self.assertIn("white to move", self.element("status").text)
        self.open(f"?rule=standard&mode=analysis&pos={notation(row[:4], far[:4])}")
        self.point(6, 7).click()
        self.assertEqual(self.result(), "black")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-win]")), 5)
        # Caro: a five blocked at both ends goes on; one against the edge wins.
        black = [(2, 7), (3, 7), (4, 7), (5, 7), (0, 9), (1, 9), (2, 9), (3, 9)]
        white = [(1, 7), (7, 7), (5, 9), (10, 0), (12, 0), (14, 0), (10, 2), (12, 2)]
        self.open(f"?rule=caro&mode=analysis&pos={notation(black, white)}")
        self.point(6, 7).click()
        self.assertIsNone(self.result(), "a five blocked at both ends in caro")
        self.point(14, 2).click()
        self.point(4, 9).click()
        self.assertEqual(self.result(), "black")
        self.assertEqual("Black wins: five in a row.", self.element("status").text)

    def test_undo_after_the_reply_and_while_thinking(self):
        self.open(f"?brain=white&time={BRAIN_MS}")
        stones, since = self.person_click({}, 7, 7, "black")
        stones, _ = self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        before_person = dict(stones)
        stones, since = self.person_click(stones, 8, 8 if "8,8" not in stones else 6, "black")
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        self.element("undo").click()
        self.assertEqual(self.stones(), before_person)
        self.assertIn(f"pos={self.element('position').text}", self.driver.current_url)

        Select(self.element("time")).select_by_value("10000")
        stones, since = self.person_click(before_person, 6, 6 if "6,6" not in before_person else 5, "black")
        self.wait_for(lambda: self.body("data-brain") == "thinking", 2, "the brain to think")
        self.element("undo").click()
        self.assertEqual(self.stones(), before_person)
        self.wait_for(lambda: self.body("data-brain") == "ready", 1, "the stopped search")
        time.sleep(0.3)
        self.assertEqual(self.stones(), before_person, "no move after undo stopped the brain")

    def test_move_now_plays_the_deepest_line_and_keeps_the_engine(self):
        self.open("?brain=white&time=10000&pos=h8i7i9")
        rows = lambda: self.driver.find_elements(By.CSS_SELECTOR, "#thinking tr")
        self.wait_for(lambda: len(rows()) >= 2, 5, "search lines")
        self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "[data-ghost]"), "the expected line on the board")
        ready_ms = self.body("data-ready-ms")
        before = self.stones()
        self.element("stop").click()
        stones, point = self.expect_brain_move(before, "white", self.last_click(), REPLY_MARGIN_MS)
        deepest = rows()[0].find_element(By.CSS_SELECTOR, ".line").get_attribute("title")
        x, y = map(int, point.split(","))
        self.assertEqual(deepest.split()[0], name(x, y).upper())
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "[data-ghost]"), [])

        Select(self.element("time")).select_by_value("500")
        x, y = next((x, y) for x, y in ((6, 6), (9, 7), (6, 8), (9, 9)) if f"{x},{y}" not in stones)
        stones, since = self.person_click(stones, x, y, "black")
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        self.assertEqual(self.body("data-ready-ms"), ready_ms)

    def test_hint_marks_a_point_and_places_no_stone(self):
        self.open(f"?brain=white&time={BRAIN_MS}&pos=h8i7")
        self.element("hint").click()
        hinted = self.wait_for(lambda: self.driver.find_elements(By.CSS_SELECTOR, "[data-hint]"), 3, "the hint")
        self.assertEqual(len(hinted), 1)
        self.assertEqual(self.stones(), {"7,7": "black", "8,8": "white"})
        x, y = map(int, hinted[0].get_attribute("data-point").split(","))
        stones, since = self.person_click(self.stones(), x, y, "black")
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "[data-hint]"), [])
        self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)

    # --- analysis ----------------------------------------------------------

    def test_analysis_labels_lines_stop_and_stepping(self):
        self.open("?mode=analysis&pos=h8i9h10")
        self.assertEqual(Select(self.element("mode")).first_selected_option.get_attribute("value"), "analysis")
        self.wait_for(lambda: self.body("data-brain") == "analysing", 5, "the analysis")
        first = self.wait_for(lambda: c if len(c := self.candidates()) == 3 else None, 10, "three candidates")
        self.assertEqual(sorted(first), ["1", "2", "3"])
        for point, label in first.values():
            self.assertRegex(label, LABEL)
            self.assertNotIn(point, self.stones())
        depth = lambda: int(re.search(r"depth (\d+)", self.element("thinking-caption").text).group(1))
        start = self.wait_for(lambda: depth() if "depth" in self.element("thinking-caption").text else None, 10,
                              "a depth")
        self.wait_for(lambda: depth() >= start + 2, 20, "deeper iterations")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "#thinking tr[data-rank]")), 3)
        # The pointer on a label draws that candidate's line.
        best = self.driver.find_element(By.CSS_SELECTOR, '[data-candidate="1"]')
        ActionChains(self.driver).move_to_element(best).perform()
        self.wait_for(lambda: len(self.driver.find_elements(By.CSS_SELECTOR, "[data-ghost]")) >= 2, 2, "its line")
        ActionChains(self.driver).move_to_element(self.element("status")).perform()

        # The arrow key steps back where the board has no focus; the analysis follows.
        self.element("status").click()
        ActionChains(self.driver).send_keys(Keys.ARROW_LEFT).perform()
        self.assertEqual(self.stones(), {"7,7": "black", "8,6": "white"})
        self.assertIn("black to move", self.wait_for(lambda: self.element("thinking-caption").text, 1, "a caption"))
        self.wait_for(lambda: len(self.candidates()) == 3 and self.body("data-brain") == "analysing", 10,
                      "the analysis of the position before")
        self.element("back").click()
        self.assertIn("white to move", self.element("thinking-caption").text)
        self.wait_for(lambda: len(self.candidates()) == 3, 10, "the analysis after one stone")
        self.element("analyse").click()
        self.wait_for(lambda: self.body("data-brain") == "ready", 1, "the stop")
        self.assertEqual(len(self.candidates()), 3, "what was found stays")
        ActionChains(self.driver).send_keys(Keys.ARROW_RIGHT).perform()
        self.assertEqual(len(self.stones()), 2)
        self.assertEqual(len(self.candidates()), 3, "a position analysed before shows its candidates at once")
        self.assertEqual(self.body("data-brain"), "ready")

    def test_position_strings_in_and_out(self):
        self.open("?mode=analysis")
        field = self.element("position-input")
        field.send_keys("H8 i9, j10\n")
        self.assertEqual(self.element("position").text, "h8i9j10")
        self.assertEqual(self.stones(), {"7,7": "black", "8,6": "white", "9,5": "black"})
        self.assertIn("pos=h8i9j10", self.driver.current_url)
        for text, words in (("h8i9h8", 'move 3, "h8"'), ("h8i9x", '"x" has no row number'),
                            ("h8z9", '"z9" is not a point of the 15 x 15 board')):
            field.clear()
            field.send_keys(text + "\n")
            self.assertIn(words, self.notice())
            self.assertEqual(self.element("position").text, "h8i9j10", "nothing loaded")
            self.element("notice-close").click()
        field.clear()
        field.send_keys(f"{self.base}?size=20&rule=renju&pos=j10k11\n")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "[data-point]")), 400)
        self.assertEqual(self.element("position").text, "j10k11")
        self.assertEqual(Select(self.element("rule")).first_selected_option.get_attribute("value"), "renju")

    def test_evaluation_graph_after_a_few_moves(self):
        self.open(f"?brain=white&time={BRAIN_MS}")
        stones = {}
        for x, y in ((7, 7), (6, 6), (5, 8)):
            if f"{x},{y}" in stones:
                continue
            stones, since = self.person_click(stones, x, y, "black")
            stones, _ = self.expect_brain_move(stones, "white", since, BRAIN_MS + REPLY_MARGIN_MS)
        plotted = self.driver.find_elements(By.CSS_SELECTOR, "#evaluation [data-move]")
        moves = sorted(int(p.get_attribute("data-move")) for p in plotted)
        # Each brain turn rates the position it searched and the one after its move.
        self.assertTrue({1, 2, 3, 4, 5, 6} <= set(moves), moves)
        self.driver.find_element(By.CSS_SELECTOR, '#evaluation [data-move="3"]').click()
        self.assertEqual(Select(self.element("mode")).first_selected_option.get_attribute("value"), "analysis")
        self.assertEqual(len(self.stones()), 3)

    def test_touch_marks_first_and_plays_on_the_second_tap(self):
        self.open("?mode=analysis")
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 1})
        try:
            def tap(x, y):
                rect = self.driver.execute_script(
                    "const r = arguments[0].getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2];",
                    self.point(x, y))
                for kind, points in (("touchStart", [{"x": rect[0], "y": rect[1]}]), ("touchEnd", [])):
                    self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
            tap(7, 7)
            self.wait_for(lambda: self.point(7, 7).get_attribute("data-pending"), 2, "the mark")
            self.assertEqual(self.stones(), {})
            tap(8, 8)
            self.wait_for(lambda: self.point(8, 8).get_attribute("data-pending"), 2, "the mark moved")
            self.assertIsNone(self.point(7, 7).get_attribute("data-pending"))
            tap(8, 8)
            self.wait_for(lambda: self.stones() == {"8,8": "black"}, 2, "the stone")
        finally:
            self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})

    # --- links and layout --------------------------------------------------

    def test_links_reload_the_same_game_and_malformed_ones_say_why(self):
        self.open(f"?size=20&brain=black&time={BRAIN_MS}&moves=9.9_10.10_10.8")
        stones = {"9,9": "black", "10,10": "white", "10,8": "black"}
        self.assertEqual(self.stones(), stones)
        self.assertEqual(self.body("data-brain"), "ready", "the person is to move: the brain waits")
        stones, since = self.person_click(stones, 11, 7, "white")
        stones, _ = self.expect_brain_move(stones, "black", since, BRAIN_MS + REPLY_MARGIN_MS)
        link = self.driver.current_url
        self.assertIn("pos=", link)
        self.driver.get("about:blank")
        self.open(link[len(self.base):])
        self.assertEqual(self.stones(), stones)

        self.open("?size=40&rule=gomoku&pos=h8h8")
        notice = self.notice()
        for words in ('size "40"', 'rule "gomoku"', 'move 2, "h8"'):
            self.assertIn(words, notice)
        self.assertEqual(self.stones(), {})
        self.assertIn("size=15&rule=freestyle", self.driver.current_url)

    def test_layout_fits_phone_and_desktop_widths(self):
        shots = os.environ.get("VANTREL_SCREENSHOTS")
        for width, height, mobile in ((360, 740, True), (390, 844, True), (1280, 900, False)):
            with self.subTest(width=width):
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
                self.open("?size=15&mode=analysis&pos=h8i9h10g7")
                self.wait_for(lambda: len(self.candidates()) == 3, 10, "the candidates")
                overflow = self.driver.execute_script(
                    "return document.documentElement.scrollWidth - document.documentElement.clientWidth")
                self.assertLessEqual(overflow, 0, "the page is wider than the viewport")
                board = self.element("board").rect
                self.assertLessEqual(board["x"] + board["width"], width)
                if shots and width != 360:
                    os.makedirs(shots, exist_ok=True)
                    self.driver.save_screenshot(os.path.join(shots, f"analysis-{width}.png"))
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def main():
    global SITE_DIR
    if len(sys.argv) < 2 or not os.path.isfile(os.path.join(sys.argv[1], "index.html")):
        sys.exit("usage: browser_test.py <site dir with index.html> [test name...]")
    SITE_DIR = os.path.abspath(sys.argv[1])
    program = unittest.main(argv=sys.argv[:1] + sys.argv[2:], exit=False, verbosity=2)
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
