// The brain protocol's text as the page speaks it: the commands for one
// brain turn (the whole position as a BOARD block, the side to move's
// stones as 1) and the reading of the brain's replies: search lines and
// moves. Pure text in and out, so the engine client and the tests share it.

export const WIN_SCORE = 30000;
// A score this close to WIN_SCORE is a result found by the search: no game
// on a 32 x 32 board lasts more plies than this.
const DECIDED_MARGIN = 32 * 32;
// No match clock: the page gives the brain its time per move only.
const NO_MATCH_CLOCK = 2147483647;

// The commands that make the brain move for `ownColour` (1 or 2) in the
// position of `moves` (black first), replying within timeMs.
export function turnCommands(moves, ownColour, timeMs) {
  const lines = [`INFO timeout_turn ${timeMs}`, `INFO time_left ${NO_MATCH_CLOCK}`, "BOARD"];
  moves.forEach(({ x, y }, index) => {
    const colour = index % 2 === 0 ? 1 : 2;
    lines.push(`${x},${y},${colour === ownColour ? 1 : 2}`);
  });
  lines.push("DONE");
  return lines.join("\n") + "\n";
}

const MOVE_LINE = /^(\d+),(\d+)$/;

export function parseMove(text) {
  const match = MOVE_LINE.exec(text.trim());
  return match ? { x: Number(match[1]), y: Number(match[2]) } : null;
}

// A search line, "MESSAGE depth D score S nodes N nps R time T pv x,y ...",
// as {depth, score, nodes, nps, time, pv: [{x, y}]}; null for any other line.
export function parseSearchLine(text) {
  const words = text.trim().split(/\s+/);
  if (words[0] !== "MESSAGE" || words[1] !== "depth") return null;
  const fields = {};
  let index = 1;
  while (index + 1 < words.length && words[index] !== "pv") {
    fields[words[index]] = Number(words[index + 1]);
    index += 2;
  }
  const pv = words[index] === "pv" ? words.slice(index + 1).map(parseMove) : [];
  const numbers = ["depth", "score", "nodes", "nps", "time"].map((key) => fields[key]);
  if (numbers.some((value) => !Number.isFinite(value)) || pv.includes(null)) return null;
  const [depth, score, nodes, nps, time] = numbers;
  return { depth, score, nodes, nps, time, pv };
}

// A score as words for the side to move: "win in N" / "loss in N" counts
// that side's own moves to its five, or the opponent's moves to theirs
// (the search reports the ply of the five); any other score is signed.
export function describeScore(score) {
  const plies = WIN_SCORE - Math.abs(score);
  if (plies >= 0 && plies < DECIDED_MARGIN) {
    const moves = Math.max(1, Math.ceil(plies / 2));
    return `${score > 0 ? "win" : "loss"} in ${moves}`;
  }
  return score > 0 ? `+${score}` : score < 0 ? `\u2212${-score}` : "0";
}
