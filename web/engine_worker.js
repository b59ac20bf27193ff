// The engine's Web Worker: the brain compiled to WebAssembly, driven by the
// protocol's own text. The page posts {text} with whole command lines (a
// BOARD block whole, with its DONE) and {stop: true} to stop the running
// search; the worker posts {type: "ready"} once the engine is loaded, then
// {type: "line", text} for every reply line as the brain writes it (search
// lines while a search runs, then the move), {type: "ended"} after END, and
// {type: "error", text} if the engine fails.
//
// A search pauses about every 20 ms (app/web_engine.cpp) and this worker's
// event loop runs meanwhile: texts that arrive wait for the running call to
// end; a stop is handed to the search at its next pause, and the search
// ends with its move line. The engine and its tables stay.
importScripts("vantrel-engine.js");

let send = null;
const waiting = [];
let running = false;
// A stop asked during the running call; each call starts without one.
let stopAsked = false;

// A pause's way round the event loop: a message to itself, which, unlike a
// timer, is not held back to 4 ms when pauses follow one another.
const pauses = new MessageChannel();
let resumeSearch = null;
pauses.port1.onmessage = () => {
  const resume = resumeSearch;
  resumeSearch = null;
  resume(stopAsked ? 1 : 0);
};

// Called by the engine: resolves to 1 when the search is to stop, else 0.
self.vantrel_pause = () => new Promise((resolve) => {
  resumeSearch = resolve;
  pauses.port2.postMessage(null);
});

// Called by the engine for every reply line it writes.
self.vantrel_reply_line = (text) => postMessage({ type: "line", text });

async function runWaiting() {
  if (running || !send) return;
  running = true;
  while (waiting.length > 0) {
    stopAsked = false;
    if (await send(waiting.shift()) === 1) {
      postMessage({ type: "ended" });
      close();
      return;
    }
  }
  running = false;
}

onmessage = (event) => {
  if (event.data.stop) {
    if (running) stopAsked = true;
    return;
  }
  waiting.push(event.data.text);
  runWaiting();
};

createVantrelEngine({
  onAbort: (what) => postMessage({ type: "error", text: String(what) }),
}).then((engine) => {
  send = engine.cwrap("vantrel_send", "number", ["string"], { async: true });
  postMessage({ type: "ready" });
  runWaiting();
}, (error) => postMessage({ type: "error", text: String(error) }));
