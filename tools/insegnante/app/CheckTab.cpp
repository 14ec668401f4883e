// SPDX-License-Identifier: GPL-3.0-or-later
#include "CheckTab.h"

#include "MediaActions.h"
#include "Progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

QString counted(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

QString fixText(Fix fix)
{
    switch (fix) {
    case Fix::ImportPicture: return QStringLiteral("Importa un'immagine…");
    case Fix::RecordVoice: return QStringLiteral("Registra la voce…");
    case Fix::ConvertVoice: return QStringLiteral("Converti la voce");
    case Fix::RenameCase: return QStringLiteral("Rinomina");
    case Fix::OpenList: return QStringLiteral("Apri l'elenco");
    case Fix::None: break;
    }
    return {};
}

} // namespace

CheckTab::CheckTab(TeacherServices &services, const QString &folder, QWidget *parent)
    : QWidget(parent), services_(services), folder_(folder)
{
    setObjectName(QStringLiteral("controllo"));
    auto *layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("riassunto"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("problemi"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Che cosa c'è"), QStringLiteral("Come rimediare")});
    list_->setRootIsDecorated(false);
    list_->header()->resizeSection(0, 220);
    list_->header()->resizeSection(1, 380);
    layout->addWidget(list_, 1);
    auto *again = new QPushButton(QStringLiteral("&Controlla di nuovo"));
    again->setObjectName(QStringLiteral("controllaDiNuovo"));
    again->setShortcut(QKeySequence::Refresh);
    connect(again, &QPushButton::clicked, this, &CheckTab::runCheck);
    layout->addWidget(again, 0, Qt::AlignLeft);
}

void CheckTab::runCheck()
{
    const QList<Finding> findings =
        withProgress(this, QStringLiteral("Controllo immagini e voci…"), [this] { return checkFolder(folder_); });
    list_->clear();
    qsizetype problems = 0;
    for (const Finding &f : findings) {
        auto *item = new QTreeWidgetItem(list_, {f.file, f.problem ? f.what : QStringLiteral("nota: ") + f.what});
        item->setForeground(1, f.problem ? QColor(0xb0, 0x00, 0x20) : QColor(0x55, 0x55, 0x55));
        if (QWidget *button = fixButton(f))
            list_->setItemWidget(item, 2, button);
        problems += f.problem;
    }
    summary_->setText(problems == 0
                          ? QStringLiteral("Tutto a posto: il programma può usare ogni immagine, voce ed elenco di "
                                           "questa cartella.")
                          : QStringLiteral("Ci sono %1 e %2. Premi il pulsante accanto a ognuno per rimediare.")
                                .arg(counted(problems, "problema", "problemi"),
                                     counted(findings.size() - problems, "nota", "note")));
}

QWidget *CheckTab::fixButton(const Finding &finding)
{
    if (finding.fix == Fix::None)
        return nullptr;
    QString text = fixText(finding.fix);
    if (finding.fix == Fix::RenameCase)
        text = QStringLiteral("Rinomina %1 in %2").arg(QFileInfo(finding.foundAs).fileName(),
                                                        QFileInfo(finding.file).fileName());
    auto *button = new QPushButton(text);
    button->setObjectName(QStringLiteral("rimedio"));
    connect(button, &QPushButton::clicked, this, [this, finding] { fix(finding); });
    return button;
}

void CheckTab::fix(const Finding &finding)
{
    const QString target = QDir(folder_).filePath(finding.file);
    QString error;
    switch (finding.fix) {
    case Fix::ImportPicture:
        if (const QString file = choosePictureFile(this); !file.isEmpty())
            error = putPicture(this, file, target);
        else
            return;
        break;
    case Fix::RecordVoice:
        openRecorder(this, services_, target, QFileInfo(target).completeBaseName(), [this] {
            emit filesChanged();
            runCheck();
        });
        return;
    case Fix::ConvertVoice:
        error = putVoice(this, QFileInfo(target).isFile() ? target : QDir(folder_).filePath(finding.foundAs), target);
        break;
    case Fix::RenameCase:
        error = rename(finding);
        break;
    case Fix::OpenList:
        emit openList(finding.file);
        return;
    case Fix::None:
        return;
    }
    emit filesChanged();
    runCheck();
    if (!error.isEmpty())
        summary_->setText(error);
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
