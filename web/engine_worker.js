// The engine's Web Worker: the brain compiled to WebAssembly, driven by the
// protocol's own text. The page posts {text} with whole command lines (a
// BOARD block whole, with its DONE); the worker posts {type: "ready"} once
// the engine is loaded, then {type: "line", text} for every reply line as
// the brain writes it (search lines while a turn runs, then the move),
// {type: "ended"} after END, and {type: "error", text} if the engine fails.
// A turn runs to its end inside one message: to stop it, the page ends the
// worker and starts a new one.
importScripts("vantrel-engine.js");

let send = null;
const waiting = [];

// Called by the engine for every reply line it writes.
self.vantrel_reply_line = (text) => postMessage({ type: "line", text });

function run(text) {
  if (send(text) === 1) {
    postMessage({ type: "ended" });
    close();
  }
}

onmessage = (event) => {
  if (send) run(event.data.text);
  else waiting.push(event.data.text);
};

createVantrelEngine({
  onAbort: (what) => postMessage({ type: "error", text: String(what) }),
}).then((engine) => {
  send = engine.cwrap("vantrel_send", "number", ["string"]);
  postMessage({ type: "ready" });
  for (const text of waiting.splice(0)) run(text);
}, (error) => postMessage({ type: "error", text: String(error) }));
