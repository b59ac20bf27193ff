// The page controller: it owns the settings and the game (the line of moves
// and the move shown), turns the person's clicks, taps, keys and controls
// into moves and engine requests, and after every change renders the board,
// the status, the controls, the graph and the position string and writes
// the state into the URL. The brain's searches are play_turns.js's (play
// mode) and analysis_session.js's (analysis mode); black's fouls in renju
// are foul_checks.js's; the views hold no state of the page.

import { AnalysisSession } from "./analysis_session.js";
import { BoardView } from "./board_view.js";
import { BLACK, WHITE, otherColour } from "./colours.js";
import { EngineClient } from "./engine_client.js";
import { EvaluationView } from "./evaluation_view.js";
import { FoulChecks } from "./foul_checks.js";
import { Game } from "./game.js";
import { formatMoves, pointName } from "./notation.js";
import { PlayTurns } from "./play_turns.js";
import { PositionBox } from "./position_box.js";
import { RULES, ruleById } from "./rules.js";
import { candidateLine, statusLine } from "./page_text.js";
import { ThinkingView } from "./thinking_view.js";
import { readPosition, readState, writeState } from "./url_state.js";

const TIME_PRESETS_MS = [500, 1000, 3000, 10000];
const SIZE_PRESETS = [15, 20];
const LINE_CHOICES = [1, 2, 3, 4, 5];
const DEFAULT_LINES = 3;
const IDLE_CAPTION = "Vantrel's search shows here while it thinks.";
// Keys that step through the game in analysis mode, where the board, a
// field or a list does not take them itself.
const STEP_KEYS = { ArrowLeft: "back", ArrowRight: "forward", ArrowUp: "first", Home: "first",
  ArrowDown: "last", End: "last" };

const $ = (id) => document.getElementById(id);
const controls = {
  status: $("status"), ruleSummary: $("rule-summary"), notice: $("notice"), noticeText: $("notice-text"),
  mode: $("mode"), rule: $("rule"),
  newGame: $("new-game"), undo: $("undo"), hint: $("hint"), stop: $("stop"), analyse: $("analyse"),
  first: $("first"), back: $("back"), forward: $("forward"), last: $("last"),
  brain: $("brain-colour"), time: $("time"), size: $("size"), lines: $("lines"), numbers: $("numbers"),
};

const page = {
  settings: null,  // {size, rule, mode, brain, time, lines}
  line: [],        // the game's moves
  cursor: 0,       // how many of them the board shows (in play: all)
  foulAt: -1,      // the index of the line's last move when it was black's foul
  game: null,      // the position shown
  numbers: false,
  hint: null,      // {x, y}
  pending: null,   // a touch's mark: {x, y}
  waitingClick: null,  // a click waiting for black's forbidden points
  restingRank: null,   // the candidate under the pointer or the focus
  blackRates: new Map(),  // position key -> black's win rate
};

const key = (moves) => moves.map(({ x, y }) => `${x}.${y}`).join("_");
const engine = new EngineClient({
  onState: showEngineState,
  onError: (text) => showNotice([`Vantrel's engine failed: ${text}.`]),
});
const board = new BoardView($("board"), { onPoint: personPoint, onCandidate: restOnCandidate });
const thinking = new ThinkingView({ caption: $("thinking-caption"), head: $("thinking-head"), rows: $("thinking") },
  restOnCandidate);
const graph = new EvaluationView($("evaluation"), goToMove);
const position = new PositionBox({ output: $("position"), copy: $("copy-position"), form: $("position-form"),
  input: $("position-input") }, loadPosition);
const fouls = new FoulChecks(engine);
const hooks = { update, key, recordRate, notice: showNotice };
const turns = new PlayTurns(page, engine, thinking, {
  ...hooks, play: (move) => addMove(move), showHint: (move) => { page.hint = move; update(); },
});
const analysis = new AnalysisSession(page, engine, thinking, hooks);

const inAnalysis = () => page.settings.mode === "analysis";
const brainColour = () => (page.settings.brain === "black" ? BLACK : WHITE);
const isBrainTurn = () => !inAnalysis() && !page.game.over && page.game.turn === brainColour();

// Black's win rate after `moves` from a search of that position by
// `colour`; with `move`, the move the search played, the position after it
// too: the brain rates its move as the position it searched (a deeper
// iteration cut short by the clock may have changed the move and not yet
// reported its line).
function recordRate(moves, colour, progress, move) {
  const best = progress.lines[0];
  if (best.winrate === null) return;
  const black = colour === BLACK ? best.winrate : 1 - best.winrate;
  page.blackRates.set(key(moves), black);
  if (move) page.blackRates.set(key([...moves, move]), black);
}

