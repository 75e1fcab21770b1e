// The page of the living device: the lock screen's picture with its rows
// laid over it, the controls, the log, and a thin Settings view built from
// the Settings program's text.
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

const subScreens = {
  selectCalendars: ["calendars"], changeSortOrder: ["sort"], selectAppToOpen: ["apps"], viewOtherApps: ["other-apps"],
};
let settingsScreen = ["show"];

function cell(label, value, onclick, cls = "") {
  const el = document.createElement("div");
  el.className = `cell ${cls}`;
  const l = document.createElement("span"), v = document.createElement("span");
  l.textContent = label;
  v.className = "value";
  v.textContent = value;
  el.append(l, v);
  if (onclick) el.onclick = onclick; else el.classList.add("plain");
  return el;
}

function group(text, cls = "group") {
  const el = document.createElement("div");
  el.className = cls;
  el.textContent = text;
  return el;
}

async function settings(words, refreshAfter) {
  const answer = await call("/api/settings", words);
  if (answer.error || !answer.ok) {
    say(`Settings: ${answer.error || answer.err || "the command failed"}`);
    return null;
  }
  if (refreshAfter) {
    const lines = answer.out.trim().split("\n");
    say(`Settings: ${lines[lines.length - 1]}`);
    return openSettings(settingsScreen);
  }
  return answer.out;
}

// The root screen prints "    label (30)  value (32)  key-or-action".
function rootCells(text) {
  const screen = $("#settings-screen");
  const lines = text.split("\n");
  $("#settings-title").textContent = lines[0];
  for (const line of lines.slice(1)) {
    if (/^ {2}\S/.test(line)) { screen.append(group(line.trim())); continue; }
    if (/^ {4}\(/.test(line)) { screen.append(group(line.trim().slice(1, -1), "footer")); continue; }
    if (!/^ {4}\S/.test(line)) continue;
    const label = line.slice(4, 34).trim(), value = line.slice(35, 67).trim(), usage = line.slice(68).trim();
    if (usage.startsWith("press ")) {
      const action = usage.slice(6);
      screen.append(cell(label, value || "\u203a", () =>
        subScreens[action] ? openSettings(subScreens[action]) : settings(["press", action], true)));
    } else if (usage) {
      const el = cell(label, value, () => chooseValue(usage, label, value));
      el.dataset.key = usage;
      screen.append(el);
    } else {
      screen.append(cell(label, value, null));
    }
  }
}

async function chooseValue(key, label, value) {
  const out = await settings(["choices", key]);
  if (out === null) return;
  const lines = out.trim().split("\n").slice(1).map((l) => l.trim());
  if (lines[0] === "on, off") return settings(["set", key, value === "on" ? "off" : "on"], true);
  if (lines.length === 1 && /^(a number|a whole number|any text)/.test(lines[0])) return editInPlace(key, lines[0]);
  const screen = $("#settings-screen");
  screen.replaceChildren();
  $("#settings-title").textContent = label;
  $("#settings-back").hidden = false;
  for (const l of lines) {
    const m = /^(\S+)\s*(.*)$/.exec(l);
    if (!m) continue;
    const title = m[2] || m[1];
    screen.append(cell(title, title === value || m[1] === value ? "\u2713" : "",
      () => settings(["set", key, m[1]], true).then(() => openSettings(["show"]))));
  }
}

// A text or number cell takes its value where it stands, as on the phone.
function editInPlace(key, kind) {
  const target = [...document.querySelectorAll("#settings-screen .cell")].find((c) => c.dataset.key === key);
  if (!target || target.querySelector("input")) return;
  const value = target.querySelector(".value");
  const input = document.createElement("input");
  input.value = value.textContent;
  input.title = kind;
  input.name = key;
  input.inputMode = kind.includes("number") ? "numeric" : "text";
  input.onclick = (e) => e.stopPropagation();
  input.onkeydown = (e) => {
    if (e.key === "Enter") settings(["set", key, input.value], true);
    if (e.key === "Escape") openSettings(["show"]);
  };
  value.replaceChildren(input);
  input.focus();
  input.select();
}

// Table screens print "  NN. [x] text" or "  NN. ✓ text".
function tableCells(text, words) {
  const screen = $("#settings-screen");
  const lines = text.split("\n");
  $("#settings-title").textContent = lines[0];
  let dragged = null;
  for (const line of lines.slice(1)) {
    const m = /^\s*(\d+)\. (\[x\] |\[ \] |✓ )?(≡ )?(.*)$/.exec(line);
    if (!m) {
      if (line.trim()) screen.append(group(line.trim()));
      continue;
    }
    const n = Number(m[1]);
    const ticked = m[2] === "[x] " || m[2] === "✓ ";
    const act = words[0] === "calendars" ? () => settings(["calendars", "toggle", String(n)], true)
      : words[0] === "apps" ? () => settings(["apps", "choose", String(n)], true).then(() => openSettings(["show"]))
      : null;
    const el = cell(m[4], m[2] === "[ ] " ? "" : (ticked ? "" : (m[3] ? "\u2261" : "")), act, ticked ? "ticked" : "");
    el.dataset.row = n;
    if (words[0] === "sort") {
      el.draggable = true;
      el.ondragstart = () => { dragged = n; el.classList.add("dragging"); };
      el.ondragend = () => el.classList.remove("dragging");
      el.ondragover = (e) => e.preventDefault();
      el.ondrop = (e) => {
        e.preventDefault();
        if (dragged !== null && dragged !== n) settings(["sort", "move", String(dragged), String(n)], true);
      };
    }
    screen.append(el);
  }
}

async function openSettings(words) {
  let out = await settings(words);
  if (out === null) return;
  // Opening a screen presses its button first; the screen follows.
  if (out.startsWith("Pressed ")) out = out.slice(out.indexOf("\n") + 1);
  settingsScreen = words;
  const screen = $("#settings-screen");
  screen.replaceChildren();
  $("#settings-back").hidden = words[0] === "show";
  if (words[0] === "show") rootCells(out);
  else if (words[0] === "other-apps") {
    const lines = out.split("\n");
    $("#settings-title").textContent = lines[0];
    for (const l of lines.slice(1)) if (l.trim()) screen.append(cell(l.trim(), "", null));
  } else tableCells(out, words);
}

$("#settings-back").onclick = () => openSettings(["show"]);

function showTab(settingsTab) {
  $("#tab-settings").classList.toggle("active", settingsTab);
  $("#tab-lock").classList.toggle("active", !settingsTab);
  $("#settings").hidden = !settingsTab;
  $("#lockscreen").hidden = settingsTab;
  if (settingsTab) openSettings(["show"]);
}
$("#tab-settings").onclick = () => { location.hash = "settings"; showTab(true); };
$("#tab-lock").onclick = () => { location.hash = ""; showTab(false); };
if (location.hash === "#settings") showTab(true);

refresh();
setInterval(refresh, 500);
