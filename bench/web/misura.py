#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page's speed and memory in headless Chromium: a 1 GiB file analysed (time, and the growth of
the browser's memory), a key change redrawn in Decifrazione, "Proponi chiave" on 80-letter
cryptograms (median). Run after scripts/web:  python3 bench/web/misura.py [GiB]"""
import functools
import http.server
import random
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

radice = Path(__file__).resolve().parents[2]
gib = float(sys.argv[1]) if len(sys.argv) > 1 else 1.0
class Silenzioso(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *_):
        pass


server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(Silenzioso, directory=str(radice / "build-web/sito")))
threading.Thread(target=server.serve_forever, daemon=True).start()

opzioni = webdriver.ChromeOptions()
opzioni.binary_location = "/usr/bin/chromium"
for a in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage"):
    opzioni.add_argument(a)
servizio = Service("/usr/bin/chromedriver")
browser = webdriver.Chrome(service=servizio, options=opzioni)
stato = lambda: browser.find_element(By.ID, "Stato").get_attribute("data-stato")
attendi = lambda condizione: WebDriverWait(browser, 600, poll_frequency=0.01).until(condizione)


def memoria():
    """Resident memory of the browser's processes (all of chromedriver's children), in MiB."""
    uscita = subprocess.run(["ps", "--ppid", str(servizio.process.pid), "-o", "pid="], capture_output=True, text=True)
    radici = uscita.stdout.split()
    tutti = subprocess.run(["ps", "-e", "-o", "pid=,ppid=,rss="], capture_output=True, text=True).stdout.split("\n")
    figli, totale = set(radici), 0
    for _ in range(4):
        for riga in tutti:
            if riga.split() and riga.split()[1] in figli:
                figli.add(riga.split()[0])
    for riga in tutti:
        if riga.split() and riga.split()[0] in figli:
            totale += int(riga.split()[2])
    return totale / 1024


def analizza(percorso):
    browser.find_element(By.ID, "File").send_keys(str(percorso))
    attendi(lambda b: stato() in ("finito", "errore"))


def cronometra(percorso):
    """Seconds from the file's choice to the results shown, timed in the page: selenium only
    looks every 100 ms, so that its polling takes no core from the analysis."""
    browser.execute_script("""
        const file = document.getElementById('File');
        const stato = document.getElementById('Stato');
        window.cronometro = null;
        file.addEventListener('change', () => {
            const inizio = performance.now();
            new MutationObserver((_, o) => {
                if (['finito', 'errore'].includes(stato.dataset.stato)) {
                    o.disconnect();
                    window.cronometro = (performance.now() - inizio) / 1000;
                }
            }).observe(stato, { attributes: true });
        }, { capture: true, once: true });""")
    browser.find_element(By.ID, "File").send_keys(str(percorso))
    return WebDriverWait(browser, 600, poll_frequency=0.1).until(
        lambda b: b.execute_script("return window.cronometro"))


with tempfile.TemporaryDirectory() as cartella:
    browser.get(f"http://127.0.0.1:{server.server_address[1]}/")
    attendi(lambda b: stato() == "pronto")
    # Settled: the service worker installed and its files cached, which starts processes of its own.
    browser.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    time.sleep(1)
    caricata = memoria()  # before the first analysis starts the team of workers
    print("SIMD:", browser.execute_script("return WebAssembly.validate(new Uint8Array([0,97,115,109,1,0,0,0,1,5,1,96,0,1,"
                                          "123,3,2,1,0,10,10,1,8,0,65,0,253,15,253,98,11]))"))
    grande = Path(cartella) / "grande.txt"
    campione = (radice / "resources/esempio/cifrato.txt").read_bytes()
    with open(grande, "wb") as f:
        blocco = campione * (64 * 1024 * 1024 // len(campione) + 1)
        for _ in range(int(gib * 16)):
            f.write(blocco[:64 * 1024 * 1024])
    # The memory, in a run of its own (ps costs a core): the first analysis of the freshly loaded
    # page, which also starts the team of workers, then one more; then the time.
    picchi = []
    for _ in range(2):
        picchi.append(memoria())
        browser.find_element(By.ID, "File").send_keys(str(grande))
        while stato() != "in-corso":
            time.sleep(0.01)
        while stato() not in ("finito", "errore"):
            picchi[-1] = max(picchi[-1], memoria())
            time.sleep(0.25)
    durate = [cronometra(grande) for _ in range(3)]
    print(f"{gib:g} GiB: min {min(durate):.2f} s, median {statistics.median(durate):.2f} s of {len(durate)} "
          f"(from the file's choice to the results, in the page); memory {caricata:.0f} MiB at load, "
          f"peak {picchi[0]:.0f} MiB in the first analysis (+{picchi[0] - caricata:.0f}), "
          f"{picchi[1]:.0f} MiB in the second")

    frase = ("nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura che la diritta via era smarrita "
             "ahi quanto a dir qual era e cosa dura esta selva selvaggia e aspra e forte che nel pensier rinova la "
             "paura tanto e amara che poco e piu morte ma per trattar del ben chio vi trovai dira de laltre cose chi vho scorte")
    parole = frase.split()
    tempi, ridisegni = [], []
    for prova in range(7):
        caso = random.Random(prova)
        inizio_p = caso.randrange(len(parole) - 25)
        testo, lettere = [], 0
        for p in parole[inizio_p:]:
            if lettere >= 80:
                break
            testo.append(p)
            lettere += len(p)
        alfabeto = list("abcdefghijklmnopqrstuvwxyz")
        caso.shuffle(alfabeto)
        cifrato = " ".join(testo).translate(str.maketrans("abcdefghijklmnopqrstuvwxyz", "".join(alfabeto).upper()))
        file = Path(cartella) / f"c{prova}.txt"
        file.write_text(cifrato)
        analizza(file)
        browser.find_element(By.ID, "AzioneDecifrazione").click()
        attendi(lambda b: b.find_element(By.ID, "Anteprima").text != "")
        # A key change: from the key press to the preview's change, timed in the page.
        ridisegni.append(browser.execute_async_script("""
            const fatto = arguments[arguments.length - 1];
            const anteprima = document.getElementById('Anteprima');
            const casella = document.getElementById('Chiave-1');
            const inizio = performance.now();
            new MutationObserver((_, o) => { o.disconnect(); requestAnimationFrame(() => fatto(performance.now() - inizio)); })
                .observe(anteprima, { childList: true, subtree: true, characterData: true });
            casella.dispatchEvent(new KeyboardEvent('keydown', { key: 'q', bubbles: true }));"""))
        inizio = time.monotonic()
        browser.find_element(By.ID, "ProponiChiave").click()
        attendi(lambda b: stato() in ("finito", "errore"))
        tempi.append(time.monotonic() - inizio)
        browser.find_element(By.ID, "ChiudiDecifrazione").click()
    print(f"key change redrawn: median {statistics.median(ridisegni):.1f} ms, max {max(ridisegni):.1f} ms")
    print(f"Proponi chiave, 80 letters: median {statistics.median(tempi):.2f} s, max {max(tempi):.2f} s")
browser.quit()
server.shutdown()
