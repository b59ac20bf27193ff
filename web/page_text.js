// What the page says in words and faint stones about the position shown:
// the status line (whose move, or the result and why) and, in analysis,
// which candidate's line is drawn. Pure functions of the page's state.

import { EMPTY, colourName } from "./colours.js";

function capitalised(word) {
  return `${word[0].toUpperCase()}${word.slice(1)}`;
}

// {text, result} for #status: result is the winner's colour name, "draw" or
// null. how: {brain: the brain's colour in play (null in analysis),
// loading, thinking (the brain's search runs)}.
export function statusLine({ game, cursor, line }, { brain, loading, thinking }) {
  const result = game.result;
  if (result) {
    const reason = game.resultReason();
    if (result.winner === EMPTY) return { text: `Draw: ${reason}.`, result: "draw" };
    const winner = colourName(result.winner);
    const verdict = brain === null ? `${capitalised(winner)} wins`
      : result.winner === brain ? "Vantrel wins" : "You win";
    return { text: `${verdict}: ${reason}.`, result: winner };
  }
  const colour = colourName(game.turn);
  if (brain === null) return { text: `Move ${cursor} of ${line.length}: ${colour} to move.`, result: null };
  if (game.turn !== brain) return { text: `Your move (${colour}).`, result: null };
  if (loading) return { text: `Vantrel (${colour}) to move: loading\u2026`, result: null };
  return { text: thinking ? `Vantrel (${colour}) is thinking\u2026` : `Vantrel (${colour}) to move.`, result: null };
}

// The line of faint stones in analysis: that of the candidate under the
// pointer or the focus (rank), or of the one a touch marked (pending).
export function candidateLine(candidates, rank, pending, turn) {
  const resting = candidates.find((c) => c.rank === rank) ??
    candidates.find((c) => pending && c.x === pending.x && c.y === pending.y);
  return resting ? { moves: resting.moves, colour: turn } : null;
}
