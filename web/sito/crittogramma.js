// SPDX-License-Identifier: GPL-3.0-or-later
// "Crea crittogramma": the teacher's side. The key and the ciphertext come from the core on the
// worker; the worksheet is a page of its own that the browser prints (or saves as a PDF).

const el = (id) => document.getElementById(id);
const SemeMassimo = 999999;
const Lettere = (da) => Array.from({ length: 26 }, (_, k) => String.fromCharCode(da.charCodeAt(0) + k));

export class Crittogramma {
    #nucleo;
    #scarica;
    #risultato = null;
    #origine = 0;
    #nome = 'testo';

    constructor(nucleo, scarica) {
        this.#nucleo = nucleo;
        this.#scarica = scarica;
        el('ChiudiCrittogramma').addEventListener('click', () => el('Crittogramma').close());
        el('ChiaveCasuale').addEventListener('click', () => {
            el('Seme').value = String(Math.floor(Math.random() * (SemeMassimo + 1)));
            this.#cifra(0);
        });
        el('Seme').addEventListener('change', () => this.#cifra(0));
        el('Parola').addEventListener('change', () => el('Parola').value.trim() && this.#cifra(1));
        el('ChiaveScritta').addEventListener('change', () => this.#cifra(2));
        for (const id of ['TestoInChiaro', 'Spazi', 'Accenti'])
            el(id).addEventListener('change', () => this.#cifra(this.#origine));
        el('ApriTesto').addEventListener('change', async () => {
            const file = el('ApriTesto').files[0];
            if (!file)
                return;
            this.#nome = file.name.replace(/\.[^.]*$/, '');
            el('TestoInChiaro').value = await file.text();
            this.#cifra(this.#origine);
        });
        el('SalvaCrittogramma').addEventListener('click', () => this.#risultato
            && this.#scarica(`${String.fromCodePoint(...this.#risultato.cifrato)}\n`, `${this.#nome}-crittogramma.txt`,
                'text/plain;charset=utf-8'));
        el('SalvaChiave').addEventListener('click', () => this.#risultato
            && this.#scarica(this.#risultato.fileChiave, `${this.#nome}-chiave.txt`, 'text/plain;charset=utf-8'));
        el('SalvaScheda').addEventListener('click', () => this.#stampa());
    }

    apri() {
        el('Crittogramma').showModal();
        if (!this.#risultato) {
            el('Seme').value = String(Math.floor(Math.random() * (SemeMassimo + 1)));
            this.#cifra(0);
        }
    }

    async #cifra(origine) {
        this.#origine = origine;
        const r = (await this.#nucleo.chiedi({
            tipo: 'cifra', testo: el('TestoInChiaro').value, origine, seme: Number(el('Seme').value) || 0,
            chiave: origine === 1 ? el('Parola').value.trim() : el('ChiaveScritta').value,
            spazi: Number(el('Spazi').value), togliAccenti: el('Accenti').checked,
        })).crittogramma;
        this.#risultato = r.valido ? r : null;
        el('OrigineChiave').textContent = [
            `Chiave casuale dal seme ${el('Seme').value}: lo stesso seme dà sempre la stessa chiave.`,
            `Chiave dalla parola chiave "${el('Parola').value.trim()}".`,
            r.valido ? 'Chiave scritta a mano.'
                : 'La chiave non è completa: servono le 26 lettere, ciascuna una volta sola.'][origine];
        if (r.valido && origine !== 2)
            el('ChiaveScritta').value = r.alfabeto;
        el('Cifrato').value = r.valido ? String.fromCodePoint(...r.cifrato) : '';
        for (const id of ['SalvaCrittogramma', 'SalvaScheda'])
            el(id).disabled = !r.valido || r.cifrato.length === 0;
        el('SalvaChiave').disabled = !r.valido;
    }

    // The worksheet: the ciphertext large with room to write under each line, a key grid, the
    // frequencies if asked, and the solution on a page of its own.
    #stampa() {
        const r = this.#risultato;
        if (!r)
            return;
        const tabella = (righe) => `<table>${righe.map(([titolo, celle]) => `<tr><th scope="row">${titolo}</th>${
            celle.map((c) => `<td>${c}</td>`).join('')}</tr>`).join('')}</table>`;
        const perDecifrare = Lettere('A').map((c) => String.fromCharCode(97 + r.alfabeto.indexOf(c)));
        const totale = r.conteggi.reduce((a, b) => a + b, 0);
        const foglio = el('Foglio');
        foglio.innerHTML = `<h1>Crittogramma</h1>
<p>Nome e cognome ______________________________   Classe ________   Data ______________</p>
<p>Ogni lettera del testo è stata sostituita da un'altra, sempre la stessa. Scrivi sotto ogni lettera quella che secondo te nasconde, e riporta nella chiave le lettere che scopri.</p>
<pre class="cifrato"></pre>
<h2>Chiave</h2>${tabella([['Cifrato', Lettere('A')], ['In chiaro', new Array(26).fill('')],
            ...(el('Frequenze').checked ? [['% nel testo', r.conteggi.map((n) => (totale ? Math.round((100 * n) / totale) : 0))]] : [])])}
<div class="soluzione"><h1>Soluzione (per l'insegnante)</h1><p></p>
<h2>Per decifrare</h2>${tabella([['Cifrato', Lettere('A')], ['In chiaro', perDecifrare]])}
<h2>Per cifrare</h2>${tabella([['In chiaro', Lettere('a')], ['Cifrato', Array.from(r.alfabeto)]])}
<pre class="chiaro"></pre></div>`;
        foglio.querySelector('.cifrato').textContent = String.fromCodePoint(...r.cifrato).replaceAll('\n', '\n\n');
        foglio.querySelector('.chiaro').textContent = String.fromCodePoint(...r.chiaro);
        foglio.querySelector('.soluzione p').textContent = el('OrigineChiave').textContent;
        foglio.hidden = false;
        print();
        foglio.hidden = true;
    }
}
