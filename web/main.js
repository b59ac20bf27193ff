// The page controller: it owns the game, the settings and the one search
// running at a time (the brain's turn or a hint), turns the person's clicks
// and the controls into moves and engine requests, and after every change
// renders the board, the status and the controls and writes the state into
// the URL. The modules it uses hold no state of the page themselves.

import { BoardView } from "./board_view.js";
import { EngineClient } from "./engine_client.js";
import { BLACK, EMPTY, Game, WHITE, colourName, otherColour, pointName } from "./game.js";
import { describeScore } from "./engine_protocol.js";
import { ThinkingView } from "./thinking_view.js";
import { readState, writeState } from "./url_state.js";

const TIME_PRESETS_MS = [500, 1000, 3000, 10000];
const SIZE_PRESETS = [15, 20];
const IDLE_CAPTION = "Vantrel's search shows here while it thinks.";

const $ = (id) => document.getElementById(id);
const controls = {
  status: $("status"),
  notice: $("notice"),
  noticeText: $("notice-text"),
  newGame: $("new-game"),
  undo: $("undo"),
  hint: $("hint"),
  stop: $("stop"),
  brain: $("brain-colour"),
  time: $("time"),
  size: $("size"),
  numbers: $("numbers"),
};

const page = {
  settings: null,  // {size, brain: "black" | "white", time (ms)}
  game: null,
  numbers: false,
  search: null,    // {kind: "brain" | "hint", colour, pv}
  hint: null,      // {x, y}
};

const board = new BoardView($("board"), playPersonMove);
const thinking = new ThinkingView($("thinking-caption"), $("thinking"));
const engine = new EngineClient({
  onState: showEngineState,
  onSearch: showSearch,
  onError: (text) => showNotice([`Vantrel's engine failed: ${text}.`]),
});

function brainColour() {
  return page.settings.brain === "black" ? BLACK : WHITE;
}

function personColour() {
  return otherColour(brainColour());
}

function isBrainTurn() {
  return !page.game.over && page.game.turn === brainColour();
}

function personStoneCount() {
  return page.game.moves.filter((_, index) => (index % 2 === 0 ? BLACK : WHITE) === personColour()).length;
}

// --- Searches -------------------------------------------------------------

function startSearch(kind) {
  const colour = kind === "brain" ? brainColour() : personColour();
  const search = { kind, colour, pv: null };
  page.search = search;
  const budget = secondsLabel(page.settings.time);
  thinking.begin(kind === "brain"
    ? `Vantrel's search for ${colourName(colour)}, up to ${budget}\u2026`
    : `Hint search for ${colourName(colour)}, up to ${budget}\u2026`);
  engine.think(page.game.moves, colour, page.settings.time).then(
    (result) => finishSearch(search, result),
    () => abandonSearch(search),
  );
  update();
}

function maybeBrainMove() {
  if (isBrainTurn() && !page.search) startSearch("brain");
}

// Ends the running search without a move (undo, new game, a setting).
function cancelSearch(caption) {
  if (!page.search) return;
  page.search = null;
  engine.cancel();
  thinking.end(caption);
}

function abandonSearch(search) {
  if (page.search !== search) return;
  page.search = null;
  thinking.end("The search failed.");
  update();
}

function showSearch(line) {
  if (!page.search) return;
  page.search.pv = line.pv;
  thinking.add(line, page.game.size);
  update();
}

function resultCaption(kind, move, result) {
  const name = pointName(move.x, move.y, page.game.size);
  const { search, stopped } = result;
  // Without a search line the move came from the brain's first look.
  const from = search ? ` (depth ${search.depth}, ${describeScore(search.score)})` : stopped ? " (first look)" : "";
  if (kind === "hint") return `Hint: ${name}${from}.`;
  return `${stopped ? "Moved now" : "Played"}: ${name}${from}.`;
}

function finishSearch(search, result) {
  if (page.search !== search || !result) return;
  page.search = null;
  const { move } = result;
  const refusal = page.game.refusal(move.x, move.y);
  if (refusal) {
    thinking.end("The engine's answer was not a legal move.");
    showNotice([`Vantrel answered ${move.x},${move.y}, but ${refusal}; the move was not played.`]);
    update();
    return;
  }
  thinking.end(resultCaption(search.kind, move, result));
  if (search.kind === "hint") page.hint = move;
  else page.game.play(move.x, move.y);
  update();
}

// --- The person's actions -------------------------------------------------

function playPersonMove(x, y) {
  const { game } = page;
  if (game.over || isBrainTurn() || page.search?.kind === "brain") return;
  if (game.stoneAt(x, y) !== EMPTY) return;
  cancelSearch("Hint search stopped.");
  page.hint = null;
  game.play(x, y);
  update();
  maybeBrainMove();
}

