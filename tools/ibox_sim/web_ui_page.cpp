#include "web_ui.hpp"

namespace nvrp::ibox_sim {

// One self-contained page: the script polls /ui/state twice a second and redraws what changed.
const char* const kWebUiPage = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>ibox-sim paper roll</title>
<style>
  body { margin: 0; font-family: sans-serif; background: #5b6770; color: #222; }
  header { background: #20282e; color: #eee; padding: 8px 16px; display: flex;
           justify-content: space-between; align-items: baseline; }
  header h1 { font-size: 18px; margin: 0; }
  #clock { font-family: monospace; font-size: 16px; }
  main { display: flex; gap: 16px; padding: 16px; align-items: flex-start; }
  #roll { flex: 0 0 auto; max-height: calc(100vh - 80px); overflow-y: auto; padding: 0 8px; }
  .document { margin: 0 auto 18px auto; width: max-content; }
  .caption { color: #e8edf0; font-size: 12px; margin: 0 0 3px 2px; }
  .paper { background: #fffef8; margin: 0; padding: 12px 14px; min-width: 46ch;
           font-family: "DejaVu Sans Mono", "Courier New", monospace; font-size: 13px;
           line-height: 1.3; white-space: pre; box-shadow: 0 2px 6px rgba(0,0,0,.35);
           border-bottom: 3px dashed #c9c6b8; }
  .document.open .paper { border-bottom: 3px solid #e0a000; }
  .document.void .paper { color: #8a8a8a; }
  #empty { color: #e8edf0; font-style: italic; }
  aside { flex: 1 1 auto; min-width: 300px; max-width: 460px; }
  section { background: #f3f5f6; border-radius: 4px; padding: 10px 12px; margin-bottom: 12px; }
  section h2 { font-size: 14px; margin: 0 0 8px 0; }
  table { border-collapse: collapse; width: 100%; font-size: 13px; }
  td { padding: 2px 4px; vertical-align: top; }
  td:first-child { color: #555; width: 45%; }
  td.value { font-family: monospace; }
  .error { color: #b00020; font-weight: bold; }
  label { font-size: 13px; display: block; margin: 4px 0; }
  input, select, button { font-size: 13px; }
  ul { margin: 6px 0; padding-left: 18px; font-family: monospace; font-size: 13px; }
  #message { font-size: 12px; color: #b00020; min-height: 1em; }
  #offline { display: none; background: #b00020; color: white; padding: 4px 16px; }
</style>
</head>
<body>
<header><h1>ibox-sim paper roll</h1><span id="clock"></span></header>
<div id="offline">The simulator does not answer.</div>
<main>
  <div id="roll"><p id="empty">Nothing printed yet.</p></div>
  <aside>
    <section>
      <h2>Device</h2>
      <table id="state"></table>
    </section>
    <section>
      <h2>Drawer</h2>
      <span id="drawer"></span>
      <button type="button" id="drawer-open">Open</button>
      <button type="button" id="drawer-close">Close</button>
    </section>
    <section>
      <h2>Faults</h2>
      <label>Kind
        <select id="fault-kind">
          <option value="device-error">device-error: the order fails with a device code</option>
          <option value="http-status">http-status: an HTTP error answer</option>
          <option value="drop">drop: close the connection without answering</option>
          <option value="drop-after">drop-after: carry the request out, then close without answering</option>
          <option value="delay">delay: wait before answering (ms)</option>
          <option value="content-type">content-type: answer with another content type</option>
          <option value="no-gen-par">no-gen-par: status answer without GEN_PAR</option>
          <option value="status-value">status-value: a status value as NAME=TEXT (NAME alone leaves it out)</option>
        </select>
      </label>
      <label>Value <input id="fault-value" size="16" placeholder="101, 503:busy, 15000"></label>
      <label>Requests <input id="fault-match" size="16" placeholder="any, PLU, PAY, Status"></label>
      <label><input type="checkbox" id="fault-sticky"> every matching request (sticky)</label>
      <button type="button" id="fault-add">Add fault</button>
      <button type="button" id="fault-clear">Clear faults</button>
      <div id="message"></div>
      <ul id="faults"></ul>
    </section>
    <section id="replay" hidden>
      <h2>Replay</h2>
      <p>Requests without a recorded answer</p>
      <ul id="replay-unmatched"></ul>
      <p>Recorded requests not asked for yet</p>
      <ul id="replay-unused"></ul>
    </section>
    <section>
      <h2>Title table</h2>
      <table id="titles"></table>
    </section>
  </aside>
</main>
<script>
"use strict";
let lastState = "";

function cell(row, text, className) {
  const td = row.insertCell();
  td.textContent = text;
  if (className) td.className = className;
}

function fillTable(table, rows) {
  table.replaceChildren();
  for (const [name, value, className] of rows) {
    const row = table.insertRow();
    cell(row, name);
    cell(row, String(value), "value " + (className || ""));
  }
}

function documentCaption(doc) {
  let caption = doc.kind;
  if (doc.kind === "receipt") caption += " " + doc.number + " of day " + doc.z_number +
                                         ", total " + doc.total;
  if (doc.kind === "Z report") caption += " " + doc.number;
  return caption;
}

function paper(caption, lines, className) {
  const box = document.createElement("div");
  box.className = "document " + (className || "");
  const title = document.createElement("p");
  title.className = "caption";
  title.textContent = caption;
  const roll = document.createElement("pre");
  roll.className = "paper";
  roll.textContent = lines.join("\n");
  box.append(title, roll);
  return box;
}

function drawRoll(state) {
  const roll = document.getElementById("roll");
  const atBottom = roll.scrollTop + roll.clientHeight >= roll.scrollHeight - 20;
  roll.replaceChildren();
  for (const doc of state.documents) {
    roll.append(paper(documentCaption(doc), doc.lines,
                      doc.kind === "voided receipt" ? "void" : ""));
  }
  if (state.open_document !== "none") {
    roll.append(paper(state.open_document + " printing ...", state.open_lines, "open"));
  }
  if (!roll.children.length) {
    const empty = document.createElement("p");
    empty.id = "empty";
    empty.textContent = "Nothing printed yet.";
    roll.append(empty);
  }
  if (atBottom) roll.scrollTop = roll.scrollHeight;
}

function draw(state) {
  document.getElementById("clock").textContent = state.clock;
  fillTable(document.getElementById("state"), [
    ["Open day (Z number + 1)", state.z_number + 1],
    ["Last Z report", state.z_number],
    ["Receipts today", state.day_receipts],
    ["Open document", state.open_document],
    ["Receipt total", state.receipt_total],
    ["Paid", state.receipt_paid],
    ["Items", state.receipt_items],
    ["Last error", state.last_error, state.last_error ? "error" : ""],
    ["Last sequence number", state.last_seq_no],
  ]);
  document.getElementById("drawer").textContent = state.drawer_open ? "open" : "closed";
  const faults = document.getElementById("faults");
  faults.replaceChildren();
  for (const fault of state.faults) {
    const item = document.createElement("li");
    item.textContent = fault.text + (fault.sticky ? " (sticky)" : "");
    faults.append(item);
  }
  showReplay(state.replay);
  const titles = [];
  state.header_titles.forEach((line, i) => titles.push(["Header " + (i + 1), line]));
  state.trailer_titles.forEach((line, i) => titles.push(["Trailer " + (i + 1), line]));
  fillTable(document.getElementById("titles"), titles);
  drawRoll(state);
}

function fillList(list, texts) {
  list.replaceChildren();
  for (const text of texts) {
    const item = document.createElement("li");
    item.textContent = text;
    list.append(item);
  }
}

function showReplay(replay) {
  document.getElementById("replay").hidden = !replay;
  if (!replay) return;
  fillList(document.getElementById("replay-unmatched"), replay.unmatched);
  fillList(document.getElementById("replay-unused"), replay.unused);
}

async function refresh() {
  try {
    const answer = await fetch("/ui/state", {cache: "no-store"});
    const text = await answer.text();
    document.getElementById("offline").style.display = "none";
    if (text !== lastState) {
      lastState = text;
      draw(JSON.parse(text));
    }
  } catch (error) {
    document.getElementById("offline").style.display = "block";
  }
  setTimeout(refresh, 500);
}

async function post(path, body) {
  const answer = await fetch(path, {method: "POST", body: body});
  document.getElementById("message").textContent = answer.ok ? "" : await answer.text();
  lastState = "";
}

document.getElementById("drawer-open").onclick = () => post("/ui/drawer", "open");
document.getElementById("drawer-close").onclick = () => post("/ui/drawer", "closed");
document.getElementById("fault-clear").onclick = () => post("/ui/faults/clear", "");
document.getElementById("fault-add").onclick = () => {
  let fault = document.getElementById("fault-kind").value;
  const value = document.getElementById("fault-value").value.trim();
  const match = document.getElementById("fault-match").value.trim();
  if (value) fault += ":" + value;
  if (match) fault += "@" + match;
  const sticky = document.getElementById("fault-sticky").checked ? "?sticky=1" : "";
  post("/ui/fault" + sticky, fault);
};
refresh();
</script>
</body>
</html>
)html";

}  // namespace nvrp::ibox_sim
