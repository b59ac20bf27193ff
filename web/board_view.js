// The board on the page: one button per point (data-point="x,y", x the
// column and y the row from the top left, the hooks outside checks use),
// with the stones, the last move's mark, move numbers on demand, a line of
// faint numbered stones (the brain's expected line, or the line of the
// candidate under the pointer), the hint, the winning five, black's
// forbidden points (data-forbidden), the analysis's candidate moves with
// their labels (data-candidate="k", k = 1 for the best) and a touch's
// mark (data-pending). It draws what it is given and decides nothing: the
// page controller owns the game and calls render() after every change.

import { EMPTY, colourName, otherColour } from "./colours.js";
import { pointName } from "./notation.js";

// Star points sit this many lines in from each corner on boards this large.
const STAR_INSET = 3;
const STAR_MIN_SIZE = 13;
const ARROW_STEPS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
// Pointers that land less precisely than a mouse: a tap marks first.
const TOUCH_POINTERS = ["touch", "pen"];

// Sets or removes data-<key> only when it changes: a render touches every
// point, and most of them stay as they were.
function setData(element, key, value) {
  const current = element.dataset[key];
  if (value === null || value === undefined || value === false) {
    if (current !== undefined) delete element.dataset[key];
  } else if (current !== String(value)) {
    element.dataset[key] = value;
  }
}

function isStar(x, y, size) {
  const centre = (size - 1) / 2;
  if (x === centre && y === centre) return true;
  if (size < STAR_MIN_SIZE) return false;
  const edges = [STAR_INSET, size - 1 - STAR_INSET];
  return edges.includes(x) && edges.includes(y);
}

export class BoardView {
  #root;
  #size = 0;
  #points = [];
  #marks = [];
  #focus = 0;
  #pointerType = null;

