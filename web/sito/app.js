// SPDX-License-Identifier: GPL-3.0-or-later
// Varnel's page: the main and the advanced analysis, one at a time as the desktop shows one
// analysis window, each keeping its own last results; the core runs in a worker (nucleo.js), and a
// large file is shared among a team of them (squadra.js).
import * as grafico from './grafico.js';
import { Crittogramma } from './crittogramma.js';
import { Decifrazione } from './decifrazione.js';
import { Nucleo } from './nucleo.js';
import { Squadra } from './squadra.js';

const el = (id) => document.getElementById(id);
const Lettere = Array.from({ length: grafico.Numero }, (_, k) => String.fromCharCode(97 + k));
const Testi = {
    Varnel: {
        comando3: 'Versione avanzata...',
        check1: 'Ignora eventuali caratteri non alfabetici contenuti nel testo da analizzare',
    },
    Avanzata: {
        comando3: 'Versione base...',
        check1: 'Ignora eventuali caratteri contenuti nel testo da analizzare diversi da quelli specificati nel box a lato.',
    },
};
const MessaggioSimboli = 'Per utilizzare la versione avanzata di Varnel è necessario specificare i 26 tipi di carattere '
    + 'contenuti nel file cifrato! Controlla che siano stati specificati correttamente tutti e 26.';
const MessaggioCheck1 = "Affinchè il programma tenga conto di questa opzione è necessario rieseguire l'analisi.";

const viste = {
    Varnel: { didascalie: Lettere, check1: true, risultati: null, stiramento: null, riferimento: null, nome: '' },
    Avanzata: { didascalie: Lettere, check1: true, simboli: '', risultati: null, stiramento: null, nome: '' },
};
let vista = 'Varnel';
let lingua = '';
let suAnnulla = null;  // what Annulla stops: the analysis, or another long request
const modi = el('Modi');
const simboli = el('Simboli');
const nucleo = new Nucleo();
const squadra = new Squadra(nucleo);

function stato(valore, messaggio) {
    el('Stato').dataset.stato = valore;
    el('Stato').textContent = messaggio;
}

function avvisa(testo) {
    el('TestoAvviso').textContent = testo;
    el('Avviso').showModal();
}

function attuale() {
    return viste[vista];
}

async function aggiornaRiferimento() {
    const v = viste.Varnel;
    v.riferimento = null;
    if (vista === 'Varnel' && lingua !== '') {
        const r = await nucleo.chiedi({
            tipo: 'riferimento', lingua: Number(lingua), conteggi: v.risultati?.conteggi ?? new Array(26).fill(0),
            totale: v.risultati?.totale ?? 0,
        });
        v.riferimento = r.percentuali;
    }
    el('Legenda').textContent = legenda();
    grafico.mostra(attuale());
}

function legenda() {
    const v = attuale();
    const parti = [v.nome ? `Frequenze in "${v.nome}"` : 'Frequenze'];
    if (vista === 'Varnel' && lingua !== '')
        parti.push(lingua === '0' ? "Frequenze dell'italiano" : "Frequenze dell'inglese");
    return parti.join(' — ');
}

// Shows the view `nome` in place of the other, with its own options and results.
function mostraVista(nome) {
    vista = nome;
    const v = attuale();
    el('Vista').dataset.vista = nome;
    el('TitoloVista').textContent = nome === 'Varnel' ? 'Varnel' : 'Varnel - versione avanzata';
    el('Command3').textContent = Testi[nome].comando3;
    el('TestoCheck1').textContent = Testi[nome].check1;
    el('Check1').checked = v.check1;
    el('SceltaRiferimento').hidden = nome !== 'Varnel';
    // One set of controls in the page: the other view's are taken out, not hidden.
    if (nome === 'Varnel') {
        simboli.remove();
        el('Opzioni').prepend(modi);
    } else {
        modi.remove();
        simboli.hidden = false;
        el('Opzioni').prepend(simboli);
        el('Text1').value = v.simboli;
    }
    mostraRisultati();
}