// The game of the line's first n moves, a foul ending it where it did.
function gameAt(n) {
  const { game } = Game.replay(page.line.slice(0, Math.min(n, page.foulAt >= 0 ? page.foulAt : n)),
    page.settings.size, page.settings.rule);
  if (page.foulAt >= 0 && n > page.foulAt) {
    const { x, y } = page.line[page.foulAt];
    game.playFoul(x, y);
  }
  return game;
}

// --- Changes of the position ----------------------------------------------

// After every change of the position shown: the marks of the last one go,
// black's forbidden points are asked for, and the brain moves or analyses.
function positionChanged() {
  page.pending = null;
  page.waitingClick = null;
  page.restingRank = null;
  page.hint = null;
  fouls.ask(page.game, forbiddenKnown);
  if (inAnalysis()) analysis.restart();
  else if (isBrainTurn() && !turns.search) turns.start("brain");
  update();
}

function forbiddenKnown() {
  const click = page.waitingClick;
  page.waitingClick = null;
  update();
  if (click) personPoint(click.x, click.y, click.how);
}

function addMove(move) {
  page.line = [...page.line.slice(0, page.cursor), move];
  page.cursor = page.line.length;
  page.foulAt = -1;
  page.game.play(move.x, move.y);
  positionChanged();
}

// A whole new line (a new game, a loaded position, a rule that ends it
// sooner), shown at `cursor` (default: its end); a renju game is checked
// for black's fouls, which end it.
function setLine(line, cursor = line.length) {
  turns.cancel("Stopped: the position changed.");
  page.line = line;
  page.foulAt = -1;
  page.cursor = Math.min(cursor, line.length);
  page.game = gameAt(page.cursor);
  // Asked first: an analysis asked next runs until stopped.
  const checked = line;
  const firstFoul = fouls.firstFoul(line, page.settings.rule);
  positionChanged();
  firstFoul.then((index) => {
    if (index < 0 || page.line !== checked) return;
    page.line = line.slice(0, index + 1);
    page.foulAt = index;
    page.cursor = inAnalysis() ? Math.min(page.cursor, page.line.length) : page.line.length;
    page.game = gameAt(page.cursor);
    const { x, y } = line[index];
    showNotice([`Black's move ${index + 1} at ${pointName(x, y, page.settings.size)} is forbidden in renju, ` +
      "so white won there; the moves after it were dropped."]);
    positionChanged();
  }, () => {});
}

function goToMove(n) {
  if (!inAnalysis()) {
    setMode("analysis", n);
    return;
  }
  const target = Math.max(0, Math.min(n, page.line.length));
  if (target === page.cursor) return;
  page.cursor = target;
  page.game = gameAt(target);
  positionChanged();
}

function step(where) {
  const targets = { first: 0, back: page.cursor - 1, forward: page.cursor + 1, last: page.line.length };
  goToMove(targets[where]);
}

// --- The person's actions -------------------------------------------------

function canPersonPlay() {
  if (page.game.over) return false;
  return inAnalysis() || (!isBrainTurn() && turns.search?.kind !== "brain");
}

// A click plays at once; a tap marks the point and a second tap on it plays.
function personPoint(x, y, how) {
  const { game } = page;
  if (!canPersonPlay()) return;
  if (game.fouls && game.forbidden === null) {
    page.waitingClick = { x, y, how };  // the engine's answer comes within milliseconds
    return;
  }
  const refusal = game.refusal(x, y);
  if (refusal) {
    page.pending = null;
    if (game.isForbidden(x, y)) showNotice([`${refusal[0].toUpperCase()}${refusal.slice(1)}.`], true);
    update();
    return;
  }
  if (how === "touch" && (page.pending?.x !== x || page.pending?.y !== y)) {
    page.pending = { x, y };
    update();
    return;
  }
  hideMoveNotice();
  if (!inAnalysis()) turns.cancel("Hint search stopped.");
  addMove({ x, y });
}

function restOnCandidate(rank) {
  if (page.restingRank === rank) return;
  page.restingRank = rank;
  update();
}

