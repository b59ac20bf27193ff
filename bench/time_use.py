#!/usr/bin/env python3
"""Time use of the real brain, measured as a manager sees it.

Subcommands (the brain is the built pbrain-vantrel, first argument):
  positions BRAIN OUT [COUNT]   self-play at a fixed depth from seeded openings,
                                keeping quiet 20x20 middle-game positions (no
                                four, no open three, no decided score) in OUT
  limits BRAIN POSITIONS [MS..] each position sent by BOARD under timeout_turn
                                MS (default 100 300 1000); the reply is timed
                                from the last byte of DONE. Prints per limit
                                the median share of the limit used, the median
                                and worst latency past the search's stop time
                                and the number of late replies
  yxstop BRAIN POSITIONS        YXSTOP sent 200 ms into a long turn: time from
                                the last byte of YXSTOP to the move
  match BRAIN [GAMES]           brain against brain with a match clock of 10 s
                                and 1000 ms per turn; the manager's time_left
                                falls with every reply: late replies, smallest
                                time left, worst reply against min(turn, left)

The stop time is the limit less the reply reserve that protocol/turn_budget.h
defines (read from the header, so the two cannot drift apart). Run it with
and without load (for example two `yes >/dev/null` beside it) and compare.
"""
import os
import random
import re
import select
import statistics
import subprocess
import sys
import time

SIZE = 20
HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "protocol", "turn_budget.h")


def reserve_constants():
    text = open(HEADER).read()

    def value(name):
        return int(re.search(r"\b%s\s*=\s*(\d+)" % name, text).group(1))

    return value("RESERVE_FIXED_MS"), value("RESERVE_SHARE")


def reply_reserve(limit):
    fixed, share = reserve_constants()
    return fixed + limit // share


