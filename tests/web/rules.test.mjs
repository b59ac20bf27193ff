// The page's win rule against the shared cases of tests/data/win_rule_cases.txt,
// each laid along all four lines of a board (against its edge where the
// case says so), and black's fouls in renju as the game takes them from the
// engine.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { BLACK, EMPTY, WHITE } from "../../web/colours.js";
import { Game } from "../../web/game.js";
import { winningStones } from "../../web/rules.js";

const CASES = readFileSync(new URL("../data/win_rule_cases.txt", import.meta.url), "utf8")
  .split("\n").filter((line) => line.trim() && !line.startsWith("#"))
  .map((line) => {
    const [rule, cells, verdict] = line.trim().split(/\s+/);
    return { rule, cells, verdict };
  });
const STONES = { x: BLACK, X: BLACK, o: WHITE, O: WHITE, ".": EMPTY };

// A board holding the case's cells from (x0, y0) along (dx, dy), the move's
// point, and whether the edges fell where the case put them.
function layOut({ cells }, [dx, dy]) {
  const leftEdge = cells.startsWith("|");
  const rightEdge = cells.endsWith("|");
  const line = cells.replace(/\|/g, "");
  const size = leftEdge && rightEdge ? line.length : 15;
  // Cells not written stay empty: two points of room unless an edge is meant.
  const start = leftEdge ? 0 : rightEdge ? size - line.length : 2;
  const middle = size >> 1;
  const origin = (t) => ({
    x: dx === 0 ? middle : start + t,
    y: dy === 0 ? middle : dy > 0 ? start + t : size - 1 - start - t,
  });
  const grid = new Uint8Array(size * size);
  let move = null;
  [...line].forEach((cell, t) => {
    const { x, y } = origin(t);
    grid[y * size + x] = STONES[cell];
    if (cell === "X" || cell === "O") move = { x, y };
  });
  return { board: { size, stoneAt: (x, y) => grid[y * size + x] }, move };
}

test("the shared cases, along every line of the board", () => {
  assert.ok(CASES.length >= 20);
  for (const c of CASES) {
    assert.ok(["five", "none"].includes(c.verdict), `${c.rule} ${c.cells}`);
    for (const direction of [[1, 0], [0, 1], [1, 1], [1, -1]]) {
      const { board, move } = layOut(c, direction);
      const stones = winningStones(board, move.x, move.y, c.rule);
      assert.equal(stones.length > 0 ? "five" : "none", c.verdict, `${c.rule} ${c.cells} along ${direction}`);
    }
  }
});

// Black's stones at `black` and white's at `white`, alternately, black first.
function position(rule, black, white) {
  const game = new Game(15, rule);
  black.forEach((point, i) => {
    game.play(...point);
    if (i < white.length) game.play(...white[i]);
  });
  return game;
}

test("renju: black's exactly five wins though the move also makes an overline", () => {
  // Row 7: x x x . x x (the gap at 3 makes six); column 3: four above it.
  const black = [[0, 7], [1, 7], [2, 7], [4, 7], [5, 7], [3, 3], [3, 4], [3, 5], [3, 6], [3, 7]];
  const white = [[14, 0], [12, 0], [10, 0], [8, 0], [6, 0], [14, 14], [12, 14], [10, 14], [8, 14]];
  const game = position("renju", black, white);
  assert.equal(game.result.winner, BLACK);
  assert.deepEqual(game.result.stones.map(({ x, y }) => `${x},${y}`).sort(), ["3,3", "3,4", "3,5", "3,6", "3,7"]);
  // The same stones in standard: the five in the column wins there too, the row's six is no five.
  assert.equal(position("standard", black, white).result.stones.length, 5);
});

test("renju: forbidden points are refused while black is to move; a foul ends the game", () => {
  const game = position("renju", [[7, 7]], [[8, 8]]);
  assert.equal(game.fouls, true);
  game.setForbidden([{ x: 6, y: 6 }]);
  assert.match(game.refusal(6, 6), /G9 is forbidden for black/);
  assert.throws(() => game.play(6, 6), /forbidden/);
  game.play(6, 7);
  assert.equal(game.fouls, false, "white to move");
  assert.equal(game.forbidden, null, "a move clears the points");
  assert.equal(game.refusal(6, 6), null);
  game.play(6, 6);
  game.setForbidden([{ x: 5, y: 5 }]);
  game.playFoul(5, 5);
  assert.deepEqual(game.result, { winner: WHITE, stones: [{ x: 5, y: 5 }], reason: "foul" });
  assert.match(game.resultReason(), /black's move 5 at F10 was forbidden/);
  assert.equal(game.undo().x, 5);
  assert.equal(game.over, false);

  const freestyle = new Game(15);
  freestyle.setForbidden([{ x: 7, y: 7 }]);
  assert.equal(freestyle.refusal(7, 7), null, "no fouls outside renju");
});

test("a replayed game names its first move that play could not make", () => {
  const moves = [{ x: 7, y: 7 }, { x: 8, y: 8 }, { x: 7, y: 7 }];
  assert.deepEqual(Game.replay(moves, 15, "freestyle"), { index: 2, problem: "H8 is already taken" });
  const five = [0, 1, 2, 3, 4].flatMap((x) => [{ x, y: 0 }, { x, y: 5 }]).slice(0, 9);
  assert.equal(Game.replay(five, 15, "freestyle").game.over, true);
  assert.equal(Game.replay([...five, { x: 9, y: 9 }], 15, "freestyle").problem, "the game is already over");
});
