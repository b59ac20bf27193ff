// The brain as the page sees it: one Web Worker running the engine, and a
// queue of requests answered one at a time: a new board size, a brain turn,
// an analysis, black's forbidden points. Each request's commands go to the
// worker once the one before has had its last reply (OK, the move, the
// FORBID line), so every reply line belongs to the request at the head.
// A search is stopped through the worker, which hands the stop to the
// engine at the search's next pause; the engine answers its move at once
// and keeps its tables. A request cancelled while it runs is stopped the
// same way and its answer dropped. Only a failure (an ERROR or UNKNOWN
// reply, an engine that aborts) ends the worker and starts a fresh one,
// which takes the rest of the queue.

import {
  PvBlockReader, analysisCommands, forbiddenCommands, parseForbid, parseMove, parseSearchLine, turnCommands,
} from "./engine_protocol.js";

const WORKER_URL = "engine_worker.js";
const SEARCHES = ["turn", "analysis"];

// One request: what it sends, how its answer is read and where it goes.
class Request {
  constructor(kind, text, onProgress) {
    this.kind = kind;
    this.text = text;
    this.onProgress = onProgress;
    this.stopped = false;    // a stop was asked: the move is the best found so far
    this.cancelled = false;  // answered null already; its replies are dropped
    this.sent = false;
    this.byDepth = new Map();
    this.latest = null;
    this.result = new Promise((resolve, reject) => {
      this.resolve = resolve;
      this.reject = reject;
    });
  }
}

// What a caller holds: the answer, and the means to stop or cancel it.
class Handle {
  #client;
  #request;

  constructor(client, request) {
    this.#client = client;
    this.#request = request;
    this.result = request.result;
  }

  // A search ends now with the best move found so far.
  stop() {
    this.#client.stopRequest(this.#request);
  }

  // The request answers null now and its search, if running, is stopped.
  cancel() {
    this.#client.cancelRequest(this.#request);
  }
}

export class EngineClient {
  #createWorker;
  #listeners;
  #worker = null;
  #ready = false;
  #size = null;
  #queue = [];
  #current = null;
  #reader = new PvBlockReader();
  // Whether the engine has written INFO PV blocks: from then on a search
  // line gives its speed only, not a line of its own ahead of the block.
  #infoBlocks = false;

  // listeners: onState(state), onError(text); state is "loading", "ready",
  // "thinking" (a brain turn runs) or "analysing".
  constructor(listeners, createWorker = () => new Worker(WORKER_URL)) {
    this.#listeners = listeners;
    this.#createWorker = createWorker;
  }

