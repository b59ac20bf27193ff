// Links and the players' notation: a state written and read back is the
// same state; a malformed parameter falls back to its own default with a
// notice naming it while the others are kept; a position string that is not
// a game names its offending part.
import { test } from "node:test";
import assert from "node:assert/strict";
import { formatMoves, parseMoves } from "../../web/notation.js";
import { DEFAULTS, readState, writeState } from "../../web/url_state.js";

test("a written state reads back the same, its moves in the players' notation", () => {
  const state = { size: 20, rule: "renju", mode: "analysis", brain: "black", time: 2500,
    moves: [{ x: 7, y: 7 }, { x: 8, y: 8 }, { x: 19, y: 0 }, { x: 0, y: 19 }] };
  const search = writeState(state);
  assert.equal(search, "?size=20&rule=renju&mode=analysis&brain=black&time=2500&pos=h13i12t20a1");
  assert.deepEqual(readState(search), { ...state, notices: [] });
  assert.deepEqual(readState(""), { ...DEFAULTS, moves: [], notices: [] });
  // Older links give the moves as x.y pairs; pos wins when both are there.
  assert.deepEqual(readState("?moves=7.7_8.8").moves, [{ x: 7, y: 7 }, { x: 8, y: 8 }]);
  assert.deepEqual(readState("?moves=7.7&pos=a15").moves, [{ x: 0, y: 0 }]);
});

test("the notation: capitals and separators read, columns past z, every kind of bad part named", () => {
  assert.deepEqual(parseMoves(" H8, i9 j10 ", 15).moves, [{ x: 7, y: 7 }, { x: 8, y: 6 }, { x: 9, y: 5 }]);
  const wide = [{ x: 26, y: 0 }, { x: 31, y: 31 }];
  assert.equal(formatMoves(wide, 32), "aa32af1");
  assert.deepEqual(parseMoves("aa32af1", 32).moves, wide);
  assert.deepEqual(parseMoves("", 15).moves, []);
  const problems = [
    ["h8i", '"i" has no row number'],
    ["h8#9j10", '"#9" is not a point'],
    ["h8p8", '"p8" is not a point of the 15 x 15 board'],
    ["h8h16", '"h16" is not a point of the 15 x 15 board'],
    ["h0", '"h0" is not a point'],
    ["zz9", '"zz9" is not a point'],
  ];
  for (const [text, words] of problems) assert.ok(parseMoves(text, 15).problem.startsWith(words), text);
});

test("a malformed setting falls back to its default alone", () => {
  const kept = { size: "9", rule: "caro", mode: "analysis", brain: "black", time: "700" };
  const cases = [
    ["size", "40"], ["size", "4"], ["size", "abc"], ["size", ""],
    ["rule", "gomoku"], ["rule", "Renju"], ["mode", "watch"],
    ["brain", "red"], ["time", "50"], ["time", "1e3"], ["time", "60001"],
  ];
  for (const [key, value] of cases) {
    const state = readState(`?${new URLSearchParams({ ...kept, [key]: value, pos: "e5" })}`);
    assert.equal(state[key], DEFAULTS[key], `${key}=${value}`);
    assert.equal(state.notices.length, 1);
    assert.ok(state.notices[0].includes(`${key} "${value}"`), state.notices[0]);
    for (const other of Object.keys(kept).filter((k) => k !== key)) assert.equal(String(state[other]), kept[other]);
    assert.equal(state.moves.length, 1);
  }
});

test("moves that play could not make give an empty board and say which move", () => {
  const five = "a1a3b1b3c1c3d1d3e1";
  const cases = [
    ["?pos=h8i9h8", 'move 3, "h8": H8 is already taken'],
    ["?pos=h8q9", '"q9" is not a point of the 15 x 15 board'],
    [`?pos=${five}j10`, "move 10, \"j10\": the game is already over"],
    ["?moves=7.7_8.8_7.7", 'move 3, "7.7": H8 is already taken'],
    ["?moves=7.7__8.8", 'move 2, "": is not a point written x.y'],
    ["?moves=7.7_15.0", 'move 2, "15.0": 15,0 is off the 15 x 15 board'],
  ];
  for (const [search, words] of cases) {
    const state = readState(search);
    assert.deepEqual(state.moves, [], search);
    assert.equal(state.notices.length, 1, search);
    assert.ok(state.notices[0].includes(words), state.notices[0]);
  }
  assert.equal(readState(`?pos=${five}`).moves.length, 9);
  // Moves are checked under the rule read: a six is no win in standard.
  const six = "a1a3b1b3c1c3e1e3f1f3d1";
  assert.equal(readState(`?rule=standard&pos=${six}j10`).moves.length, 12);
  assert.equal(readState(`?pos=${six}j10`).notices.length, 1);
  // and on the board actually used: the fallback size.
  const fallback = readState("?size=99&pos=h8s19");
  assert.equal(fallback.size, 15);
  assert.deepEqual(fallback.moves, []);
  assert.equal(fallback.notices.length, 2);
});
