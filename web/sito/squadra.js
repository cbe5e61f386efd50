// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis of a file by a team of workers, as the desktop shares a file among its threads: the
// core splits it into ranges, each worker takes the next range left and reads it on its own, and
// the page's core joins what they gave in file order. Files the core keeps whole (small, UTF-16)
// are read in order by the page's core alone.
import { Nucleo } from './nucleo.js';

// Beyond a few, workers wait on the reading of the file more than they count.
const MassimoLavoratori = 4;

export class Squadra {
    #nucleo;
    #aiutanti = [];  // started at the first file split, kept for the next
    #annullata = false;

    constructor(nucleo) {
        this.#nucleo = nucleo;
    }

    // `richiesta` as the worker's analizza takes it; `suAvanzamento(letti, dimensione)` as the
    // bytes read grow. The results, or { tipo: 'annullata' }.
    async analizza(richiesta, suAvanzamento) {
        this.#annullata = false;
        const { fonte } = richiesta;
        const lavoratori = Math.max(1, Math.min(navigator.hardwareConcurrency || 1, MassimoLavoratori));
        let letti = 0;
        const avanza = (n) => suAvanzamento(letti += n, fonte.size);
        const { piano, tratti } = (await this.#nucleo.chiedi({ tipo: 'piano', fonte, lavoratori })).piano;
        this.#nucleo.suAvanzamento = avanza;
        if (this.#annullata)
            return { tipo: 'annullata' };
        if (tratti.length === 0)
            return this.#nucleo.chiedi({ ...richiesta, tipo: 'analizza' });
        while (this.#aiutanti.length < lavoratori - 1)
            this.#aiutanti.push(new Nucleo());
        const parziali = [];
        let prossimo = 0;
        const lavora = async (nucleo) => {
            nucleo.suAvanzamento = avanza;
            while (prossimo < tratti.length && !this.#annullata) {
                const indice = prossimo++;
                const r = await nucleo.chiedi({ ...richiesta, tipo: 'tratto', piano, indice, tratto: tratti[indice] });
                if (r.tipo === 'annullata')
                    return;
                parziali[indice] = r.parziale;
            }
        };
        try {
            await Promise.all([this.#nucleo, ...this.#aiutanti].map(lavora));
        } catch (errore) {
            this.annulla();  // the others stop reading too
            throw errore;
        }
        if (this.#annullata)
            return { tipo: 'annullata' };
        return this.#nucleo.chiedi({ ...richiesta, tipo: 'unisci', parziali, piano });
    }

    annulla() {
        this.#annullata = true;
        for (const nucleo of [this.#nucleo, ...this.#aiutanti])
            nucleo.annulla();
    }
}
