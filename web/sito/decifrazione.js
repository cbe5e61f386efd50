// SPDX-License-Identifier: GPL-3.0-or-later
// Decifrazione: the ranking, the key boxes (a letter typed replaces what is there and moves on,
// Backspace clears and goes back, the arrows move, a paste fills the key, Ctrl+Z and Ctrl+Y undo
// and redo), the key in a file or the clipboard, the text under the key, the statistics; every
// rule is the core's, on the worker.

const el = (id) => document.getElementById(id);
const vai = (k) => el(`Chiave-${Math.max(0, Math.min(25, k)) + 1}`).focus();
const Modifica = { Digitata: 0, Cancellata: 1, Proposta: 4, Azzerata: 5 };
// What undo and redo name, by Modifica.
const NomiModifica = ['lettera digitata', 'lettera cancellata', 'chiave incollata', 'chiave per frequenza',
    'chiave proposta', 'azzeramento', 'chiave aperta'];

// A symbol as the desktop's Decifrazione shows it: a capital where capitals are counted, a space as
// ␣, a control character by its code.
function mostrato(simbolo, modo) {
    if (modo === 1)
        return simbolo.toUpperCase();
    const n = simbolo.codePointAt(0);
    if (n === 0x20)
        return '␣';
    if (n < 0x20 || (n >= 0x7f && n < 0xa0))
        return `U+${n.toString(16).toUpperCase().padStart(4, '0')}`;
    return simbolo;
}

export class Decifrazione {
    #nucleo;
    #stato = null;
    #dati = null;
    #simboli = [];
    #avvia;
    #nuovoNucleo;
    #apertura = null;

