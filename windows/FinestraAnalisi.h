#pragma once

#include "AnalisiFile.h"
#include "Controlli.h"
#include "Finestra.h"
#include "Grafico.h"
#include "StatoAnalisi.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace varnel {

// What the two analysis windows share: the chart, the summary, the commands and icons, the
// analysis state and the one road that an analysis takes. Each window adds its own table.
class FinestraAnalisi : public Finestra {
    Q_OBJECT
public:
    [[nodiscard]] const StatoAnalisi& stato() const { return m_stato; }

signals:
    void richiestaInformazioni();
    void richiestaAltraFinestra();

public slots:
    virtual void Command1_Click() = 0;
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void Image2_Click();
    void Label10_Click();
    void Image4_Click();
    void Label11_Click();

protected:
    FinestraAnalisi(const QString& nomeClasse);

    [[nodiscard]] virtual std::vector<Controllo> tabella() const = 0;
    template <class T>
    [[nodiscard]] T* controllo(const QString& nome) const { return qobject_cast<T*>(m_controlli.value(nome)); }

    // Lets the user choose a file and analyses it; the window changes only once the analysis has
    // succeeded, when `applica` runs first, so a cancel or an unreadable file leaves it as it was.
    void analizza(const Criterio& criterio, const std::function<void()>& applica = {});

    // A notice in a modal message box titled "Varnel", with one OK button and no icon.
    void avvisa(const QString& testo);

    void costruisci(QWidget* area, double twipsPerPixel) override;

    Grafico m_grafico;

private:
    void MostraRisultati(const Conteggi& conteggi);
    [[nodiscard]] QString scegliFile();
    [[nodiscard]] Esito<Analisi> analizzaConAvanzamento(const QString& percorso, const Criterio& criterio);

    StatoAnalisi m_stato;
    QHash<QString, QWidget*> m_controlli;
    QString m_cartella;  // where the next file dialog opens
};

}  // namespace varnel
