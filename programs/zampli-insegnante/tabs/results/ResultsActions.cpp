// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsActions.h"

#include "results/ResultsEditor.h"
#include "results/ResultsImport.h"
#include "results/Schema.h"
#include "shared/Progress.h"
#include "tabs/results/ResultsClass.h"
#include "tabs/results/ResultsNames.h"
#include "tabs/results/ResultsReport.h"
#include "tabs/results/ResultsSessions.h"
#include "tabs/results/ResultsView.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>

namespace zampli::teacher {

namespace {

// The file the teacher names; the folder she used last is offered again.
QString chooseTarget(QWidget *parent, const QString &title, const QString &name, const QString &filter)
{
    QSettings settings;
    QString folder = settings.value("cartellaEsporta").toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) // gone since: the file window would open nowhere
        folder = QDir::homePath();
    const QString path = QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(name), filter, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        settings.setValue("cartellaEsporta", QFileInfo(path).absolutePath());
    return path;
}

// "la sessione di Giulia del 05/03/2024, dalle 09:00 alle 09:05"
QString sessionText(const SessionSummary &s)
{
    const QString name = s.childName.isEmpty() ? s.label : s.childName;
    const QString whose = name.isEmpty() ? QString() : QStringLiteral(" di %1").arg(name);
    return QStringLiteral("la sessione%1 del %2, dalle %3 alle %4")
        .arg(whose, dayText(s.startedMs), timeText(s.startedMs), timeText(s.endedMs));
}

const QString kServerErase =
    QStringLiteral("Le risposte sono sul server della scuola: da qui si cancellano solo con il bambino; scegli il "
                   "bambino e premi «Cancella tutto di …». Per una cancellazione diversa chiedi al tecnico.");

} // namespace

ResultsActions::ResultsActions(const QString &folder, const QString &database, ResultsShown &view, QWidget *dialogs)
    : folder_(folder), database_(database), view_(view), dialogs_(dialogs)
{
}

// The session goes to the child of that name, who joins the class if she is new.
bool ResultsActions::giveName(const QString &name)
{
    if (onServer())
        return tell(QStringLiteral("Con il server della scuola una sessione va al bambino scelto in «Ora gioca» sul "
                                   "computer dove gioca: scegli lì il bambino prima che giochi."));
    const SessionSummary *session = view_.chosenSession();
    if (!session || name.isEmpty())
        return tell(QStringLiteral("Scegli prima una sessione nella tabella, poi scrivi il nome."));
    ResultsEditor editor;
    if (!editor.open(database_))
        return tell(editor.error());
    qint64 child = 0;
    for (const ChildEntry &c : std::as_const(view_.shown().children))
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            child = c.id;
    if (child == 0 && (child = editor.addChild(name)) == 0)
        return tell(editor.error());
    if (!editor.nameSession(session->id, child))
        return tell(QStringLiteral("Non riesco a dare il nome nel file %1: chiudi ZAMPLI e riprova.").arg(database_));
    view_.refresh();
    return true;
}

// What went wrong, on the view's line: the action was not done.
bool ResultsActions::tell(const QString &text)
{
    view_.tell(text);
    return false;
}

// Her changes to the server's answers go through its children: a session
// changed only in her reading would come back at the next one.
bool ResultsActions::onServer() const
{
    return database_ != resultsDatabasePath(resultsFolder(), folder_);
}

void ResultsActions::deleteSession()
{
    if (onServer())
        return view_.tell(kServerErase);
    const SessionSummary *session = view_.chosenSession();
    if (!session)
        return view_.tell(QStringLiteral("Scegli prima la sessione da cancellare nella tabella."));
    const SessionSummary s = *session;
    const QString text = QStringLiteral("Cancello %1: %2 (%3, %4)? Non si potranno riavere.")
                             .arg(sessionText(s), countText(s.right + s.wrong, "risposta", "risposte"),
                                  countText(s.right, "giusta", "giuste"), countText(s.wrong, "sbagliata", "sbagliate"));
    if (!confirmErase(dialogs_, QStringLiteral("Cancella la sessione"), text, QStringLiteral("Cancella")))
        return;
    ResultsEditor editor;
    if (!editor.open(database_) || !editor.deleteSession(s.id))
        return view_.tell(QStringLiteral("Non riesco a cancellare la sessione nel file %1: chiudi ZAMPLI e riprova.")
                        .arg(database_));
    view_.refreshThenTell(QStringLiteral("Cancellata %1.").arg(sessionText(s)));
}

