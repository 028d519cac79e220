// The page around the program (tavrik.js): the settings in the address and in the panel, full
// screen, the hidden cursor, the readout, and the pause while the page is hidden. The program
// itself checks every value against the settings table and draws the frames.
"use strict";

const canvas = document.getElementById("picture");
const readout = document.getElementById("readout");
const panel = document.getElementById("panel");
const query = new URLSearchParams(location.search);

// The address's options and the words of a flag, from the program once it has started.
let options = null;

function flag(text) {
  const word = text !== null ? options.flags.find(([w]) => w === text.toLowerCase()) : undefined;
  return word ? word[1] : null;
}

let showFps = false;
let started = false;

function applyAddress() {
  for (const [name, value] of query) {
    if (name === "fps") {
      const on = flag(value);
      if (on === null) {
        console.warn(`tavrik: bad value for fps: '${value}' (1 or 0), ignored`);
      } else {
        showFps = on;
      }
    } else if (options.names.includes(name)) {
      const error = Module.ccall("tavrik_option", "string", ["string", "string"], [name, value]);
      if (error) {
        console.warn(`tavrik: ${error}, ignored`);
      }
    } else {
      console.warn(`tavrik: unknown setting '${name}', ignored`);
    }
  }
}

// A change in the panel is kept, and wins over the address: the page starts again without it. The
// program checks the value and keeps it; a value it refuses changes nothing.
function choose(option, key, value) {
  const kept = Module.ccall("tavrik_keep", "number", ["string", "number"], [key, value]);
  if (kept === 0) {
    return;
  }
  if (kept !== 1) {
    console.warn("tavrik: this page cannot keep settings here");
  }
  query.delete(option);
  const search = query.toString();
  location.replace(location.pathname + (search ? "?" + search : ""));
}

function buildPanel() {
  const fields = JSON.parse(Module.ccall("tavrik_fields", "string", [], []));
  for (const field of fields) {
    const label = document.createElement("label");
    label.textContent = field.option;
    let input;
    let value = field.stored !== null ? field.stored : field.default;
    if (field.choices.length > 0) {
      input = document.createElement("select");
      for (const [word, number] of field.choices) {
        input.add(new Option(word, String(number)));
      }
      const asked = field.choices.find(([word]) => word === query.get(field.option));
      value = asked ? asked[1] : value;
      input.value = String(value);
    } else {
      input = document.createElement("input");
      input.type = "number";
      input.min = field.low;
      input.max = field.high;
      const asked = Number(query.get(field.option));
      value = Module.ccall("tavrik_allowed", "number", ["string", "number"], [field.name, asked])
                ? asked : value;
      input.value = String(value);
    }
    input.addEventListener("change", () => choose(field.option, field.name, Number(input.value)));
    label.append(input);
    panel.append(label);
  }
  const label = document.createElement("label");
  label.textContent = "fps";
  const box = document.createElement("input");
  box.type = "checkbox";
  box.checked = showFps;
  box.addEventListener("change", () => choose("fps", "fps", box.checked ? 1 : 0));
  label.append(box);
  panel.append(label);
  const note = document.createElement("p");
  note.textContent = "Click or F: full screen. Esc leaves it.";
  panel.append(note);
}

// The cursor and the panel show while the pointer moves, and go after 2 s still.
let stillTimer = 0;
function pointerMoved() {
  document.body.classList.remove("still");
  panel.hidden = false;
  clearTimeout(stillTimer);
  stillTimer = setTimeout(() => {
    document.body.classList.add("still");
    if (!panel.matches(":hover, :focus-within")) {
      panel.hidden = true;
    }
  }, 2000);
}

function fullScreen() {
  if (!document.fullscreenElement && document.documentElement.requestFullscreen) {
    document.documentElement.requestFullscreen().catch(() => {});
  }
}

function fail(text) {
  const message = document.getElementById("message");
  message.textContent = text;
  message.hidden = false;
}

function start() {
  options = JSON.parse(Module.ccall("tavrik_options", "string", [], []));
  showFps = options.fps === 1;
  applyAddress();
  buildPanel();
  readout.hidden = !showFps;
  if (!Module._tavrik_start(showFps ? 1 : 0)) {
    fail("TAVRIK could not start its graphics device.");
    return;
  }
  started = true;
  // A page opened in a background tab starts with its clock stopped.
  Module._tavrik_hidden(document.hidden);
  document.addEventListener("visibilitychange", () => Module._tavrik_hidden(document.hidden));
  canvas.addEventListener("click", fullScreen);
  document.addEventListener("keydown", (event) => {
    if ((event.key === "f" || event.key === "F") && !event.target.closest("#panel")) {
      fullScreen();
    }
  });
  document.addEventListener("pointermove", pointerMoved);
  document.body.classList.add("still");
}

var Module = {
  canvas,
  onRuntimeInitialized: start,
  onReadout: (text) => { readout.textContent = text; },
  onAbort: () => fail("TAVRIK stopped: this browser could not run it."),
};

// What a test or a curious visitor may read: frames drawn, and the heap, which stays the same.
window.tavrik = {
  get frames() { return started ? Module._tavrik_frames() : 0; },
  get heapInUse() { return Module._tavrik_heap_in_use(); },
  get memoryBytes() { return Module._tavrik_memory_bytes(); },
  get frameMs() { return started ? Module._tavrik_frame_ms() : 0; },
  get showMs() { return started ? Module._tavrik_show_ms() : 0; },
  get longestStepMs() { return started ? Module._tavrik_longest_step_ms() : 0; },
  get readout() { return readout.hidden ? "" : readout.textContent; },
};
