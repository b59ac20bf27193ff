// The page's side of the brain protocol: the commands it sends, the replies
// it reads (search lines, INFO PV blocks, FORBID lines), and the engine
// client's queue, stop and cancel against a fake Worker (the real one runs
// in the browser test).
import { test } from "node:test";
import assert from "node:assert/strict";
import { EngineClient } from "../../web/engine_client.js";
import {
  PvBlockReader, analysisCommands, describeEval, evalLabel, forbiddenCommands, parseEval, parseForbid,
  parseSearchLine, turnCommands,
} from "../../web/engine_protocol.js";

const MOVES = [{ x: 7, y: 7 }, { x: 8, y: 8 }, { x: 8, y: 6 }];

test("commands: the side to move's stones as 1, the rule's INFO value, play's and analysis's limits", () => {
  const turn = turnCommands(MOVES, "caro", 500).split("\n");
  assert.deepEqual(turn.slice(0, 2), ["INFO rule 8", "INFO show_detail 3"]);
  assert.ok(turn.includes("INFO timeout_turn 500") && turn.includes("INFO max_node 0"));
  // White to move: its stone is 1.
  assert.deepEqual(turn.slice(-6), ["BOARD", "7,7,2", "8,8,1", "8,6,2", "DONE", ""]);
  const analysis = analysisCommands(MOVES.slice(0, 2), "renju", 3, 15).split("\n");
  assert.equal(analysis[0], "INFO rule 4");
  for (const line of ["INFO max_node -1", "INFO timeout_turn 2000000", "INFO timeout_match 100000000",
    "INFO max_depth 225"]) assert.ok(analysis.includes(line), line);
  assert.deepEqual(analysis.slice(-6), ["yxboard", "7,7,1", "8,8,2", "done", "yxnbest 3", ""]);
  assert.ok(forbiddenCommands([], "renju").endsWith("yxboard\ndone\nyxshowforbid\n"));
});

test("replies: search lines, FORBID lines and evaluations are read whole or not at all", () => {
  assert.deepEqual(parseSearchLine("MESSAGE depth 9 score -3 nodes 383316 nps 1393876 time 275 pv 7,6 6,5"),
    { depth: 9, score: -3, nodes: 383316, nps: 1393876, time: 275, pv: [{ x: 7, y: 6 }, { x: 6, y: 5 }] });
  assert.equal(parseSearchLine("MESSAGE depth 9 score 1 nodes 1 nps 1 time 1 pv 7;6"), null);
  assert.deepEqual(parseForbid("FORBID 07081210."), [{ x: 7, y: 8 }, { x: 12, y: 10 }]);
  assert.deepEqual(parseForbid("FORBID ."), []);
  for (const line of ["FORBID 0708121.", "FORBID 0708", "FORBIDDEN ."]) assert.equal(parseForbid(line), null, line);
  assert.deepEqual(["+M3", "-M1", "M2", "29", "-7", "M", "3.5"].map(parseEval), [
    { kind: "win", moves: 3 }, { kind: "loss", moves: 1 }, { kind: "win", moves: 2 },
    { kind: "score", value: 29 }, { kind: "score", value: -7 }, null, null]);
  assert.deepEqual(["+M3", "-M1", "29", "-7"].map((word) => describeEval(parseEval(word))),
    ["win in 3", "loss in 1", "+29", "\u22127"]);
  assert.deepEqual([["+M3", 1], ["-M2", 0], ["12", 0.5734]].map(([e, w]) => evalLabel({ evaluation: parseEval(e), winrate: w })),
    ["W3", "L2", "57%"]);
});

function pvBlock(index, count, depth, evaluation, winrate, line) {
  return [`INFO PV ${index}`, `INFO NUMPV ${count}`, `INFO DEPTH ${depth}`, `INFO EVAL ${evaluation}`,
    `INFO WINRATE ${winrate}`, `INFO BESTLINE ${line}`, "INFO PV DONE"];
}

test("INFO PV blocks: an iteration is complete with its last line; a broken block is dropped", () => {
  const reader = new PvBlockReader();
  const lines = [...pvBlock(0, 2, 10, "29", "0.573", "8,6 6,6"), "INFO SELDEPTH 14",
    ...pvBlock(1, 2, 10, "-M4", "0.000", "6,8")];
  const results = lines.map((line) => reader.read(line));
  assert.ok(results.slice(0, -1).every((r) => r === null));
  assert.deepEqual(results.at(-1), { depth: 10, lines: [
    { rank: 1, depth: 10, evaluation: { kind: "score", value: 29 }, winrate: 0.573, moves: [{ x: 8, y: 6 }, { x: 6, y: 6 }] },
    { rank: 2, depth: 10, evaluation: { kind: "loss", moves: 4 }, winrate: 0, moves: [{ x: 6, y: 8 }] }] });
  assert.equal(reader.read("MESSAGE REALTIME BEST 8,6"), undefined);
  const broken = pvBlock(0, 1, 11, "29", "1.5", "8,6");
  assert.deepEqual(broken.map((line) => reader.read(line)), broken.map(() => null));
});

