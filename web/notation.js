// How points and games are written for people: a point as its column's
// letter (a at the left; past z, aa, ab...) and its row's number counted
// from the bottom, so the centre of 15 x 15 is h8; a game as its moves in
// order with nothing between them, "h8i9j10", the string players exchange
// and the analysis GUI and the web calculators show. The page's labels
// write points in capitals (H8), the position string in small letters.

const LETTERS = "abcdefghijklmnopqrstuvwxyz";

export function columnName(x) {
  return x < LETTERS.length ? LETTERS[x] : `a${LETTERS[x - LETTERS.length]}`;
}

// The column a name stands for, or null.
function columnIndex(name) {
  if (name.length === 1) return LETTERS.indexOf(name);
  if (name.length === 2 && name[0] === "a") return LETTERS.length + LETTERS.indexOf(name[1]);
  return null;
}

export function pointName(x, y, size) {
  return `${columnName(x).toUpperCase()}${size - y}`;
}

export function formatMoves(moves, size) {
  return moves.map(({ x, y }) => `${columnName(x)}${size - y}`).join("");
}

const SEPARATORS = /[\s,;]*/y;
const LETTER_RUN = /[a-z]+/y;
const DIGIT_RUN = /[0-9]+/y;
const CHUNK = /[^a-z\s,;]+/y;

function matchAt(pattern, text, index) {
  pattern.lastIndex = index;
  return pattern.exec(text)?.[0] ?? "";
}

// A game in the notation on a size x size board, as {moves} in protocol
// coordinates (x from the left, y from the top), or {problem} in words
// naming the first part that is not a point of the board. Capitals, and
// spaces or commas between the points, are read too. Whether the moves
// make a game is the Game's to judge.
export function parseMoves(text, size) {
  const source = text.toLowerCase();
  const moves = [];
  let index = matchAt(SEPARATORS, source, 0).length;
  while (index < source.length) {
    const letters = matchAt(LETTER_RUN, source, index);
    const digits = matchAt(DIGIT_RUN, source, index + letters.length);
    const point = letters + digits;
    if (!letters || !digits) {
      const part = letters || matchAt(CHUNK, source, index);
      const problem = letters ? "has no row number" : "is not a point (a letter, then a number)";
      return { problem: `"${part}" ${problem}` };
    }
    const x = columnIndex(letters);
    const row = Number(digits);
    if (x === null || x < 0 || x >= size || row < 1 || row > size) {
      return { problem: `"${point}" is not a point of the ${size} x ${size} board` };
    }
    moves.push({ x, y: size - row });
    index += point.length;
    index += matchAt(SEPARATORS, source, index).length;
  }
  return { moves };
}
