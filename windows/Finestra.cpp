#include "Finestra.h"

#include "Controlli.h"

#include <QCloseEvent>
#include <QScreen>

namespace varnel {

Finestra::Finestra(const QString& nomeClasse, const QString& titolo, Rettangolo areaClient, Qt::WindowFlags pulsanti)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint | pulsanti)
    , m_areaClient(areaClient)
{
    setObjectName(nomeClasse);
    setWindowTitle(titolo + IndirizzoWeb);
    Colora(this, Colore::Verde, Colore::TestoMenu);
}

void Finestra::apri()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    const double tpp = TwipsPerPixel(this);
    const QRect client = InPixel(m_areaClient, tpp);
    m_area = new QWidget(this);
    m_area->setGeometry(client);
    costruisci(m_area, tpp);
    m_area->show();
    setFixedSize(client.size());
    if (const QScreen* schermo = screen())
        move(schermo->availableGeometry().center() - rect().center());
    show();
}

void Finestra::closeEvent(QCloseEvent* evento)
{
    evento->accept();
    if (m_inUso > 0)
        m_rilascioRimandato = true;
    else
        rilasciaControlli();
}

void Finestra::rilasciaControlli()
{
    m_rilascioRimandato = false;
    dimenticaControlli();
    // The click that closed the window may still be running inside one of its controls, so they
    // are detached now and deleted once it has returned.
    if (m_area) {
        m_area->hide();
        m_area->setParent(nullptr);
        m_area->deleteLater();
    }
}

Finestra::InUso::InUso(Finestra& finestra) : m_finestra(finestra) { ++m_finestra.m_inUso; }

Finestra::InUso::~InUso()
{
    if (--m_finestra.m_inUso == 0 && m_finestra.m_rilascioRimandato)
        m_finestra.rilasciaControlli();
}

}  // namespace varnel