  get state() {
    if (!this.#ready) return "loading";
    const kind = this.#current && !this.#current.cancelled ? this.#current.kind : null;
    return kind === "turn" ? "thinking" : kind === "analysis" ? "analysing" : "ready";
  }

  // A size x size board for every later request; the first call starts the
  // worker. The engine is made anew only when the size changes.
  start(size) {
    if (size === this.#size && this.#worker) return;
    this.#size = size;
    if (!this.#worker) this.#spawn();
    else this.#enqueue(new Request("start", `START ${size}\n`));
  }

  // The brain's move for the side to move in the position of `moves`
  // within timeMs: {move, stopped, progress} (progress: the deepest
  // iteration read, or null). onProgress(progress) after every iteration:
  // {depth, lines: [{rank, depth, evaluation, winrate, moves}], nps}.
  think(moves, rule, timeMs, onProgress = () => {}) {
    return this.#enqueue(new Request("turn", turnCommands(moves, rule, timeMs), onProgress));
  }

  // Analyses the position of `moves` with `lines` candidate moves until
  // stopped; onProgress as for think, every iteration with all its lines.
  analyse(moves, rule, lines, onProgress) {
    return this.#enqueue(new Request("analysis", analysisCommands(moves, rule, lines, this.#size), onProgress));
  }

  // Black's forbidden points in the position of `moves`: [{x, y}].
  forbidden(moves, rule) {
    return this.#enqueue(new Request("forbidden", forbiddenCommands(moves, rule)));
  }

  stopRequest(request) {
    if (!SEARCHES.includes(request.kind) || request.stopped) return;
    request.stopped = true;
    if (request.sent && request === this.#current) this.#worker.postMessage({ stop: true });
  }

  cancelRequest(request) {
    if (request.cancelled || (request.sent && request !== this.#current)) return;
    request.cancelled = true;
    request.resolve(null);
    if (!request.sent) this.#queue.splice(this.#queue.indexOf(request), 1);
    else this.stopRequest(request);
    this.#notifyState();
  }

  #enqueue(request) {
    this.#queue.push(request);
    this.#next();
    return new Handle(this, request);
  }

  // Sends the next request once the worker is ready and idle.
  #next() {
    if (!this.#ready || this.#current || this.#queue.length === 0) {
      this.#notifyState();
      return;
    }
    const request = this.#queue.shift();
    this.#current = request;
    request.sent = true;
    this.#worker.postMessage({ text: request.text });
    if (request.stopped) this.#worker.postMessage({ stop: true });
    this.#notifyState();
  }

  #spawn() {
    const worker = this.#createWorker();
    this.#worker = worker;
    this.#ready = false;
    this.#reader = new PvBlockReader();
    // A replaced worker's last messages may still be on their way.
    worker.onmessage = (event) => {
      if (worker === this.#worker) this.#receive(event.data);
    };
    // A worker that cannot be loaded would fail again: no fresh one.
    worker.onerror = (event) => {
      if (worker !== this.#worker) return;
      event.preventDefault?.();
      const text = `the engine worker failed: ${event.message || "it could not be loaded"}`;
      for (const request of [this.#current, ...this.#queue.splice(0)]) {
        if (request && !request.cancelled) request.reject(new Error(text));
      }
      this.#current = null;
      this.#listeners.onError(text);
    };
    this.#queue.unshift(new Request("start", `START ${this.#size}\n`));
    this.#notifyState();
  }

  #receive(message) {
    if (message.type === "ready") {
      this.#ready = true;
      this.#next();
    } else if (message.type === "line") {
      this.#readLine(message.text);
    } else if (message.type === "error") {
      this.#fail(`the engine stopped: ${message.text}`);
    }
  }

  #readLine(text) {
    const request = this.#current;
    if (!request) return;
    if (text.startsWith("ERROR") || text.startsWith("UNKNOWN")) {
      this.#fail(`the engine refused a command: ${text}`);
      return;
    }
    if (request.kind === "start") {
      if (text === "OK") this.#finish(undefined);
    } else if (request.kind === "forbidden") {
      const points = parseForbid(text);
      if (points) this.#finish(points);
    } else {
      this.#readSearchLine(request, text);
    }
  }

  #readSearchLine(request, text) {
    const iteration = this.#reader.read(text);
    if (iteration) {
      this.#infoBlocks = true;
      this.#progress(request, iteration.depth, (entry) => {
        entry.lines = iteration.lines;
        entry.fromInfo = true;
      });
      return;
    }
    if (iteration !== undefined) return;
    const search = parseSearchLine(text);
    if (search) {
      this.#progress(request, search.depth, (entry) => {
        entry.nps = search.nps;
        // An engine that writes no INFO PV block: the line's own score
        // (never for an analysis, whose lines only the blocks give).
        if (!entry.fromInfo && !this.#infoBlocks && request.kind === "turn") {
          entry.lines = [{ rank: 1, depth: search.depth, evaluation: { kind: "score", value: search.score },
            winrate: null, moves: search.pv }];
        }
      });
      return;
    }
    const move = parseMove(text);
    if (move) this.#finish({ move, stopped: request.stopped, progress: request.latest });
  }

  #progress(request, depth, update) {
    const entry = request.byDepth.get(depth) ?? { depth, lines: [], nps: null, fromInfo: false };
    request.byDepth.set(depth, entry);
    update(entry);
    if (entry.lines.length === 0 || entry.lines[0].moves.length === 0) return;
    const progress = { depth, lines: entry.lines, nps: entry.nps };
    if (!request.latest || depth >= request.latest.depth) request.latest = progress;
    if (!request.cancelled) request.onProgress(progress);
  }

  #finish(answer) {
    const request = this.#current;
    this.#current = null;
    if (!request.cancelled) request.resolve(answer);
    this.#next();
  }

  // The current request fails; a fresh worker takes the queue.
  #fail(text) {
    const request = this.#current;
    this.#current = null;
    this.#worker.terminate();
    this.#spawn();
    this.#listeners.onError(text);
    if (request && !request.cancelled) request.reject(new Error(text));
  }

  #notifyState() {
    this.#listeners.onState(this.state);
  }
}
