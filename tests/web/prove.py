#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page's tests in headless Chromium: the page counts files as the desktop's core does, cancels,
downloads, swaps its views, sends nothing after loading, fits a phone and passes an accessibility
audit. Usage: prove.py SITE NATIVE_BUILD AXE_JS"""
import json
import random
import string
import subprocess
import sys
import unittest
from pathlib import Path

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from pagina import ATTESA, AXE, NATIVO, Chromium, Pagina, a_cavallo


class Prove(Pagina):
    def test_counts_total_and_summary_match_the_native_core(self):
        testo = "Caffè, \"perché\" qui,\r\nquo; QUA ½ 123 ÀÈ\n"
        casi = {
            "ascii": b"The quick brown fox, \"jumps\" over\r\nthe lazy dog 42\n",
            "utf8": testo.encode("utf-8"),
            "utf16": b"\xff\xfe" + testo.encode("utf-16-le"),
            "cp1252": testo.encode("cp1252"),
            "quoted": b'a,"b, c\r\n d""e",f\r\n"unclosed, g h\r\nI J\n',
            "empty": b"",
            # Read in ranges: a quoted field and a sequence, then a CR LF pair, across the edges.
            "ranges_utf8": a_cavallo(0, (b'\r\n"q, \xc3\xa8 \xe2\x82\xac"', 10), (b"x\r\ny\xf0\x9f\x98\x80", 2)),
            "ranges_cp1252_bom": b"\xef\xbb\xbf" + a_cavallo(3, (b'\r\n"\xe8, x', 3), (b"\r\n\xe0", 1))[3:],
            "ranges_utf16": b"\xff\xfe" + (testo * (9 * 1024 * 1024 // len(testo.encode("utf-16-le")))).encode("utf-16-le"),
        }
        for nome, contenuto in casi.items():
            percorso = self.file(nome + ".txt", contenuto)
            for modo, ignora in ((2, True), (0, False), (1, True)):
                with self.subTest(file=nome, modo=modo, ignora=ignora):
                    self.opzioni(modo, ignora)
                    self.analizza(percorso)
                    nativo = subprocess.run([NATIVO, str(percorso), str(modo), str(int(ignora))],
                                            check=True, capture_output=True, text=True).stdout
                    self.assertEqual(self.letto(), json.loads(nativo))

    def test_a_large_file_is_cancelled_from_the_progress_dialog(self):
        grande = Path(self.cartella.name) / "grande.txt"
        with open(grande, "wb") as f:
            f.truncate(3 * 1024 ** 3)  # sparse: zeros to read, nothing on the disk
        self.el("File").send_keys(str(grande))
        self.aspetta(lambda b: self.el("Avanzamento").get_attribute("open") is not None)
        self.el("Annulla").click()
        self.aspetta(lambda b: self.stato() == "annullato")
        self.assertIsNone(self.el("Avanzamento").get_attribute("open"))
        self.analizza(self.file("dopo.txt", b"abc"))
        self.assertEqual(self.el("Totale").get_attribute("data-totale"), "3")

    def test_the_csv_download_holds_the_counts(self):
        self.analizza(self.file("lettere.txt", b"aab, c"))
        self.el("AzioneEsportaCsv").click()
        csv = self.scaricati / "lettere-frequenze.csv"
        self.aspetta(lambda b: csv.exists() and csv.stat().st_size > 0)
        righe = csv.read_bytes().decode("utf-8-sig").split("\r\n")
        self.assertEqual(righe[0], "Simbolo;Conteggio;Percentuale")
        self.assertEqual(righe[1:4], ["a;2;50", "b;1;25", "c;1;25"])
        self.assertEqual(righe[27], "Totale;4")

    def test_each_view_keeps_its_own_results_and_the_stretch_captions(self):
        self.opzioni(2, True)
        self.analizza(self.file("quattro.txt", b"aaab"))
        self.el("Command2").click()
        self.aspetta(lambda b: self.el("Perc1").text == "75 %")
        self.assertEqual(self.el("Perc2").text, "37 %")
        self.el("Command3").click()
        self.assertEqual(self.el("Vista").get_attribute("data-vista"), "Avanzata")
        self.assertEqual(self.el("Totale").get_attribute("data-totale"), "0")
        self.assertEqual(self.browser.find_elements(By.ID, "Option1"), [])
        self.el("Text1").send_keys("αβγδεζηθικλμνξοπρστυφχψωϊϋ")
        self.analizza(self.file("greco.txt", "ααβ z".encode()))
        self.assertEqual(self.el("Blocco-0").get_attribute("data-conteggio"), "2")
        self.assertEqual(self.el("Lettera-1").text, "β")
        self.el("Command3").click()
        self.assertEqual(self.browser.find_elements(By.ID, "Text1"), [])
        self.assertEqual(self.el("Totale").get_attribute("data-totale"), "4")
        self.assertEqual(self.el("Blocco-0").get_attribute("data-percentuale"), "75")
        self.assertEqual(self.el("Perc1").text, "75 %")

    def test_the_key_is_typed_undone_and_redone_and_the_text_follows(self):
        self.opzioni(2, True)
        self.analizza(self.file("chiave.txt", b"Qq xyz, qqz\n"))
        self.el("AzioneDecifrazione").click()
        anteprima = self.el("Anteprima")
        self.aspetta(lambda b: anteprima.text.startswith("QQ XYZ"))
        # 4 q, 2 z, 1 x, 1 y of 8: (12 + 2) / 56
        indice = float(self.el("Statistiche").get_attribute("data-indice-coincidenza"))
        self.assertAlmostEqual(indice, 14 / 56, places=12)
        q = self.el("Chiave-17")  # Chiave-k belongs to Lettera-(k-1): q is the 17th letter
        q.send_keys("e")
        self.aspetta(lambda b: anteprima.text.startswith("ee XYZ"))
        self.assertEqual(q.get_attribute("value"), "e")
        self.assertEqual(self.browser.switch_to.active_element.get_attribute("id"), "Chiave-18")
        self.browser.switch_to.active_element.send_keys("e")  # r, which the text lacks, gets e too
        self.aspetta(lambda b: "doppione" in q.get_attribute("class"))
        self.browser.switch_to.active_element.send_keys(Keys.CONTROL, "z")
        self.aspetta(lambda b: "doppione" not in q.get_attribute("class"))
        self.assertEqual(self.el("Chiave-18").get_attribute("value"), "")
        self.browser.switch_to.active_element.send_keys(Keys.CONTROL, "z")
        self.aspetta(lambda b: anteprima.text.startswith("QQ XYZ"))
        self.browser.switch_to.active_element.send_keys(Keys.CONTROL, "y")
        self.aspetta(lambda b: anteprima.text.startswith("ee XYZ"))
        # A phone's keyboard gives only the text it would insert, no key: x gets k.
        self.browser.execute_script(
            "arguments[0].dispatchEvent(new InputEvent('beforeinput',"
            " {inputType: 'insertText', data: 'K', cancelable: true, bubbles: true}))", self.el("Chiave-24"))
        self.aspetta(lambda b: anteprima.text.startswith("ee kYZ"))
        self.browser.execute_script(
            "arguments[0].dispatchEvent(new InputEvent('beforeinput',"
            " {inputType: 'deleteContentBackward', cancelable: true, bubbles: true}))", self.el("Chiave-24"))
        self.aspetta(lambda b: anteprima.text.startswith("ee XYZ"))
        self.el("SalvaTesto").click()
        decifrato = self.scaricati / "chiave-decifrato.txt"
        self.aspetta(lambda b: decifrato.exists() and decifrato.stat().st_size > 0)
        self.assertEqual(decifrato.read_bytes(), b"Ee xyz, eez\n")
        z = self.el("Chiave-26")
        self.el("ChiavePerFrequenza").click()  # the most frequent symbol, q, gets the language's e
        self.aspetta(lambda b: z.get_attribute("value") != "")
        self.assertEqual(q.get_attribute("value"), "e")
        self.el("AnnullaModifica").click()
        self.aspetta(lambda b: z.get_attribute("value") == "")
        self.el("ChiudiDecifrazione").click()
        self.assertIsNone(self.el("Decifrazione").get_attribute("open"))

    def test_the_key_is_saved_opened_back_copied_and_pasted(self):
        self.decifrazione("salvata.txt", b"Qq xyz, qqz\n")
        self.incolla("Chiave-17", "ef")  # q gets e, r f
        self.aspetta(lambda b: self.chiave()[16:18] == "ef")
        self.el("AzioneSalvaChiave").click()
        salvata = self.scaricati / "salvata-chiave.txt"
        self.aspetta(lambda b: salvata.exists() and salvata.stat().st_size > 0)
        self.assertEqual([r for r in salvata.read_text("utf-8").splitlines() if not r.startswith("#")],
                         ["q=e", "r=f"])
        self.el("AzzeraChiave").click()
        self.aspetta(lambda b: self.chiave() == "-" * 26)
        self.el("AzioneApriChiave").send_keys(str(salvata))
        self.aspetta(lambda b: self.chiave()[16:18] == "ef")
        self.assertTrue(self.el("Anteprima").text.startswith("ee XYZ"))
        self.assertEqual(self.el("AnnullaModifica").text, "Annulla chiave aperta")
        self.el("AnnullaModifica").click()  # the key opened is one change
        self.aspetta(lambda b: self.chiave() == "-" * 26)
        self.el("RipetiModifica").click()
        self.aspetta(lambda b: self.chiave()[16:18] == "ef")
        # Any line that is no pair refuses the whole file, naming the line; the key stays.
        rotte = {"rotta.txt": ("x=a\nnon una coppia\n".encode(), "riga 2, «non una coppia»: non è una coppia simbolo=lettera"),
                 "lunga.txt": (b"#" * (64 * 1024 + 1), "è troppo lungo per una chiave")}
        for nome, (contenuto, motivo) in rotte.items():
            with self.subTest(file=nome):
                self.el("AzioneApriChiave").send_keys(str(self.file(nome, contenuto)))
                self.assertEqual(self.avviso(), f'"{nome}" non è una chiave di Varnel: {motivo}. La chiave non è cambiata.')
                self.assertEqual(self.chiave()[16:18], "ef")
                self.assertEqual(self.chiave().count("-"), 24)
        # Copied as a key file holds it, and a paste of that into a box gives it back.
        self.browser.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": self.indirizzo.rstrip("/"), "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        self.el("CopiaChiave").click()
        self.aspetta(lambda b: self.stato() == "finito")
        copiata = self.browser.execute_async_script(
            "navigator.clipboard.readText().then(arguments[arguments.length - 1])")
        self.assertEqual(copiata, salvata.read_text("utf-8"))
        self.el("AzzeraChiave").click()
        self.aspetta(lambda b: self.chiave() == "-" * 26)
        self.incolla("Chiave-1", copiata)
        self.aspetta(lambda b: self.chiave()[16:18] == "ef")
        self.el("ChiudiDecifrazione").click()

    def test_the_ranking_and_the_statistics_name_a_caesar_shift(self):
        chiaro = ("nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura che la diritta via era "
                  "smarrita")
        spostato = "defghijklmnopqrstuvwxyzabc"  # a → D: a shift of three
        cifrato = chiaro.translate(str.maketrans("abcdefghijklmnopqrstuvwxyz", spostato.upper()))
        self.decifrazione("cesare.txt", cifrato.encode())
        classifica = self.el("Classifica")
        self.assertEqual(classifica.find_element(By.TAG_NAME, "caption").text, "Classifica (dal simbolo più frequente):")
        self.assertEqual([c.text for c in classifica.find_elements(By.CSS_SELECTOR, "thead th")],
                         ["Simbolo", "Conteggio", "%", "Lettera", "% lingua"])
        righe = classifica.find_elements(By.CSS_SELECTOR, "tbody tr")
        self.assertEqual(len(righe), 26)
        # a, 13 of 82 letters, is the most frequent: its symbol d beside Italian's first letter e.
        self.assertEqual([c.text for c in righe[0].find_elements(By.CSS_SELECTOR, "th, td")][:4], ["d", "13", "15,9", "e"])
        statistiche = self.el("Statistiche")
        self.assertNotIn("Cifrario di Cesare", statistiche.text)
        self.assertIn("Meno di 100 simboli: le frequenze di un testo così breve non sono affidabili.", statistiche.text)
        # The key the other way: symbol d gets a, e gets b ... c gets z.
        self.incolla("Chiave-1", "xyzabcdefghijklmnopqrstuvw")
        self.aspetta(lambda b: self.el("Anteprima").text == chiaro)
        self.assertIn("Cifrario di Cesare, spostamento 3", statistiche.text)
        # Bigrams, trigrams and doubles side by side on a desktop's width, as the desktop lays them.
        self.assertEqual(len({self.el(c).location["y"] for c in ("Bigrammi", "Trigrammi", "Doppie")}), 1)
        # "Crea crittogramma..." opens over it, and closes back to it.
        self.el("DecifrazioneCrittogramma").click()
        self.el("ChiudiCrittogramma").click()
        self.assertIsNone(self.el("Crittogramma").get_attribute("open"))
        self.el("ChiudiDecifrazione").click()

    def test_proponi_chiave_on_a_second_core_reads_the_cryptogram(self):
        chiaro = ("nel mezzo del cammin di nostra vita mi ritrovai per una selva oscura che la diritta via era "
                  "smarrita ahi quanto a dir qual era e cosa dura esta selva selvaggia e aspra e forte che nel "
                  "pensier rinova la paura tanta e amara che poco e piu morte")
        cifrato = chiaro.translate(str.maketrans("abcdefghijklmnopqrstuvwxyz", "QWERTYUIOPASDFGHJKLZXCVBNM"))
        self.opzioni(2, True)
        self.analizza(self.file("dante.txt", cifrato.encode()))
        self.el("AzioneDecifrazione").click()
        self.aspetta(lambda b: self.el("Anteprima").text.startswith(cifrato[:10]))
        self.el("ProponiChiave").click()
        self.aspetta(lambda b: self.stato() == "finito")
        self.assertEqual(self.el("Anteprima").text, chiaro)
        self.el("AnnullaModifica").click()  # the proposed key is one change
        self.aspetta(lambda b: self.el("Anteprima").text == cifrato)
        # Completa chiave keeps a letter typed, and shows it as kept: symbol t is e.
        self.el("Chiave-20").send_keys("e")
        self.aspetta(lambda b: self.el("Anteprima").text.startswith("FeS"))
        self.el("CompletaChiave").click()
        self.aspetta(lambda b: self.stato() == "finito")
        self.assertEqual(self.el("Anteprima").text, chiaro)
        self.assertEqual([k for k in range(1, 27) if "tenuta" in self.el(f"Chiave-{k}").get_attribute("class")], [20])
        self.assertEqual(self.el("Chiave-20").get_attribute("title"), "Lettera scritta a mano: Completa chiave la mantiene")
        self.el("ChiudiDecifrazione").click()

    def test_a_key_search_shows_its_progress_and_is_cancelled(self):
        # Random letters, which no key makes read like a language: the search goes on to its bound.
        caso = random.Random(28)
        self.decifrazione("caso.txt", " ".join(
            "".join(caso.choice(string.ascii_lowercase) for _ in range(5)) for _ in range(4000)).encode())
        self.el("ProponiChiave").click()
        self.aspetta(lambda b: self.stato() == "finito")
        self.assertGreater(int(self.el("Progresso").get_attribute("value") or 0), 0)
        proposta, anteprima = self.chiave(), self.el("Anteprima").text
        self.assertNotIn("-", proposta)
        # Cancelled as soon as asked, before its core has even started: nothing changes.
        for comando in ("ProponiChiave", "CompletaChiave"):
            with self.subTest(comando=comando):
                self.browser.execute_script(f"document.getElementById('{comando}').click();"
                                            "document.getElementById('Annulla').click()")
                self.aspetta(lambda b: self.stato() == "annullato")
                self.assertIsNone(self.el("Avanzamento").get_attribute("open"))
                self.assertEqual((self.chiave(), self.el("Anteprima").text), (proposta, anteprima))
        self.el("ChiudiDecifrazione").click()

    def test_a_cryptogram_is_enciphered_under_a_keyword_and_its_key_downloaded(self):
        self.el("AzioneCrittogramma").click()
        self.el("TestoInChiaro").send_keys("Ciao, però!")
        self.el("Parola").send_keys("chiave\t")
        # chiave gives CHIAVEBDFG...: c → I, i → F, a → C, o → N, p → O, e → V, r → Q
        self.aspetta(lambda b: self.el("Cifrato").get_attribute("value") == "IFCN, OVQN!")
        self.assertEqual(self.el("ChiaveScritta").get_attribute("value"), "CHIAVEBDFGJKLMNOPQRSTUWXYZ")
        # Opened from a file in any code page the desktop reads.
        testo = "Caffè, però: 5 €!"
        for nome, contenuto in {"cp1252.txt": testo.encode("cp1252"), "utf16.txt": b"\xff\xfe" + testo.encode("utf-16-le"),
                                "bom.txt": testo.encode("utf-8-sig")}.items():
            with self.subTest(file=nome):
                self.el("TestoInChiaro").clear()
                self.el("ApriTesto").send_keys(str(self.file(nome, contenuto)))
                self.aspetta(lambda b: self.el("TestoInChiaro").get_attribute("value") == testo)
                self.aspetta(lambda b: self.el("Cifrato").get_attribute("value") == "ICEEV, OVQN: 5 €!")
        # The worksheet as the browser would print it: with the frequencies, and the solution's
        # letters under the ciphertext's.
        self.el("Frequenze").click()
        self.browser.execute_script(
            "window.print = () => { const f = document.getElementById('Foglio'); window.stampato = [f.innerText,"
            " [...f.querySelectorAll('.soluzione .posto')].map(p => p.dataset.sotto).join('')]; }")
        self.el("SalvaScheda").click()
        foglio, sotto = self.browser.execute_script("return window.stampato")
        for riga in ("% nel testo\t0,0\t0,0\t11,1\t0,0\t22,2", "Frequenze delle lettere in italiano (%), dalla più frequente:",
                     "Soluzione (per l'insegnante)", "Chiave dalla parola chiave \"chiave\"."):
            self.assertIn(riga, foglio)
        self.assertEqual(sotto, "caffepero")
        self.el("SalvaChiave").click()
        chiave = self.scaricati / "bom-chiave.txt"
        self.aspetta(lambda b: chiave.exists() and chiave.stat().st_size > 0)
        righe = [r for r in chiave.read_text().splitlines() if not r.startswith("#")]
        self.assertEqual(righe[:3], ["A=d", "B=g", "C=a"])
        self.assertEqual(len(righe), 26)
        self.el("ChiudiCrittogramma").click()

    def test_nothing_is_requested_after_the_page_has_loaded(self):
        self.aspetta(lambda b: b.execute_script("return navigator.serviceWorker.controller !== null"))
        prima = len(self.server.richieste)
        self.analizza(self.file("rete.txt", b"nessuna richiesta"))
        self.el("Riferimento").send_keys("Italiano")
        for comando in ("Command2", "Command3", "Command3", "AzioneEsportaCsv", "AzioneSalvaGrafico"):
            self.el(comando).click()
        # Decifrazione and its key search, on a core of its own started from the cache.
        self.el("AzioneDecifrazione").click()
        self.aspetta(lambda b: self.el("Anteprima").text != "")
        for comando in ("ProponiChiave", "AzioneSalvaChiave"):
            self.el(comando).click()
            self.aspetta(lambda b: self.stato() in ("finito", "pronto"))
        self.el("ChiudiDecifrazione").click()
        self.browser.get(self.indirizzo)  # again, from the service worker's cache
        self.aspetta(lambda b: self.stato() == "pronto")
        # The browser itself asks for sw.js again now and then, to see whether the site has a new
        # version: a request of the browser's, which carries nothing of the user's.
        self.assertEqual([r for r in self.server.richieste[prima:] if r != "/sw.js"], [])

    def test_the_page_fits_a_phone_and_passes_the_accessibility_audit(self):
        telefono = Chromium(360, 740)
        try:
            telefono.get(self.indirizzo)
            WebDriverWait(telefono, ATTESA).until(
                lambda b: b.find_element(By.ID, "Stato").get_attribute("data-stato") == "pronto")
            telefono.execute_script(AXE.read_text())
            # The page, then Decifrazione open over it with its ranking and a kept letter.
            for vista in ("Varnel", "Decifrazione"):
                with self.subTest(vista=vista):
                    if vista == "Decifrazione":
                        telefono.find_element(By.ID, "File").send_keys(str(self.file("telefono.txt", b"Wkh txlfn eurzq ira")))
                        WebDriverWait(telefono, ATTESA).until(
                            lambda b: b.find_element(By.ID, "Stato").get_attribute("data-stato") == "finito")
                        telefono.find_element(By.ID, "AzioneDecifrazione").click()
                        WebDriverWait(telefono, ATTESA).until(
                            lambda b: b.find_element(By.CSS_SELECTOR, "#Classifica tbody th").text != "")
                    # Nor does the dialog scroll sideways inside the page.
                    larghezze = telefono.execute_script(
                        "const d = document.getElementById('Decifrazione');"
                        "return [innerWidth, document.documentElement.scrollWidth, d.scrollWidth <= d.clientWidth]")
                    self.assertEqual(larghezze, [360, 360, True])
                    violazioni = telefono.execute_async_script(
                        "const fatto = arguments[arguments.length - 1];"
                        "axe.run(document).then(r => fatto(r.violations.map(v => v.id + ': ' + v.nodes.map(n => n.target).join(' '))));")
                    self.assertEqual(violazioni, [])
        finally:
            telefono.quit()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
