// The page around the program (tavrik.js): loading it, and a message naming the cause where it
// cannot start; the settings in the address, in the panel and from a web-wallpaper host; the
// about line; full screen, the hidden cursor, the readout, the pause while the page is hidden;
// and the service worker that keeps the files for a visit without the network. The program
// itself checks every value against the settings table and draws the frames.
"use strict";

const canvas = document.getElementById("picture");
const readout = document.getElementById("readout");
const panel = document.getElementById("panel");
const message = document.getElementById("message");
const query = new URLSearchParams(location.search);
const siteFiles = "index.html, page.js, tavrik.js and tavrik.wasm";

// The address's options and the words of a flag, from the program once it has started.
let options = null;
// The panel's settings by their address names, with the value each runs with now.
const running = new Map();
// The address's values the program refused, in its words.
const refused = [];

function flag(text) {
  const word = text !== null ? options.flags.find(([w]) => w === text.toLowerCase()) : undefined;
  return word ? word[1] : null;
}

let showFps = false;
let started = false;
let failed = false;

// The first cause is the one to name: a page that cannot load its program fails again later.
function fail(html) {
  if (failed) {
    return;
  }
  failed = true;
  message.innerHTML = html;
  message.className = "failed";
  message.hidden = false;
}

function failToLoad(file, cause) {
  if (location.protocol === "file:") {
    fail("TAVRIK cannot start from a file opened in the browser: browsers refuse to run its " +
         "WebAssembly from <code>file://</code>. Serve the folder over HTTP instead, for example " +
         "with <code>python3 -m http.server 8000</code> in it, and open " +
         "<code>http://localhost:8000/</code>.");
  } else {
    fail(`TAVRIK could not load <code>${file}</code>: ${cause}. Put all of the page's files ` +
         `(${siteFiles}) on the server, readable, and load the page again.`);
  }
}

// The program's bytes: fetched over HTTP; from a file through a request, which only a browser
// that lets pages read their own folder allows (some wallpaper hosts do).
function readFile(name) {
  if (location.protocol === "file:") {
    return new Promise((resolve, reject) => {
      const request = new XMLHttpRequest();
      request.open("GET", name);
      request.responseType = "arraybuffer";
      request.onload = () => request.response && request.response.byteLength > 0
        ? resolve(request.response) : reject(new Error("empty"));
      request.onerror = () => reject(new Error("refused"));
      request.send();
    });
  }
  return fetch(name).then((response) => {
    if (!response.ok) {
      throw new Error(`the server answered ${response.status} ${response.statusText}`.trim());
    }
    return response.arrayBuffer();
  }, () => { throw new Error("the server could not be reached"); });
}

function loadProgram(imports, receive) {
  readFile("tavrik.wasm").then((bytes) => WebAssembly.instantiate(bytes, imports).then(
    (result) => receive(result.instance, result.module),
    () => fail("TAVRIK could not start: <code>tavrik.wasm</code> is damaged or is not the " +
               "program (a server may send another page in its place). Put the file from the " +
               "build on the server again.")),
  (error) => failToLoad("tavrik.wasm", error.message));
  return {};
}

function applyAddress() {
  for (const [name, value] of query) {
    let error = "";
    if (name === "fps") {
      const on = flag(value);
      if (on === null) {
        error = `bad value for fps: '${value}' (1 or 0)`;
      } else {
        showFps = on;
      }
    } else if (options.names.includes(name)) {
      error = Module.ccall("tavrik_option", "string", ["string", "string"], [name, value]);
    } else {
      error = `unknown setting '${name}'`;
    }
    if (error) {
      console.warn(`tavrik: ${error}, ignored`);
      refused.push(error);
    }
  }
}

// Keeps a value, checked by the program; false where it refuses it.
function keep(key, value) {
  const kept = Module.ccall("tavrik_keep", "number", ["string", "number"], [key, value]);
  if (kept === 2) {
    console.warn("tavrik: this page cannot keep settings here");
  }
  return kept !== 0;
}

// The page starts again with what is kept, without the address's values for those settings.
function restart(names) {
  for (const name of names) {
    query.delete(name);
  }
  const search = query.toString();
  location.replace(location.pathname + (search ? "?" + search : ""));
}

// A change in the panel is kept, and wins over the address. A value the program refuses
// changes nothing.
function choose(option, key, value) {
  if (keep(key, value)) {
    restart([option]);
  }
}

