// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImportWords.h"

#include "copies/CopyArchive.h"
#include "copies/Copies.h"
#include "CopyHistory.h"
#include "WordListDocument.h"
#include "media/FileNames.h"
#include "media/MediaPaths.h"

#include <QBrush>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

// Far past any picture or voice a copy holds; a file larger is no word's.
constexpr qint64 kMaxMediaBytes = 50'000'000;
constexpr int kThumbnail = 48;

QString upperVowel(int list)
{
    return QString(QChar(kImportVowels[size_t(list)])).toUpper();
}

QString count(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
}

// A plain file's bytes, never a pipe's or a device's; empty when there is none.
QByteArray smallFile(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxMediaBytes || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxMediaBytes);
}

ImportSource fromFolder(const QString &path)
{
    ImportSource source{path, {}, {}};
    if (!QFileInfo(path + QStringLiteral("/testi")).isDir()) {
        source.problem = QStringLiteral("%1 non è una copia di ZAMPLI (manca la cartella testi): scegli la cartella "
                                        "di un'altra copia o un file .zampli.").arg(QDir::toNativeSeparators(path));
        return source;
    }
    const MediaPaths paths(path);
    for (int list = 0; list < int(kImportVowels.size()); ++list) {
        const OpenedWordList opened = openWordList(existingFile(paths.wordList(upperVowel(list))));
        for (const QString &word : opened.document.words())
            source.lists[size_t(list)] << SourceWord{word, smallFile(existingFile(paths.wordPicture(word))),
                                                     smallFile(existingFile(paths.voice(word)))};
    }
    return source;
}

// The archive's names are looked up, never used as paths; case is forgiven
// as the program forgives it.
ImportSource fromArchive(const QString &path)
{
    ImportSource source{path, {}, {}};
    const copies::ArchiveContents contents = copies::readCopyFile(path);
    if (!contents.problem.isEmpty()) {
        source.problem = contents.problem;
        return source;
    }
    QHash<QString, QByteArray> files;
    for (auto it = contents.files.cbegin(); it != contents.files.cend(); ++it)
        files.insert(it.key().toCaseFolded(), it.value());
    const auto file = [&files](const QString &name) { return files.value(name.toCaseFolded()); };
    for (int list = 0; list < int(kImportVowels.size()); ++list) {
        const QByteArray bytes = file(QStringLiteral("testi/%1.txt").arg(QChar(kImportVowels[size_t(list)])));
        const QStringList words = WordListDocument::fromBytes(bytes).words();
        for (const QString &word : words)
            source.lists[size_t(list)] << SourceWord{word, file(QStringLiteral("jpg/%1.jpg").arg(word)),
                                                     file(QStringLiteral("voci/%1.wav").arg(word))};
    }
    return source;
}