class FakeWorker {
  static all = [];
  posted = [];
  terminated = false;
  constructor() { FakeWorker.all.push(this); }
  postMessage(message) { this.posted.push(message.stop ? "<stop>" : message.text); }
  terminate() { this.terminated = true; }
  say(data) { this.onmessage({ data }); }
  lines(...texts) { for (const text of texts) this.say({ type: "line", text }); }
}

function client() {
  FakeWorker.all = [];
  const seen = { states: [], errors: [] };
  const engine = new EngineClient({
    onState: (state) => seen.states.push(state),
    onError: (text) => seen.errors.push(text),
  }, () => new FakeWorker());
  engine.start(15);
  return { engine, seen, worker: FakeWorker.all[0] };
}

const SEARCH = "MESSAGE depth 6 score 12 nodes 900 nps 90000 time 10 pv 8,7 9,9";

test("requests go one at a time: each waits for the last reply of the one before", async () => {
  const { engine, seen, worker } = client();
  const progress = [];
  const turn = engine.think(MOVES, "freestyle", 500, (p) => progress.push(p));
  const forbid = engine.forbidden(MOVES.slice(0, 2), "renju");
  assert.deepEqual(worker.posted, []);
  assert.equal(engine.state, "loading");
  worker.say({ type: "ready" });
  assert.deepEqual(worker.posted, ["START 15\n"]);
  worker.lines("OK");
  assert.equal(worker.posted.length, 2);
  assert.equal(engine.state, "thinking");
  // The engine's own score when no INFO block comes, then the block's evaluation.
  worker.lines(SEARCH, ...pvBlock(0, 1, 6, "+M2", "1.000", "8,7 9,9 8,8"));
  assert.deepEqual(progress.map((p) => p.lines[0].evaluation), [{ kind: "score", value: 12 }, { kind: "win", moves: 2 }]);
  assert.equal(progress[1].nps, 90000);
  worker.lines("8,7");
  assert.deepEqual(await turn.result, { move: { x: 8, y: 7 }, stopped: false, progress: progress[1] });
  assert.equal(worker.posted[2], forbiddenCommands(MOVES.slice(0, 2), "renju"));
  worker.lines("FORBID 06060606.");
  assert.deepEqual(await forbid.result, [{ x: 6, y: 6 }, { x: 6, y: 6 }]);
  assert.equal(engine.state, "ready");
  // Once the engine writes blocks, a search line ahead of its block is speed only.
  const later = [];
  engine.analyse(MOVES, "freestyle", 2, (p) => later.push(p));
  worker.lines(SEARCH);
  assert.deepEqual(later, []);
  worker.lines(...pvBlock(0, 2, 6, "5", "0.510", "8,7"), ...pvBlock(1, 2, 6, "3", "0.505", "9,9"));
  assert.deepEqual(later.map((p) => [p.lines.length, p.nps]), [[2, 90000]]);
  assert.deepEqual(seen.errors, []);
});

test("stop reaches the running search through the worker; cancel drops the answer and the queue goes on after it", async () => {
  const { engine, worker } = client();
  worker.say({ type: "ready" });
  worker.lines("OK");
  const analysis = engine.analyse(MOVES, "freestyle", 3, () => {});
  assert.equal(engine.state, "analysing");
  analysis.stop();
  assert.equal(worker.posted.at(-1), "<stop>");
  worker.lines("8,7");
  assert.equal((await analysis.result).stopped, true);

  const turn = engine.think(MOVES, "freestyle", 10000);
  const next = engine.forbidden(MOVES, "renju");
  const queued = engine.forbidden([], "renju");
  queued.cancel();
  turn.cancel();
  assert.equal(await turn.result, null);
  assert.equal(await queued.result, null);
  assert.equal(worker.posted.at(-1), "<stop>");
  assert.equal(engine.state, "ready");
  worker.lines(SEARCH, "8,7");
  worker.lines("FORBID .");
  assert.deepEqual(await next.result, []);
  assert.equal(worker.posted.filter((text) => text.includes("yxshowforbid")).length, 1, "the cancelled one never sent");
  // A search stopped before it was sent is stopped as soon as it is.
  const early = engine.think(MOVES, "freestyle", 10000);
  early.stop();
  assert.deepEqual(worker.posted.slice(-2), [turnCommands(MOVES, "freestyle", 10000), "<stop>"]);
});

test("a refused command fails its request and a fresh worker takes the rest of the queue", async () => {
  const { engine, seen, worker } = client();
  worker.say({ type: "ready" });
  worker.lines("OK");
  const analysis = engine.analyse(MOVES, "freestyle", 3, () => {});
  const forbid = engine.forbidden(MOVES, "renju");
  worker.lines("UNKNOWN command");
  await assert.rejects(analysis.result, /refused a command: UNKNOWN/);
  assert.ok(worker.terminated);
  assert.equal(seen.errors.length, 1);
  const fresh = FakeWorker.all[1];
  worker.lines("UNKNOWN command");  // late lines of the old worker change nothing
  fresh.say({ type: "ready" });
  fresh.lines("OK");
  assert.match(fresh.posted[1], /yxshowforbid/);
  fresh.lines("FORBID .");
  assert.deepEqual(await forbid.result, []);
});
