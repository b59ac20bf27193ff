// The page's settings and position as URL parameters, so that a link shares
// a game and a reload restores it: size, brain (the colour Vantrel plays),
// time (milliseconds per brain move) and moves (x.y pairs joined by "_", in
// protocol coordinates; "." and "_" are never percent-encoded, so links stay
// readable). Reading never fails: each malformed parameter falls back to its
// default and leaves a notice in words for the page to show.

import { Game, MIN_SIZE, MAX_SIZE } from "./game.js";

export const DEFAULTS = Object.freeze({ size: 15, brain: "white", time: 1000 });
export const MIN_TIME = 100;
export const MAX_TIME = 60000;
const BRAIN_COLOURS = ["black", "white"];
const MOVE_PATTERN = /^(\d+)\.(\d+)$/;

function wholeNumber(text) {
  return /^\d{1,9}$/.test(text) ? Number(text) : NaN;
}

function readSize(params, notices) {
  const text = params.get("size");
  if (text === null) return DEFAULTS.size;
  const size = wholeNumber(text);
  if (size >= MIN_SIZE && size <= MAX_SIZE) return size;
  notices.push(`The link's size "${text}" is not a board size from ${MIN_SIZE} to ${MAX_SIZE}; ` +
    `playing on ${DEFAULTS.size} x ${DEFAULTS.size}.`);
  return DEFAULTS.size;
}

function readBrain(params, notices) {
  const text = params.get("brain");
  if (text === null) return DEFAULTS.brain;
  if (BRAIN_COLOURS.includes(text)) return text;
  notices.push(`The link's brain "${text}" is not black or white; Vantrel plays ${DEFAULTS.brain}.`);
  return DEFAULTS.brain;
}

function readTime(params, notices) {
  const text = params.get("time");
  if (text === null) return DEFAULTS.time;
  const time = wholeNumber(text);
  if (time >= MIN_TIME && time <= MAX_TIME) return time;
  notices.push(`The link's time "${text}" is not a time per move from ${MIN_TIME} to ${MAX_TIME} ` +
    `milliseconds; Vantrel takes ${DEFAULTS.time} ms a move.`);
  return DEFAULTS.time;
}

// The moves are replayed on a board of the size read, so a link cannot
// hold a position that play could not reach.
function readMoves(params, size, notices) {
  const text = params.get("moves");
  if (!text) return [];
  const game = new Game(size);
  const tokens = text.split("_");
  for (const [index, token] of tokens.entries()) {
    const match = MOVE_PATTERN.exec(token);
    const x = match ? wholeNumber(match[1]) : NaN;
    const y = match ? wholeNumber(match[2]) : NaN;
    let problem = null;
    if (!match) problem = "is not a point written x.y";
    else if (game.over) problem = "comes after the game had ended";
    else if (!game.onBoard(x, y)) problem = `is off the ${size} x ${size} board`;
    else if (game.stoneAt(x, y)) problem = "is on a point already taken";
    if (problem) {
      notices.push(`The link's move ${index + 1}, "${token}", ${problem}; starting from an empty board.`);
      return [];
    }
    game.play(x, y);
  }
  return game.moves;
}

// {size, brain, time, moves, notices} from a location's search string.
export function readState(search) {
  const params = new URLSearchParams(search);
  const notices = [];
  const size = readSize(params, notices);
  const brain = readBrain(params, notices);
  const time = readTime(params, notices);
  const moves = readMoves(params, size, notices);
  return { size, brain, time, moves, notices };
}

// The search string for a state; every value is digits, letters, "." or "_",
// so nothing needs encoding.
export function writeState({ size, brain, time, moves }) {
  const parts = [`size=${size}`, `brain=${brain}`, `time=${time}`];
  if (moves.length > 0) parts.push(`moves=${moves.map(({ x, y }) => `${x}.${y}`).join("_")}`);
  return `?${parts.join("&")}`;
}