function mostraRisultati() {
    const v = attuale();
    el('Text2').value = v.risultati?.riepilogo ?? '';
    el('Totale').dataset.totale = String(v.risultati?.totale ?? 0);
    el('Totale').textContent = `Totale: ${v.risultati?.totale ?? 0}`;
    el('Legenda').textContent = legenda();
    grafico.mostra(v);
}

// What the view counts: a case mode, or the 26 typed symbols (null when they are not 26).
function criterio() {
    if (vista === 'Varnel')
        return { modo: Number(document.querySelector('input[name=modo]:checked').value), didascalie: Lettere };
    const testo = Array.from(el('Text1').value);
    return testo.length === 26 ? { modo: 3, simboli: testo, didascalie: testo } : null;
}

// Analyses a File or a Blob; the progress dialog shows after half a second.
async function analizza(fonte, nome, descrizione) {
    const c = criterio();
    if (!c)
        return avvisa(MessaggioSimboli);
    const v = attuale();
    suAnnulla = () => squadra.annulla();
    stato('in-corso', `${descrizione} in corso...`);
    el('DescrizioneAvanzamento').textContent = `${descrizione} in corso...`;
    el('Progresso').value = 0;
    const timer = setTimeout(() => el('Avanzamento').showModal(), 500);
    const avanza = (letti, dimensione) => {
        el('Progresso').value = dimensione > 0 ? Math.floor((letti * 1000) / dimensione) : 0;
    };
    try {
        const r = await squadra.analizza({ fonte, ...c, ignoraAltri: el('Check1').checked }, avanza);
        if (r.tipo === 'annullata')
            return stato('annullato', 'Analisi annullata.');
        Object.assign(v, { risultati: r.risultati, stiramento: null, nome, check1: el('Check1').checked, fonte, criterio: c });
        v.didascalie = c.didascalie;
        if (vista === 'Avanzata')
            v.simboli = el('Text1').value;
        await aggiornaRiferimento();
        mostraRisultati();
        stato('finito', `Analisi di "${nome}" completata.`);
    } catch (errore) {
        stato('errore', `Impossibile leggere il file "${nome}": ${errore.message}`);
    } finally {
        clearTimeout(timer);
        suAnnulla = null;
        if (el('Avanzamento').open)
            el('Avanzamento').close();
    }
}

// A long request other than an analysis, with the same Stato; with `annulla`, the progress dialog
// after half a second, its Annulla calling it. `lavoro` gives false once cancelled; it is handed
// a function that shows how far it has come, or a busy bar until it is called.
async function avvia(descrizione, lavoro, annulla = null) {
    stato('in-corso', `${descrizione}...`);
    el('DescrizioneAvanzamento').textContent = `${descrizione}...`;
    el('Progresso').removeAttribute('value');
    suAnnulla = annulla;
    const timer = annulla && setTimeout(() => el('Avanzamento').showModal(), 500);
    const avanza = (fatto, tutto) => {
        if (tutto > 0)
            el('Progresso').value = Math.floor((Math.min(fatto, tutto) * 1000) / tutto);
    };
    try {
        if (await lavoro(avanza) === false)
            stato('annullato', `${descrizione.replace(/ in corso$/, '')}: annullata.`);
        else
            stato('finito', `${descrizione.replace(/ in corso$/, '')}: fatto.`);
    } catch (errore) {
        stato('errore', errore.message);
    } finally {
        clearTimeout(timer);
        suAnnulla = null;
        if (el('Avanzamento').open)
            el('Avanzamento').close();
    }
}

function analizzaFile(file) {
    return analizza(file, file.name, `Analisi di "${file.name}"`);
}

function analizzaTesto(testo) {
    if (!testo)
        return avvisa('Gli appunti non contengono testo.');
    return analizza(new Blob([testo]), 'testo degli appunti', 'Analisi del testo negli appunti');
}

function scarica(contenuto, nome, tipo) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(contenuto instanceof Blob ? contenuto : new Blob([contenuto], { type: tipo }));
    a.download = nome;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

function nomeBase() {
    const nome = attuale().nome;
    return nome === 'testo degli appunti' ? 'appunti' : nome.replace(/\.[^.]*$/, '');
}

