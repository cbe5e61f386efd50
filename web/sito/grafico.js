// SPDX-License-Identifier: GPL-3.0-or-later
// The chart: 26 green bars on black, the percentage under each, the captions of the gridlines,
// the reference markers; heights in the core's units (ScalaBarre for a full bar).

const ScalaBarre = 2500;
export const Numero = 26;

export function costruisci(lista) {
    lista.replaceChildren(...Array.from({ length: Numero }, (_, k) => {
        const colonna = document.createElement('li');
        colonna.innerHTML = `<span class="riferimento" id="Riferimento-${k}" data-percentuale="0" hidden></span>`
            + `<span class="blocco" id="Blocco-${k}" role="img" data-conteggio="0" data-percentuale="0"></span>`
            + `<span class="lettera" id="Lettera-${k}"></span><span class="percentuale" id="Percentuale-${k}">0 %</span>`;
        return colonna;
    }));
}

const el = (id) => document.getElementById(id);

// Draws what a view keeps: its symbols, its last results, stretched or not, and the markers.
export function mostra(stato) {
    const r = stato.risultati;
    const altezze = stato.stiramento?.altezze ?? r?.altezze;
    for (let k = 0; k < Numero; ++k) {
        const blocco = el(`Blocco-${k}`);
        const lettera = stato.didascalie[k];
        const percentuale = r?.percentuali[k] ?? '0';
        el(`Lettera-${k}`).textContent = lettera;
        el(`Percentuale-${k}`).textContent = r?.etichette[k] ?? '0 %';
        blocco.dataset.conteggio = String(r?.conteggi[k] ?? 0);
        blocco.dataset.percentuale = percentuale;
        blocco.style.height = `${((altezze?.[k] ?? 0) / ScalaBarre) * 100}%`;
        blocco.setAttribute('aria-label', `${lettera}: ${r?.etichette[k] ?? '0 %'}`);
        const segno = el(`Riferimento-${k}`);
        const riferimento = stato.riferimento?.[k];
        segno.hidden = riferimento === undefined;
        segno.dataset.percentuale = String(riferimento ?? 0);
        // Stretched with the bars, and never past the top.
        const fattore = stato.stiramento && r?.percMax > 0 ? 100 / r.percMax : 1;
        segno.style.bottom = `${Math.min(100, (riferimento ?? 0) * fattore)}%`;
    }
    el('Perc1').textContent = stato.stiramento?.perc1 ?? '100 %';
    el('Perc2').textContent = stato.stiramento?.perc2 ?? '50 %';
}

// The chart as a PNG at `scala` times the CSS pixels, with a title and the markers' legend.
export async function immagine(titolo, legenda, scala) {
    const piano = el('Piano');
    const { width, height } = piano.getBoundingClientRect();
    const tela = document.createElement('canvas');
    const testa = 28;
    tela.width = Math.ceil(width * scala);
    tela.height = Math.ceil((height + testa) * scala);
    const g = tela.getContext('2d');
    g.scale(scala, scala);
    g.fillStyle = '#fff';
    g.fillRect(0, 0, width, testa);
    g.fillStyle = '#000';
    g.font = 'bold 13px "Liberation Sans", Arial, sans-serif';
    g.fillText(titolo, 4, 13);
    g.font = '11px "Liberation Sans", Arial, sans-serif';
    g.fillText(legenda, 4, 25);
    g.translate(0, testa);
    g.fillRect(0, 0, width, height);
    const origine = piano.getBoundingClientRect();
    const disegna = (elemento, colore, testo) => {
        if (elemento.hidden)
            return;
        const r = elemento.getBoundingClientRect();
        g.fillStyle = colore;
        if (testo)
            g.fillText(elemento.textContent, r.left - origine.left, r.bottom - origine.top - 2);
        else
            g.fillRect(r.left - origine.left, r.top - origine.top, r.width, r.height);
    };
    piano.querySelectorAll('.griglia').forEach((l) => disegna(l, '#808080'));
    piano.querySelectorAll('.blocco').forEach((b) => disegna(b, '#00ff00'));
    piano.querySelectorAll('.riferimento').forEach((b) => disegna(b, '#ff4040'));
    piano.querySelectorAll('.lettera, .percentuale, .griglia span').forEach((t) => disegna(t, '#e0e0e0', true));
    return new Promise((risolvi) => tela.toBlob(risolvi, 'image/png'));
}