// The picture small, or a grey square where there is none: the rows stay even.
QPixmap thumbnail(const QByteArray &bytes)
{
    const QImage picture = QImage::fromData(bytes);
    if (!picture.isNull())
        return QPixmap::fromImage(picture.scaled(kThumbnail, kThumbnail, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QPixmap none(kThumbnail, kThumbnail);
    none.fill(QColor(0xdd, 0xdd, 0xdd));
    return none;
}

bool holds(const QStringList &words, const QString &word)
{
    return words.contains(word, Qt::CaseInsensitive);
}

// A file the import writes, as the history names it.
struct FileWrite {
    QString target;
    QString what;
    QByteArray bytes;
};

struct Plan {
    QList<FileWrite> files; // pictures and voices, written first
    QList<FileWrite> lists; // then the lists that name them
    int words = 0;
    QStringList kept;
    QStringList refused;
};

void planFiles(const MediaPaths &paths, const SourceWord &word, Plan &plan)
{
    if (!word.picture.isEmpty())
        plan.files << FileWrite{existingFile(paths.wordPicture(word.word)),
                                QStringLiteral("l'immagine di «%1»").arg(word.word), word.picture};
    if (!word.voice.isEmpty())
        plan.files << FileWrite{existingFile(paths.voice(word.word)), QStringLiteral("la voce di «%1»").arg(word.word),
                                word.voice};
}

// The chosen rows of one list: the words it gains, the files they bring.
void planList(const MediaPaths &paths, int list, const QList<SourceWord> &words, const QList<int> &rows, bool replace,
              Plan &plan)
{
    const QString listPath = existingFile(paths.wordList(upperVowel(list)));
    OpenedWordList opened = openWordList(listPath);
    WordListDocument &document = opened.document;
    document.requireInitial(QChar(kImportVowels[size_t(list)]));
    const QStringList before = document.words();
    for (const int row : rows) {
        const SourceWord &word = words.at(row);
        if (!opened.readOnly.isEmpty()) {
            plan.refused << QStringLiteral("«%1»: %2").arg(word.word, opened.readOnly);
        } else if (holds(before, word.word)) {
            if (!replace) {
                plan.kept << QStringLiteral("«%1»").arg(word.word);
                continue;
            }
            planFiles(paths, word, plan);
            ++plan.words;
        } else if (const QString why = document.add(word.word); !why.isEmpty()) {
            plan.refused << QStringLiteral("«%1»: %2").arg(word.word, why);
        } else {
            planFiles(paths, word, plan);
            ++plan.words;
        }
    }
    if (document.words() != before)
        plan.lists << FileWrite{listPath, QStringLiteral("l'elenco %1").arg(QFileInfo(listPath).fileName()),
                                document.bytes()};
}

// Writes every file of `plan` as one change; what went wrong, or empty.
QString write(CopyHistory &history, const Plan &plan, const std::function<void()> &changed)
{
    history.beginGroup(QStringLiteral("importa %1").arg(count(plan.words, "parola", "parole")), changed);
    QString error;
    for (const QList<FileWrite> *part : {&plan.files, &plan.lists})
        for (const FileWrite &file : *part) {
            if (!error.isEmpty())
                break;
            QDir().mkpath(QFileInfo(file.target).absolutePath());
            error = history.write(file.target, file.what, [&file] { return saveWhole(file.target, file.bytes); });
        }
    // Half an import is none: what came is taken back at once.
    error.isEmpty() ? history.endGroup() : history.dropGroup();
    return error;
}

} // namespace

ImportSource readImportSource(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    if (info.isDir() && copies::sameFolder(path, folder))
        return {path, {}, QStringLiteral("%1 è la copia aperta: scegli un'altra copia da cui prendere le parole.")
                              .arg(QDir::toNativeSeparators(path))};
    return info.isDir() ? fromFolder(path) : fromArchive(path);
}

QString ImportOutcome::summary() const
{
    if (!problem.isEmpty())
        return problem;
    QStringList lines;
    lines << (imported > 0 ? QStringLiteral("%1 con le immagini e le voci che avevano (Ctrl+Z le toglie tutte).")
                                 .arg(imported == 1 ? QStringLiteral("Importata 1 parola")
                                                    : QStringLiteral("Importate %1 parole").arg(imported))
                           : QStringLiteral("Nessuna parola importata."));
    if (!kept.isEmpty())
        lines << QStringLiteral("C'erano già e hanno tenuto la tua immagine e la tua voce: %1.")
                     .arg(kept.join(QStringLiteral(", ")));
    if (!refused.isEmpty())
        lines << QStringLiteral("Non importate:\n%1").arg(refused.join(u'\n'));
    return lines.join(u'\n');
}

ImportOutcome importWords(const QString &folder, CopyHistory &history, const ImportSource &source,
                          const QList<ImportChoice> &chosen, bool replace, const std::function<void()> &changed)
{
    const MediaPaths paths(folder);
    Plan plan;
    for (int list = 0; list < int(kImportVowels.size()); ++list) {
        QList<int> rows;
        for (const ImportChoice &choice : chosen)
            if (choice.list == list && choice.row >= 0 && choice.row < source.lists[size_t(list)].size())
                rows << choice.row;
        if (!rows.isEmpty())
            planList(paths, list, source.lists[size_t(list)], rows, replace, plan);
    }
    ImportOutcome outcome{0, plan.refused, {}};
    outcome.kept = plan.kept;
    if (plan.files.isEmpty() && plan.lists.isEmpty())
        return outcome;
    if (const QString error = write(history, plan, changed); !error.isEmpty()) {
        outcome.problem = QStringLiteral("Le parole non sono state importate: %1").arg(error);
        return outcome;
    }
    outcome.imported = plan.words;
    return outcome;
}

ImportWordsDialog::ImportWordsDialog(const ImportSource &source, const QString &folder, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("importaParole"));
    setWindowTitle(QStringLiteral("Importa parole"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Parole di %1. Spunta quelle da portare nella tua copia, con la loro "
                                            "immagine e la loro voce.").arg(QDir::toNativeSeparators(source.name)));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *inner = new QWidget;
    auto *lists = new QVBoxLayout(inner);
    const MediaPaths paths(folder);
    for (int list = 0; list < int(kImportVowels.size()); ++list)
        lists->addWidget(listBox(source, list,
                                 openWordList(existingFile(paths.wordList(upperVowel(list)))).document.words()));
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(inner);
    layout->addWidget(scroll, 1);
    replace_ = new QCheckBox(QStringLiteral("&Sostituisci immagine e voce delle parole che ci sono già"));
    replace_->setObjectName(QStringLiteral("sostituisci"));
    layout->addWidget(replace_);
    auto *buttons = new QDialogButtonBox;
    import_ = buttons->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    import_->setObjectName(QStringLiteral("importa"));
    buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    countChosen();
    resize(640, 640);
}

