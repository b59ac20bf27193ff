// The page's settings and game as URL parameters, so that a link shares a
// game and a reload restores it: size, rule, mode (play against the brain
// or analyse), brain (the colour Vantrel plays), time (milliseconds per
// brain move) and the moves, as pos (the players' notation, h8i9j10,
// written) or as moves (x.y pairs joined by "_" in protocol coordinates, as
// older links have them; read). Every value written is letters, digits and
// "=&?", so links stay readable. Reading never fails: each malformed
// parameter falls back to its default and leaves a notice in words for the
// page to show.

import { Game, MIN_SIZE, MAX_SIZE } from "./game.js";
import { formatMoves, parseMoves, pointName } from "./notation.js";
import { DEFAULT_RULE, RULES, ruleById } from "./rules.js";

export const MODES = ["play", "analysis"];
export const DEFAULTS = Object.freeze({ size: 15, rule: DEFAULT_RULE, mode: "play", brain: "white", time: 1000 });
export const MIN_TIME = 100;
export const MAX_TIME = 60000;
const BRAIN_COLOURS = ["black", "white"];
const MOVE_PATTERN = /^(\d+)\.(\d+)$/;

function wholeNumber(text) {
  return /^\d{1,9}$/.test(text) ? Number(text) : NaN;
}

// Per parameter: read(text), which answers the value or null, what is
// wrong with a value read as null, and what the page does instead.
const readers = {
  size: [(text) => { const n = wholeNumber(text); return n >= MIN_SIZE && n <= MAX_SIZE ? n : null; },
    `is not a board size from ${MIN_SIZE} to ${MAX_SIZE}`, `playing on ${DEFAULTS.size} x ${DEFAULTS.size}`],
  rule: [(text) => (ruleById(text) ? text : null),
    `is not one of ${RULES.map((rule) => rule.id).join(", ")}`, `playing ${DEFAULTS.rule}`],
  mode: [(text) => (MODES.includes(text) ? text : null), "is not play or analysis", `opening in ${DEFAULTS.mode}`],
  brain: [(text) => (BRAIN_COLOURS.includes(text) ? text : null),
    "is not black or white", `Vantrel plays ${DEFAULTS.brain}`],
  time: [(text) => { const n = wholeNumber(text); return n >= MIN_TIME && n <= MAX_TIME ? n : null; },
    `is not a time per move from ${MIN_TIME} to ${MAX_TIME} milliseconds`, `Vantrel takes ${DEFAULTS.time} ms a move`],
};

// The moves of an x.y_x.y list, or {index, token, problem} for the first
// token that is not a point written x.y.
function readPairs(text) {
  const moves = [];
  for (const [index, token] of text.split("_").entries()) {
    const match = MOVE_PATTERN.exec(token);
    const x = match ? wholeNumber(match[1]) : NaN;
    const y = match ? wholeNumber(match[2]) : NaN;
    if (!Number.isFinite(x) || !Number.isFinite(y)) return { index, token, problem: "is not a point written x.y" };
    moves.push({ x, y });
  }
  return { moves };
}

// The moves of a position string (the players' notation) played on a
// size x size board under the rule: {moves}, or {problem} in words naming
// the offending part, for a notice that begins 'The position "..." '.
export function readPosition(text, size, rule) {
  const parsed = parseMoves(text, size);
  if (parsed.problem) return { problem: `cannot be read: ${parsed.problem}` };
  const replay = Game.replay(parsed.moves, size, rule);
  if (replay.game) return { moves: replay.game.moves };
  const { x, y } = parsed.moves[replay.index];
  return { problem: `cannot be played: move ${replay.index + 1}, "${pointName(x, y, size).toLowerCase()}": ` +
    replay.problem };
}

// The moves are replayed on the board of the size and rule read, so a link
// cannot hold a position that play could not reach.
function readMoves(params, size, rule, notices, fallback) {
  const pos = params.get("pos");
  if (pos) {
    const position = readPosition(pos, size, rule);
    if (position.problem) notices.push(`The link's position "${pos}" ${position.problem}${fallback}`);
    return position.moves ?? [];
  }
  const text = params.get("moves");
  if (!text) return [];
  const pairs = readPairs(text);
  const replay = pairs.moves ? Game.replay(pairs.moves, size, rule) : pairs;
  if (replay.game) return replay.game.moves;
  const token = pairs.moves ? text.split("_")[replay.index] : pairs.token;
  notices.push(`The link's move ${replay.index + 1}, "${token}": ${replay.problem}${fallback}`);
  return [];
}

// {size, rule, mode, brain, time, moves, notices} from a location's search
// string. Each notice says what the page does instead, unless `loading`:
// then the caller loads nothing when there is one.
export function readState(search, { loading = false } = {}) {
  const params = new URLSearchParams(search);
  const notices = [];
  const instead = (what) => (loading ? "." : `; ${what}.`);
  const state = {};
  for (const [key, [read, problem, fallback]] of Object.entries(readers)) {
    const text = params.get(key);
    state[key] = text === null ? DEFAULTS[key] : read(text);
    if (state[key] === null) {
      notices.push(`The link's ${key} "${text}" ${problem}${instead(fallback)}`);
      state[key] = DEFAULTS[key];
    }
  }
  state.moves = readMoves(params, state.size, state.rule, notices, instead("starting from an empty board"));
  state.notices = notices;
  return state;
}

// The search string for a state.
export function writeState({ size, rule, mode, brain, time, moves }) {
  const parts = [`size=${size}`, `rule=${rule}`, `mode=${mode}`, `brain=${brain}`, `time=${time}`];
  if (moves.length > 0) parts.push(`pos=${formatMoves(moves, size)}`);
  return `?${parts.join("&")}`;
}
