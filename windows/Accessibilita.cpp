// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibilita.h"

#include "Controlli.h"
#include "Finestra.h"

#include <QAccessibleWidget>

namespace varnel {

namespace {

// A picture that a click presses: a button to a screen reader, whose press action clicks it.
class ImmaginePremibile : public QAccessibleWidget {
public:
    explicit ImmaginePremibile(EtichettaCliccabile* immagine)
        : QAccessibleWidget(immagine, QAccessible::Button)
    {
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }
    void doAction(const QString& azione) override
    {
        if (azione == pressAction())
            static_cast<EtichettaCliccabile*>(widget())->premi();
        else
            QAccessibleWidget::doAction(azione);
    }
};

// A line of the chart's grid: drawn for the eye only, so a screen reader passes over it.
class Decorazione : public QAccessibleWidget {
public:
    explicit Decorazione(QWidget* linea)
        : QAccessibleWidget(linea, QAccessible::Separator)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State stato = QAccessibleWidget::state();
        stato.invisible = true;
        return stato;
    }
};

QAccessibleInterface* Fabbrica(const QString& classe, QObject* oggetto)
{
    if (classe == QLatin1String(EtichettaCliccabile::staticMetaObject.className())) {
        auto* etichetta = static_cast<EtichettaCliccabile*>(oggetto);
        if (etichetta->genere() == EtichettaCliccabile::Genere::Premibile)
            return new ImmaginePremibile(etichetta);
        if (etichetta->genere() == EtichettaCliccabile::Genere::Decorazione)
            return new Decorazione(etichetta);
    }
    if (classe == QLatin1String(Finestra::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(oggetto), QAccessible::Window);
    return nullptr;
}

}  // namespace

void InstallaAccessibilita()
{
    static const bool installata = [] {
        QAccessible::installFactory(Fabbrica);
        return true;
    }();
    (void)installata;
}

}  // namespace varnel
