# SPDX-License-Identifier: GPL-3.0-or-later
"""What the page's tests stand on: the site served locally, headless Chromium, and a test case that
loads the page and reads and drives it by the ids of its controls. The arguments are prove.py's."""
import functools
import http.server
import sys
import tempfile
import threading
import unittest
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SITO, NATIVO, AXE = (Path(a).resolve() for a in sys.argv[1:4])
TRATTO = 4 * 1024 * 1024  # the ranges a file of 8 to 16 MiB is split into, which the workers share
ATTESA = 120  # seconds before a wait gives up: a bound, never a measurement


def a_cavallo(inizio, *pezzi):
    """9 MiB of text, its ranges starting at `inizio`, with the k-th of `pezzi` (bytes, cut) across
    the k-th range edge, `cut` of its bytes before it: three ranges, more than one worker."""
    testo = bytearray(b"Lorem ipsum, dolor sit\r\n" * (9 * 1024 * 1024 // 24))
    for k, (pezzo, taglio) in enumerate(pezzi, 1):
        a = inizio + k * TRATTO - taglio
        testo[a:a + len(pezzo)] = pezzo
    return bytes(testo)


class Server(http.server.ThreadingHTTPServer):
    """Serves the site and keeps the paths of the requests that reach it."""
    richieste = []


class Gestore(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        self.server.richieste.append(self.path)
        super().do_GET()

    def log_message(self, *_):
        pass


def Chromium(larghezza=1280, altezza=900, scaricati=None):
    opzioni = webdriver.ChromeOptions()
    opzioni.binary_location = "/usr/bin/chromium"
    for a in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", f"--window-size={larghezza},{altezza}"):
        opzioni.add_argument(a)
    if larghezza < 500:  # headless windows are never narrower: a phone is emulated
        opzioni.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": larghezza, "height": altezza, "pixelRatio": 2}})
    if scaricati:
        opzioni.add_experimental_option("prefs", {"download.default_directory": str(scaricati),
                                                  "download.prompt_for_download": False})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opzioni)


class Pagina(unittest.TestCase):
    """Each test starts on the page freshly loaded and ready."""
    @classmethod
    def setUpClass(cls):
        cls.server = Server(("127.0.0.1", 0), functools.partial(Gestore, directory=str(SITO)))
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.indirizzo = f"http://127.0.0.1:{cls.server.server_address[1]}/"
        cls.cartella = tempfile.TemporaryDirectory()
        cls.scaricati = Path(cls.cartella.name) / "scaricati"
        cls.scaricati.mkdir()
        cls.browser = Chromium(scaricati=cls.scaricati)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.server.shutdown()
        cls.cartella.cleanup()

    def setUp(self):
        self.browser.get(self.indirizzo)
        self.aspetta(lambda b: self.stato() == "pronto")

    def aspetta(self, condizione):
        return WebDriverWait(self.browser, ATTESA).until(condizione)

    def el(self, id):
        return self.browser.find_element(By.ID, id)

    def stato(self):
        return self.el("Stato").get_attribute("data-stato")

    def file(self, nome, contenuto):
        percorso = Path(self.cartella.name) / nome
        percorso.write_bytes(contenuto)
        return percorso

    def analizza(self, percorso, atteso="finito"):
        self.el("File").send_keys(str(percorso))
        self.aspetta(lambda b: self.stato() == atteso)

    def opzioni(self, modo, ignora):
        self.el(f"Option{modo + 1}").click()
        if self.el("Check1").is_selected() != ignora:
            self.el("Check1").click()
            if self.el("Avviso").get_attribute("open") is not None:
                self.el("Avviso").find_element(By.TAG_NAME, "button").click()

    def decifrazione(self, nome, contenuto):
        """Analyses `contenuto` and opens Decifrazione on it."""
        self.opzioni(2, True)
        self.analizza(self.file(nome, contenuto))
        self.el("AzioneDecifrazione").click()
        self.aspetta(lambda b: self.el("Anteprima").text != "")

    def chiave(self):
        return "".join(self.el(f"Chiave-{k}").get_attribute("value") or "-" for k in range(1, 27))

    def incolla(self, id, testo):
        self.browser.execute_script(
            "const d = new DataTransfer(); d.setData('text/plain', arguments[1]);"
            "arguments[0].dispatchEvent(new ClipboardEvent('paste', {clipboardData: d, bubbles: true, cancelable: true}))",
            self.el(id), testo)

    def avviso(self):
        """The text of the message shown, which is then closed."""
        self.aspetta(lambda b: self.el("Avviso").get_attribute("open") is not None)
        testo = self.el("TestoAvviso").text
        self.el("Avviso").find_element(By.TAG_NAME, "button").click()
        return testo

    def letto(self):
        return {
            "conteggi": [int(self.el(f"Blocco-{k}").get_attribute("data-conteggio")) for k in range(26)],
            "totale": int(self.el("Totale").get_attribute("data-totale")),
            "riepilogo": self.el("Text2").get_attribute("value"),
        }
