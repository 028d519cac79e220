// The page's files kept in the browser, so that a visit without the network still draws. Each
// file comes from the network while there is one, and its kept copy is renewed with it, so a
// changed file is never hidden behind an old copy; without the network the kept copy answers.
// The cache is named by the version the build gives it: a new release starts a new one, and the
// others of this page go.
"use strict";

const version = "@PROJECT_VERSION@";
const cacheName = `tavrik-${version}`;
const files = ["./", "index.html", "page.js", "tavrik.js", "tavrik.wasm", "manifest.webmanifest",
               "icon-32.png", "icon-180.png", "icon-192.png", "icon-512.png"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(files))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith("tavrik-") && name !== cacheName)
    .map((name) => caches.delete(name)))).then(() => self.clients.claim()));
});

// The page's settings ride in its address: one kept copy serves every address of a file.
function keyOf(request) {
  const url = new URL(request.url);
  url.search = "";
  return url.href;
}

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) {
    return;
  }
  event.respondWith(fetch(request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(cacheName).then((cache) => cache.put(keyOf(request), copy)));
    }
    return response;
  }, () => caches.match(keyOf(request)).then((kept) => kept || Response.error())));
});
