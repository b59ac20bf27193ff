// Links: a state written and read back is the same state, and each kind of
// malformed parameter falls back to its own default with a notice naming it
// while the other parameters are kept.
import { test } from "node:test";
import assert from "node:assert/strict";
import { DEFAULTS, readState, writeState } from "../../web/url_state.js";

test("a written state reads back the same, in plain x.y_x.y notation", () => {
  const state = { size: 20, brain: "black", time: 2500, moves: [{ x: 7, y: 7 }, { x: 8, y: 8 }, { x: 19, y: 0 }] };
  const search = writeState(state);
  assert.equal(search, "?size=20&brain=black&time=2500&moves=7.7_8.8_19.0");
  assert.deepEqual(readState(search), { ...state, notices: [] });
  assert.equal(writeState({ ...DEFAULTS, moves: [] }), "?size=15&brain=white&time=1000");
});

test("no parameters or an empty move list give the defaults without a notice", () => {
  assert.deepEqual(readState(""), { ...DEFAULTS, moves: [], notices: [] });
  assert.deepEqual(readState("?moves=").moves, []);
});

test("a malformed setting falls back to its default alone", () => {
  const kept = { size: "9", brain: "black", time: "700" };
  const cases = [
    ["size", "40"], ["size", "4"], ["size", "abc"], ["size", ""],
    ["brain", "red"], ["brain", "White"],
    ["time", "50"], ["time", "1e3"], ["time", "60001"],
  ];
  for (const [key, value] of cases) {
    const state = readState(`?${new URLSearchParams({ ...kept, [key]: value, moves: "4.4" })}`);
    assert.equal(state[key], DEFAULTS[key], `${key}=${value}`);
    assert.equal(state.notices.length, 1);
    assert.ok(state.notices[0].includes(`${key} "${value}"`), state.notices[0]);
    for (const other of Object.keys(kept).filter((k) => k !== key)) assert.equal(String(state[other]), kept[other]);
    assert.deepEqual(state.moves, [{ x: 4, y: 4 }]);
  }
});

test("a move list that play could not reach gives an empty board and says which move", () => {
  const five = "0.0_0.1_1.0_1.1_2.0_2.1_3.0_3.1_4.0";
  const cases = [
    ["7.7_8.8_7.7", 3, "taken"],
    ["7.7_15.0", 2, "off the 15 x 15"],
    ["7,7", 1, "x.y"],
    ["7.7__8.8", 2, "x.y"],
    ["-1.0", 1, "x.y"],
    [`${five}_9.9`, 10, "ended"],
  ];
  for (const [moves, index, words] of cases) {
    const state = readState(`?moves=${moves}`);
    assert.deepEqual(state.moves, [], moves);
    assert.equal(state.notices.length, 1, moves);
    assert.ok(state.notices[0].includes(`move ${index},`) && state.notices[0].includes(words), state.notices[0]);
  }
  assert.equal(readState(`?moves=${five}`).moves.length, 9);
  // Moves are checked on the board actually used: the fallback size.
  const fallback = readState("?size=99&moves=7.7_18.18");
  assert.equal(fallback.size, 15);
  assert.deepEqual(fallback.moves, []);
  assert.equal(fallback.notices.length, 2);
});
