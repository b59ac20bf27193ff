// The page's side of the brain protocol: the turn it sends, the replies it
// reads, and the engine client's stop and cancel, which end the worker and
// start another (a fake Worker here: the real one runs in the browser test).
import { test } from "node:test";
import assert from "node:assert/strict";
import { EngineClient } from "../../web/engine_client.js";
import { describeScore, parseSearchLine, turnCommands } from "../../web/engine_protocol.js";

test("a turn lists the stones in move order, the side to move's as 1", () => {
  const moves = [{ x: 7, y: 7 }, { x: 8, y: 8 }, { x: 8, y: 6 }];
  const forWhite = turnCommands(moves, 2, 500).split("\n");
  assert.deepEqual(forWhite, ["INFO timeout_turn 500", "INFO time_left 2147483647",
    "BOARD", "7,7,2", "8,8,1", "8,6,2", "DONE", ""]);
  assert.deepEqual(turnCommands(moves, 1, 500).split("\n").slice(3, 6), ["7,7,1", "8,8,2", "8,6,1"]);
  assert.ok(turnCommands([], 1, 500).endsWith("BOARD\nDONE\n"));
});

test("search lines are read whole or not at all; scores near the win score are results", () => {
  assert.deepEqual(parseSearchLine("MESSAGE depth 9 score -3 nodes 383316 nps 1393876 time 275 pv 7,6 6,5"),
    { depth: 9, score: -3, nodes: 383316, nps: 1393876, time: 275, pv: [{ x: 7, y: 6 }, { x: 6, y: 5 }] });
  assert.equal(parseSearchLine("MESSAGE the rule is free-style"), null);
  assert.equal(parseSearchLine("MESSAGE depth 9 score x nodes 1 nps 1 time 1 pv 7,6"), null);
  assert.equal(parseSearchLine("MESSAGE depth 9 score 1 nodes 1 nps 1 time 1 pv 7;6"), null);
  assert.deepEqual([29999, 29997, -29998, -29995, 150, -40, 0].map(describeScore),
    ["win in 1", "win in 2", "loss in 1", "loss in 3", "+150", "\u221240", "0"]);
});

class FakeWorker {
  static all = [];
  posted = [];
  terminated = false;
  constructor() { FakeWorker.all.push(this); }
  postMessage(message) { this.posted.push(message.text); }
  terminate() { this.terminated = true; }
  say(data) { this.onmessage({ data }); }
  line(text) { this.say({ type: "line", text }); }
}

function client() {
  FakeWorker.all = [];
  const seen = { states: [], searches: [], errors: [] };
  const engine = new EngineClient({
    onState: (state) => seen.states.push(state),
    onSearch: (search) => seen.searches.push(search),
    onError: (text) => seen.errors.push(text),
  }, () => new FakeWorker());
  engine.start(15);
  return { engine, seen };
}

const SEARCH = "MESSAGE depth 6 score 12 nodes 900 nps 90000 time 10 pv 8,7 9,9";

test("commands wait for ready; a move ends the turn; the old worker's late lines are ignored", async () => {
  const { engine, seen } = client();
  const [worker] = FakeWorker.all;
  const reply = engine.think([{ x: 7, y: 7 }], 2, 500);
  assert.deepEqual(worker.posted, []);
  assert.equal(engine.state, "loading");
  worker.say({ type: "ready" });
  assert.equal(worker.posted[0], "START 15\n");
  assert.match(worker.posted[1], /timeout_turn 500/);
  assert.equal(engine.state, "thinking");
  worker.line("OK");
  worker.line(SEARCH);
  worker.line("8,7");
  assert.deepEqual(await reply, { move: { x: 8, y: 7 }, search: seen.searches[0], stopped: false });
  assert.equal(engine.state, "ready");

  const cancelled = engine.think([{ x: 7, y: 7 }, { x: 8, y: 7 }], 1, 500);
  engine.cancel();
  assert.equal(await cancelled, null);
  assert.ok(worker.terminated);
  const fresh = FakeWorker.all[1];
  const next = engine.think([{ x: 7, y: 7 }, { x: 8, y: 7 }], 1, 500);
  worker.line("9,9");
  fresh.say({ type: "ready" });
  fresh.line("5,5");
  assert.deepEqual((await next).move, { x: 5, y: 5 });
  assert.deepEqual(seen.errors, []);
});

test("stop plays the deepest search line's first move at once and restarts the worker", async () => {
  const { engine } = client();
  const [first] = FakeWorker.all;
  first.say({ type: "ready" });
  const reply = engine.think([{ x: 7, y: 7 }], 2, 10000);
  first.line(SEARCH.replace("depth 6", "depth 5").replace("pv 8,7", "pv 6,6"));
  first.line(SEARCH);
  engine.stop();
  assert.deepEqual((await reply).move, { x: 8, y: 7 });
  assert.equal((await reply).stopped, true);
  const fresh = FakeWorker.all[1];
  fresh.say({ type: "ready" });
  assert.deepEqual(fresh.posted, ["START 15\n"]);
  assert.equal(engine.state, "ready");
});

test("stop before any search line asks a fresh worker for a quick answer", async () => {
  const { engine } = client();
  FakeWorker.all[0].say({ type: "ready" });
  const moves = [{ x: 7, y: 7 }, { x: 8, y: 8 }];
  const reply = engine.think(moves, 1, 10000);
  engine.stop();
  const fresh = FakeWorker.all[1];
  fresh.say({ type: "ready" });
  assert.deepEqual(fresh.posted, ["START 15\n", turnCommands(moves, 1, 1)]);
  fresh.line("6,6");
  assert.deepEqual(await reply, { move: { x: 6, y: 6 }, search: null, stopped: true });
});
