// SPDX-License-Identifier: GPL-3.0-or-later
// The core in a worker: it reads a File (or pasted text as a Blob), or one range of it, in slices
// into one buffer of its own, each copied into the wasm memory and counted there, so that memory
// stays constant whatever the file's size. Several such workers may share a file (squadra.js).

// A module that uses one SIMD instruction: a browser without WebAssembly SIMD cannot validate it,
// nor load the SIMD build, so it gets the scalar one.
const ModuloSimd = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0,
    65, 0, 253, 15, 253, 98, 11]);
const simd = WebAssembly.validate(ModuloSimd);
const nome = simd ? 'varnel' : 'varnel-scalare';
const { default: crea } = await import(`./${nome}.js`);
const core = await crea({ locateFile: () => new URL(`${nome}.wasm`, import.meta.url).href });

// Each read waits for a whole slice rather than the 64 KiB pieces the browser hands on, so that
// reads cost fewer turns; a slice small enough to stay in the cache while it is counted.
const Pezzo = 1024 * 1024;
const IntervalloAvanzamento = 100;  // ms between progress messages, which the page sums
let annullata = false;
let buffer = new ArrayBuffer(Pezzo);  // handed to each read and given back with its bytes
let nonDetti = 0;  // bytes read since the last progress message
let detto = 0;

function testo(puntatore) {
    return puntatore === 0 ? null : core.UTF8ToString(puntatore);
}

// Strings and arrays passed in the wasm memory, freed when `lavoro` is done.
function conMemoria(lavoro) {
    const allocati = [];
    const stringa = (s) => {
        const n = core.lengthBytesUTF8(s) + 1;
        const p = core._malloc(n);
        core.stringToUTF8(s, p, n);
        allocati.push(p);
        return p;
    };
    const numeri = (valori, Tipo) => {
        const a = Tipo.from(valori);
        const p = core._malloc(a.byteLength);
        new Tipo(core.HEAPU8.buffer, p, a.length).set(a);
        allocati.push(p);
        return p;
    };
    try {
        return lavoro(stringa, numeri);
    } finally {
        allocati.forEach((p) => core._free(p));
    }
}

// Bytes put at the start of the core's buffer, where its calls take them.
function nelBuffer(byte) {
    core.HEAPU8.set(byte, core._varnel_buffer(byte.length));
}

function avanza(n, ora = false) {
    nonDetti += n;
    if (nonDetti > 0 && (ora || performance.now() - detto >= IntervalloAvanzamento)) {
        postMessage({ tipo: 'avanzamento', letti: nonDetti });
        nonDetti = 0;
        detto = performance.now();
    }
}

// Reads `fonte` from its start, handing each slice to `consuma(n)` once its n bytes are at the
// wasm buffer; false once cancelled. A byte stream fills the worker's buffer in place (a browser
// that knows no `min` gives what it has); a browser without one gives slices of its own.
async function leggi(fonte, consuma) {
    const flusso = fonte.stream();
    let byob = true;
    let lettore;
    try {
        lettore = flusso.getReader({ mode: 'byob' });
    } catch {
        byob = false;
        lettore = flusso.getReader();
    }
    try {
        for (;;) {
            if (byob && buffer.byteLength === 0)
                buffer = new ArrayBuffer(Pezzo);  // kept by a read that failed
            const { done, value } = await (byob ? lettore.read(new Uint8Array(buffer), { min: Pezzo }) : lettore.read());
            if (byob && value)
                buffer = value.buffer;
            if (annullata)
                return false;
            // A read cut short by the stream's end gives its last bytes with `done`.
            if (value?.length > 0) {
                nelBuffer(value);
                consuma(value.length);
                avanza(value.length);
            }
            if (done)
                return true;
        }
    } finally {
        avanza(0, true);
        lettore.cancel().catch(() => {});
    }
}

// The 26 symbols' code points in the wasm memory, or none for a case mode.
function criterio(numeri, modo, simboli) {
    return modo === 3 ? numeri(Array.from(simboli, (c) => c.codePointAt(0)), Uint32Array) : 0;
}

