// The page of the living device: the lock screen's picture with its rows
// laid over it, the controls, the log, and the Settings screen as Settings
// draws it, with its switches, rows and sliders laid over the picture.
"use strict";

const $ = (sel) => document.querySelector(sel);
let version = -1, logEnd = 0, busy = false;

async function call(path, words) {
  const res = await fetch(path, {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ words }),
  });
  const body = await res.json().catch(() => ({ error: `the device answered ${res.status}` }));
  if (!res.ok && !body.error) body.error = `the device answered ${res.status}`;
  return body;
}

function say(text) { $("#note").textContent = text; }

// The note comes after the new screen is in place, so what it says and the
// rows a person sees next belong together.
async function event(...words) {
  const answer = await call("/api/event", words.map(String));
  while (busy) await new Promise((done) => setTimeout(done, 25));
  await refresh();
  say(answer.error ? `Refused: ${answer.error}` : answer.result);
  return answer;
}

// --- the lock screen ---------------------------------------------------------

// Rows are not replaced under a finger: a new screen that arrives during a
// press is placed when the press ends.
let pressing = false, pendingRows = null;

function placeRows(rows) {
  if (pressing) {
    pendingRows = rows;
    return;
  }
  const layer = $("#rows");
  layer.replaceChildren();
  for (const row of rows) {
    if (!row.visible) continue;
    const el = document.createElement("div");
    el.className = "row";
    el.dataset.row = row.index;
    el.dataset.own = row.own;
    el.title = row.title;
    Object.assign(el.style, {
      left: `${row.frame.x}px`, top: `${row.frame.y}px`,
      width: `${row.frame.width}px`, height: `${row.frame.height}px`,
    });
    let start = null;
    el.addEventListener("pointerdown", (e) => {
      pressing = true;
      start = { x: e.clientX, y: e.clientY };
      el.setPointerCapture(e.pointerId);
    });
    el.addEventListener("pointermove", (e) => {
      if (start) el.classList.toggle("swiping", e.clientX - start.x < -40);
    });
    const release = () => {
      pressing = false;
      if (pendingRows) {
        const rows = pendingRows;
        pendingRows = null;
        placeRows(rows);
      }
    };
    el.addEventListener("pointercancel", () => {
      start = null;
      release();
    });
    el.addEventListener("pointerup", (e) => {
      if (!start) return release();
      const dx = e.clientX - start.x, dy = e.clientY - start.y;
      start = null;
      release();
      el.classList.remove("swiping");
      if (dx < -40 && Math.abs(dy) < 40) event("swipe", row.index);
      else if (Math.abs(dx) < 8 && Math.abs(dy) < 8) event("tap", row.index);
    });
    layer.append(el);
  }
}

function showLog(lines) {
  const box = $("#log");
  const follow = box.scrollTop + box.clientHeight >= box.scrollHeight - 4;
  for (const line of lines) {
    const el = document.createElement("div");
    el.textContent = line;
    if (line.includes("QPX:")) el.className = "qpx";
    box.append(el);
  }
  while (box.childElementCount > 2000) box.firstElementChild.remove();
  applyLogFilter();
  if (follow) box.scrollTop = box.scrollHeight;
}

function applyLogFilter() {
  const only = $("#only-qpx").checked;
  for (const el of $("#log").children) el.hidden = only && el.className !== "qpx";
}

function showNotes(state) {
  const notes = [...(state.notes || [])];
  if (state.error) notes.push(state.error);
  $("#notes").hidden = notes.length === 0;
  $("#notes").textContent = notes.join("\n");
}

async function refresh() {
  if (busy) return;
  busy = true;
  try {
    const res = await fetch(`/api/state?log=${logEnd}`);
    const state = await res.json();
    showNotes(state);
    if (!state.ok) return;
    const phone = $("#phone");
    phone.style.width = `${state.screen.width}px`;
    phone.style.height = `${state.screen.height}px`;
    $("#clock").textContent = `Device clock ${state.now.replace("T", " ")}`;
    showLog(state.log.lines);
    logEnd = state.log.end;
    if (state.version !== version) {
      const img = $("#screen");
      const loaded = new Promise((done) => { img.onload = img.onerror = done; });
      img.src = `/screen.png?v=${state.version}`;
      await loaded;
      img.dataset.version = state.version;
      version = state.version;
      placeRows(state.rows);
      $("#rows").dataset.count = state.rows.length;
      $("#rows").dataset.own = state.rows.filter((r) => r.own).length;
    }
  } catch (e) {
    showNotes({ notes: [], error: `The device does not answer (${e.message}).` });
  } finally {
    busy = false;
  }
}

$("#lock").onclick = () => event("lock");
$("#clear").onclick = () => event("clear");
$("#music-open").onclick = () => event("now-playing", "open");
$("#music-close").onclick = () => event("now-playing", "close");
for (const b of document.querySelectorAll("[data-wait]")) b.onclick = () => event("wait", b.dataset.wait);
$("#notify").onsubmit = (e) => {
  e.preventDefault();
  const f = new FormData(e.target);
  const words = ["notify", f.get("app"), f.get("title")];
  if (f.get("message")) words.push(f.get("message"));
  event(...words);
};
$("#only-qpx").onchange = applyLogFilter;

