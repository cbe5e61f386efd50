// SPDX-License-Identifier: GPL-3.0-or-later
// "Crea crittogramma": the teacher's side. The key and the ciphertext come from the core on the
// worker; the worksheet is a page of its own that the browser prints (or saves as a PDF).

const el = (id) => document.getElementById(id);
const SemeMassimo = 999999;
const Lettere = (da) => Array.from({ length: 26 }, (_, k) => String.fromCharCode(da.charCodeAt(0) + k));
// The worksheet's columns: A4 less its margins, as many as its letters take with room between.
const Colonne = 40;

// Code points as a string, a slice at a time: a whole text is too many arguments for one call.
function testoDa(codici) {
    let testo = '';
    for (let i = 0; i < codici.length; i += 8192)
        testo += String.fromCodePoint(...codici.slice(i, i + 8192));
    return testo;
}

export class Crittogramma {
    #nucleo;
    #scarica;
    #avvisa;
    #risultato = null;
    #origine = 0;
    #nome = 'testo';

    constructor(nucleo, scarica, avvisa) {
        this.#nucleo = nucleo;
        this.#scarica = scarica;
        this.#avvisa = avvisa;
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
        el('ApriTesto').addEventListener('change', () => this.#apriTesto());
        el('SalvaCrittogramma').addEventListener('click', () => this.#risultato
            && this.#scarica(`${testoDa(this.#risultato.cifrato)}\n`, `${this.#nome}-crittogramma.txt`,
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

    // A plaintext file in any code page the desktop reads, decoded by the core.
    async #apriTesto() {
        const file = el('ApriTesto').files[0];
        el('ApriTesto').value = '';
        if (!file)
            return;
        let r;
        try {
            r = await this.#nucleo.chiedi({ tipo: 'testoInChiaro', fonte: file });
        } catch {
            this.#avvisa(`Impossibile leggere il file "${file.name}": controllare che esista e che si abbiano i `
                + 'permessi per leggerlo.');
            return;
        }
        if (r.troppoLungo) {
            this.#avvisa(`Il file "${file.name}" è troppo lungo per un crittogramma: si possono aprire file fino a 1 MB.`);
            return;
        }
        this.#nome = file.name.replace(/\.[^.]*$/, '');
        el('TestoInChiaro').value = testoDa(r.testo);
        await this.#cifra(this.#origine);
    }

    async #cifra(origine) {
        this.#origine = origine;
        const r = (await this.#nucleo.chiedi({
            tipo: 'cifra', testo: el('TestoInChiaro').value, origine, seme: Number(el('Seme').value) || 0,
            chiave: origine === 1 ? el('Parola').value.trim() : el('ChiaveScritta').value,
            spazi: Number(el('Spazi').value), togliAccenti: el('Accenti').checked, colonne: Colonne,
        })).crittogramma;
        this.#risultato = r.valido ? r : null;
        el('OrigineChiave').textContent = [
            `Chiave casuale dal seme ${el('Seme').value}: lo stesso seme dà sempre la stessa chiave.`,
            `Chiave dalla parola chiave "${el('Parola').value.trim()}".`,
            r.valido ? 'Chiave scritta a mano.'
                : 'La chiave non è completa: servono le 26 lettere, ciascuna una volta sola.'][origine];
        if (r.valido && origine !== 2)
            el('ChiaveScritta').value = r.alfabeto;
        el('Cifrato').value = r.valido ? testoDa(r.cifrato) : '';
        for (const id of ['SalvaCrittogramma', 'SalvaScheda'])
            el(id).disabled = !r.valido || r.cifrato.length === 0;
        el('SalvaChiave').disabled = !r.valido;
    }

    // The worksheet, as the desktop's PDF: the ciphertext a letter a column with a line to write
    // on under each, a key grid, the frequencies if asked, and the solution on a page of its own.
    #stampa() {
        const r = this.#risultato;
        if (!r)
            return;
        const tabella = (righe) => `<table>${righe.map(([titolo, celle]) => `<tr${
            celle.some((c) => c.length > 1) ? ' class="numeri"' : ''}><th scope="row">${titolo}</th>${
            Array.from({ length: 26 }, (_, k) => `<td>${celle[k] ?? ''}</td>`).join('')}</tr>`).join('')}</table>`;
        const perDecifrare = Lettere('A').map((c) => String.fromCharCode(97 + r.alfabeto.indexOf(c)));
        const chiave = [['Cifrato', Lettere('A')], ['In chiaro', []]];
        const frequenze = el('Frequenze').checked;
        if (frequenze)
            chiave.push(['% nel testo', r.nelTesto]);
        const foglio = el('Foglio');
        foglio.innerHTML = `<h1>Crittogramma</h1>
<p>Nome e cognome ______________________________   Classe ________   Data ______________</p>
<p>Ogni lettera del testo è stata sostituita da un'altra, sempre la stessa. Scrivi sotto ogni lettera quella che secondo te nasconde, e riporta nella chiave le lettere che scopri.</p>
<div class="testo"></div>
<h2>Chiave</h2>${tabella(chiave)}${frequenze ? `
<p>Frequenze delle lettere in italiano (%), dalla più frequente:</p>${
    tabella([['Lettera', r.lettereItaliano], ['%', r.italiano]])}` : ''}
<div class="soluzione"><h1>Soluzione (per l'insegnante)</h1><p></p>
<h2>Per decifrare</h2>${tabella([['Cifrato', Lettere('A')], ['In chiaro', perDecifrare]])}
<h2>Per cifrare</h2>${tabella([['In chiaro', Lettere('a')], ['Cifrato', Array.from(r.alfabeto)]])}
<div class="testo"></div></div>`;
        const [testo, soluzione] = foglio.querySelectorAll('.testo');
        testo.replaceChildren(this.#righe(r, false));
        soluzione.replaceChildren(this.#righe(r, true));
        foglio.querySelector('.soluzione p').textContent = el('OrigineChiave').textContent;
        foglio.hidden = false;
        print();
        foglio.hidden = true;
    }

    // The core's lines of the ciphertext, each letter over a line to write on or, on the
    // solution's page, over its plain letter; what is not a letter stays in the clear.
    #righe(r, soluzione) {
        const righe = document.createDocumentFragment();  // however many: no argument list to overflow
        for (const [inizio, lunghezza] of r.righe) {
            const riga = document.createElement('div');
            riga.className = 'riga';
            for (let i = inizio; i < inizio + lunghezza; ++i) {
                const posto = document.createElement('span');
                const lettera = r.cifrato[i] >= 65 && r.cifrato[i] <= 90;
                posto.className = lettera ? (soluzione ? 'posto chiaro' : 'posto guida') : 'posto';
                posto.textContent = String.fromCodePoint(r.cifrato[i]);
                posto.dataset.sotto = soluzione && lettera ? String.fromCodePoint(r.chiaro[i]) : '';
                riga.append(posto);
            }
            righe.append(riga);
        }
        return righe;
    }
}