class Brain:
    def __init__(self, path):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, bufsize=0)
        self.buffer = b""

    def send(self, *lines):
        self.proc.stdin.write(("".join(line + "\n" for line in lines)).encode())

    def line(self, timeout=30.0):
        """The next line and the monotonic time it was complete."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                raise TimeoutError("no reply")
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise EOFError("brain ended")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode().rstrip("\r"), time.monotonic()

    def reply(self, timeout=30.0):
        """The next line that is not MESSAGE, its time, and the MESSAGE lines before it."""
        messages = []
        while True:
            line, at = self.line(timeout)
            if not line.startswith("MESSAGE"):
                return line, at, messages
            messages.append(line)

    def close(self):
        try:
            self.send("END")
            self.proc.wait(5)
        except Exception:
            self.proc.kill()


def board_lines(stones):
    """BOARD block for the side to move: its stones 1, the others 2."""
    mover = len(stones) % 2
    return ["BOARD"] + ["%d,%d,%d" % (x, y, 1 if i % 2 == mover else 2) for i, (x, y) in enumerate(stones)] + ["DONE"]


def last_depth_and_score(messages):
    for m in reversed(messages):
        f = m.split()
        if len(f) > 4 and f[1] == "depth":
            return int(f[2]), int(f[4])
    return 0, None


def quiet(stones):
    """No four (four stones and an empty point in five) and no open three for either side."""
    cell = {}
    for i, p in enumerate(stones):
        cell[p] = i % 2
    at = lambda x, y: cell.get((x, y), 2) if 0 <= x < SIZE and 0 <= y < SIZE else 3
    for x in range(SIZE):
        for y in range(SIZE):
            for dx, dy in ((1, 0), (0, 1), (1, 1), (1, -1)):
                five = [at(x + k * dx, y + k * dy) for k in range(5)]
                for side in (0, 1):
                    if five.count(side) == 4 and five.count(2) == 1:
                        return False
                six = [at(x + k * dx, y + k * dy) for k in range(6)]
                inner = six[1:5]
                for side in (0, 1):
                    if six[0] == 2 and six[5] == 2 and inner.count(side) == 3 and inner.count(2) == 1:
                        return False
    return True


def cmd_positions(brain_path, out, count=20):
    count = int(count)
    found = []
    rng = random.Random(20261209)
    brain = Brain(brain_path)
    brain.send("INFO max_depth 6", "INFO timeout_turn 30000")
    while len(found) < count:
        c = SIZE // 2
        stones = []
        while len(stones) < 3:
            p = (c + rng.randint(-2, 2), c + rng.randint(-2, 2))
            if p not in stones:
                stones.append(p)
        target = rng.randint(16, 36)
        for ply in range(40):
            brain.send("START %d" % SIZE)
            brain.reply()
            brain.send(*board_lines(stones))
            move, _, messages = brain.reply()
            depth, score = last_depth_and_score(messages)
            if depth and abs(score) < 20000 and len(stones) >= target and quiet(stones):
                found.append(list(stones))
                break
            x, y = map(int, move.split(","))
            stones.append((x, y))
            if depth == 0 or abs(score or 0) >= 20000:
                break
    brain.close()
    with open(out, "w") as f:
        for stones in found:
            f.write(" ".join("%d,%d" % p for p in stones) + "\n")
    print("%d positions, %s stones" % (len(found), [len(s) for s in found]))


def read_positions(path):
    return [[tuple(map(int, p.split(","))) for p in line.split()] for line in open(path) if line.strip()]


def cmd_limits(brain_path, positions, *limits):
    limits = [int(v) for v in limits] or [100, 300, 1000]
    games = read_positions(positions)
    brain = Brain(brain_path)
    for limit in limits:
        stop = limit - reply_reserve(limit)
        shares, overruns, depths, late = [], [], [], 0
        for stones in games:
            brain.send("INFO timeout_turn %d" % limit, "INFO time_left 2147483647", "START %d" % SIZE)
            brain.reply()
            brain.send(*board_lines(stones))
            sent = time.monotonic()
            _, at, messages = brain.reply()
            took = (at - sent) * 1000
            shares.append(took / limit)
            overruns.append(took - stop)
            depths.append(last_depth_and_score(messages)[0])
            late += took > limit
        print("limit %5d ms: median share %.1f%%, worst reply %.1f ms, latency past the stop time median %.1f ms "
              "worst %.1f ms, late %d of %d, median depth %d" %
              (limit, 100 * statistics.median(shares), limit * max(shares), statistics.median(overruns),
               max(overruns), late, len(games), statistics.median(depths)))
    brain.close()


def cmd_yxstop(brain_path, positions):
    games = read_positions(positions)
    brain = Brain(brain_path)
    latencies = []
    for stones in games:
        brain.send("INFO timeout_turn 20000", "START %d" % SIZE)
        brain.reply()
        brain.send(*board_lines(stones))
        time.sleep(0.2)
        brain.send("YXSTOP")
        sent = time.monotonic()
        _, at, _ = brain.reply()
        latencies.append((at - sent) * 1000)
    brain.close()
    print("YXSTOP to move: median %.1f ms, worst %.1f ms over %d turns" %
          (statistics.median(latencies), max(latencies), len(latencies)))


def five_at(board, x, y):
    side = board[(x, y)]
    for dx, dy in ((1, 0), (0, 1), (1, 1), (1, -1)):
        run = 1
        for sgn in (1, -1):
            k = 1
            while board.get((x + sgn * k * dx, y + sgn * k * dy)) == side:
                run += 1
                k += 1
        if run >= 5:
            return True
    return False


def cmd_match(brain_path, games=2, turn_ms=1000, match_ms=10000):
    games, turn_ms, match_ms = int(games), int(turn_ms), int(match_ms)
    late, worst, smallest_left, replies = 0, -1e9, match_ms, 0
    for g in range(games):
        brains = [Brain(brain_path), Brain(brain_path)]
        left = [float(match_ms), float(match_ms)]
        for b in brains:
            b.send("INFO timeout_turn %d" % turn_ms, "INFO timeout_match %d" % match_ms, "START %d" % SIZE)
            b.reply()
        board, last = {}, None
        for ply in range(SIZE * SIZE):
            mover = (ply + g) % 2
            b = brains[mover]
            b.send("INFO time_left %d" % int(left[mover]))
            b.send("BEGIN" if last is None else "TURN %d,%d" % last)
            sent = time.monotonic()
            move, at, _ = b.reply(turn_ms / 1000 + 5)
            took = (at - sent) * 1000
            limit = min(turn_ms, left[mover])
            worst = max(worst, took - limit)
            late += took > limit
            replies += 1
            left[mover] -= took
            smallest_left = min(smallest_left, left[mover])
            x, y = map(int, move.split(","))
            assert (x, y) not in board and 0 <= x < SIZE and 0 <= y < SIZE, "illegal move %s" % move
            board[(x, y)] = mover
            last = (x, y)
            if five_at(board, x, y):
                break
        for b in brains:
            b.close()
    print("match clock %d ms, %d ms per turn: %d replies, late %d, smallest time left %.0f ms, "
          "worst reply against min(turn, left) %+.1f ms" % (match_ms, turn_ms, replies, late, smallest_left, worst))


if __name__ == "__main__":
    commands = {"positions": cmd_positions, "limits": cmd_limits, "yxstop": cmd_yxstop, "match": cmd_match}
    if len(sys.argv) < 3 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](*sys.argv[2:])