async function tabella(csv) {
    const v = attuale();
    if (!v.risultati)
        return null;
    const r = await nucleo.chiedi({
        tipo: 'tabella', conteggi: v.risultati.conteggi, totale: v.risultati.totale, didascalie: v.didascalie, csv,
    });
    return r.tabella;
}

const decifrazione = new Decifrazione(nucleo, avvia, () => new Nucleo());
const crittogramma = new Crittogramma(nucleo, scarica, avvisa);

const Comandi = {
    AzioneDecifrazione: () => {
        const v = attuale();
        if (!v.risultati)
            return;
        decifrazione.apri({
            fonte: v.fonte, nome: v.nome, modo: v.criterio.modo, simboli: v.criterio.simboli, didascalie: v.didascalie,
            codifica: v.risultati.codifica, conteggi: v.risultati.conteggi, scarica, avvisa, stato,
        });
    },
    Command1: () => el('File').click(),
    Command2: async () => {
        const v = attuale();
        if (!v.risultati || v.stiramento)
            return;
        const r = await nucleo.chiedi({ tipo: 'stira', ...v.risultati });
        v.stiramento = r.stiramento;
        grafico.mostra(v);
    },
    Command3: () => mostraVista(vista === 'Varnel' ? 'Avanzata' : 'Varnel'),
    Label11: () => el('Form2').showModal(),
    AzioneCrittogramma: () => crittogramma.apri(),
    DecifrazioneCrittogramma: () => crittogramma.apri(),  // over Decifrazione, as from the desktop's menu
    Annulla: () => suAnnulla?.(),
    AzioneIncolla: async () => {
        try {
            await analizzaTesto(await navigator.clipboard.readText());
        } catch {
            // No access to the clipboard: the text is pasted into a box instead.
            el('Incolla').hidden = false;
            el('TestoIncollato').focus();
        }
    },
    AnalizzaIncollato: () => analizzaTesto(el('TestoIncollato').value),
    AzioneCopia: async () => {
        const t = await tabella(false);
        if (t !== null)
            await navigator.clipboard.writeText(t).then(() => stato('finito', 'Risultati copiati.'),
                () => stato('errore', 'Impossibile copiare i risultati.'));
    },
    AzioneEsportaCsv: async () => {
        const t = await tabella(true);
        if (t !== null)
            scarica(t, `${nomeBase()}-frequenze.csv`, 'text/csv;charset=utf-8');
    },
    AzioneSalvaGrafico: async () => {
        if (!attuale().risultati)
            return;
        const png = await grafico.immagine(`Frequenze in "${attuale().nome}"`, legenda(), 2 * devicePixelRatio);
        scarica(png, `${nomeBase()}-grafico.png`, 'image/png');
    },
};

function collega() {
    for (const [id, azione] of Object.entries(Comandi))
        el(id).addEventListener('click', azione);
    el('File').addEventListener('change', () => {
        const file = el('File').files[0];
        el('File').value = '';
        if (file)
            analizzaFile(file);
    });
    el('Check1').addEventListener('change', () => {
        if (attuale().risultati)
            avvisa(MessaggioCheck1);
    });
    el('Riferimento').addEventListener('change', () => {
        lingua = el('Riferimento').value;
        aggiornaRiferimento();
    });
    el('Avanzamento').addEventListener('cancel', (e) => {
        e.preventDefault();  // Escape cancels the work, which then closes the dialog
        suAnnulla?.();
    });
    document.addEventListener('dragover', (e) => e.preventDefault());
    document.addEventListener('drop', (e) => {
        e.preventDefault();
        const file = e.dataTransfer.files;
        if (file.length !== 1)
            return avvisa('Trascinare un solo file alla volta.');
        analizzaFile(file[0]);
    });
    document.addEventListener('paste', (e) => {
        if (e.target.closest('input, textarea'))
            return;
        e.preventDefault();
        analizzaTesto(e.clipboardData.getData('text/plain'));
    });
}

grafico.costruisci(el('Barre'));
collega();
mostraVista('Varnel');
if ('serviceWorker' in navigator)
    navigator.serviceWorker.register('sw.js').catch(() => {});
nucleo.pronto.then(() => stato('pronto', 'Pronto'), (e) => stato('errore', `Varnel non si avvia: ${e.message}`));