    // `avvia(descrizione, lavoro, annulla)` runs a long request with the page's Stato; the key
    // search runs on a core of its own from `nuovoNucleo()`, so that a cancel can end it.
    constructor(nucleo, avvia, nuovoNucleo) {
        this.#nucleo = nucleo;
        this.#avvia = avvia;
        this.#nuovoNucleo = nuovoNucleo;
        el('ChiudiDecifrazione').addEventListener('click', () => el('Decifrazione').close());
        el('Lingua').addEventListener('change', () => {
            this.#classifica();
            this.#chiedi({ tipo: 'statoChiave' });
        });
        el('ChiavePerFrequenza').addEventListener('click', () => this.#chiedi({ tipo: 'chiavePerFrequenza' }));
        el('ProponiChiave').addEventListener('click', () => this.#cerca(false));
        el('CompletaChiave').addEventListener('click', () => this.#cerca(true));
        el('AzzeraChiave').addEventListener('click', () => this.#cambia('-'.repeat(26), Modifica.Azzerata));
        el('AnnullaModifica').addEventListener('click', () => this.#chiedi({ tipo: 'annullaChiave', ripeti: false }));
        el('RipetiModifica').addEventListener('click', () => this.#chiedi({ tipo: 'annullaChiave', ripeti: true }));
        el('SalvaTesto').addEventListener('click', () => this.#salva());
        el('CopiaChiave').addEventListener('click', () => this.#copiaChiave());
        el('AzioneSalvaChiave').addEventListener('click', () => this.#salvaChiave());
        el('AzioneApriChiave').addEventListener('change', () => this.#apriChiave());
        el('Decifrazione').addEventListener('keydown', (e) => {
            const tasto = e.key.toLowerCase();
            if ((e.ctrlKey || e.metaKey) && (tasto === 'z' || tasto === 'y')) {
                e.preventDefault();
                this.#chiedi({ tipo: 'annullaChiave', ripeti: tasto === 'y' });
            }
        });
    }

    // Opens on the last analysis of a view: its source, criterion, symbols, counts and code page.
    async apri(dati) {
        this.#dati = dati;
        this.#simboli = dati.didascalie.map((c) => mostrato(c, dati.modo));
        this.#caselle(this.#simboli);
        el('TitoloDecifrazione').textContent = `Decifrazione - ${dati.nome}`;
        el('Decifrazione').showModal();
        this.#apertura = {
            tipo: 'decifrazione', fonte: dati.fonte, modo: dati.modo, simboli: dati.simboli,
            codifica: dati.codifica, conteggi: dati.conteggi,
        };
        await this.#chiedi(this.#apertura);
        await this.#classifica();
        el('Chiave-1').focus();
    }

    #caselle(didascalie) {
        el('Chiave').replaceChildren(...didascalie.map((simbolo, k) => {
            const voce = document.createElement('li');
            const id = `Chiave-${k + 1}`;
            voce.innerHTML = `<label for="${id}"></label><input id="${id}" maxlength="1" autocomplete="off" spellcheck="false">`;
            voce.querySelector('label').textContent = simbolo;
            const casella = voce.querySelector('input');
            casella.setAttribute('aria-label', `Lettera in chiaro per il simbolo ${simbolo}`);
            casella.addEventListener('keydown', (e) => this.#tasto(e, k));
            casella.addEventListener('paste', (e) => {
                e.preventDefault();
                this.#chiedi({ tipo: 'incollaChiave', testo: e.clipboardData.getData('text/plain'), casella: k });
            });
            // The keys do it all; a phone's keyboard names no key, only the text it would insert.
            casella.addEventListener('beforeinput', (e) => {
                e.preventDefault();
                const lettera = e.inputType === 'insertText' ? (e.data ?? '').slice(-1) : '';
                if (/^[a-zA-Z]$/.test(lettera))
                    this.#digita(k, lettera);
                else if (e.inputType === 'deleteContentBackward')
                    this.#cancella(k, true);
            });
            return voce;
        }));
    }

    #tasto(e, k) {
        if (e.ctrlKey || e.metaKey || e.altKey)
            return;
        if (/^[a-zA-Z]$/.test(e.key)) {
            e.preventDefault();
            this.#digita(k, e.key);
        } else if (e.key === 'Backspace' || e.key === 'Delete') {
            e.preventDefault();
            this.#cancella(k, e.key === 'Backspace');
        } else if (e.key === 'ArrowLeft' || e.key === 'ArrowRight') {
            e.preventDefault();
            vai(k + (e.key === 'ArrowLeft' ? -1 : 1));
        }
    }

    // A letter in box k, and on to the next box.
    #digita(k, lettera) {
        const lettere = Array.from(this.#lettere());
        lettere[k] = lettera.toLowerCase();
        this.#cambia(lettere.join(''), Modifica.Digitata);
        vai(k + 1);
    }

    // Box k cleared, and back to the one before after a Backspace.
    #cancella(k, indietro) {
        const lettere = Array.from(this.#lettere());
        lettere[k] = '-';
        this.#cambia(lettere.join(''), Modifica.Cancellata);
        if (indietro)
            vai(k - 1);
    }

    #cambia(lettere, modifica) {
        return this.#chiedi({ tipo: 'cambiaChiave', lettere, modifica });
    }

    #lettere() {
        return Array.from(this.#stato?.chiave ?? '-'.repeat(26), (c) => (c >= 'a' && c <= 'z' ? c : '-')).join('');
    }

    // The search on a second core opened on the same text and key, which a cancel ends; its key
    // comes back as one change. Completa chiave keeps the letters typed, marked as kept.
    async #cerca(completa) {
        const cercatore = this.#nuovoNucleo();
        let annullata = false;
        const lingua = Number(el('Lingua').value);
        const tenute = completa ? this.#lettere() : '-'.repeat(26);
        await this.#avvia('Ricerca della chiave in corso', async (avanza) => {
            cercatore.suAvanzamento = avanza;
            try {
                await cercatore.chiedi({ ...this.#apertura, lingua });
                await cercatore.chiedi({ tipo: 'cambiaChiave', lettere: tenute, modifica: Modifica.Digitata, lingua });
                const r = await cercatore.chiedi({ tipo: 'cercaChiave', completa, lingua });
                const trovata = Array.from(r.stato.chiave, (c) => (c >= 'a' && c <= 'z' ? c : '-')).join('');
                await this.#cambia(trovata, Modifica.Proposta);
                this.#segnaTenute(tenute);
                return true;
            } catch (errore) {
                if (annullata)
                    return false;
                throw errore;
            } finally {
                cercatore.termina();
            }
        }, () => {
            annullata = true;
            cercatore.termina();
        });
    }

    // The letters typed before Completa chiave stand out as those the search kept.
    #segnaTenute(tenute) {
        for (let k = 0; k < 26; ++k) {
            const casella = el(`Chiave-${k + 1}`);
            const tenuta = tenute[k] !== '-';
            casella.classList.toggle('tenuta', tenuta);
            if (tenuta)
                casella.title = 'Lettera scritta a mano: Completa chiave la mantiene';
            else
                casella.removeAttribute('title');
        }
    }

    #nome() {
        return this.#dati.nome === 'testo degli appunti' ? null : this.#dati.nome.replace(/\.[^.]*$/, '');
    }

    async #salvaChiave() {
        const r = await this.#nucleo.chiedi({ tipo: 'scriviChiave' });
        const nome = this.#nome();
        this.#dati.scarica(r.testo, nome === null ? 'chiave.txt' : `${nome}-chiave.txt`, 'text/plain;charset=utf-8');
    }

    // As a key file holds it, so that a paste into a key box, or a file, gives it back.
    async #copiaChiave() {
        const r = await this.#nucleo.chiedi({ tipo: 'scriviChiave' });
        await navigator.clipboard.writeText(r.testo).then(() => this.#dati.stato('finito', 'Chiave copiata.'),
            () => this.#dati.stato('errore', 'Impossibile copiare la chiave.'));
    }

    // A key file, read by the core; refused whole, naming the line, with the key unchanged.
    async #apriChiave() {
        const file = el('AzioneApriChiave').files[0];
        el('AzioneApriChiave').value = '';
        if (!file)
            return;
        try {
            const r = await this.#nucleo.chiedi({ tipo: 'apriChiave', fonte: file, lingua: Number(el('Lingua').value) });
            if (r.stato.errore !== undefined)
                this.#dati.avvisa(`"${file.name}" non è una chiave di Varnel: ${r.stato.errore}. La chiave non è cambiata.`);
            else
                this.#mostra(r.stato);
        } catch (errore) {
            this.#dati.avvisa(`Impossibile aprire "${file.name}": ${errore.message}.`);
        }
    }

    async #classifica() {
        const { righe } = await this.#nucleo.chiedi({ tipo: 'classifica', lingua: Number(el('Lingua').value) });
        el('Classifica').tBodies[0].replaceChildren(...righe.map((r) => {
            const riga = document.createElement('tr');
            riga.innerHTML = '<th scope="row"></th><td></td><td></td><td></td><td></td>';
            [this.#simboli[r.slot], r.conteggio, r.quota, r.lettera, r.lingua]
                .forEach((testo, k) => { riga.cells[k].textContent = testo; });
            return riga;
        }));
    }

    async #salva() {
        const nome = this.#nome() ?? 'appunti';
        await this.#avvia(`Salvataggio di "${nome}-decifrato.txt" in corso`, async () => {
            const r = await this.#nucleo.chiedi({ tipo: 'decifra', fonte: this.#dati.fonte });
            if (!r.testo)
                throw new Error('il file analizzato è cambiato dopo l\'analisi: analizzarlo di nuovo');
            this.#dati.scarica(r.testo, `${nome}-decifrato.txt`);
        });
    }

    async #chiedi(richiesta) {
        const r = await this.#nucleo.chiedi({ ...richiesta, lingua: Number(el('Lingua').value) });
        if (r.stato?.errore !== undefined) {
            this.#dati.avvisa(`Gli appunti non contengono una chiave: ${r.stato.errore}.`);
            return;
        }
        if (r.stato)
            this.#mostra(r.stato);
    }

    #mostra(stato) {
        this.#stato = stato;
        const simbolo = (k) => this.#simboli[k];
        for (let k = 0; k < 26; ++k) {
            const casella = el(`Chiave-${k + 1}`);
            const lettera = stato.chiave[k];
            casella.value = lettera >= 'a' && lettera <= 'z' ? lettera : '';
            casella.classList.toggle('doppione', stato.doppioni.includes(k));
        }
        if (stato.casella !== undefined)
            el(`Chiave-${Math.min(25, stato.casella) + 1}`).focus();
        const lettera = (k) => String.fromCharCode(97 + k);
        const elenco = (voci, nessuna) => (voci.length ? voci.join(' ') : nessuna);
        const date = [...new Set(stato.doppioni.map((k) => stato.chiave[k]))].sort();
        el('LettereLibere').textContent = `Lettere in chiaro non usate: ${elenco(stato.nonUsate.map(lettera), 'nessuna')}`
            + (date.length ? ` — date a più simboli: ${date.join(' ')}` : '');
        el('SimboliLiberi').textContent = `Simboli cifrati senza lettera: ${elenco(stato.senzaLettera.map(simbolo), 'nessuno')}`;
        for (const [id, verbo, modifica] of [['AnnullaModifica', 'Annulla', stato.daAnnullare],
            ['RipetiModifica', 'Ripeti', stato.daRipetere]]) {
            el(id).disabled = modifica === undefined;
            el(id).textContent = `${verbo} ${NomiModifica[modifica] ?? 'modifica'}`;
        }
        this.#anteprima(stato);
        this.#statistiche(stato);
    }

    // Runs of one mark become one span each: deciphered letters, doubled ones, the ciphertext.
    #anteprima(stato) {
        const parti = [];
        let inizio = 0;
        for (let i = 1; i <= stato.segni.length; ++i) {
            if (i === stato.segni.length || stato.segni[i] !== stato.segni[inizio]) {
                const parte = document.createElement('span');
                parte.className = ['cifrato', 'sostituito', 'doppione'][stato.segni[inizio]];
                parte.textContent = String.fromCodePoint(...stato.anteprima.slice(inizio, i));
                parti.push(parte);
                inizio = i;
            }
        }
        el('Anteprima').replaceChildren(...parti);
    }

    #statistiche(stato) {
        const lingua = el('Lingua').value === '0' ? 'italiano' : 'inglese';
        const chiave = stato.chiave;
        const riga = (n) => `${n.slot.map((s) => this.#simboli[s]).join('')} → `
            + `${n.slot.map((s) => (chiave[s] >= 'a' && chiave[s] <= 'z' ? chiave[s] : '·')).join('')}  (${n.conteggio})`;
        const colonna = (titolo, ngrammi, totale) => [
            totale > ngrammi.length ? `${titolo} (${ngrammi.length} di ${totale}):` : `${titolo}:`,
            ...(ngrammi.length ? ngrammi.map(riga) : ['nessuno'])];
        const righe = [`Simboli contati: ${stato.simboli}`,
            `Indice di coincidenza: ${stato.indiceTesto} (${lingua}: ${stato.indiceLingua}; testo casuale: ${stato.indiceCasuale})`];
        if (stato.breve)
            righe.push('Meno di 100 simboli: le frequenze di un testo così breve non sono affidabili.');
        if (stato.improbabile)
            righe.push(`L'indice è troppo basso per una sola sostituzione dell'${lingua}: forse più alfabeti `
                + '(cifrario polialfabetico), un testo casuale o un\'altra lingua.');
        else if (stato.probabile)
            righe.push('L\'indice è vicino a quello della lingua: probabilmente una sola sostituzione '
                + '(cifrario monoalfabetico).');
        if (stato.moltiplicatore === 1)
            righe.push(`Cifrario di Cesare, spostamento ${stato.spostamento}`);
        else if (stato.moltiplicatore !== undefined)
            righe.push(`Cifrario affine, moltiplicatore ${stato.moltiplicatore}, spostamento ${stato.spostamento}`);
        righe.push(`Più frequenti nei primi ${stato.primi} simboli del testo:`);
        el('StatisticheTesto').textContent = righe.join('\n');
        for (const [titolo, nome] of [['Bigrammi', 'bigrammi'], ['Trigrammi', 'trigrammi'], ['Doppie', 'doppie']])
            el(titolo).textContent = colonna(titolo, stato[nome], stato[`${nome}Totale`]).join('\n');
        el('Statistiche').dataset.indiceCoincidenza = String(stato.indice);
    }
}
