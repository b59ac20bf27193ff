// The rules the page plays by, and the one judgement it makes itself: does
// a move win? Each of the four lines through the new stone is read as the
// unbroken run of the mover's stones through it and the two cells just
// beyond its ends; an opponent's stone on such a cell blocks that end, the
// board's edge does not. Which fouls black may not play in renju is the
// engine's judgement, asked through the protocol (YXSHOWFORBID); the page
// never guesses it. tests/data/win_rule_cases.txt holds the cases that
// both this port and the engine are held to.

import { EMPTY, WHITE } from "./colours.js";

// id: the page's name (the link's rule=); info: the protocol's INFO rule.
export const RULES = Object.freeze([
  { id: "freestyle", name: "Free-style", info: 0, summary: "Five or more in a row wins." },
  { id: "standard", name: "Standard", info: 1,
    summary: "Exactly five in a row wins; six or more is an ordinary move." },
  { id: "renju", name: "Renju", info: 4,
    summary: "White wins with five or more, black with exactly five; black may not make an overline, " +
      "a double four or a double three." },
  { id: "caro", name: "Caro", info: 8,
    summary: "Five in a row wins unless an opponent's stone blocks both ends; six or more always wins." },
]);

export const DEFAULT_RULE = "freestyle";

export function ruleById(id) {
  return RULES.find((rule) => rule.id === id) ?? null;
}

const FIVE = 5;

// Whether a run of `length` stones of `colour` through the new stone, with
// `blockedEnds` (0 to 2) of its ends against an opponent's stone, wins.
export function runWins(ruleId, colour, length, blockedEnds) {
  switch (ruleId) {
    case "standard": return length === FIVE;
    case "renju": return colour === WHITE ? length >= FIVE : length === FIVE;
    case "caro": return length > FIVE || (length === FIVE && blockedEnds < 2);
    default: return length >= FIVE;
  }
}

const DIRECTIONS = [[1, 0], [0, 1], [1, 1], [1, -1]];

// The stones of every winning line through the stone at x,y (the mover's),
// on `board`: {size, stoneAt(x, y)}. Empty when
// the move does not win.
export function winningStones(board, x, y, ruleId) {
  const colour = board.stoneAt(x, y);
  const inside = (cx, cy) => cx >= 0 && cy >= 0 && cx < board.size && cy < board.size;
  const stones = [];
  for (const [dx, dy] of DIRECTIONS) {
    const run = [{ x, y }];
    let blockedEnds = 0;
    for (const sign of [1, -1]) {
      let cx = x + sign * dx;
      let cy = y + sign * dy;
      while (inside(cx, cy) && board.stoneAt(cx, cy) === colour) {
        run.push({ x: cx, y: cy });
        cx += sign * dx;
        cy += sign * dy;
      }
      if (inside(cx, cy) && board.stoneAt(cx, cy) !== EMPTY) blockedEnds++;
    }
    if (runWins(ruleId, colour, run.length, blockedEnds)) stones.push(...(stones.length ? run.slice(1) : run));
  }
  return stones;
}
