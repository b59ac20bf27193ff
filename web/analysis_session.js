// Analysis mode's brain: while the analysis is on, the engine analyses the
// position shown with the chosen number of candidate moves until the
// position changes (then the new one is analysed) or the person stops it.
// Each finished iteration is kept per position, so that stepping back to a
// position shows what was found there at once while the analysis goes on;
// a shallower iteration of a new analysis does not hide a deeper one kept,
// unless it lists a different number of candidates.

import { colourName } from "./colours.js";
import { evalLabel } from "./engine_protocol.js";
import { pointName } from "./notation.js";

export class AnalysisSession {
  #page;
  #engine;
  #thinking;
  #hooks;
  #request = null;
  #results = new Map();  // position key -> {depth, lines, nps}

  // on: whether the analysis runs when there is a position to analyse.
  on = true;

  // hooks: update(), key(moves) (a position's key), recordRate(moves,
  // colour, progress, null).
  constructor(page, engine, thinking, hooks) {
    this.#page = page;
    this.#engine = engine;
    this.#thinking = thinking;
    this.#hooks = hooks;
  }

  get running() {
    return this.#request !== null;
  }

  // What was found for the position of `game`, or null.
  result(game) {
    return this.#results.get(this.#hooks.key(game.moves)) ?? null;
  }

  // The candidates of the position of `game` for the board:
  // [{x, y, rank, label, moves}].
  candidates(game) {
    return (this.result(game)?.lines ?? []).map((line) => ({
      ...line.moves[0], rank: line.rank, label: evalLabel(line), moves: line.moves,
    }));
  }

  // Everything found so far belongs to a rule and a board size.
  forget() {
    this.#results.clear();
  }

  // Analyses the position on the board now, if the analysis is on and the
  // game goes on; whatever ran before is cancelled.
  restart() {
    this.#request?.cancel();
    this.#request = null;
    const { game, settings } = this.#page;
    const colour = colourName(game.turn);
    const known = this.result(game);
    this.#thinking.begin(this.#caption(game, known, this.on ? "Analysing" : "Analysis stopped"), "analysis");
    if (known) this.#thinking.showCandidates(known, game.size);
    if (!this.on || game.over) {
      if (game.over) this.#thinking.caption("The game is over: nothing to analyse.");
      this.#hooks.update();
      return;
    }
    const moves = game.moves;
    const key = this.#hooks.key(moves);
    const request = this.#engine.analyse(moves, settings.rule, settings.lines, (progress) => {
      if (this.#request !== request) return;
      const kept = this.#results.get(key);
      if (kept && kept.depth > progress.depth && kept.lines.length === progress.lines.length) return;
      this.#results.set(key, progress);
      this.#hooks.recordRate(moves, game.turn, progress, null);
      this.#thinking.showCandidates(progress, game.size);
      this.#thinking.caption(this.#caption(game, progress, "Analysing"));
      this.#hooks.update();
    });
    this.#request = request;
    request.result.then((answer) => {
      if (this.#request !== request || answer === null) return;
      this.#request = null;
      const found = this.#results.get(key);
      const { x, y } = answer.move;
      const what = answer.stopped ? "Analysis stopped" : "Analysis finished";
      // The engine answers some positions (an empty board) without a search.
      if (found || answer.stopped) this.#thinking.caption(this.#caption(game, found, what));
      else this.#thinking.caption(`Vantrel would play ${pointName(x, y, game.size)} here, without a search.`);
      this.#hooks.update();
    }, () => {
      if (this.#request !== request) return;
      this.#request = null;
      this.on = false;
      this.#thinking.caption(`The analysis for ${colour} failed.`);
      this.#hooks.update();
    });
    this.#hooks.update();
  }

  // The person's stop: the analysis ends and stays off; what it found stays.
  stop() {
    this.on = false;
    this.#request?.stop();
  }

  // Leaving analysis mode: nothing more is shown of the running analysis.
  cancel() {
    this.#request?.cancel();
    this.#request = null;
  }

  #caption(game, found, what) {
    const depth = found ? `, depth ${found.depth}` : "";
    const ellipsis = what === "Analysing" ? "\u2026" : ".";
    return `${what} for ${colourName(game.turn)} to move${depth}${ellipsis}`;
  }
}
