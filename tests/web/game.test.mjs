// The game: wins along real lines of the board only, a draw on a full
// board, taking moves back, black's fouls in renju as the engine gives them.
import { test } from "node:test";
import assert from "node:assert/strict";
import { BLACK, EMPTY, WHITE } from "../../web/colours.js";
import { Game } from "../../web/game.js";
import { pointName } from "../../web/notation.js";

// Plays black's stones with white answering far away in the top rows.
function blackLine(game, blackPoints, whitePoints) {
  blackPoints.forEach(([x, y], i) => {
    game.play(x, y);
    if (i < blackPoints.length - 1) game.play(...whitePoints[i]);
  });
}

const sorted = (stones) => stones.map(({ x, y }) => `${x},${y}`).sort();

test("five in a row wins with exactly its stones; four does not", () => {
  const game = new Game(15);
  blackLine(game, [[3, 7], [4, 8], [5, 9], [6, 10]], [[0, 0], [1, 0], [2, 0]]);
  assert.equal(game.result, null);
  game.play(0, 1);
  game.play(7, 11);
  assert.equal(game.result.winner, BLACK);
  assert.deepEqual(sorted(game.result.stones), ["3,7", "4,8", "5,9", "6,10", "7,11"]);
  assert.throws(() => game.play(9, 9), /over/);
});

test("an overline wins and the gap that joins it is counted both ways", () => {
  const game = new Game(15);
  blackLine(game, [[0, 5], [1, 5], [2, 5], [4, 5], [5, 5], [3, 5]], [[0, 0], [2, 0], [4, 0], [6, 0], [8, 0]]);
  assert.equal(game.result.winner, BLACK);
  assert.equal(game.result.stones.length, 6);
});

test("runs stop at the board's edges and never wrap to the next row or column", () => {
  const wrapped = new Game(15);
  blackLine(wrapped, [[12, 3], [13, 3], [14, 3], [0, 4], [1, 4]], [[5, 9], [7, 9], [9, 9], [11, 9]]);
  assert.equal(wrapped.result, null);
  const vertical = new Game(15);
  blackLine(vertical, [[0, 12], [0, 13], [0, 14], [1, 0], [1, 1]], [[5, 9], [7, 9], [9, 9], [11, 9]]);
  assert.equal(vertical.result, null);

  const corner = new Game(5);
  blackLine(corner, [[4, 0], [3, 1], [2, 2], [1, 3], [0, 4]], [[0, 0], [1, 0], [2, 0], [0, 1]]);
  assert.equal(corner.result.winner, BLACK);
  assert.deepEqual(sorted(corner.result.stones), ["0,4", "1,3", "2,2", "3,1", "4,0"]);
});

test("a full board without five is a draw", () => {
  // Colours by (x + 2y) mod 4: 13 black, 12 white, no five in any line.
  const cells = { [BLACK]: [], [WHITE]: [] };
  for (let y = 0; y < 5; y++) for (let x = 0; x < 5; x++) cells[(x + 2 * y) % 4 < 2 ? BLACK : WHITE].push([x, y]);
  const game = new Game(5);
  for (let i = 0; i < 25; i++) {
    assert.equal(game.result, null);
    game.play(...cells[i % 2 === 0 ? BLACK : WHITE][i >> 1]);
  }
  assert.deepEqual(game.result, { winner: EMPTY, stones: [], reason: "full" });
});

test("undo empties the point, gives back the turn and reopens a won game", () => {
  const game = new Game(15);
  assert.equal(game.undo(), null);
  blackLine(game, [[0, 0], [1, 0], [2, 0], [3, 0], [4, 0]], [[0, 9], [1, 9], [2, 9], [3, 9]]);
  assert.equal(game.over, true);
  assert.deepEqual(game.undo(), { x: 4, y: 0 });
  assert.equal(game.over, false);
  assert.equal(game.turn, BLACK);
  assert.equal(game.stoneAt(4, 0), EMPTY);
  assert.deepEqual(game.lastMove, { x: 3, y: 9 });
  game.play(4, 0);
  assert.equal(game.result.winner, BLACK);
});

test("refused moves and point names", () => {
  const game = new Game(15);
  game.play(7, 7);
  assert.match(game.refusal(7, 7), /H8 is already taken/);
  assert.match(game.refusal(15, 0), /off/);
  assert.match(game.refusal(-1, 3), /off/);
  assert.throws(() => new Game(33), RangeError);
  assert.equal(pointName(7, 7, 15), "H8");
  assert.equal(pointName(27, 0, 32), "AB32");
});
