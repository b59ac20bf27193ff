// The brain as the page sees it: one Web Worker running the engine, one turn
// asked at a time. Commands wait here until the worker says it is ready.
// A turn cannot be interrupted inside the worker (it runs to its end inside
// one message), so stopping and cancelling end the worker and start a fresh
// one on the same board size; every turn sends the whole position, so the
// fresh worker needs nothing else replayed.

import { parseMove, parseSearchLine, turnCommands } from "./engine_protocol.js";

const WORKER_URL = "engine_worker.js";
// A stopped turn with no search line yet is asked again with this budget:
// the brain then answers from its first look at the position.
const QUICK_TURN_MS = 1;

export class EngineClient {
  #createWorker;
  #listeners;
  #worker = null;
  #ready = false;
  #waiting = [];
  #size = null;
  // The turn being searched: {moves, ownColour, lastSearch, resolve, reject}.
  #turn = null;

  // listeners: onState(state), onSearch(search), onError(text);
  // state is "loading", "ready" or "thinking".
  constructor(listeners, createWorker = () => new Worker(WORKER_URL)) {
    this.#listeners = listeners;
    this.#createWorker = createWorker;
  }

  get state() {
    if (!this.#ready) return "loading";
    return this.#turn ? "thinking" : "ready";
  }

  get busy() {
    return this.#turn !== null;
  }

  // A new engine for a size x size board; the first call starts the worker.
  start(size) {
    this.cancel();
    this.#size = size;
    if (this.#worker) this.#send(`START ${size}\n`);
    else this.#spawn();
  }

  // Resolves to {move: {x, y}, search, stopped} once the brain has chosen a
  // move for ownColour (1 black, 2 white) in the position of `moves`; search
  // is the last search line read (or null), stopped whether stop() ended it.
  // Resolves to null if cancel() ends the turn first.
  think(moves, ownColour, timeMs) {
    if (this.#turn) throw new Error("the brain is already thinking");
    return new Promise((resolve, reject) => {
      this.#turn = { moves, ownColour, lastSearch: null, stopped: false, resolve, reject };
      this.#send(turnCommands(moves, ownColour, timeMs));
      this.#notifyState();
    });
  }

  // Ends the turn now with the move of the deepest search iteration read;
  // with none read yet, a fresh worker is asked for a quick answer.
  stop() {
    const turn = this.#turn;
    if (!turn) return;
    this.#respawn();
    const best = turn.lastSearch?.pv[0];
    if (best) {
      this.#finish({ move: best, search: turn.lastSearch, stopped: true });
    } else {
      turn.stopped = true;
      this.#send(turnCommands(turn.moves, turn.ownColour, QUICK_TURN_MS));
    }
  }

  // Ends the turn without a move.
  cancel() {
    if (!this.#turn) return;
    this.#respawn();
    this.#finish(null);
  }

  #spawn() {
    const worker = this.#createWorker();
    this.#worker = worker;
    this.#ready = false;
    this.#waiting = [`START ${this.#size}\n`];
    // A terminated worker's last messages may still be on their way.
    worker.onmessage = (event) => {
      if (worker === this.#worker) this.#receive(event.data);
    };
    worker.onerror = (event) => {
      if (worker !== this.#worker) return;
      event.preventDefault?.();
      this.#fail(`the engine worker failed: ${event.message || "it could not be loaded"}`);
    };
    this.#notifyState();
  }

  #respawn() {
    this.#worker.terminate();
    this.#spawn();
  }

  #send(text) {
    if (this.#ready) this.#worker.postMessage({ text });
    else this.#waiting.push(text);
  }

  #receive(message) {
    if (message.type === "ready") {
      this.#ready = true;
      for (const text of this.#waiting.splice(0)) this.#worker.postMessage({ text });
      this.#notifyState();
    } else if (message.type === "line") {
      this.#readLine(message.text);
    } else if (message.type === "error") {
      // The engine aborted: a fresh one keeps the page playable.
      this.#respawn();
      this.#fail(`the engine stopped: ${message.text}`);
    }
  }

  #readLine(text) {
    if (text.startsWith("ERROR")) {
      this.#fail(`the engine refused a command: ${text}`);
      return;
    }
    const turn = this.#turn;
    if (!turn) return;  // OK after START, ABOUT's line
    const search = parseSearchLine(text);
    if (search) {
      turn.lastSearch = search;
      this.#listeners.onSearch(search);
      return;
    }
    const move = parseMove(text);
    if (move) this.#finish({ move, search: turn.lastSearch, stopped: turn.stopped });
  }

  #finish(result) {
    const turn = this.#turn;
    this.#turn = null;
    this.#notifyState();
    turn.resolve(result);
  }

  #fail(text) {
    const turn = this.#turn;
    this.#turn = null;
    this.#listeners.onError(text);
    this.#notifyState();
    turn?.reject(new Error(text));
  }

  #notifyState() {
    this.#listeners.onState(this.state);
  }
}
