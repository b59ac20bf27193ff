// The game itself, free of the page: the rule, the moves in order, whose
// turn it is, the result (a win judged by web/rules.js, black's foul in
// renju, a draw on a full board) and taking moves back. Which points are
// fouls for black is the engine's judgement: the page hands it to the game
// for the position on the board (setForbidden), and the game refuses them.
// The URL state and the position field replay games through Game.replay,
// so a loaded game is checked by the same rules as a played one.

import { BLACK, EMPTY, WHITE } from "./colours.js";
import { pointName } from "./notation.js";
import { DEFAULT_RULE, winningStones } from "./rules.js";

export const MIN_SIZE = 5;
export const MAX_SIZE = 32;

export class Game {
  #cells;
  #moves = [];
  #result = null;
  #forbidden = null;

  constructor(size, rule = DEFAULT_RULE) {
    if (!Number.isInteger(size) || size < MIN_SIZE || size > MAX_SIZE) {
      throw new RangeError(`board size ${size} is not from ${MIN_SIZE} to ${MAX_SIZE}`);
    }
    this.size = size;
    this.rule = rule;
    this.#cells = new Uint8Array(size * size);
  }

  // The game of `moves` under `rule`: {game} or, for moves that play could
  // not make, {index, problem} with the first such move's index and why.
  static replay(moves, size, rule) {
    const game = new Game(size, rule);
    for (const [index, { x, y }] of moves.entries()) {
      const problem = game.refusal(x, y);
      if (problem) return { index, problem };
      game.play(x, y);
    }
    return { game };
  }

  get moves() {
    return this.#moves.slice();
  }

  get moveCount() {
    return this.#moves.length;
  }

  get lastMove() {
    return this.#moves.at(-1) ?? null;
  }

  // Black moves first, so the colour to move follows from the count alone.
  get turn() {
    return this.#moves.length % 2 === 0 ? BLACK : WHITE;
  }

  // null while the game goes on; otherwise {winner, stones, reason}:
  // reason "five" (stones: every winning line through the last move),
  // "foul" (black's last move was forbidden; stones: that move) or "full"
  // (a draw: winner EMPTY, no stones).
  get result() {
    return this.#result;
  }

  get over() {
    return this.#result !== null;
  }

  // Whether black's forbidden points matter: renju with black to move.
  get fouls() {
    return this.rule === "renju" && this.turn === BLACK && !this.over;
  }

  // Black's forbidden points in this position, as the engine gave them
  // ({x, y} list), or null while they are not known. Cleared by every move.
  get forbidden() {
    return this.#forbidden;
  }

  setForbidden(points) {
    this.#forbidden = points;
  }

  isForbidden(x, y) {
    return this.fouls && (this.#forbidden ?? []).some((p) => p.x === x && p.y === y);
  }

  onBoard(x, y) {
    return Number.isInteger(x) && Number.isInteger(y) && x >= 0 && y >= 0 && x < this.size && y < this.size;
  }

  stoneAt(x, y) {
    return this.#cells[y * this.size + x];
  }

  // Why a stone cannot go at x,y now, in words, or null when it can.
  refusal(x, y) {
    if (this.over) return "the game is already over";
    if (!this.onBoard(x, y)) return `${x},${y} is off the ${this.size} x ${this.size} board`;
    const name = pointName(x, y, this.size);
    if (this.stoneAt(x, y) !== EMPTY) return `${name} is already taken`;
    if (this.isForbidden(x, y)) {
      return `${name} is forbidden for black in renju: it would make an overline, a double four or a double three`;
    }
    return null;
  }

  play(x, y) {
    const refusal = this.refusal(x, y);
    if (refusal) throw new Error(`cannot play ${x},${y}: ${refusal}`);
    this.#place(x, y);
    const stones = winningStones(this, x, y, this.rule);
    if (stones.length > 0) this.#result = { winner: this.stoneAt(x, y), stones, reason: "five" };
    else if (this.#moves.length === this.#cells.length) this.#result = { winner: EMPTY, stones: [], reason: "full" };
  }

  // Black's move at x,y, found to be a foul: it ends the game, white wins.
  playFoul(x, y) {
    if (!this.fouls || this.stoneAt(x, y) !== EMPTY) throw new Error(`${x},${y} is not black's move in renju`);
    this.#place(x, y);
    this.#result = { winner: WHITE, stones: [{ x, y }], reason: "foul" };
  }

  undo() {
    const move = this.#moves.pop();
    if (!move) return null;
    this.#cells[move.y * this.size + move.x] = EMPTY;
    this.#result = null;
    this.#forbidden = null;
    return move;
  }

  // Why the game ended, in words ("five in a row"; the winner is the
  // result's), or null while it goes on.
  resultReason() {
    const result = this.#result;
    if (!result) return null;
    if (result.reason === "full") return "the board is full";
    if (result.reason === "foul") {
      const { x, y } = result.stones[0];
      return `black's move ${this.#moves.length} at ${pointName(x, y, this.size)} was forbidden ` +
        "(an overline, a double four or a double three)";
    }
    return "five in a row";
  }

  #place(x, y) {
    this.#cells[y * this.size + x] = this.turn;
    this.#moves.push({ x, y });
    this.#forbidden = null;
  }
}
