// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registro.h"

#include "Avanzata.h"
#include "Crittogramma.h"
#include "Decifrazione.h"
#include "Form2.h"
#include "Varnel.h"
#include "VersioneProgramma.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <csignal>
#endif

namespace varnel {

namespace {

// Qt's own dialogs and menus in Italian, as the windows are, whatever the system's language.
bool CaricaTraduzioneQt(QTranslator& traduzione)
{
#ifdef Q_OS_WIN
    // Qt is linked in and has no translations folder: its catalogue is a resource of the program.
    if (HRSRC risorsa = ::FindResourceW(nullptr, L"QTBASE_IT", RT_RCDATA)) {
        if (const void* dati = ::LockResource(::LoadResource(nullptr, risorsa)))
            return traduzione.load(static_cast<const uchar*>(dati),
                                   static_cast<int>(::SizeofResource(nullptr, risorsa)));
    }
#endif
    return traduzione.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace

Registro::Registro() = default;
Registro::~Registro() = default;

Varnel& Registro::varnel()
{
    if (!m_varnel) {
        m_varnel = std::make_unique<Varnel>();
        collega(*m_varnel);
    }
    return *m_varnel;
}

Avanzata& Registro::avanzata()
{
    if (!m_avanzata) {
        m_avanzata = std::make_unique<Avanzata>();
        collega(*m_avanzata);
    }
    return *m_avanzata;
}

Form2& Registro::form2()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>();
    return *m_form2;
}

Decifrazione& Registro::decifrazione()
{
    if (!m_decifrazione) {
        m_decifrazione = std::make_unique<Decifrazione>();
        connect(m_decifrazione.get(), &Decifrazione::richiestaCrittogramma, this, [this] { crittogramma().apri(); });
    }
    return *m_decifrazione;
}

Crittogramma& Registro::crittogramma()
{
    if (!m_crittogramma)
        m_crittogramma = std::make_unique<Crittogramma>();
    return *m_crittogramma;
}

void Registro::apriDecifrazione(const QWidget& richiedente, const UltimaAnalisi& dati)
{
    m_fonteDecifrazione = &richiedente;
    decifrazione().mostraAnalisi(dati);
}

void Registro::seguiAnalisi(const QWidget& richiedente, const UltimaAnalisi& dati)
{
    if (m_decifrazione && m_decifrazione->isVisible() && m_fonteDecifrazione == &richiedente)
        m_decifrazione->mostraAnalisi(dati);
}

template <class Finestra>
void Registro::collega(Finestra& finestra)
{
    connect(&finestra, &FinestraAnalisi::richiestaInformazioni, this, [this] { form2().apri(); });
    connect(&finestra, &FinestraAnalisi::richiestaDecifrazione, this,
            [this, &finestra] { apriDecifrazione(finestra, *finestra.ultimaAnalisi()); });
    connect(&finestra, &FinestraAnalisi::richiestaCrittogramma, this, [this] { crittogramma().apri(); });
    connect(&finestra, &FinestraAnalisi::analisiRiuscita, this,
            [this, &finestra] { seguiAnalisi(finestra, *finestra.ultimaAnalisi()); });
    connect(&finestra, &FinestraAnalisi::richiestaAltraFinestra, this, [this] {
        if constexpr (std::is_same_v<Finestra, Varnel>)
            avanzata().apri();
        else
            varnel().apri();
    });
}

void Registro::avvia() { varnel().apri(); }

void PreparaApplicazione()
{
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setApplicationVersion(
        QString::fromUtf8(VersioneEseguibile.data(), static_cast<qsizetype>(VersioneEseguibile.size())));
    QApplication::setDesktopFileName(QStringLiteral("example.varnel.Varnel"));
    QIcon icona;
    for (const int lato : {16, 32, 48, 64, 128})
        icona.addFile(QStringLiteral(":/img/programma-%1.png").arg(lato));
    QApplication::setWindowIcon(icona);
    auto* traduzione = new QTranslator(qApp);
    if (CaricaTraduzioneQt(*traduzione))
        QApplication::installTranslator(traduzione);
#ifndef Q_OS_WIN
    // A file-size limit ends a save with an error the writer reports, not the program with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    // The look of the standard Windows controls and colours, where the platform has its own.
    if (QStyle* stile = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(stile);
    QPalette tavolozza = QApplication::style()->standardPalette();
    tavolozza.setColor(QPalette::Window, ColoreDi(Colore::Menu));
    tavolozza.setColor(QPalette::Button, ColoreDi(Colore::Menu));
    tavolozza.setColor(QPalette::Base, ColoreDi(Colore::SfondoFinestra));
    // Text keeps the style's grey where it is disabled, in the menus among all.
    for (const auto gruppo : {QPalette::Active, QPalette::Inactive}) {
        tavolozza.setColor(gruppo, QPalette::ButtonText, ColoreDi(Colore::TestoPulsante));
        tavolozza.setColor(gruppo, QPalette::WindowText, ColoreDi(Colore::TestoFinestra));
        tavolozza.setColor(gruppo, QPalette::Text, ColoreDi(Colore::TestoFinestra));
        tavolozza.setColor(gruppo, QPalette::HighlightedText, ColoreDi(Colore::TestoEvidenziato));
    }
    QApplication::setPalette(tavolozza);
#endif
}

}  // namespace varnel
