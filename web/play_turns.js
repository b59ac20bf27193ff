// Playing the brain: the one search of play mode at a time, the brain's
// turn or a hint for the person, shown as it runs (the rows of the search
// table, the expected line on the board) and ended by its move, by move
// now (the engine stops and answers the best move found so far) or by a
// cancel (undo, new game, a setting), which drops the answer. A move the
// game refuses (taken, or black's foul in renju) is not played, and the
// page says so.

import { colourName } from "./colours.js";
import { describeEval } from "./engine_protocol.js";
import { pointName } from "./notation.js";

function secondsLabel(ms) {
  return `${ms / 1000} s`;
}

export class PlayTurns {
  #page;
  #engine;
  #thinking;
  #hooks;
  // {kind: "brain" | "hint", colour, progress, request}
  #search = null;

  // hooks: update(), play(move) (the brain's move into the game),
  // showHint(move), notice(lines), recordRate(moves, colour, progress, move).
  constructor(page, engine, thinking, hooks) {
    this.#page = page;
    this.#engine = engine;
    this.#thinking = thinking;
    this.#hooks = hooks;
  }

  get search() {
    return this.#search;
  }

  // The expected line of the running search, for the board.
  get line() {
    const search = this.#search;
    const moves = search?.progress?.lines[0].moves;
    return moves ? { moves, colour: search.colour } : null;
  }

  start(kind) {
    const { game, settings } = this.#page;
    const colour = game.turn;
    const moves = game.moves;
    const search = { kind, colour, progress: null, request: null };
    this.#search = search;
    const who = kind === "brain" ? "Vantrel's search" : "Hint search";
    this.#thinking.begin(`${who} for ${colourName(colour)}, up to ${secondsLabel(settings.time)}\u2026`, "turn");
    search.request = this.#engine.think(moves, settings.rule, settings.time, (progress) => {
      if (this.#search !== search) return;
      search.progress = progress;
      this.#thinking.addIteration(progress, game.size);
      this.#hooks.recordRate(moves, colour, progress, null);
      this.#hooks.update();
    });
    search.request.result.then((result) => this.#finish(search, moves, result), () => this.#abandon(search));
    this.#hooks.update();
  }

  // Move now: the search's best move so far is played.
  stop() {
    this.#search?.request.stop();
  }

  // Ends the running search without a move.
  cancel(caption) {
    if (!this.#search) return;
    this.#search.request.cancel();
    this.#search = null;
    this.#thinking.caption(caption);
  }

  #abandon(search) {
    if (this.#search !== search) return;
    this.#search = null;
    this.#thinking.caption("The search failed.");
    this.#hooks.update();
  }

  #finish(search, moves, result) {
    if (this.#search !== search || !result) return;
    this.#search = null;
    const { game } = this.#page;
    const { move, progress, stopped } = result;
    const refusal = game.refusal(move.x, move.y);
    if (refusal) {
      this.#thinking.caption("The engine's answer was not a legal move.");
      this.#hooks.notice([`Vantrel answered ${move.x},${move.y}, but ${refusal}; the move was not played.`]);
      this.#hooks.update();
      return;
    }
    const name = pointName(move.x, move.y, game.size);
    // Without a search line the move came from the brain's first look.
    const from = progress ? ` (depth ${progress.depth}, ${describeEval(progress.lines[0].evaluation)})`
      : stopped ? " (first look)" : "";
    if (search.kind === "hint") {
      this.#thinking.caption(`Hint: ${name}${from}.`);
      this.#hooks.showHint(move);
      return;
    }
    this.#thinking.caption(`${stopped ? "Moved now" : "Played"}: ${name}${from}.`);
    if (progress) this.#hooks.recordRate(moves, search.colour, progress, move);
    this.#hooks.play(move);
  }
}
