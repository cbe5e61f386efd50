// SPDX-License-Identifier: GPL-3.0-or-later
#include "SceltaFile.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>

#include <memory>

namespace varnel {

namespace {

// A file dialog goes once control is back in the event loop, after the command: on its way out it
// writes Qt's settings and waits for the disk, which the user should not wait for between a choice
// and its results.
struct DopoIlComando {
    void operator()(QFileDialog* dialogo) const { dialogo->deleteLater(); }
};
using DialogoFile = std::unique_ptr<QFileDialog, DopoIlComando>;

// The file list in detail, each column as wide as its widest entry and the names taking the rest.
// Where the platform shows its own dialog, there is no list here to arrange.
void MostraColonne(QFileDialog& dialogo)
{
    dialogo.setViewMode(QFileDialog::Detail);
    dialogo.resize(dialogo.sizeHint().expandedTo({760, 440}));
    if (auto* elenco = dialogo.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* intestazione = elenco->header();
        intestazione->setStretchLastSection(false);
        intestazione->setSectionResizeMode(QHeaderView::ResizeToContents);
        intestazione->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

// Shows the dialog, modal; the path chosen, or empty when the user cancels.
QString Esegui(QFileDialog& dialogo)
{
#ifndef Q_OS_WIN
    // Qt's own dialog everywhere but Windows, so that it is the same modal widget on every desktop.
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
#endif
    MostraColonne(dialogo);
    // A folder watched is a watch closed with the dialog, which the system may take tens of
    // milliseconds to do, between the choice and its analysis. Each dialog lists its folders as
    // they are when it opens them.
    if (auto* modello = dialogo.findChild<QFileSystemModel*>())
        modello->setOption(QFileSystemModel::DontWatchForChanges);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}

}  // namespace

QString ScegliFile(QWidget& finestra)
{
    // The folder of the last choice in either window; the first time, the user's documents.
    static QString cartella = [] {
        const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileInfo(documenti).isDir() ? documenti : QDir::homePath();
    }();
    const DialogoFile dialogo(new QFileDialog(&finestra, {}, cartella));
    dialogo->setFileMode(QFileDialog::ExistingFile);
    dialogo->setAcceptMode(QFileDialog::AcceptOpen);
    const QString percorso = Esegui(*dialogo);
    if (!percorso.isEmpty())
        cartella = QFileInfo(percorso).absolutePath();
    return percorso;
}

QString ScegliFileDaSalvare(QWidget& finestra, const QString& filtro, const QString& proposto)
{
    const DialogoFile dialogo(new QFileDialog(&finestra));
    dialogo->setFileMode(QFileDialog::AnyFile);
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setNameFilter(filtro);
    dialogo->setDefaultSuffix(QFileInfo(proposto).suffix());
    dialogo->setDirectory(QFileInfo(proposto).absolutePath());
    dialogo->selectFile(QFileInfo(proposto).fileName());
    return Esegui(*dialogo);
}

std::filesystem::path PercorsoDiSistema(const QString& percorso)
{
#ifdef Q_OS_WIN
    return percorso.toStdWString();
#else
    return QFile::encodeName(percorso).toStdString();  // the bytes the system knows
#endif
}

QString PercorsoMostrato(const std::filesystem::path& percorso)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(percorso.native());
#else
    // What is not UTF-8 shows as replacement characters; the path itself keeps its bytes.
    return QString::fromUtf8(percorso.native());
#endif
}

std::filesystem::path PercorsoDaIndirizzo(const QUrl& indirizzo)
{
#ifdef Q_OS_WIN
    return PercorsoDiSistema(indirizzo.toLocalFile());
#else
    // Decoded as bytes: toLocalFile() would read the escapes as UTF-8 and lose a name that is not.
    return QByteArray::fromPercentEncoding(indirizzo.path(QUrl::FullyEncoded).toLatin1()).toStdString();
#endif
}

std::u16string_view Utf16(const QString& testo)
{
    return {reinterpret_cast<const char16_t*>(testo.utf16()), static_cast<std::size_t>(testo.size())};
}

}  // namespace varnel