// Everything of the child chosen above, or of every child: asked first, with
// what will go. A child of the class is erased with her name.
void ResultsActions::eraseMany()
{
    if (onServer())
        return view_.tell(kServerErase);
    const ResultsFilter f = view_.filter();
    ResultsEditor editor;
    if (!editor.open(database_))
        return view_.tell(editor.error());
    const QString who = view_.childChosen();
    QString text;
    if (f.childId > 0)
        text = QStringLiteral("Cancello %1 e tutte le sue risposte (%2)? Il suo nome sparisce da questa copia di "
                              "ZAMPLI.").arg(who, eraseText(editor.previewChild(f.childId)));
    else if (f.childId == ResultsFilter::kAnyChild && f.label.isNull())
        text = QStringLiteral("Cancello tutte le risposte di tutti i bambini di questa copia di ZAMPLI (%1)?")
                   .arg(eraseText(editor.previewAll()));
    else
        text = QStringLiteral("Cancello tutte le risposte di %1 (%2)?").arg(who, countText(int(view_.shown().sessions.size()),
                                                                                           "sessione", "sessioni"));
    if (!confirmErase(dialogs_, QStringLiteral("Cancella i risultati"), text + QStringLiteral(" Non si potranno riavere."),
                 QStringLiteral("Cancella")))
        return;
    int gone = 0;
    if (f.childId > 0)
        gone = editor.eraseChild(f.childId) ? 1 : 0;
    else if (f.childId == ResultsFilter::kNoChild)
        for (const SessionSummary &s : std::as_const(view_.shown().sessions))
            gone += editor.deleteSession(s.id) ? 1 : 0;
    else
        gone = f.label.isNull() ? editor.eraseAll() : editor.eraseLabel(f.label);
    if (f.childId > 0)
        return view_.refreshThenTell(gone ? QStringLiteral("%1 non è più nella classe e le sue risposte sono "
                                                           "cancellate.").arg(who)
                                          : editor.error());
    view_.refreshThenTell(gone == 1 ? QStringLiteral("Cancellata 1 sessione.")
                                    : QStringLiteral("Cancellate %1 sessioni.").arg(gone));
}

void ResultsActions::markProblemsRead()
{
    ResultsEditor editor;
    if (!editor.open(database_) || !editor.markProblemsRead())
        return view_.tell(editor.error());
    view_.refresh();
}

void ResultsActions::removeDamagedCopies()
{
    const QStringList copies = ResultsEditor::damagedCopies(database_);
    const QString text = (copies.size() == 1
                              ? QStringLiteral("Tolgo il file guasto messo da parte accanto al file dei risultati?")
                              : QStringLiteral("Tolgo i %1 file guasti messi da parte accanto al file dei risultati?")
                                    .arg(copies.size()))
                         + QStringLiteral(" Le risposte che si potevano leggere sono già nei risultati; il resto non "
                                          "si potrà più cercare.");
    if (copies.isEmpty() || !confirmErase(dialogs_, QStringLiteral("Togli i file guasti"), text, QStringLiteral("Togli")))
        return;
    const int gone = ResultsEditor::removeDamagedCopies(database_);
    view_.refreshThenTell(gone == 1 ? QStringLiteral("Tolto 1 file guasto.")
                                    : QStringLiteral("Tolti %1 file guasti.").arg(gone));
}

bool confirmErase(QWidget *parent, const QString &title, const QString &text, const QString &yes)
{
    QMessageBox ask(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    ask.setObjectName(QStringLiteral("conferma"));
    QPushButton *go = ask.addButton(yes, QMessageBox::DestructiveRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole));
    ask.exec();
    return ask.clickedButton() == go;
}

void ResultsActions::exportCsv()
{
    const QString path = chooseTarget(dialogs_, QStringLiteral("Esporta le risposte"), QStringLiteral("risultati.csv"),
                                      QStringLiteral("Tabella CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const ResultsFilter f = view_.filter();
    const QString db = database_;
    // A connection of its own: SQLite's handles stay on the thread that opened them.
    const bool done = withProgress(dialogs_, QStringLiteral("Scrivo le risposte in %1…").arg(path), [db, path, f] {
        ResultsReader reader;
        return reader.open(db) && reader.exportCsv(path, f);
    });
    view_.tell(done ? QStringLiteral("Risposte scritte in %1: si apre con un foglio di calcolo.").arg(path)
              : QStringLiteral("Non riesco a scrivere %1: scegli un'altra cartella.").arg(path));
}

void ResultsActions::takeIn()
{
    QSettings settings;
    QString folder = settings.value("cartellaRisultati").toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString source = QFileDialog::getOpenFileName(
        dialogs_, QStringLiteral("Aggiungi risultati da un altro computer"), folder,
        QStringLiteral("Risultati di ZAMPLI (*.sqlite)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (source.isEmpty())
        return;
    settings.setValue("cartellaRisultati", QFileInfo(source).absolutePath());
    // Into the copy's own file, with or without a server: those are this computer's answers.
    const QString target = resultsDatabasePath(resultsFolder(), folder_);
    ResultsTakenIn count;
    QString why;
    const bool done = withProgress(dialogs_, QStringLiteral("Prendo i risultati da %1…").arg(source), [&] {
        return takeInResults(target, source, count, why);
    });
    if (!done)
        return view_.tell(why.left(1).toUpper() + why.mid(1) + QLatin1Char('.'));
    const QLocale italian(QLocale::Italian);
    view_.refreshThenTell(count.answersAdded == 0 && count.answersAlready == 0
                   ? QStringLiteral("Nel file %1 non ci sono risposte: non è cambiato nulla.").arg(source)
               : count.answersAdded == 0
                   ? QStringLiteral("Risposte aggiunte: nessuna; già presenti: %1. Questo file era già stato preso.")
                         .arg(italian.toString(count.answersAlready))
                   : QStringLiteral("Risposte aggiunte: %1; già presenti: %2. Le trovi tra le sessioni.")
                         .arg(italian.toString(count.answersAdded), italian.toString(count.answersAlready)));
}

void ResultsActions::exportPdf()
{
    const QString path = chooseTarget(dialogs_, QStringLiteral("Esporta il riepilogo"), QStringLiteral("risultati.pdf"),
                                      QStringLiteral("Documento PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    const ReportContent content{QDir::toNativeSeparators(folder_), view_.filterText(), view_.shown()};
    const QString error = writeResultsReport(path, content);
    view_.tell(error.isEmpty() ? QStringLiteral("Riepilogo scritto in %1.").arg(path) : error);
}

} // namespace zampli::teacher
