// The browser engine's own speed, as the worker runs it (the search
// bench's tool is built without the worker's pausing clock): node-limited
// searches of a few positions through the protocol, nodes and time read
// from the last search line of each. Given two site folders, it searches
// each position with both, one right after the other and in alternating
// order, so that the load of a busy machine falls on both alike; it prints
// each build's nodes per second over all searches and the median of the
// second build's speed relative to the first over the pairs.
//
// Usage: node --no-experimental-fetch tests/web/engine_speed.mjs <site dir> [<site dir>] [--rounds N] [--nodes N]
// (more rounds of smaller searches keep each pair's two searches closer in
// time on a machine whose load changes from second to second)
import { createRequire } from "node:module";
import path from "node:path";

const args = process.argv.slice(2);
function option(name, fallback) {
  const at = args.indexOf(name);
  return at >= 0 ? Number(args.splice(at, 2)[1]) : fallback;
}
const rounds = option("--rounds", 5);
const nodeLimit = option("--nodes", 1500000);
if (args.length < 1 || args.length > 2 || !(rounds > 0) || !(nodeLimit > 0)) {
  console.error("usage: engine_speed.mjs <site dir> [<site dir>] [--rounds N] [--nodes N]");
  process.exit(2);
}

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

// One search of the position of `moves`: {nodes, ms} of its last search line.
async function search(send, moves) {
  replies = [];
  const stones = moves.map(([x, y], i) => `${x},${y},${(moves.length - i) % 2 === 0 ? 2 : 1}\n`).join("");
  await send(`START 15\nINFO max_node ${nodeLimit}\nINFO timeout_turn 600000\nINFO time_left 2147483647\n` +
    `BOARD\n${stones}DONE\n`);
  const last = replies.filter((line) => line.startsWith("MESSAGE depth")).at(-1);
  const match = / nodes (\d+) nps \d+ time (\d+)/.exec(last ?? "");
  if (!match) throw new Error(`no search line in ${JSON.stringify(replies)}`);
  return { nodes: Number(match[1]), ms: Number(match[2]) };
}

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

const engines = [];
for (const dir of args) engines.push({ dir, send: await load(dir), nodes: 0, ms: 0 });
const ratios = [];
for (let round = 0; round < rounds; round++) {
  for (const [index, moves] of POSITIONS.entries()) {
    const order = (round + index) % 2 === 0 ? engines : [...engines].reverse();
    const speeds = new Map();
    for (const engine of order) {
      const { nodes, ms } = await search(engine.send, moves);
      engine.nodes += nodes;
      engine.ms += ms;
      speeds.set(engine, nodes / ms);
    }
    if (engines.length === 2) ratios.push(speeds.get(engines[1]) / speeds.get(engines[0]));
  }
}
for (const { dir, nodes, ms } of engines) {
  console.log(`${dir}: ${nodes} nodes in ${ms} ms, ${Math.round((nodes * 1000) / ms)} nodes/s`);
}
if (ratios.length > 0) {
  console.log(`${args[1]} against ${args[0]}: median ${(median(ratios) * 100).toFixed(1)}% over ${ratios.length} ` +
    `pairs (lowest ${(Math.min(...ratios) * 100).toFixed(1)}%, highest ${(Math.max(...ratios) * 100).toFixed(1)}%)`);
}
