// The game itself, free of the page: the moves in order, whose turn it is,
// five (or more) in a row with the stones that make it, a draw on a full
// board, and taking moves back. The page controller keeps one Game and
// renders it; the URL state replays links through it so that a shared
// position is checked by the same rules as a played one.

export const EMPTY = 0;
export const BLACK = 1;
export const WHITE = 2;

export const MIN_SIZE = 5;
export const MAX_SIZE = 32;
const FIVE = 5;

// The four line directions; each is walked both ways from a new stone.
const DIRECTIONS = [[1, 0], [0, 1], [1, 1], [1, -1]];

export function colourName(colour) {
  return colour === BLACK ? "black" : "white";
}

export function otherColour(colour) {
  return colour === BLACK ? WHITE : BLACK;
}

// A point's name as players write it: the column's letter (A at the left,
// then AA, AB... past Z) and the row's number counted from the bottom, so
// the centre of 15 x 15 is H8.
export function pointName(x, y, size) {
  const letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const column = x < letters.length ? letters[x] : `A${letters[x - letters.length]}`;
  return `${column}${size - y}`;
}

export class Game {
  #cells;
  #moves = [];
  #result = null;

  constructor(size) {
    if (!Number.isInteger(size) || size < MIN_SIZE || size > MAX_SIZE) {
      throw new RangeError(`board size ${size} is not from ${MIN_SIZE} to ${MAX_SIZE}`);
    }
    this.size = size;
    this.#cells = new Uint8Array(size * size);
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

  // null while the game goes on; otherwise {winner: BLACK | WHITE, stones}
  // or {winner: EMPTY, stones: []} for a draw.
  get result() {
    return this.#result;
  }

  get over() {
    return this.#result !== null;
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
    if (this.stoneAt(x, y) !== EMPTY) return `${x},${y} is already taken`;
    return null;
  }

  play(x, y) {
    const refusal = this.refusal(x, y);
    if (refusal) throw new Error(`cannot play ${x},${y}: ${refusal}`);
    const colour = this.turn;
    this.#cells[y * this.size + x] = colour;
    this.#moves.push({ x, y });
    const stones = this.#winningStones(x, y, colour);
    if (stones.length > 0) this.#result = { winner: colour, stones };
    else if (this.#moves.length === this.#cells.length) this.#result = { winner: EMPTY, stones: [] };
  }

  undo() {
    const move = this.#moves.pop();
    if (!move) return null;
    this.#cells[move.y * this.size + move.x] = EMPTY;
    this.#result = null;
    return move;
  }

  // Every stone of each run of five or more through the new stone: an
  // overline wins in free-style, and two runs can be made at once.
  #winningStones(x, y, colour) {
    const stones = [];
    for (const [dx, dy] of DIRECTIONS) {
      const run = [{ x, y }];
      for (const sign of [1, -1]) {
        let cx = x + sign * dx;
        let cy = y + sign * dy;
        while (this.onBoard(cx, cy) && this.stoneAt(cx, cy) === colour) {
          run.push({ x: cx, y: cy });
          cx += sign * dx;
          cy += sign * dy;
        }
      }
      if (run.length >= FIVE) stones.push(...(stones.length ? run.slice(1) : run));
    }
    return stones;
  }
}
