// The brain's search as it comes, under a caption saying whose search it is
// and how it ended. A brain turn or hint lists one row per finished
// iteration (depth, evaluation in words for the side searched, speed, the
// expected line in point names), the deepest on top; the rows stay after
// the move so the person can read why it was played. An analysis lists its
// candidate moves of the deepest iteration (rank, win rate or forced
// result for the side to move, depth, line), and a row under the pointer or the keyboard's focus
// shows its line on the board like the candidate's label does.

import { describeEval, evalLabel } from "./engine_protocol.js";
import { pointName } from "./notation.js";

const MEGA = 1e6;
const KILO = 1e3;
const HEADINGS = {
  turn: [["Depth", "depth"], ["Score", "score"], ["Speed", "speed"], ["Expected line", "line"]],
  analysis: [["#", "rank"], ["Win", "score"], ["Depth", "depth"], ["Line", "line"]],
};

function speed(nps) {
  if (!nps) return "\u2013";  // a search too short to time, or no search line
  if (nps >= MEGA) return `${(nps / MEGA).toFixed(2)} M/s`;
  if (nps >= KILO) return `${Math.round(nps / KILO)} k/s`;
  return `${nps}/s`;
}

function row(cells) {
  const tr = document.createElement("tr");
  for (const [text, className] of cells) {
    const cell = document.createElement("td");
    cell.className = className;
    cell.textContent = text;
    if (className === "line") cell.title = text;
    tr.append(cell);
  }
  return tr;
}

export class ThinkingView {
  #caption;
  #head;
  #rows;
  #kind = null;

  // onCandidate(rank | null), as the board view's.
  constructor({ caption, head, rows }, onCandidate) {
    this.#caption = caption;
    this.#head = head;
    this.#rows = rows;
    const rest = (event) => {
      const tr = event.target.closest?.("tr[data-rank]");
      onCandidate(tr ? Number(tr.dataset.rank) : null);
    };
    rows.addEventListener("pointerover", rest);
    rows.addEventListener("pointerleave", () => onCandidate(null));
    rows.addEventListener("focusin", rest);
    rows.addEventListener("focusout", () => onCandidate(null));
  }

  // kind: "turn" or "analysis", which sets the columns.
  begin(captionText, kind = "turn") {
    this.#caption.textContent = captionText;
    this.#rows.replaceChildren();
    if (kind !== this.#kind) {
      this.#kind = kind;
      const tr = document.createElement("tr");
      for (const [text, className] of HEADINGS[kind]) {
        const th = document.createElement("th");
        th.className = className;
        th.textContent = text;
        tr.append(th);
      }
      this.#head.replaceChildren(tr);
    }
  }

  caption(captionText) {
    this.#caption.textContent = captionText;
  }

  // A turn's iteration: a row of its own, or the row of its depth again
  // when a later line of the same iteration adds to it.
  addIteration({ depth, lines, nps }, size) {
    const best = lines[0];
    const cells = [[String(depth), "depth"], [describeEval(best.evaluation), "score"], [speed(nps), "speed"],
      [best.moves.map(({ x, y }) => pointName(x, y, size)).join(" "), "line"]];
    const tr = row(cells);
    tr.dataset.depth = depth;
    const same = this.#rows.querySelector(`tr[data-depth="${depth}"]`);
    if (same) same.replaceWith(tr);
    else this.#rows.prepend(tr);
  }

  // An analysis's candidates, with their labels on the board: win rate or
  // forced result for the side to move.
  showCandidates({ lines }, size) {
    this.#rows.replaceChildren(...lines.map((line) => {
      const tr = row([[String(line.rank), "rank"], [evalLabel(line), "score"], [String(line.depth), "depth"],
        [line.moves.map(({ x, y }) => pointName(x, y, size)).join(" "), "line"]]);
      tr.dataset.rank = line.rank;
      tr.tabIndex = 0;
      return tr;
    }));
  }
}