// Takes back the person's last move and the brain's reply to it, or only
// the person's move while the brain is still thinking about it.
function undo() {
  const lastIsBrain = (page.line.length % 2 === 1 ? BLACK : WHITE) === brainColour();
  turns.cancel("Taken back.");
  const back = lastIsBrain ? 2 : 1;
  setLine(page.line.slice(0, Math.max(0, page.line.length - back)));
}

function personStoneCount() {
  const first = otherColour(brainColour()) === BLACK ? 0 : 1;
  return page.line.filter((_, index) => index % 2 === first).length;
}

function newGame() {
  turns.cancel("New game.");
  thinking.begin(IDLE_CAPTION);
  setLine([]);
}

function setMode(mode, cursor) {
  page.settings.mode = mode;
  controls.mode.value = mode;
  document.body.dataset.mode = mode;
  turns.cancel("Stopped: the mode changed.");
  analysis.cancel();
  thinking.begin(IDLE_CAPTION);
  if (mode === "analysis") {
    analysis.on = true;
    page.cursor = cursor ?? page.cursor;
  } else {
    // Play goes on from the position shown.
    page.line = page.line.slice(0, page.cursor);
    if (page.foulAt >= page.line.length) page.foulAt = -1;
  }
  page.game = gameAt(page.cursor);
  positionChanged();
}

// A new rule judges the game from its first move: a game that now ends
// sooner loses its later moves, and the brain's findings are forgotten.
function setRule(rule) {
  page.settings.rule = rule;
  analysis.forget();
  page.blackRates.clear();
  const replay = Game.replay(page.line, page.settings.size, rule);
  let line = page.line;
  if (replay.problem) {
    line = page.line.slice(0, replay.index);
    showNotice([`Under ${ruleById(rule).name.toLowerCase()} rules the game ends at move ${replay.index}; ` +
      "the moves after it were dropped."]);
  }
  setLine(line, page.cursor);
}

function setSize(size) {
  page.settings.size = size;
  engine.start(size);
  board.build(size);
  analysis.forget();
  page.blackRates.clear();
  newGame();
}

// A position string or a link to this page; false, with a notice naming
// the offending part, when nothing was loaded.
function loadPosition(text) {
  if (!text) {
    showNotice(["Paste a game in the players' notation, such as h8i9j10, or a link to this page."]);
    return false;
  }
  const { size, rule } = page.settings;
  if (/^[a-z]+:|[?&=]/i.test(text)) {
    const url = new URL(text, location.href);
    const state = readState(url.search, { loading: true });
    const problems = [...state.notices];
    if (!url.searchParams.get("pos") && !url.searchParams.get("moves")) problems.push("The link holds no moves.");
    if (problems.length > 0) {
      showNotice(["The link was not loaded.", ...problems]);
      return false;
    }
    if (url.searchParams.has("rule") && state.rule !== rule) {
      page.settings.rule = state.rule;
      controls.rule.value = state.rule;
      analysis.forget();
    }
    if (url.searchParams.has("size") && state.size !== size) {
      fillSelect(controls.size, SIZE_PRESETS, state.size, sizeLabel);
      setSize(state.size);
    }
    setLine(state.moves);
    return true;
  }
  const loaded = readPosition(text, size, rule);
  if (loaded.problem) {
    showNotice([`The position "${text}" was not loaded: it ${loaded.problem}.`]);
    return false;
  }
  hideMoveNotice();
  setLine(loaded.moves);
  return true;
}

// --- Rendering ------------------------------------------------------------

function update() {
  const { game, settings } = page;
  const status = statusLine(page, {
    brain: inAnalysis() ? null : brainColour(),
    loading: engine.state === "loading",
    thinking: turns.search?.kind === "brain",
  });
  controls.status.textContent = status.text;
  controls.ruleSummary.textContent = ruleById(settings.rule).summary;
  if (status.result) controls.status.dataset.result = status.result;
  else delete controls.status.dataset.result;

  const search = turns.search;
  controls.undo.disabled = personStoneCount() === 0;
  controls.hint.disabled = game.over || isBrainTurn() || search !== null;
  controls.stop.disabled = search === null;
  controls.stop.textContent = search?.kind === "hint" ? "Hint now" : "Move now";
  controls.first.disabled = controls.back.disabled = page.cursor === 0;
  controls.forward.disabled = controls.last.disabled = page.cursor === page.line.length;
  controls.analyse.textContent = analysis.on && analysis.running ? "Stop" : "Analyse";
  controls.analyse.disabled = game.over;

  const candidates = inAnalysis() ? analysis.candidates(game) : [];
  const line = inAnalysis() ? candidateLine(candidates, page.restingRank, page.pending, game.turn) : turns.line;
  board.render({
    game, numbers: page.numbers, line, hint: page.hint, pending: page.pending,
    candidates, playable: canPersonPlay(),
  });
  const rates = [];
  for (let n = 0; n <= page.line.length; n++) rates.push(page.blackRates.get(key(page.line.slice(0, n))));
  graph.render(rates, page.line.length, page.cursor);
  position.show(formatMoves(page.line, settings.size));
  const address = writeState({ ...settings, moves: page.line });
  if (location.search !== address) history.replaceState(null, "", address);
}