// --- Settings ----------------------------------------------------------------

// What a row that pushes a screen opens, as the Settings program's commands.
const subScreens = {
  selectCalendars: ["calendars"], changeSortOrder: ["sort"], selectAppToOpen: ["apps"], viewOtherApps: ["other-apps"],
};
// The words that show the screen on top again: the root, a list of choices,
// or one of the pane's own screens.
let settingsScreen = ["show"], settingsBusy = false;

// The lines of a command's output that say what it did (a button opening
// its screen says nothing: the screen shows).
function deeds(words, out) {
  const said = words[0] === "press" ? /^(Pressed|Opened)/ : /->|^(Tapped row|Moved row|Opened)|\]: /;
  return out.split("\n").map((l) => l.trim()).filter((l) => said.test(l));
}

// Runs a Settings command; when it worked, shows the screen it ended on, or
// the screen `then` opens; a refused one shows its screen again as the files
// stand.
async function settings(words, then = null) {
  if (settingsBusy) return null;
  settingsBusy = true;
  try {
    let answer = await call("/api/settings", words);
    if (answer.error || !answer.ok) {
      say(`Settings: ${answer.error || answer.err.trim() || "the command failed"}`);
      // The screen again as the files stand: a change that was not stored
      // must not show as if it were.
      const again = await call("/api/settings", settingsScreen);
      if (again.ok && again.screen) await showSettingsScreen(again, settingsScreen);
      return null;
    }
    const done = deeds(words, answer.out || "");
    if (then) {
      answer = await call("/api/settings", then);
      if (answer.error || !answer.screen) {
        say(`Settings: ${answer.error || answer.err.trim() || "the screen did not open"}`);
        return null;
      }
    }
    await showSettingsScreen(answer, then || words);
    if (done.length) say(`Settings: ${done.join("; ")}`);
    return answer;
  } finally {
    settingsBusy = false;
  }
}

// The screen to show again later: the root, or the screen the words opened.
function screenWords(words, screen) {
  if (screen.depth <= 1) return ["show"];
  if (words[0] === "choices") return words.slice(0, 2);
  if (words[0] === "press") return settingsScreen;
  return words.slice(0, 1);
}

async function showSettingsScreen(answer, words) {
  const screen = answer.screen;
  const next = screenWords(words, screen);
  const sameScreen = next.join(" ") === settingsScreen.join(" ");
  settingsScreen = next;
  const box = $("#settings"), img = $("#settings-picture");
  const scroll = sameScreen ? box.scrollTop : 0;
  const loaded = new Promise((done) => { img.onload = img.onerror = done; });
  img.src = answer.picture;
  await loaded;
  img.style.width = `${screen.screen.width}px`;
  const bar = $("#settings-bar");
  Object.assign(bar.style, {
    height: `${screen.navigationBarHeight}px`, marginBottom: `-${screen.navigationBarHeight}px`,
    backgroundImage: `url("${answer.picture}")`, backgroundSize: `${screen.screen.width}px auto`,
  });
  // Settings' own list of panes is not part of this device: the root has no way back.
  $("#settings-back").hidden = screen.depth <= 1;
  placeSettingsControls(screen);
  box.scrollTop = scroll;
  box.dataset.title = screen.title;
  box.dataset.screen = settingsScreen.join(" ");
  box.dataset.version = Number(box.dataset.version || 0) + 1;
}

function hotspot(kind, frame, top, row) {
  const el = document.createElement("div");
  el.className = `hot ${kind}`;
  el.dataset.kind = kind;
  Object.assign(el.style, {
    left: `${frame.x}px`, top: `${top + frame.y}px`, width: `${frame.width}px`, height: `${frame.height}px`,
  });
  if (row) {
    el.dataset.row = row.number;
    el.title = row.label;
    if (row.key) el.dataset.key = row.key;
    if (row.action) el.dataset.action = row.action;
    if (row.valueText !== undefined) el.dataset.value = row.valueText;
    if (row.on !== undefined) el.dataset.on = row.on;
    if (row.checked) el.dataset.checked = true;
  }
  return el;
}

