// Black's fouls in renju, asked of the engine (the one judge of them): the
// forbidden points of the position on the board, whenever black is to move,
// for the board's crosses and the refusal of a click; and, for a game that
// was loaded or re-judged under renju rather than played move by move, the
// first black move that was a foul (which lost the game there).

import { BLACK } from "./colours.js";

export class FoulChecks {
  #engine;
  #request = null;

  constructor(engine) {
    this.#engine = engine;
  }

  // Asks for the forbidden points of `game`'s position when they matter
  // and hands them to the game; onKnown() once they are there. A later
  // call, or cancel(), drops the answer of an earlier one.
  ask(game, onKnown) {
    this.cancel();
    if (!game.fouls) return;
    const request = this.#engine.forbidden(game.moves, game.rule);
    this.#request = request;
    const known = (points) => {
      if (this.#request !== request || points === null) return;
      this.#request = null;
      game.setForbidden(points);
      onKnown();
    };
    // The engine client reports a failure itself; the page stays playable,
    // with no point marked.
    request.result.then(known, () => known([]));
  }

  cancel() {
    this.#request?.cancel();
    this.#request = null;
  }

  // The index of the first of `moves` that was black's foul under renju,
  // or -1: every position with black to move is asked for, in one queue.
  async firstFoul(moves, rule) {
    if (rule !== "renju") return -1;
    const blackMoves = moves.map((_, index) => index).filter((index) => index % 2 === BLACK - 1);
    const answers = await Promise.all(blackMoves.map((index) =>
      this.#engine.forbidden(moves.slice(0, index), rule).result));
    const foul = blackMoves.find((index, i) =>
      (answers[i] ?? []).some(({ x, y }) => x === moves[index].x && y === moves[index].y));
    return foul ?? -1;
  }
}