// The file read in order, whole.
async function analizza({ fonte, modo, simboli, ignoraAltri, didascalie }) {
    annullata = false;
    conMemoria((stringa, numeri) => core._varnel_inizia(modo, criterio(numeri, modo, simboli)));
    if (!await leggi(fonte, (n) => core._varnel_consuma(n)))
        return { tipo: 'annullata' };  // the next analysis starts afresh
    const risultati = conMemoria((stringa) =>
        testo(core._varnel_concludi(ignoraAltri ? 1 : 0, stringa(didascalie.join('\n')), stringa(','))));
    return { tipo: 'risultati', risultati: JSON.parse(risultati) };
}

// How the file is split among `lavoratori` workers (varnel_piano).
async function piano({ fonte, lavoratori }) {
    const iniziali = new Uint8Array(await fonte.slice(0, 3).arrayBuffer());
    nelBuffer(iniziali);
    return { tipo: 'piano', piano: JSON.parse(testo(core._varnel_piano(fonte.size, iniziali.length, lavoratori))) };
}

// One range of the plan, [da, a) with the `prima` bytes before it: what it gives, as bytes.
async function tratto({ fonte, modo, simboli, piano: numeri, indice, tratto: [da, a, prima] }) {
    annullata = false;
    nelBuffer(new Uint8Array(await fonte.slice(da - prima, da).arrayBuffer()));
    conMemoria((stringa, memoria) => core._varnel_tratto(modo, criterio(memoria, modo, simboli),
        memoria(numeri, Float64Array), indice, prima));
    if (!await leggi(fonte.slice(da, a), (n) => core._varnel_tratto_consuma(n)))
        return { tipo: 'annullata' };
    const n = core._varnel_tratto_concludi();
    const risultato = core._varnel_buffer(n);
    return { tipo: 'parziale', parziale: core.HEAPU8.slice(risultato, risultato + n) };
}

// The analysis from what the ranges gave, in file order.
function unisci({ parziali, modo, simboli, piano: numeri, ignoraAltri, didascalie }) {
    const n = parziali.reduce((somma, p) => somma + p.length, 0);
    let p = core._varnel_buffer(n);
    for (const parziale of parziali) {
        core.HEAPU8.set(parziale, p);
        p += parziale.length;
    }
    const risultati = conMemoria((stringa, memoria) => testo(core._varnel_unisci(modo, criterio(memoria, modo, simboli),
        memoria(numeri, Float64Array), n, ignoraAltri ? 1 : 0, stringa(didascalie.join('\n')), stringa(','))));
    if (risultati === null)
        throw new Error('i tratti del file non tornano');
    return { tipo: 'risultati', risultati: JSON.parse(risultati) };
}

// The core pulls the File's bytes from the start, a slice at a time (FileReaderSync: workers may block).
function leggiDa(fonte) {
    const lettore = new FileReaderSync();
    let posizione = 0;
    core.leggiPezzo = (p, n) => {
        try {
            const byte = new Uint8Array(lettore.readAsArrayBuffer(fonte.slice(posizione, posizione + n)));
            core.HEAPU8.set(byte, p);
            posizione += byte.length;
            return byte.length;
        } catch {
            return -1;
        }
    };
}

function chiave(funzione, ...argomenti) {
    return conMemoria((stringa, numeri) => {
        const valori = argomenti.map((a) => (typeof a === 'string' ? stringa(a) : a));
        const r = testo(core[funzione](...valori));
        return { tipo: 'chiave', stato: r && JSON.parse(r) };
    });
}

// The key search, which tells how far it has come as an analysis does.
function cercaChiave({ completa, lingua }) {
    core.avanza = (letti, dimensione) => postMessage({ tipo: 'avanzamento', letti, dimensione });
    return chiave('_varnel_cerca_chiave', completa ? 1 : 0, lingua);
}

// A key file opened in Decifrazione: the new state, or {errore} when it is no key.
function apriChiave({ fonte, lingua }) {
    leggiDa(fonte);
    const r = testo(core._varnel_apri_chiave(lingua));
    if (r === null)
        throw new Error('il file non si può leggere');
    return { tipo: 'chiave', stato: JSON.parse(r) };
}

