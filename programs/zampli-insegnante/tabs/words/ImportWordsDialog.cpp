// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/ImportWordsDialog.h"

#include "catalog/Vowels.h"
#include "copies/CopyArchive.h"
#include "core/WordListDocument.h"
#include "media/FileNames.h"
#include "media/MediaPaths.h"
#include "shared/CountText.h"
#include "shared/WholeTitle.h"

#include <QBrush>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
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

constexpr int kThumbnail = 48;

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

} // namespace

ImportWordsDialog::ImportWordsDialog(const ImportSource &source, const QString &folder, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("importaParole"));
    setWindowTitle(QStringLiteral("Importa parole"));
    keepTitleWhole(this);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Parole di %1. Spunta quelle da portare nella tua copia, con la loro "
                                            "immagine e la loro voce.").arg(QDir::toNativeSeparators(source.name)));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *inner = new QWidget;
    auto *lists = new QVBoxLayout(inner);
    const MediaPaths paths(folder);
    const QStringList letters = vowelLetters();
    for (int list = 0; list < kVowelCount; ++list)
        lists->addWidget(listBox(source, list, openWordList(existingFile(paths.wordList(letters[list]))).document.words()));
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
    const QString vowel = vowelListNames()[list];
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
        if (holdsWord(hers, word.word)) {
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
    import_->setText(n > 0 ? QStringLiteral("&Importa %1").arg(countText(int(n), "parola", "parole"))
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
