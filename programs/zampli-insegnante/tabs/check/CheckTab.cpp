// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/check/CheckTab.h"

#include "core/WriteReason.h"
#include "history/CopyHistory.h"
#include "pictures-voices/MediaActions.h"
#include "shared/Progress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// "1 problema", or "2 problemi e 1 nota": no notes are not named.
QString problemsAndNotes(qsizetype problems, qsizetype notes)
{
    const QString said = counted(problems, "problema", "problemi");
    return notes == 0 ? said : said + QStringLiteral(" e ") + counted(notes, "nota", "note");
}

QString fixText(Fix fix)
{
    switch (fix) {
    case Fix::ImportPicture: return QStringLiteral("Importa un'immagine…");
    case Fix::RecordVoice: return QStringLiteral("Registra la voce…");
    case Fix::ImportVoice: return QStringLiteral("Importa una voce…");
    case Fix::ConvertVoice: return QStringLiteral("Converti la voce");
    case Fix::RenameCase: return QStringLiteral("Rinomina");
    case Fix::OpenList: return QStringLiteral("Apri l'elenco");
    case Fix::PutInstalled: return QStringLiteral("Metti quella installata");
    }
    return {};
}

QLabel *wrapping(const QString &text, const char *name)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // a file's name is never markup
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

CheckTab::CheckTab(TeacherServices &services, const QString &folder, QWidget *parent)
    : QWidget(parent), services_(services), folder_(folder), chooseFile_([](QWidget *asking, Fix fix) {
          return fix == Fix::ImportPicture ? choosePictureFile(asking) : chooseVoiceFile(asking);
      })
{
    setObjectName(QStringLiteral("controllo"));
    auto *layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("riassunto"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    rows_ = new QWidget;
    rows_->setObjectName(QStringLiteral("problemi"));
    rowsLayout_ = new QVBoxLayout(rows_);
    rowsLayout_->setAlignment(Qt::AlignTop);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the labels wrap instead
    scroll->setWidget(rows_);
    layout->addWidget(scroll, 1);
    auto *again = new QPushButton(QStringLiteral("&Controlla di nuovo"));
    again->setObjectName(QStringLiteral("controllaDiNuovo"));
    // Alt+C: F5 is the window's «Prova ZAMPLI», and a key claimed twice does nothing.
    connect(again, &QPushButton::clicked, this, &CheckTab::runCheck);
    layout->addWidget(again, 0, Qt::AlignLeft);
}

void CheckTab::runCheck()
{
    const QList<Finding> findings =
        withProgress(this, QStringLiteral("Controllo immagini e voci…"), [this] { return checkFolder(folder_); });
    clearRows();
    qsizetype problems = 0;
    for (const Finding &f : findings) {
        addRow(f);
        problems += f.problem;
    }
    summary_->setText(problems == 0
                          ? QStringLiteral("Tutto a posto: il programma può usare ogni immagine, voce ed elenco di "
                                           "questa cartella.")
                          : QStringLiteral("Ho trovato %1. Sotto ognuno, il pulsante che lo rimedia.")
                                .arg(problemsAndNotes(problems, findings.size() - problems)));
}

void CheckTab::clearRows()
{
    // Later: a fix's own button may be what is being pressed.
    while (QLayoutItem *item = rowsLayout_->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
}

// One finding: the file, what is wrong with it, and the buttons that fix it, one under the other.
void CheckTab::addRow(const Finding &finding)
{
    auto *row = new QFrame;
    row->setObjectName(QStringLiteral("riga"));
    row->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(row);
    QLabel *file = wrapping(finding.file, "file");
    QFont bold = file->font();
    bold.setBold(true);
    file->setFont(bold);
    layout->addWidget(file);
    QLabel *what = wrapping(finding.problem ? finding.what : QStringLiteral("nota: ") + finding.what, "problema");
    what->setStyleSheet(finding.problem ? QStringLiteral("color: #b00020") : QStringLiteral("color: #555555"));
    layout->addWidget(what);
    if (QWidget *buttons = fixButtons(finding))
        layout->addWidget(buttons);
    rowsLayout_->addWidget(row);
}

QWidget *CheckTab::fixButtons(const Finding &finding)
{
    if (finding.fixes.isEmpty())
        return nullptr;
    auto *box = new QWidget;
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Fix how : finding.fixes) {
        QString text = fixText(how);
        if (how == Fix::RenameCase)
            text = QStringLiteral("Rinomina %1 in %2").arg(QFileInfo(finding.foundAs).fileName(),
                                                            QFileInfo(finding.file).fileName());
        auto *button = new QPushButton(text);
        button->setObjectName(QStringLiteral("rimedio"));
        connect(button, &QPushButton::clicked, this, [this, finding, how] { fix(finding, how); });
        layout->addWidget(button);
    }
    layout->addStretch();
    return box;
}

void CheckTab::fix(const Finding &finding, Fix how)
{
    const QString target = QDir(folder_).filePath(finding.file);
    std::optional<QString> error; // none: nothing was chosen, nothing changed
    switch (how) {
    case Fix::ImportPicture:
        error = importPicture(target);
        break;
    case Fix::RecordVoice:
        recordVoice(target);
        return;
    case Fix::ImportVoice:
        error = importVoice(target);
        break;
    case Fix::ConvertVoice:
        error = written(target, [&] { return putVoice(this, target, target); });
        break;
    case Fix::RenameCase:
        error = rename(finding);
        break;
    case Fix::OpenList:
        emit openList(finding.file);
        return;
    case Fix::PutInstalled:
        error = written(target, [&] { return copyInstalled(finding.file, target); });
        break;
    }
    if (!error)
        return;
    emit filesChanged();
    runCheck();
    if (!error->isEmpty())
        summary_->setText(*error);
}

QString CheckTab::written(const QString &target, const std::function<QString()> &write)
{
    return history_ ? history_->write(target, QDir(folder_).relativeFilePath(target), write) : write();
}

void CheckTab::recordVoice(const QString &target)
{
    QString problem;
    std::shared_ptr<PendingChange> pending;
    if (history_ && !(pending = history_->begin(target, QDir(folder_).relativeFilePath(target), &problem)))
        return summary_->setText(problem);
    openRecorder(this, services_, target, QFileInfo(target).completeBaseName(), [this, pending] {
        if (history_ && pending)
            history_->finish(pending);
        emit filesChanged();
        runCheck();
    });
}

std::optional<QString> CheckTab::importPicture(const QString &target)
{
    const QString file = chooseFile_(this, Fix::ImportPicture);
    return file.isEmpty() ? std::nullopt : std::optional(written(target, [&] { return putPicture(this, file, target); }));
}

std::optional<QString> CheckTab::importVoice(const QString &target)
{
    const QString file = chooseFile_(this, Fix::ImportVoice);
    return file.isEmpty() ? std::nullopt : std::optional(written(target, [&] { return putVoice(this, file, target); }));
}

// The installed program's own file of that name, byte for byte: it is the
// program's own picture, made for the largest screen, with nothing to convert.
QString CheckTab::copyInstalled(const QString &file, const QString &target)
{
    QFile source(QDir(QCoreApplication::applicationDirPath()).filePath(file));
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("Non trovo %1 tra i file installati: importa un'immagine al suo posto.").arg(file);
    return copyWriteReason(target, writeWhole(target, source.readAll()));
}

// Through a temporary name: on a folder that ignores case the two names are one file.
QString CheckTab::rename(const Finding &finding)
{
    const QString from = QDir(folder_).filePath(finding.foundAs), to = QDir(folder_).filePath(finding.file);
    const QString between = to + QStringLiteral(".rinomina");
    if (QFileInfo::exists(to) && QFileInfo(to).canonicalFilePath() != QFileInfo(from).canonicalFilePath())
        return QStringLiteral("%1 c'è già: toglilo a mano se non serve.").arg(finding.file);
    if (!QFile::rename(from, between) || !QFile::rename(between, to))
        return QStringLiteral("Non riesco a rinominare %1: controlla di poter scrivere nella cartella.").arg(finding.foundAs);
    return {};
}

} // namespace zampli::teacher