// The interactive parts of the screen, each over what the picture draws there.
function placeSettingsControls(screen) {
  const layer = $("#settings-controls");
  layer.replaceChildren();
  const top = screen.navigationBarHeight, width = screen.screen.width;
  const rows = (screen.sections || []).flatMap((s) => s.rows);
  for (const row of rows) {
    const f = row.frame;
    let el = null;
    if (settingsScreen[0] === "show") {
      if (row.accessory === "switch") {
        // The switch itself, as on the phone: a tap on the row's text does nothing.
        el = hotspot("switch", { x: width - 15 - 51, y: f.y + (f.height - 31) / 2, width: 51, height: 31 }, top, row);
        el.onclick = () => settings(["set", row.key, row.on ? "off" : "on"]);
      } else if (row.kind === "PSLinkListCell") {
        el = hotspot("link", f, top, row);
        el.onclick = () => settings(["choices", row.key]);
      } else if (row.kind === "PSEditTextCell") {
        el = hotspot("text", f, top, row);
        el.onclick = () => editInPlace(el, row, width);
      } else if (row.accessory === "slider") {
        el = slider(row, top, width);
      } else if (row.action) {
        el = hotspot(subScreens[row.action] ? "link" : "button", f, top, row);
        el.onclick = () => settings(subScreens[row.action] || ["press", row.action]);
      }
    } else if (settingsScreen[0] === "choices") {
      el = hotspot("choice", f, top, row);
      el.onclick = () => settings(["set", settingsScreen[1], row.label], settingsScreen);
    } else if (settingsScreen[0] === "calendars") {
      el = hotspot("choice", f, top, row);
      el.onclick = () => settings(["calendars", "toggle", String(row.number)]);
    } else if (settingsScreen[0] === "apps") {
      el = hotspot("choice", f, top, row);
      el.onclick = () => settings(["apps", "choose", String(row.number)]);
    } else if (settingsScreen[0] === "sort" && row.accessory === "reorder") {
      el = hotspot("reorder", f, top, row);
      dragToReorder(el, rows, top);
    }
    if (el) layer.append(el);
  }
}

// A text or number cell takes its value where it stands, as on the phone:
// Return keeps it, Escape or a click elsewhere leaves it as it was.
function editInPlace(el, row, width) {
  if (el.querySelector("input")) return;
  const input = document.createElement("input");
  input.name = row.key;
  input.value = row.valueText;
  input.inputMode = row.key.endsWith("ToDisplay") || /^-?\d+$/.test(row.valueText) ? "numeric" : "text";
  input.style.left = `${width * 0.45}px`;
  input.style.width = `${width * 0.55 - 15}px`;
  input.onclick = (e) => e.stopPropagation();
  const leave = () => {
    input.remove();
    document.removeEventListener("pointerdown", elsewhere, true);
  };
  // A press anywhere else leaves the field (not a blur: the field may lose
  // focus and get it back while a person or a driver types).
  const elsewhere = (e) => { if (e.target !== input) leave(); };
  document.addEventListener("pointerdown", elsewhere, true);
  input.onkeydown = (e) => {
    if (e.key === "Enter") settings(["set", row.key, input.value]);
    if (e.key === "Escape") leave();
  };
  el.append(input);
  input.focus();
  input.select();
}

// A slider drawn by Settings, with a range control of the same span over its
// track; the value is kept when the control is let go.
function slider(row, top, width) {
  const f = row.frame;
  const el = hotspot("slider", f, top, row);
  const input = document.createElement("input");
  input.type = "range";
  input.name = row.key;
  Object.assign(input, { min: row.slider.min, max: row.slider.max, value: row.slider.value });
  input.step = Number.isInteger(row.slider.min) && Number.isInteger(row.slider.max) ? 1 : "any";
  const x0 = width * 0.42, x1 = width - 15 - 22 - 10;
  Object.assign(input.style, { left: `${x0 - 8}px`, width: `${x1 - x0 + 16}px` });
  input.onchange = () => settings(["set", row.key, input.value]);
  el.append(input);
  return el;
}

// The sort order: a group is dragged by its row onto the place of another.
function dragToReorder(el, rows, top) {
  let start = null;
  el.addEventListener("pointerdown", (e) => {
    start = e.clientY;
    el.setPointerCapture(e.pointerId);
    el.classList.add("dragging");
  });
  el.addEventListener("pointermove", (e) => {
    if (start !== null) el.style.transform = `translateY(${e.clientY - start}px)`;
  });
  const end = (e, cancelled) => {
    if (start === null) return;
    const dy = e.clientY - start;
    start = null;
    el.classList.remove("dragging");
    el.style.transform = "";
    if (cancelled) return;
    const from = Number(el.dataset.row);
    const row = rows.find((r) => r.number === from);
    const centre = row.frame.y + row.frame.height / 2 + dy;
    const onto = rows.find((r) => r.accessory === "reorder" && centre >= r.frame.y &&
      centre < r.frame.y + r.frame.height);
    if (onto && onto.number !== from) settings(["sort", "move", String(from), String(onto.number)]);
  };
  el.addEventListener("pointerup", (e) => end(e, false));
  el.addEventListener("pointercancel", (e) => end(e, true));
}

$("#settings-back").onclick = () => settings(["show"]);

function showTab(settingsTab) {
  $("#tab-settings").classList.toggle("active", settingsTab);
  $("#tab-lock").classList.toggle("active", !settingsTab);
  $("#settings").hidden = !settingsTab;
  $("#lockscreen").hidden = settingsTab;
  if (settingsTab) settings(settingsScreen);
}
$("#tab-settings").onclick = () => { location.hash = "settings"; showTab(true); };
$("#tab-lock").onclick = () => { location.hash = ""; showTab(false); };
if (location.hash === "#settings") showTab(true);

refresh();
setInterval(refresh, 500);
