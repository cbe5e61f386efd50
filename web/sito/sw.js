// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the whole page for use offline after the first visit: every file is cached at install,
// and every request is answered from the cache first. The cache's name changes with the files.
const Cache = 'varnel-@IMPRONTA@';
const File = ['./', 'index.html', 'stile.css', 'app.js', 'grafico.js', 'nucleo.js', 'squadra.js', 'decifrazione.js', 'crittogramma.js', 'lavoratore.js', 'varnel.js',
    'varnel.wasm', 'varnel-scalare.js', 'varnel-scalare.wasm', 'manifest.webmanifest', 'icona.svg'];

self.addEventListener('install', (e) => {
    e.waitUntil(caches.open(Cache).then((c) => c.addAll(File)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (e) => {
    e.waitUntil(caches.keys()
        .then((nomi) => Promise.all(nomi.filter((n) => n !== Cache).map((n) => caches.delete(n))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (e) => {
    e.respondWith(caches.match(e.request, { ignoreSearch: true }).then((r) => r ?? fetch(e.request)));
});