  // onPoint(x, y, how): a point was clicked, tapped or pressed; how is
  // "touch" for a finger or pen, else "direct". onCandidate(rank | null):
  // the pointer or the keyboard's focus came to rest on a candidate's point,
  // or left it.
  constructor(root, { onPoint, onCandidate }) {
    this.#root = root;
    root.addEventListener("pointerdown", (event) => {
      this.#pointerType = event.pointerType;
    });
    root.addEventListener("click", (event) => {
      const point = event.target.closest("[data-point]");
      const how = TOUCH_POINTERS.includes(event.pointerType ?? this.#pointerType) ? "touch" : "direct";
      this.#pointerType = null;
      if (!point) return;
      const x = Number(point.dataset.x);
      const y = Number(point.dataset.y);
      this.#moveFocus(x, y, false);
      onPoint(x, y, how);
    });
    root.addEventListener("keydown", (event) => this.#arrowKey(event));
    const rest = (event) => {
      const point = event.target.closest?.("[data-candidate]");
      onCandidate(point ? Number(point.dataset.candidate) : null);
    };
    root.addEventListener("pointerover", (event) => event.pointerType === "mouse" && rest(event));
    root.addEventListener("pointerleave", (event) => event.pointerType === "mouse" && onCandidate(null));
    root.addEventListener("focusin", rest);
    root.addEventListener("focusout", () => onCandidate(null));
  }

  build(size) {
    this.#size = size;
    this.#points = [];
    this.#marks = [];
    this.#root.replaceChildren();
    this.#root.style.setProperty("--size", size);
    for (let y = 0; y < size; y++) {
      for (let x = 0; x < size; x++) this.#root.append(this.#pointElement(x, y));
    }
    for (let i = 0; i < size; i++) {
      this.#root.append(this.#label(pointName(i, 0, size).replace(/\d+$/, ""), size + 2, i + 2, "column"));
      this.#root.append(this.#label(String(size - i), i + 2, 1, "row"));
    }
    this.#focus = Math.floor(size / 2) * size + Math.floor(size / 2);
    this.#points[this.#focus].tabIndex = 0;
  }

  // view: {game, numbers, line: {moves: [{x, y}], colour (of its first
  //   move)} | null, hint: {x, y} | null, pending: {x, y} | null,
  //   candidates: [{x, y, rank, label}], playable (whether a click plays)}
  render({ game, numbers, line, hint, pending, candidates, playable }) {
    const size = this.#size;
    const key = ({ x, y }) => y * size + x;
    const order = new Map(game.moves.map((move, index) => [key(move), index + 1]));
    const last = game.lastMove;
    const winning = new Set((game.result?.stones ?? []).map(key));
    const forbidden = new Set(game.fouls ? (game.forbidden ?? []).map(key) : []);
    const ghosts = new Map();
    (line?.moves ?? []).forEach((move, index) => {
      if (game.onBoard(move.x, move.y) && game.stoneAt(move.x, move.y) === EMPTY && !ghosts.has(key(move))) {
        ghosts.set(key(move), { number: index + 1, colour: index % 2 === 0 ? line.colour : otherColour(line.colour) });
      }
    });
    const labels = new Map(candidates.map((candidate) => [key(candidate), candidate]));
    const hintKey = hint ? key(hint) : -1;
    const pendingKey = pending ? key(pending) : -1;

    setData(this.#root, "playable", playable);
    setData(this.#root, "numbers", numbers);
    setData(this.#root, "turn", colourName(game.turn));
    for (let index = 0; index < size * size; index++) {
      const point = this.#points[index];
      const x = index % size;
      const y = (index - x) / size;
      const stone = game.stoneAt(x, y);
      const ghost = stone === EMPTY ? ghosts.get(index) : undefined;
      const candidate = stone === EMPTY && !ghost ? labels.get(index) : undefined;
      setData(point, "stone", stone === EMPTY ? null : colourName(stone));
      setData(point, "last", last !== null && last.x === x && last.y === y);
      setData(point, "win", winning.has(index));
      setData(point, "ghost", ghost ? colourName(ghost.colour) : null);
      setData(point, "hint", index === hintKey && stone === EMPTY);
      setData(point, "pending", index === pendingKey && stone === EMPTY ? colourName(game.turn) : null);
      setData(point, "forbidden", forbidden.has(index) && stone === EMPTY ? "true" : null);
      setData(point, "candidate", candidate ? candidate.rank : null);
      let text = "";
      if (ghost) text = String(ghost.number);
      else if (candidate) text = candidate.label;
      else if (stone !== EMPTY && numbers) text = String(order.get(index));
      this.#setMark(index, text);
      const name = pointName(x, y, size);
      const label = stone !== EMPTY ? `${name}, ${colourName(stone)} ${order.get(index)}`
        : candidate ? `${name}, candidate ${candidate.rank}: ${candidate.label}`
          : forbidden.has(index) ? `${name}, forbidden for black` : name;
      if (point.getAttribute("aria-label") !== label) point.setAttribute("aria-label", label);
    }
  }

  // A win rate's per cent sign goes in a span of its own, which the style
  // leaves out where the points are too close for three characters.
  #setMark(index, text) {
    const mark = this.#marks[index];
    if (mark.textContent === text) return;
    if (text.endsWith("%")) {
      const unit = document.createElement("span");
      unit.className = "unit";
      unit.textContent = "%";
      mark.replaceChildren(text.slice(0, -1), unit);
    } else {
      mark.textContent = text;
    }
    const digits = /^\d+$/.test(text);
    mark.classList.toggle("two-digits", digits && text.length === 2);
    mark.classList.toggle("three-digits", digits && text.length >= 3);
    mark.classList.toggle("label-text", text !== "" && !digits);
  }

  #pointElement(x, y) {
    const size = this.#size;
    const point = document.createElement("button");
    point.type = "button";
    point.className = "point";
    point.tabIndex = -1;
    point.dataset.point = `${x},${y}`;
    point.dataset.x = x;
    point.dataset.y = y;
    point.style.gridArea = `${y + 2} / ${x + 2}`;
    if (x === 0) point.classList.add("edge-left");
    if (x === size - 1) point.classList.add("edge-right");
    if (y === 0) point.classList.add("edge-top");
    if (y === size - 1) point.classList.add("edge-bottom");
    if (isStar(x, y, size)) point.classList.add("star");
    const mark = document.createElement("span");
    mark.className = "mark";
    mark.setAttribute("aria-hidden", "true");
    point.append(mark);
    this.#points.push(point);
    this.#marks.push(mark);
    return point;
  }

  #label(text, row, column, kind) {
    const label = document.createElement("span");
    label.className = `label label-${kind}`;
    label.setAttribute("aria-hidden", "true");
    label.style.gridArea = `${row} / ${column}`;
    label.textContent = text;
    return label;
  }

  // One tab stop for the whole board; the arrow keys walk it.
  #arrowKey(event) {
    const step = ARROW_STEPS[event.key];
    if (!step) return;
    event.preventDefault();
    const size = this.#size;
    const x = Math.min(size - 1, Math.max(0, (this.#focus % size) + step[0]));
    const y = Math.min(size - 1, Math.max(0, Math.floor(this.#focus / size) + step[1]));
    this.#moveFocus(x, y, true);
  }

  #moveFocus(x, y, focus) {
    this.#points[this.#focus].tabIndex = -1;
    this.#focus = y * this.#size + x;
    const point = this.#points[this.#focus];
    point.tabIndex = 0;
    if (focus) point.focus();
  }
}
