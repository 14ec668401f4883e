// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/copies/NewCopy.h"

#include "copies/CopyArchive.h"
#include "copies/StopSignals.h"
#include "shared/WholeTitle.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace zampli::teacher {

namespace {

const QString kSuffix = QLatin1String(copies::kCopyFileSuffix);

QString fileFilter() { return QStringLiteral("Copie di ZAMPLI (*%1)").arg(kSuffix); }

// Asks where the new copy goes; empty when the teacher changed her mind.
QString askTarget(QWidget *parent, const CopyPlace &suggested)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("nuovaCopia"));
    dialog.setWindowTitle(QStringLiteral("Nuova copia di ZAMPLI"));
    keepTitleWhole(&dialog);
    auto *form = new QFormLayout(&dialog);
    auto *intro = new QLabel(QStringLiteral("La copia è una cartella tua con le immagini, le voci e gli elenchi di "
                                            "parole, che puoi cambiare; la avvia il programma ZAMPLI installato. Nel "
                                            "menu del desktop compare «ZAMPLI – » seguito dal nome della cartella."));
    intro->setWordWrap(true);
    form->addRow(intro);
    auto *name = new QLineEdit(suggested.name);
    name->setObjectName(QStringLiteral("nome"));
    auto *where = new QLineEdit(suggested.where);
    where->setObjectName(QStringLiteral("dove"));
    where->setMinimumWidth(320); // a whole home path stays readable
    auto *choose = new QPushButton(QStringLiteral("Scegli…"));
    QObject::connect(choose, &QPushButton::clicked, &dialog, [&] {
        const QString folder = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Dove mettere la copia"),
                                                                 where->text());
        if (!folder.isEmpty())
            where->setText(folder);
    });
    auto *whereRow = new QHBoxLayout;
    whereRow->addWidget(where, 1);
    whereRow->addWidget(choose);
    form->addRow(QStringLiteral("Nome della cartella (per esempio la classe):"), name);
    form->addRow(QStringLiteral("Dentro la cartella:"), whereRow);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Crea la copia"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    auto *taken = new QLabel;
    taken->setObjectName(QStringLiteral("nomeUsato"));
    taken->setWordWrap(true);
    taken->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; padding: 6px; }"));
    taken->hide();
    form->addRow(taken);
    // Two menu entries with one name could not be told apart: a taken name
    // is refused here, with a free one put in its place for her to keep or change.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const QString target = QDir(where->text()).filePath(name->text().trimmed());
        const std::optional<copies::CopyInfo> other = copies::copyNamed(copies::menuName(target), target);
        if (name->text().trimmed().isEmpty() || !other)
            return dialog.accept();
        const QString free = copies::freeCopyName(where->text(), name->text().trimmed());
        taken->setText(QStringLiteral("Nel menu c'è già «%1» (la copia in %2): due copie con lo stesso nome non si "
                                      "distinguerebbero. Ti propongo «%3»: premi «Crea la copia» per usarlo, o "
                                      "scrivi un altro nome.")
                           .arg(other->name, other->folder, free));
        taken->show();
        name->setText(free);
        name->selectAll();
        name->setFocus();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted || name->text().trimmed().isEmpty())
        return {};
    return QDir(where->text()).filePath(name->text().trimmed());
}

// Runs the copy on a thread of its own; past half a second a progress window
// shows how far it is and lets the teacher stop it.
copies::CopyResult copyWithProgress(QWidget *parent, const QString &label, const copies::Progress &stopped,
                                    const CopyWork &work)
{
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancelled{false};
    QProgressDialog progress(label, QStringLiteral("Ferma"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("avanzamentoCopia"));
    progress.setWindowTitle(QStringLiteral("Un momento…"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { cancelled = true; });
    std::optional<copies::CopyResult> result;
    QThread *thread = QThread::create([&] {
        result = work([&](qint64 now, qint64 all) {
            done = now;
            total = all;
            return !cancelled && (!stopped || stopped(now, all));
        });
    });
    bool finished = false;
    QObject::connect(thread, &QThread::finished, &progress, [&] { finished = true; });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
        if (!progress.wasCanceled())
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
    });
    progress.setValue(0);
    thread->start();
    tick.start(100);
    // Until the progress window shows, clicks would reach the window behind it.
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | (progress.isVisible()
                                                                             ? QEventLoop::AllEvents
                                                                             : QEventLoop::ExcludeUserInputEvents));
    thread->wait();
    delete thread;
    return std::move(*result);
}

} // namespace

copies::CopyResult runStoppable(QWidget *parent, const QString &label, const CopyWork &work)
{
    copies::CopyResult made;
    int signal = 0;
    {
        const copies::StopSignals stop;
        made = copyWithProgress(parent, label, stop.stopping(), work);
        signal = made.ok ? 0 : stop.received();
    }
    if (signal != 0) {
        // Nothing half made is left: now the program ends as the signal asked, its usual action back.
        const QString line = QStringLiteral("%1. %2\n").arg(copies::StopSignals::reason(signal), made.message);
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::raise(signal);
    }
    return made;
}

std::optional<copies::CopyResult> makeCopyAsking(QWidget *parent, const QString &source, const CopyPlace &suggested)
{
    const QString target = askTarget(parent, suggested);
    if (target.isEmpty())
        return std::nullopt;
    return runStoppable(parent, QStringLiteral("Copio ZAMPLI in %1…").arg(target),
                        [&](const copies::Progress &progress) { return copies::makeCopy(source, target, {}, progress); });
}

std::optional<copies::CopyResult> importCopyAsking(QWidget *parent, const QString &programFolder)
{
    const QString file = QFileDialog::getOpenFileName(parent, QStringLiteral("Importa una copia di ZAMPLI"),
                                                      QDir::homePath(), fileFilter());
    if (file.isEmpty())
        return std::nullopt;
    const QString name = QFileInfo(file).completeBaseName();
    const QString where = newCopiesFolder();
    const QString target = askTarget(parent, {where, copies::freeCopyName(where, name)});
    if (target.isEmpty())
        return std::nullopt;
    return runStoppable(parent, QStringLiteral("Importo la copia in %1…").arg(target),
                        [&](const copies::Progress &progress) {
                            return copies::importCopy(programFolder, file, target, {}, progress);
                        });
}

std::optional<copies::CopyResult> exportCopyAsking(QWidget *parent, const QString &folder)
{
    const QString suggested = QDir(QDir::homePath()).filePath(QDir(folder).dirName() + kSuffix);
    QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Esporta la copia in un file"), suggested,
                                                fileFilter());
    if (file.isEmpty())
        return std::nullopt;
    if (!file.endsWith(kSuffix))
        file += kSuffix;
    return runStoppable(parent, QStringLiteral("Esporto la copia in %1…").arg(file),
                        [&](const copies::Progress &progress) { return copies::exportCopy(folder, file, progress); });
}

QString newCopiesFolder()
{
    const QString folder = copies::defaultTarget();
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace zampli::teacher
