// The brain protocol's text as the page speaks it: the commands for a brain
// turn, an analysis and a question about black's forbidden points, and the
// reading of the replies: moves, search lines, the analysis lines' INFO PV
// blocks and FORBID lines. Pure text in and out, so the engine client and
// the tests share it. Scores are never interpreted here: a forced win or
// loss is what the engine writes as +Mk / -Mk, and a win rate is its
// WINRATE.

import { ruleById } from "./rules.js";

// No match clock in play: the page gives the brain its time per move only.
const NO_MATCH_CLOCK = 2147483647;
// The settings that mean "think until stopped" (INFO max_depth is the
// number of points, as the analysis GUI sends it).
const UNLIMITED_TURN_MS = 2000000;
const UNLIMITED_MATCH_MS = 100000000;

// The position of `moves` (black first) as stone lines, the side to move's
// stones as 1, the other side's as 2, in the order of play.
function stoneLines(moves) {
  const ownParity = moves.length % 2;
  return moves.map(({ x, y }, index) => `${x},${y},${index % 2 === ownParity ? 1 : 2}`);
}

function ruleLines(ruleId) {
  return [`INFO rule ${ruleById(ruleId).info}`, "INFO show_detail 3"];
}

function text(lines) {
  return lines.join("\n") + "\n";
}

// The commands that make the brain move for the side to move in the
// position of `moves`, replying within timeMs.
export function turnCommands(moves, ruleId, timeMs) {
  return text([...ruleLines(ruleId), "INFO max_node 0", "INFO max_depth 0", `INFO timeout_turn ${timeMs}`,
    `INFO time_left ${NO_MATCH_CLOCK}`, "BOARD", ...stoneLines(moves), "DONE"]);
}

// The commands that analyse the position of `moves` on a size x size board
// with `lines` candidate moves until stopped.
export function analysisCommands(moves, ruleId, lines, size) {
  return text([...ruleLines(ruleId), "INFO max_node -1", `INFO max_depth ${size * size}`,
    `INFO timeout_turn ${UNLIMITED_TURN_MS}`, `INFO timeout_match ${UNLIMITED_MATCH_MS}`,
    `INFO time_left ${UNLIMITED_MATCH_MS}`, "yxboard", ...stoneLines(moves), "done", `yxnbest ${lines}`]);
}

// The commands that ask for black's forbidden points in the position.
export function forbiddenCommands(moves, ruleId) {
  return text([...ruleLines(ruleId), "yxboard", ...stoneLines(moves), "done", "yxshowforbid"]);
}

const POINT = /^(\d+),(\d+)$/;

export function parseMove(line) {
  const match = POINT.exec(line.trim());
  return match ? { x: Number(match[1]), y: Number(match[2]) } : null;
}

// A list of points "x,y x,y ...", or null if any is not one.
function parsePoints(words) {
  const points = words.map(parseMove);
  return points.includes(null) ? null : points;
}

// A search line, "MESSAGE depth D score S nodes N nps R time T pv x,y ...",
// as {depth, score, nodes, nps, time, pv: [{x, y}]}; null for any other line.
export function parseSearchLine(line) {
  const words = line.trim().split(/\s+/);
  if (words[0] !== "MESSAGE" || words[1] !== "depth") return null;
  const fields = {};
  let index = 1;
  while (index + 1 < words.length && words[index] !== "pv") {
    fields[words[index]] = Number(words[index + 1]);
    index += 2;
  }
  const pv = words[index] === "pv" ? parsePoints(words.slice(index + 1)) : [];
  const numbers = ["depth", "score", "nodes", "nps", "time"].map((key) => fields[key]);
  if (numbers.some((value) => !Number.isFinite(value)) || pv === null) return null;
  const [depth, score, nodes, nps, time] = numbers;
  return { depth, score, nodes, nps, time, pv };
}

// "FORBID 07080910." as [{x: 7, y: 8}, {x: 9, y: 10}]; "FORBID ." as [];
// null for any other line.
export function parseForbid(line) {
  const match = /^FORBID ((?:\d{4})*)\.$/.exec(line.trim());
  if (!match) return null;
  return (match[1].match(/\d{4}/g) ?? []).map((digits) => ({
    x: Number(digits.slice(0, 2)), y: Number(digits.slice(2)),
  }));
}

// An EVAL value: {kind: "win" | "loss", moves: k} for +Mk / -Mk, else
// {kind: "score", value}; null if it is neither.
export function parseEval(word) {
  const mate = /^([+-]?)M(\d+)$/.exec(word);
  if (mate) return { kind: mate[1] === "-" ? "loss" : "win", moves: Number(mate[2]) };
  return /^[+-]?\d+$/.test(word) ? { kind: "score", value: Number(word) } : null;
}

// An evaluation in words for the side it belongs to.
export function describeEval(evaluation) {
  if (evaluation.kind === "win") return `win in ${evaluation.moves}`;
  if (evaluation.kind === "loss") return `loss in ${evaluation.moves}`;
  const { value } = evaluation;
  return value > 0 ? `+${value}` : value < 0 ? `\u2212${-value}` : "0";
}

// A candidate's label on the board: "W3" / "L2" for a forced result, else
// the win rate in per cent (the score, from an engine that gives none).
export function evalLabel({ evaluation, winrate }) {
  if (evaluation.kind === "win") return `W${evaluation.moves}`;
  if (evaluation.kind === "loss") return `L${evaluation.moves}`;
  return winrate === null ? describeEval(evaluation) : `${Math.round(winrate * 100)}%`;
}

// Reads the INFO PV blocks that follow each finished iteration, one line of
// the multi-line analysis each: PV i, NUMPV n, DEPTH, EVAL, WINRATE,
// BESTLINE, PV DONE. read(line) answers undefined for a line that is not an
// INFO line, null for one taken in, and {depth, lines} once the block of
// the iteration's last line (i + 1 = n) is done; lines[i] is {rank (1 for
// the best), depth, evaluation, winrate (for the side to move), moves}.
// A block with a field missing or malformed is dropped whole.
export class PvBlockReader {
  #line = null;
  #lines = [];

  read(line) {
    const words = line.trim().split(/\s+/);
    if (words[0] !== "INFO" || words.length < 3) return undefined;
    const [, key, ...values] = words;
    const value = values[0];
    if (key === "PV" && value === "DONE") return this.#finish();
    if (key === "PV") {
      this.#line = { index: Number(value) };
      if (this.#line.index === 0) this.#lines = [];
    } else if (this.#line) {
      const line = this.#line;
      if (key === "NUMPV") line.count = Number(value);
      else if (key === "DEPTH") line.depth = Number(value);
      else if (key === "EVAL") line.evaluation = parseEval(value);
      else if (key === "WINRATE") line.winrate = Number(value);
      else if (key === "BESTLINE") line.moves = parsePoints(values);
    }
    return null;
  }

  #finish() {
    const line = this.#line;
    this.#line = null;
    const valid = line && [line.index, line.count, line.depth, line.winrate].every(Number.isFinite) &&
      line.evaluation && line.moves && line.moves.length > 0 && line.winrate >= 0 && line.winrate <= 1;
    if (!valid) return null;
    this.#lines[line.index] = {
      rank: line.index + 1, depth: line.depth, evaluation: line.evaluation, winrate: line.winrate, moves: line.moves,
    };
    if (line.index + 1 !== line.count) return null;
    const lines = this.#lines.filter(Boolean);
    this.#lines = [];
    return { depth: Math.max(...lines.map((l) => l.depth)), lines };
  }
}
