// The evaluation graph under the board: black's win rate, as the brain
// gave it, after each move of the game that it analysed or played, black
// winning at the top. One element per plotted move (data-move="n": the
// position after n moves) takes a click, which goes to that move. Drawn in
// the graph's own pixels, so the dots stay round at every width.

const SVG = "http://www.w3.org/2000/svg";
const HEIGHT = 72;
const PAD = 6;
// The horizontal room of a game this short, so a few moves do not spread
// over the whole width.
const MIN_MOVES_SHOWN = 20;

function svg(name, attributes) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  return element;
}

export class EvaluationView {
  #root;
  #graph;
  #empty;
  #view = null;

  // onSelect(n): a plotted move was clicked.
  constructor(root, onSelect) {
    this.#root = root;
    this.#empty = document.createElement("p");
    this.#empty.className = "evaluation-empty";
    this.#empty.textContent = "Black's win rate shows here after each move the brain analyses or plays.";
    this.#graph = svg("svg", { class: "evaluation-graph", height: HEIGHT, role: "img",
      "aria-label": "Black's win rate after each analysed move; click a point to go to that move" });
    root.replaceChildren(this.#graph, this.#empty);
    this.#graph.addEventListener("click", (event) => {
      const point = event.target.closest("[data-move]");
      if (point) onSelect(Number(point.dataset.move));
    });
    new ResizeObserver(() => this.#draw()).observe(root);
  }

  // values[n]: black's win rate (0 to 1) after n moves, or undefined;
  // moveCount: the moves of the game; current: the move shown on the board.
  render(values, moveCount, current) {
    this.#view = { values, moveCount, current };
    this.#draw();
  }

  #draw() {
    if (!this.#view) return;
    const { values, moveCount, current } = this.#view;
    const width = Math.max(this.#root.clientWidth, 2 * PAD + 1);
    const span = Math.max(moveCount, MIN_MOVES_SHOWN);
    const x = (n) => PAD + (n * (width - 2 * PAD)) / span;
    const y = (rate) => PAD + (1 - rate) * (HEIGHT - 2 * PAD);
    const column = (width - 2 * PAD) / span;
    this.#graph.setAttribute("width", width);
    this.#graph.setAttribute("viewBox", `0 0 ${width} ${HEIGHT}`);

    const parts = [
      svg("line", { class: "evaluation-even", x1: PAD, x2: width - PAD, y1: y(0.5), y2: y(0.5) }),
      svg("line", { class: "evaluation-current", x1: x(current), x2: x(current), y1: 0, y2: HEIGHT }),
    ];
    let path = "";
    let joined = false;
    const points = [];
    for (let n = 0; n <= moveCount; n++) {
      const rate = values[n];
      if (rate === undefined) {
        joined = false;
        continue;
      }
      path += `${joined ? "L" : "M"}${x(n).toFixed(1)} ${y(rate).toFixed(1)} `;
      joined = true;
      const group = svg("g", { class: "evaluation-point", "data-move": n });
      if (n === current) group.classList.add("current");
      const title = svg("title", {});
      title.textContent = `After move ${n}: black ${Math.round(rate * 100)}%`;
      group.append(title,
        svg("rect", { x: x(n) - column / 2, y: 0, width: column, height: HEIGHT, class: "evaluation-hit" }),
        svg("circle", { cx: x(n), cy: y(rate), r: 3 }));
      points.push(group);
    }
    parts.push(svg("path", { class: "evaluation-line", d: path.trim() }), ...points);
    // An empty graph shows its caption alone.
    this.#graph.replaceChildren(...(points.length > 0 ? parts : []));
    this.#empty.hidden = points.length > 0;
  }
}