function note(text, className) {
  const line = document.createElement("p");
  line.textContent = text;
  line.className = className || "";
  panel.append(line);
  return line;
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
    running.set(field.option, {field, value});
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
  for (const error of refused) {
    note(`Not taken from the address: ${error}.`, "bad");
  }
  note("Click or F: full screen. Esc leaves it.");
  const about = JSON.parse(Module.ccall("tavrik_about", "string", [], []));
  const line = note(`${about.name} ${about.version}, a 3D screen saver. `, "about");
  const link = (text, href) => {
    const a = document.createElement("a");
    a.textContent = text;
    a.href = href;
    a.target = "_blank";
    a.rel = "noopener";
    return a;
  };
  line.append(link(about.licence, "LICENSE.txt"), ". ", link("Source", about.source), ".");
}

// The cursor and the panel show while the pointer moves, and go after 2 s still. A panel that
// names a refused value stays until the pointer first moves, so that it is read.
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

// Web-wallpaper hosts hand the page the panel's settings by their address names. Before the
// program starts they wait; once it runs, a changed one is kept and the page starts again with
// it, all of one call's changes at once.
const fromHost = [];
let hostFpsLimit = 0;

// The number a host's value stands for: a checkbox's true or false, one of the setting's words,
// a list's place (index, where the host gives one), or a number.
function hostNumber(option, value, index) {
  if (option === "fps") {
    return value === true || value === 1 || value === "1" || value === "true" ? 1 : 0;
  }
  const entry = running.get(option);
  const choices = entry ? entry.field.choices : [];
  const word = choices.find(([w]) => w === String(value));
  if (word) {
    return word[1];
  }
  if (index && choices.length > 0) {
    return Number.isInteger(value) && value >= 0 && value < choices.length ? choices[value][1] : NaN;
  }
  return Number(value);
}

function applyHost(pairs) {
  if (started) {
    applyHostNow(pairs);
  } else {
    fromHost.push(...pairs);
  }
}

// True where a value changed and the page starts again.
function applyHostNow(pairs) {
  const changed = [];
  for (const [option, value, index] of pairs) {
    const number = hostNumber(option, value, index);
    const entry = running.get(option);
    if (option === "fps" ? number === (showFps ? 1 : 0) : !entry || number === entry.value) {
      continue;
    }
    if (keep(option === "fps" ? "fps" : entry.field.name, number)) {
      changed.push(option);
    } else {
      console.warn(`tavrik: bad value for ${option} from the wallpaper host: '${value}', ignored`);
    }
  }
  if (changed.length > 0) {
    restart(changed);
  }
  return changed.length > 0;
}

function limitFps(fps) {
  hostFpsLimit = Number(fps) || 0;
  if (started) {
    Module._tavrik_limit_fps(hostFpsLimit);
  }
}

// The property listener of hosts that call applyUserProperties with {key: {value}} and
// applyGeneralProperties with {fps} (their frame-rate limit).
window.wallpaperPropertyListener = {
  applyUserProperties(properties) {
    applyHost(Object.entries(properties).map(([key, property]) => [key, property.value, false]));
  },
  applyGeneralProperties(properties) {
    if (properties.fps !== undefined) {
      limitFps(properties.fps);
    }
  },
};

// The global listener of hosts that call it with one property's name and value; a list's
// value is its place in the list of the property file.
function livelyPropertyListener(name, value) {
  applyHost([[name, value, true]]);
}
window.livelyPropertyListener = livelyPropertyListener;

function start() {
  options = JSON.parse(Module.ccall("tavrik_options", "string", [], []));
  showFps = options.fps === 1;
  applyAddress();
  buildPanel();
  // A host's values from before the start: where one differs, it is kept and the page restarts.
  if (applyHostNow(fromHost.splice(0))) {
    return;
  }
  readout.hidden = !showFps;
  if (!Module._tavrik_start(showFps ? 1 : 0)) {
    fail("TAVRIK could not start its graphics device.");
    return;
  }
  started = true;
  message.hidden = true;
  Module._tavrik_limit_fps(hostFpsLimit);
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
  panel.hidden = refused.length === 0;
}

var Module = {
  canvas,
  instantiateWasm: loadProgram,
  onRuntimeInitialized: start,
  onReadout: (text) => { readout.textContent = text; },
  onAbort: () => fail("TAVRIK stopped: its program failed in this browser. Load the page " +
                      "again; where it stops again, try another browser."),
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

if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function") {
  fail("TAVRIK cannot run in this browser: it has no WebAssembly, or WebAssembly is turned " +
       "off in its settings. Open the page in a current Firefox, Chrome, Edge or Safari, or " +
       "turn WebAssembly back on.");
} else {
  const program = document.createElement("script");
  program.src = "tavrik.js";
  program.onerror = () => failToLoad("tavrik.js", "the file is missing, or the server refused it");
  document.body.append(program);
  if ("serviceWorker" in navigator && location.protocol !== "file:") {
    navigator.serviceWorker.register("service-worker.js").catch(() => {});
  }
}
