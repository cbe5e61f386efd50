// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of a worker that holds the core: requests as promises, progress as a callback
// (an analysis's bytes read since the last report; a key search's work done and its whole).

export class Nucleo {
    #lavoratore = new Worker(new URL('lavoratore.js', import.meta.url), { type: 'module' });
    #attese = new Map();
    #prossimo = 0;
    #nonPronto;
    pronto;
    suAvanzamento = () => {};

    constructor() {
        this.pronto = new Promise((risolvi, rifiuta) => {
            this.#nonPronto = rifiuta;
            this.#lavoratore.onerror = (e) => rifiuta(new Error(e.message));
            this.#lavoratore.onmessage = ({ data }) => {
                if (data.tipo === 'pronto')
                    return risolvi(data);
                if (data.tipo === 'avanzamento')
                    return this.suAvanzamento(data.letti, data.dimensione);
                const attesa = this.#attese.get(data.id);
                this.#attese.delete(data.id);
                if (data.tipo === 'errore')
                    attesa?.rifiuta(new Error(data.messaggio));
                else
                    attesa?.risolvi(data);
            };
        });
    }

    async chiedi(richiesta) {
        await this.pronto;
        const id = ++this.#prossimo;
        return new Promise((risolvi, rifiuta) => {
            this.#attese.set(id, { risolvi, rifiuta });
            this.#lavoratore.postMessage({ ...richiesta, id });
        });
    }

    annulla() {
        this.#lavoratore.postMessage({ tipo: 'annulla' });
    }

    // Ends the worker whatever it is doing, starting included: what was asked of it fails.
    termina() {
        this.#lavoratore.terminate();
        this.#nonPronto(new Error('annullata'));
        for (const attesa of this.#attese.values())
            attesa.rifiuta(new Error('annullata'));
        this.#attese.clear();
    }
}
