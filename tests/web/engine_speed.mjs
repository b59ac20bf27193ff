// The browser engine's own speed, as the worker runs it (the search
// bench's tool is built without the worker's pausing clock): node-limited
// searches of a few positions through the protocol, nodes per second read
// from the last search line of each. Given several site folders, it runs
// them in alternating rounds so that the machine's load falls on each alike.
//
// Usage: node --no-experimental-fetch tests/web/engine_speed.mjs <site dir>... [--rounds N]
import { createRequire } from "node:module";
import path from "node:path";

const args = process.argv.slice(2);
const roundsAt = args.indexOf("--rounds");
const rounds = roundsAt >= 0 ? Number(args.splice(roundsAt, 2)[1]) : 5;
if (args.length === 0 || !(rounds > 0)) {
  console.error("usage: engine_speed.mjs <site dir>... [--rounds N]");
  process.exit(2);
}

const NODE_LIMIT = 1500000;
// Openings of a few stones on 15 x 15, black first, in protocol x,y.
const POSITIONS = [
  [[7, 7], [8, 8], [8, 6]],
  [[7, 7], [8, 7], [6, 8], [8, 8], [7, 9]],
  [[7, 7], [6, 6], [8, 6], [6, 8], [6, 7], [8, 8]],
  [[7, 7], [7, 8], [8, 9], [6, 6], [9, 8], [8, 10], [10, 7]],
];

let replies = [];
globalThis.vantrel_reply_line = (line) => replies.push(line);
// The browser's worker pauses through its event loop; here setImmediate does.
globalThis.vantrel_pause = () => new Promise((resolve) => setImmediate(() => resolve(0)));

async function load(siteDir) {
  const create = createRequire(import.meta.url)(path.resolve(siteDir, "vantrel-engine.js"));
  const engine = await create();
  return engine.cwrap("vantrel_send", "number", ["string"], { async: true });
}

async function measure(send) {
  let nodes = 0;
  let ms = 0;
  for (const moves of POSITIONS) {
    replies = [];
    const stones = moves.map(([x, y], i) => `${x},${y},${(moves.length - i) % 2 === 0 ? 2 : 1}\n`).join("");
    await send(`START 15\nINFO max_node ${NODE_LIMIT}\nINFO timeout_turn 600000\nINFO time_left 2147483647\n` +
      `BOARD\n${stones}DONE\n`);
    const last = replies.filter((line) => line.startsWith("MESSAGE depth")).at(-1);
    const match = / nodes (\d+) nps \d+ time (\d+)/.exec(last ?? "");
    if (!match) throw new Error(`no search line in ${JSON.stringify(replies)}`);
    nodes += Number(match[1]);
    ms += Number(match[2]);
  }
  return { nodes, ms };
}

const engines = [];
for (const dir of args) engines.push({ dir, send: await load(dir), runs: [] });
for (let round = 0; round < rounds; round++) {
  for (const engine of engines) {
    const { nodes, ms } = await measure(engine.send);
    engine.runs.push((nodes * 1000) / ms);
    console.log(`round ${round + 1} ${engine.dir}: ${nodes} nodes in ${ms} ms, ${Math.round((nodes * 1000) / ms)} nodes/s`);
  }
}
for (const { dir, runs } of engines) {
  const sorted = [...runs].sort((a, b) => a - b);
  console.log(`${dir}: median ${Math.round(sorted[sorted.length >> 1])} nodes/s ` +
    `(min ${Math.round(sorted[0])}, max ${Math.round(sorted.at(-1))}, ${runs.length} runs)`);
}