// A plaintext file opened in "Crea crittogramma", decoded by the core.
function testoInChiaro({ fonte }) {
    leggiDa(fonte);
    const r = testo(core._varnel_testo_in_chiaro());
    if (r === null)
        throw new Error('il file non si può leggere');
    return { tipo: 'testoInChiaro', ...JSON.parse(r) };
}

const Comandi = {
    analizza,
    piano,
    tratto,
    unisci,
    decifrazione: ({ fonte, modo, simboli, codifica, conteggi, lingua }) => {
        leggiDa(fonte);
        return conMemoria((stringa, numeri) => {
            const codici = modo === 3 ? numeri(Array.from(simboli, (c) => c.codePointAt(0)), Uint32Array) : 0;
            const r = testo(core._varnel_decifrazione(modo, codici, codifica, numeri(conteggi, Float64Array), lingua));
            return { tipo: 'chiave', stato: r && JSON.parse(r) };
        });
    },
    statoChiave: ({ lingua }) => chiave('_varnel_stato_chiave', lingua),
    cambiaChiave: ({ lettere, modifica, lingua }) => chiave('_varnel_cambia_chiave', lettere, modifica, lingua),
    incollaChiave: ({ testo: t, casella, lingua }) => chiave('_varnel_incolla_chiave', t, casella, lingua),
    annullaChiave: ({ ripeti, lingua }) => chiave('_varnel_annulla_chiave', ripeti ? 1 : 0, lingua),
    chiavePerFrequenza: ({ lingua }) => chiave('_varnel_chiave_per_frequenza', lingua),
    cercaChiave,
    apriChiave,
    testoInChiaro,
    classifica: ({ lingua }) => ({ tipo: 'classifica', righe: JSON.parse(testo(core._varnel_classifica(lingua))) }),
    scriviChiave: () => ({ tipo: 'fileChiave', testo: testo(core._varnel_scrivi_chiave()) }),
    cifra: ({ testo: chiaro, origine, seme, chiave: scritta, spazi, togliAccenti, colonne }) => conMemoria((stringa, numeri) => {
        const codici = (s) => Array.from(s, (c) => c.codePointAt(0));
        const t = codici(chiaro);
        const k = codici(scritta);
        const r = testo(core._varnel_cifra(numeri(t, Uint32Array), t.length, origine, seme, numeri(k, Uint32Array),
            k.length, spazi, togliAccenti ? 1 : 0, colonne));
        return { tipo: 'crittogramma', crittogramma: JSON.parse(r) };
    }),
    decifra: ({ fonte }) => {
        leggiDa(fonte);
        const parti = [];
        core.scriviPezzo = (p, n) => parti.push(core.HEAPU8.slice(p, p + n));
        const riuscito = core._varnel_decifra() !== 0;
        return { tipo: 'decifrato', testo: riuscito ? new Blob(parti, { type: 'text/plain;charset=utf-8' }) : null };
    },
    stira: ({ altezze, percMax, totale, conteggioMax }) => conMemoria((stringa, numeri) => {
        const r = testo(core._varnel_stira(numeri(altezze, Float32Array), percMax, totale, conteggioMax));
        return { tipo: 'stiramento', stiramento: r && JSON.parse(r) };
    }),
    tabella: ({ conteggi, totale, didascalie, csv }) => conMemoria((stringa, numeri) => ({
        tipo: 'tabella',
        tabella: testo(core._varnel_tabella(numeri(conteggi, Float64Array), totale, stringa(didascalie.join('\n')),
            csv ? 1 : 0)),
    })),
    riferimento: ({ lingua, conteggi, totale }) => conMemoria((stringa, numeri) => ({
        tipo: 'riferimento',
        percentuali: JSON.parse(testo(core._varnel_riferimento(lingua, numeri(conteggi, Float64Array), totale))),
    })),
};

onmessage = async ({ data }) => {
    if (data.tipo === 'annulla') {
        annullata = true;
        return;
    }
    try {
        postMessage({ ...(await Comandi[data.tipo](data)), id: data.id });
    } catch (errore) {
        postMessage({ tipo: 'errore', messaggio: String(errore), id: data.id });
    }
};
postMessage({ tipo: 'pronto', simd });
