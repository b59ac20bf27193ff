// The brain's search as it comes: a caption saying whose search it is and
// how it ended, and one row per finished search iteration (depth, score in
// words for the side searched, speed, the expected line in point names),
// the deepest on top. The rows stay after the move so the person can read
// why it was played; the next search clears them.

import { describeScore } from "./engine_protocol.js";
import { pointName } from "./game.js";

const MEGA = 1e6;
const KILO = 1e3;

function speed(nps) {
  if (nps === 0) return "\u2013";  // a search too short to time
  if (nps >= MEGA) return `${(nps / MEGA).toFixed(2)} M/s`;
  if (nps >= KILO) return `${Math.round(nps / KILO)} k/s`;
  return `${nps}/s`;
}

export class ThinkingView {
  #caption;
  #rows;

  constructor(caption, rows) {
    this.#caption = caption;
    this.#rows = rows;
  }

  begin(captionText) {
    this.#caption.textContent = captionText;
    this.#rows.replaceChildren();
  }

  add(search, size) {
    const row = document.createElement("tr");
    const line = search.pv.map(({ x, y }) => pointName(x, y, size)).join(" ");
    for (const [text, className] of [
      [String(search.depth), "depth"],
      [describeScore(search.score), "score"],
      [speed(search.nps), "speed"],
      [line, "line"],
    ]) {
      const cell = document.createElement("td");
      cell.className = className;
      cell.textContent = text;
      if (className === "line") cell.title = line;
      row.append(cell);
    }
    this.#rows.prepend(row);
  }

  end(captionText) {
    this.#caption.textContent = captionText;
  }
}