function showEngineState(state) {
  const body = document.body;
  if (state !== "loading" && !body.dataset.readyMs) body.dataset.readyMs = String(Math.round(performance.now()));
  body.dataset.brain = state;
  if (page.game) update();
}

// A notice stays until it is dismissed; one about a move (a refused
// point) goes with the next move.
function showNotice(lines, aboutMove = false) {
  controls.noticeText.replaceChildren(...lines.map((line) => {
    const paragraph = document.createElement("p");
    paragraph.textContent = line;
    return paragraph;
  }));
  controls.notice.hidden = false;
  controls.notice.dataset.aboutMove = aboutMove;
}

function hideMoveNotice() {
  if (controls.notice.dataset.aboutMove === "true") controls.notice.hidden = true;
}

// --- Setting up -----------------------------------------------------------

const sizeLabel = (size) => `${size} x ${size}`;

// A select's choices: the presets and the link's value if it is not one.
function fillSelect(select, presets, value, label) {
  const values = [...new Set([...presets, value])].sort((a, b) => a - b);
  select.replaceChildren(...values.map((choice) => new Option(label(choice), String(choice))));
  select.value = String(value);
}

function stepKey(event) {
  const where = STEP_KEYS[event.key];
  if (!where || !inAnalysis() || event.altKey || event.ctrlKey || event.metaKey) return;
  if (event.target.closest?.("#board, input, select, textarea")) return;
  event.preventDefault();
  step(where);
}

function setUp() {
  const state = readState(location.search);
  page.settings = { size: state.size, rule: state.rule, mode: state.mode, brain: state.brain, time: state.time,
    lines: DEFAULT_LINES };
  if (state.notices.length > 0) showNotice(state.notices);

  fillSelect(controls.time, TIME_PRESETS_MS, state.time, (ms) => `${ms / 1000} s`);
  fillSelect(controls.size, SIZE_PRESETS, state.size, sizeLabel);
  fillSelect(controls.lines, LINE_CHOICES, DEFAULT_LINES, String);
  controls.rule.replaceChildren(...RULES.map((rule) => new Option(rule.name, rule.id)));
  controls.rule.value = state.rule;
  controls.mode.value = state.mode;
  controls.brain.value = state.brain;
  document.body.dataset.mode = state.mode;

  engine.start(state.size);
  board.build(state.size);
  thinking.begin(IDLE_CAPTION);
  setLine(state.moves);

  const on = (control, type, handler) => control.addEventListener(type, handler);
  on(controls.newGame, "click", newGame);
  on($("clear-board"), "click", newGame);
  on(controls.undo, "click", undo);
  on(controls.hint, "click", () => turns.start("hint"));
  on(controls.stop, "click", () => turns.stop());
  on(controls.analyse, "click", () => {
    if (analysis.on && analysis.running) analysis.stop();
    else {
      analysis.on = true;
      analysis.restart();
    }
  });
  for (const where of ["first", "back", "forward", "last"]) on(controls[where], "click", () => step(where));
  on(controls.mode, "change", () => setMode(controls.mode.value));
  on(controls.rule, "change", () => setRule(controls.rule.value));
  on(controls.brain, "change", () => {
    page.settings.brain = controls.brain.value;
    turns.cancel("Colours changed.");
    positionChanged();
  });
  on(controls.time, "change", () => {
    page.settings.time = Number(controls.time.value);
    update();
  });
  on(controls.size, "change", () => setSize(Number(controls.size.value)));
  on(controls.lines, "change", () => {
    page.settings.lines = Number(controls.lines.value);
    if (inAnalysis()) analysis.restart();
  });
  on(controls.numbers, "change", () => {
    page.numbers = controls.numbers.checked;
    update();
  });
  on($("notice-close"), "click", () => { controls.notice.hidden = true; });
  on(document, "keydown", stepKey);
  update();
}

setUp();
