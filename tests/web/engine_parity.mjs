// The browser's engine against the native brain: the same games, under a
// node limit so that the clock decides nothing, must give the same replies
// line for line (the search lines' speed and time aside). The WebAssembly
// engine plays first, its moves deciding the opponent's; the whole input is
// then fed to the native brain in one piece.
//
// Usage: node --no-experimental-fetch tests/web/engine_parity.mjs <site dir> <native pbrain-vantrel>
import { spawnSync } from "node:child_process";
import { createRequire } from "node:module";
import path from "node:path";

const [siteDir, nativeBrain] = process.argv.slice(2);
if (!siteDir || !nativeBrain) {
  console.error("usage: engine_parity.mjs <site dir> <native pbrain-vantrel>");
  process.exit(2);
}

const NODE_LIMIT = 100000;
const MOVE_LINE = /^(\d+),(\d+)$/;

const createEngine = createRequire(import.meta.url)(path.resolve(siteDir, "vantrel-engine.js"));
let replies = [];
globalThis.vantrel_reply_line = (line) => replies.push(line);
// A search pauses for the worker's messages; here for node's event loop.
globalThis.vantrel_pause = () => new Promise((resolve) => setImmediate(() => resolve(0)));
const engine = await createEngine();
const send = engine.cwrap("vantrel_send", "number", ["string"], { async: true });

const input = [];
async function command(text) {
  input.push(text);
  const before = replies.length;
  await send(text);
  return replies.slice(before);
}
function lastMove(lines) {
  const match = lines.length ? MOVE_LINE.exec(lines[lines.length - 1]) : null;
  if (!match) throw new Error(`no move in ${JSON.stringify(lines)}`);
  return [Number(match[1]), Number(match[2])];
}

// The opponent plays the empty point nearest the board's centre, in scan
// order among equals: legal, and deterministic given the brain's moves.
function opponentMove(stones, size) {
  const c = (size - 1) / 2;
  let best = null;
  for (let y = 0; y < size; y++)
    for (let x = 0; x < size; x++) {
      if (stones.has(`${x},${y}`)) continue;
      const d = Math.max(Math.abs(x - c), Math.abs(y - c));
      if (!best || d < best.d) best = { x, y, d };
    }
  return [best.x, best.y];
}

// A game by TURN, the brain moving second, for a few moves each.
async function turnGame(size, moves) {
  await command(`START ${size}\nINFO max_node ${NODE_LIMIT}\nINFO timeout_turn 600000\nINFO time_left 2147483647\n`);
  const stones = new Set();
  for (let i = 0; i < moves; i++) {
    const [x, y] = opponentMove(stones, size);
    stones.add(`${x},${y}`);
    const [bx, by] = lastMove(await command(`TURN ${x},${y}\n`));
    stones.add(`${bx},${by}`);
  }
}

// The page's way: the whole position by BOARD before every brain move, and
// a hint (the same position with the other side's stones as the brain's).
async function boardGame(size, moves) {
  await command(`START ${size}\nINFO max_node ${NODE_LIMIT}\n`);
  const played = [];
  const block = (ownParity) =>
    "BOARD\n" + played.map(([x, y], i) => `${x},${y},${i % 2 === ownParity ? 1 : 2}\n`).join("") + "DONE\n";
  for (let i = 0; i < moves; i++) {
    if (i % 3 === 2) lastMove(await command(block(played.length % 2)));  // a hint for the opponent
    played.push(opponentMove(new Set(played.map((p) => p.join(","))), size));
    played.push(lastMove(await command(block(played.length % 2))));
  }
  return played;
}

await turnGame(15, 8);
const played = await boardGame(20, 8);
// Taking the brain's last stone back and asking again gives the same move.
const [x, y] = played[played.length - 1];
await command(`TAKEBACK ${x},${y}\nBEGIN\n`);
// A line cut between two calls waits for its end.
await command("RESTART\nBEG");
await command("IN\nTURN 0,0\n");
await command("END\n");

const native = spawnSync(nativeBrain, [], { input: input.join(""), encoding: "utf8", timeout: 120000 });
if (native.status !== 0) throw new Error(`native brain exited ${native.status}: ${native.stderr}`);
const timeless = (line) => line.replace(/ nps \d+ time \d+/, "");
const ours = replies.map(timeless);
const theirs = native.stdout.split("\n").filter((l) => l !== "").map(timeless);

let differences = 0;
for (let i = 0; i < Math.max(ours.length, theirs.length); i++)
  if (ours[i] !== theirs[i] && differences++ < 5)
    console.error(`line ${i + 1}: browser "${ours[i]}" native "${theirs[i]}"`);
const moves = ours.filter((l) => MOVE_LINE.test(l)).length;
console.log(`${ours.length} reply lines, ${moves} moves: ${differences ? differences + " differ" : "identical"}`);
process.exit(differences || moves < 20 ? 1 : 0);