// Takes back the person's last move and the brain's reply to it, or only
// the person's move while the brain is still thinking about it.
function undo() {
  if (personStoneCount() === 0) return;
  const { game } = page;
  const lastIsBrain = (game.moveCount % 2 === 1 ? BLACK : WHITE) === brainColour();
  cancelSearch("Taken back.");
  page.hint = null;
  if (lastIsBrain) game.undo();
  game.undo();
  update();
  maybeBrainMove();
}

function newGame() {
  cancelSearch("New game.");
  page.hint = null;
  if (page.game?.size !== page.settings.size) {
    engine.start(page.settings.size);
    board.build(page.settings.size);
  }
  page.game = new Game(page.settings.size);
  thinking.begin(IDLE_CAPTION);
  update();
  maybeBrainMove();
}

function changeBrainColour() {
  page.settings.brain = controls.brain.value;
  cancelSearch("Colours changed.");
  page.hint = null;
  update();
  maybeBrainMove();
}

// --- Rendering ------------------------------------------------------------

function statusLine() {
  const { game } = page;
  const result = game.result;
  if (result?.winner === EMPTY) return { text: "Draw: the board is full.", result: "draw" };
  if (result) {
    const who = result.winner === brainColour() ? "Vantrel wins" : "You win";
    return { text: `${who}: five in a row for ${colourName(result.winner)}.`, result: colourName(result.winner) };
  }
  const colour = colourName(game.turn);
  if (isBrainTurn()) {
    if (engine.state === "loading") return { text: `Vantrel (${colour}) to move: loading\u2026`, result: null };
    const thinkingNow = page.search?.kind === "brain";
    return { text: thinkingNow ? `Vantrel (${colour}) is thinking\u2026` : `Vantrel (${colour}) to move.`, result: null };
  }
  return { text: `Your move (${colour}).`, result: null };
}

function update() {
  const { game, search } = page;
  const status = statusLine();
  controls.status.textContent = status.text;
  if (status.result) controls.status.dataset.result = status.result;
  else delete controls.status.dataset.result;

  controls.undo.disabled = personStoneCount() === 0;
  controls.hint.disabled = game.over || isBrainTurn() || search !== null;
  controls.stop.disabled = search === null;
  controls.stop.textContent = search?.kind === "hint" ? "Hint now" : "Move now";

  board.render({
    game,
    numbers: page.numbers,
    pv: search?.pv ?? null,
    pvColour: search?.colour ?? BLACK,
    hint: page.hint,
    personColour: personColour(),
    playable: !game.over && !isBrainTurn() && search?.kind !== "brain",
  });
  writeUrl();
}

function writeUrl() {
  const search = writeState({ ...page.settings, moves: page.game.moves });
  if (location.search !== search) history.replaceState(null, "", search);
}

function showEngineState(state) {
  const body = document.body;
  if (state !== "loading" && !body.dataset.readyMs) body.dataset.readyMs = String(Math.round(performance.now()));
  body.dataset.brain = state;
  if (page.game) update();
}

function showNotice(lines) {
  controls.noticeText.replaceChildren(...lines.map((line) => {
    const paragraph = document.createElement("p");
    paragraph.textContent = line;
    return paragraph;
  }));
  controls.notice.hidden = false;
}

// --- Setting up -----------------------------------------------------------

function secondsLabel(ms) {
  return `${ms / 1000} s`;
}

// A select's choices: the presets and the link's value if it is not one.
function fillSelect(select, presets, value, label) {
  const values = [...new Set([...presets, value])].sort((a, b) => a - b);
  select.replaceChildren(...values.map((choice) => new Option(label(choice), String(choice))));
  select.value = String(value);
}

function setUp() {
  const state = readState(location.search);
  page.settings = { size: state.size, brain: state.brain, time: state.time };
  if (state.notices.length > 0) showNotice(state.notices);

  fillSelect(controls.time, TIME_PRESETS_MS, state.time, secondsLabel);
  fillSelect(controls.size, SIZE_PRESETS, state.size, (size) => `${size} x ${size}`);
  controls.brain.value = state.brain;
  controls.numbers.checked = page.numbers;

  engine.start(state.size);
  board.build(state.size);
  page.game = new Game(state.size);
  for (const { x, y } of state.moves) page.game.play(x, y);

  controls.newGame.addEventListener("click", newGame);
  controls.undo.addEventListener("click", undo);
  controls.hint.addEventListener("click", () => startSearch("hint"));
  controls.stop.addEventListener("click", () => engine.stop());
  controls.brain.addEventListener("change", changeBrainColour);
  controls.time.addEventListener("change", () => {
    page.settings.time = Number(controls.time.value);
    update();
  });
  controls.size.addEventListener("change", () => {
    page.settings.size = Number(controls.size.value);
    newGame();
  });
  controls.numbers.addEventListener("change", () => {
    page.numbers = controls.numbers.checked;
    update();
  });
  $("notice-close").addEventListener("click", () => {
    controls.notice.hidden = true;
  });

  update();
  maybeBrainMove();
}

setUp();