QWidget *ImportWordsDialog::listBox(const ImportSource &source, int list, const QStringList &hers)
{
    const QString vowel(QChar(kImportVowels[size_t(list)]));
    auto *box = new QGroupBox(QStringLiteral("Parole con %1").arg(vowel.toUpper()));
    auto *layout = new QVBoxLayout(box);
    const QList<SourceWord> &words = source.lists[size_t(list)];
    if (words.isEmpty()) {
        layout->addWidget(new QLabel(QStringLiteral("Nessuna parola in questo elenco.")));
        return box;
    }
    auto *all = new QPushButton(QStringLiteral("Seleziona tutte"));
    all->setObjectName(QStringLiteral("selezionaTutte_%1").arg(vowel));
    layout->addWidget(all, 0, Qt::AlignLeft);
    auto *tree = new QTreeWidget;
    trees_[size_t(list)] = tree;
    tree->setObjectName(QStringLiteral("parole_%1").arg(vowel));
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setIconSize(QSize(kThumbnail, kThumbnail));
    tree->setHeaderLabels({QStringLiteral("Parola"), QStringLiteral("Voce"), QStringLiteral("Nella tua copia")});
    for (int row = 0; row < words.size(); ++row) {
        const SourceWord &word = words.at(row);
        auto *item = new QTreeWidgetItem(tree, {word.word, word.voice.isEmpty() ? QStringLiteral("senza voce")
                                                                                : QStringLiteral("con la voce")});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, Qt::UserRole, row);
        item->setIcon(0, thumbnail(word.picture));
        if (word.picture.isEmpty())
            item->setToolTip(0, QStringLiteral("«%1» non ha un'immagine").arg(word.word));
        if (holds(hers, word.word)) {
            item->setText(2, QStringLiteral("c'è già"));
            for (int column = 0; column < 3; ++column)
                item->setBackground(column, QBrush(QColor(0xff, 0xf4, 0xc2)));
        }
    }
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->setMinimumHeight(std::min<int>(words.size(), 5) * (kThumbnail + 4) + tree->header()->sizeHint().height() + 8);
    layout->addWidget(tree);
    connect(tree, &QTreeWidget::itemChanged, this, &ImportWordsDialog::countChosen);
    connect(all, &QPushButton::clicked, tree, [tree] {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
    });
    return box;
}

QList<ImportChoice> ImportWordsDialog::chosen() const
{
    QList<ImportChoice> choices;
    for (int list = 0; list < int(trees_.size()); ++list)
        if (const QTreeWidget *tree = trees_[size_t(list)])
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                if (tree->topLevelItem(i)->checkState(0) == Qt::Checked)
                    choices << ImportChoice{list, tree->topLevelItem(i)->data(0, Qt::UserRole).toInt()};
    return choices;
}

bool ImportWordsDialog::replace() const
{
    return replace_->isChecked();
}

void ImportWordsDialog::countChosen()
{
    const qsizetype n = chosen().size();
    import_->setEnabled(n > 0);
    import_->setText(n > 0 ? QStringLiteral("&Importa %1").arg(count(n, "parola", "parole"))
                           : QStringLiteral("&Importa"));
}

namespace {

// A folder or a .zampli file, as she prefers; empty when she changed her mind.
QString chooseSource(QWidget *parent)
{
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Importa parole"),
                    QStringLiteral("Da dove prendi le parole? Da un'altra copia di ZAMPLI su questo computer (una "
                                   "cartella) o da un file .zampli fatto con «Esporta la copia…»."),
                    QMessageBox::NoButton, parent);
    QPushButton *folder = ask.addButton(QStringLiteral("Da una &cartella…"), QMessageBox::AcceptRole);
    QPushButton *file = ask.addButton(QStringLiteral("Da un &file .zampli…"), QMessageBox::AcceptRole);
    ask.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() == folder)
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("La copia da cui prendere le parole"));
    if (ask.clickedButton() == file)
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Il file della copia"), QString(),
                                            QStringLiteral("Copie di ZAMPLI (*%1)").arg(QLatin1String(copies::kCopyFileSuffix)));
    return {};
}

bool hasWords(const ImportSource &source)
{
    return std::any_of(source.lists.cbegin(), source.lists.cend(), [](const auto &list) { return !list.isEmpty(); });
}

} // namespace

QString importWordsAsking(QWidget *parent, const QString &folder, CopyHistory &history,
                          const std::function<void()> &changed)
{
    const QString path = chooseSource(parent);
    if (path.isEmpty())
        return {};
    const ImportSource source = readImportSource(path, folder);
    const QString title = QStringLiteral("Le parole non sono state importate");
    if (!source.problem.isEmpty())
        return QMessageBox::warning(parent, title, source.problem), QString();
    if (!hasWords(source))
        return QMessageBox::information(parent, title, QStringLiteral("In %1 non ci sono parole: scegli un'altra "
                                                                      "copia.").arg(QDir::toNativeSeparators(path))),
               QString();
    ImportWordsDialog dialog(source, folder, parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const ImportOutcome outcome = importWords(folder, history, source, dialog.chosen(), dialog.replace(), changed);
    if (!outcome.problem.isEmpty() || !outcome.refused.isEmpty())
        QMessageBox::warning(parent, QStringLiteral("Importa parole"), outcome.summary());
    return outcome.summary();
}

} // namespace zampli::teacher
