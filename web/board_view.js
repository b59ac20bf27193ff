// The board on the page: one button per point (data-point="x,y", x the
// column and y the row from the top left, the hooks outside checks use),
// with the stones, the last move's mark, move numbers on demand, the brain's
// expected line as faint numbered stones, the hint and the winning five.
// It draws what it is given and decides nothing: the page controller owns
// the game and calls render() after every change.

import { EMPTY, colourName, otherColour, pointName } from "./game.js";

// Star points sit this many lines in from each corner on boards this large.
const STAR_INSET = 3;
const STAR_MIN_SIZE = 13;
const ARROW_STEPS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

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

  // onPoint(x, y) is called when a point is clicked, tapped or pressed.
  constructor(root, onPoint) {
    this.#root = root;
    root.addEventListener("click", (event) => {
      const point = event.target.closest("[data-point]");
      if (!point) return;
      const x = Number(point.dataset.x);
      const y = Number(point.dataset.y);
      this.#moveFocus(x, y, false);
      onPoint(x, y);
    });
    root.addEventListener("keydown", (event) => this.#arrowKey(event));
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

  // view: {game, numbers, pv: [{x, y}] | null, pvColour, hint: {x, y} | null,
  //        personColour, playable (whether a click plays now)}
  render({ game, numbers, pv, pvColour, hint, personColour, playable }) {
    const size = this.#size;
    const order = new Map(game.moves.map(({ x, y }, index) => [y * size + x, index + 1]));
    const last = game.lastMove;
    const winning = new Set((game.result?.stones ?? []).map(({ x, y }) => y * size + x));
    const ghosts = new Map();
    (pv ?? []).forEach(({ x, y }, index) => {
      const key = y * size + x;
      if (game.onBoard(x, y) && game.stoneAt(x, y) === EMPTY && !ghosts.has(key)) {
        ghosts.set(key, { number: index + 1, colour: index % 2 === 0 ? pvColour : otherColour(pvColour) });
      }
    });
    const hintKey = hint ? hint.y * size + hint.x : -1;

    setData(this.#root, "playable", playable);
    setData(this.#root, "numbers", numbers);
    setData(this.#root, "person", colourName(personColour));
    for (let key = 0; key < size * size; key++) {
      const point = this.#points[key];
      const x = key % size;
      const y = (key - x) / size;
      const stone = game.stoneAt(x, y);
      const ghost = stone === EMPTY ? ghosts.get(key) : undefined;
      setData(point, "stone", stone === EMPTY ? null : colourName(stone));
      setData(point, "last", last !== null && last.x === x && last.y === y);
      setData(point, "win", winning.has(key));
      setData(point, "ghost", ghost ? colourName(ghost.colour) : null);
      setData(point, "hint", key === hintKey && stone === EMPTY);
      const text = ghost ? String(ghost.number) : stone !== EMPTY && numbers ? String(order.get(key)) : "";
      const mark = this.#marks[key];
      if (mark.textContent !== text) {
        mark.textContent = text;
        mark.classList.toggle("two-digits", text.length === 2);
        mark.classList.toggle("three-digits", text.length >= 3);
      }
      const label = `${pointName(x, y, size)}${stone === EMPTY ? "" : `, ${colourName(stone)} ${order.get(key)}`}`;
      if (point.getAttribute("aria-label") !== label) point.setAttribute("aria-label", label);
    }
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
