// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsClass.h"

#include "school/ClassChildren.h"
#include "server/SchoolSync.h"
#include "tabs/results/ResultsNames.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTableView>

namespace zampli::teacher {

namespace {

QString childName(const ChildOverview &c)
{
    return c.childId == 0 ? unnamedChild() : c.name;
}

} // namespace

QPushButton *namedButton(const QString &text, const char *name)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    return b;
}

void ClassModel::setRows(const QList<ChildOverview> &rows)
{
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

int ClassModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant ClassModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const ChildOverview &c = rows_[index.row()];
    const int column = index.column();
    if (column == 0)
        return childName(c);
    if (column == 6)
        return c.lastDay.isValid() ? dayText(c.lastDay) : QString();
    const Score &s = c.vowels[column - 1];
    if (s.right + s.wrong == 0)
        return role == Qt::ToolTipRole ? QStringLiteral("Nessuna risposta") : QStringLiteral("–");
    const QLocale italian(QLocale::Italian);
    const int all = s.right + s.wrong;
    return QStringLiteral("%1 su %2 (%3%)")
        .arg(italian.toString(s.right), italian.toString(all))
        .arg(qRound(100.0 * s.right / all));
}

QVariant ClassModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 7)
        return {};
    if (section == 0)
        return QStringLiteral("Bambino");
    if (section == 6)
        return QStringLiteral("Ultimo giorno");
    return vowelText(section - 1);
}

QString practiseText(const PractiseNext &p)
{
    const QString who = p.childId == 0 ? unnamedChild() : p.name;
    if (p.confusions.isEmpty())
        return QStringLiteral("%1: nessuno scambio frequente finora").arg(who);
    QStringList said;
    for (const Confusion &c : p.confusions)
        said << QStringLiteral("%1 (%2 volte su %3)")
                    .arg(c.advice, QLocale(QLocale::Italian).toString(c.times),
                         QLocale(QLocale::Italian).toString(c.outOf));
    return QStringLiteral("%1: %2").arg(who, said.join(QStringLiteral("; ")));
}

QString eraseText(const ErasePreview &p)
{
    QString text = QStringLiteral("%1, %2").arg(countText(int(p.sessions.size()), "sessione", "sessioni"),
                                                countText(p.answers, "risposta", "risposte"));
    if (p.days.size() == 1)
        text += QStringLiteral(", del %1").arg(dayText(p.days.first()));
    else if (!p.days.isEmpty())
        text += QStringLiteral(", dal %1 al %2").arg(dayText(p.days.first()), dayText(p.days.last()));
    // The damaged copies hold everyone's answers as they were: named here, they go too.
    QStringList copies;
    for (const QString &copy : p.damagedCopies)
        copies << QFileInfo(copy).fileName();
    if (copies.size() == 1)
        text += QStringLiteral(", e il file guasto messo da parte che le contiene ancora: %1").arg(copies.first());
    else if (!copies.isEmpty())
        text += QStringLiteral(", e i %1 file guasti messi da parte che le contengono ancora: %2")
                    .arg(copies.size())
                    .arg(copies.join(QStringLiteral(", ")));
    return text;
}

ClassPanel::ClassPanel(QString database, Confirm confirm, QWidget *parent)
    : QWidget(parent), database_(std::move(database)), confirm_(std::move(confirm))
{
    playing_ = new QComboBox;
    playing_->setObjectName(QStringLiteral("oraGioca"));
    playing_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    playing_->setToolTip(QStringLiteral("Le risposte che il programma del bambino scrive da ora vanno a questo "
                                        "bambino, finché non ne scegli un altro"));
    playing_->addItem(unnamedChild(), qint64(0));
    connect(playing_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) choosePlaying(); });

    auto *layout = new QVBoxLayout(this);
    auto *names = new QHBoxLayout;
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("nomeBambino"));
    name_->setPlaceholderText(QStringLiteral("Nome o soprannome"));
    QPushButton *add = namedButton(QStringLiteral("Aggiungi il bambino"), "aggiungiBambino");
    QPushButton *rename = namedButton(QStringLiteral("Rinomina"), "rinominaBambino");
    rename->setToolTip(QStringLiteral("Dà il nome scritto qui accanto al bambino scelto nella tabella"));
    QPushButton *erase = namedButton(QStringLiteral("Cancella il bambino…"), "cancellaBambino");
    connect(name_, &QLineEdit::returnPressed, this, &ClassPanel::addChild);
    connect(add, &QPushButton::clicked, this, &ClassPanel::addChild);
    connect(rename, &QPushButton::clicked, this, &ClassPanel::renameChild);
    connect(erase, &QPushButton::clicked, this, &ClassPanel::eraseChild);
    for (QWidget *w : std::initializer_list<QWidget *>{name_, add, rename, erase})
        names->addWidget(w);
    layout->addLayout(names);

    model_ = new ClassModel(this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("classe"));
    table_->setAccessibleName(QStringLiteral("La classe: giuste su chieste per ogni vocale"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex &at) {
        emit childChosen(model_->rows().value(at.row()).childId);
    });
    layout->addWidget(table_, 3);
    auto *what = new QLabel(QStringLiteral("Da esercitare (gli scambi che tornano più spesso):"));
    layout->addWidget(what);
    practise_ = new QListWidget;
    practise_->setObjectName(QStringLiteral("daEsercitare"));
    practise_->setWordWrap(true);
    what->setBuddy(practise_);
    layout->addWidget(practise_, 2);
}

void ClassPanel::useSchool(SchoolSync *school, const QString &copyResults)
{
    school_ = school;
    copyResults_ = copyResults;
    connect(school_, &SchoolSync::changed, this, [this](bool, const QString &said) {
        emit told(said);
        emit changed();
    });
}

void ClassPanel::present(const ResultsSnapshot &s)
{
    filling_ = true;
    children_ = s.children;
    playing_->clear();
    playing_->addItem(unnamedChild(), qint64(0));
    for (const ChildEntry &c : s.children)
        playing_->addItem(c.name, c.id);
    // With a server the children shown are the server's; who plays is this computer's.
    const qint64 playing = school_ ? playingServerChild(copyResults_) : s.nowPlaying.id;
    playing_->setCurrentIndex(std::max(0, playing_->findData(playing)));
    filling_ = false;
    const qint64 chosen = chosenChild() ? chosenChild()->childId : -1;
    model_->setRows(s.overview);
    for (int r = 0; r < model_->rows().size(); ++r)
        if (model_->rows()[r].childId == chosen)
            table_->selectRow(r);
    practise_->clear();
    for (const PractiseNext &p : s.practise)
        practise_->addItem(practiseText(p));
}

bool ClassPanel::openEditor(ResultsEditor &editor)
{
    // The list of children may come before any answer: the file is made then.
    if (editor.open(database_, ResultsEditor::IfMissing::Make))
        return true;
    emit told(editor.error());
    return false;
}

bool ClassPanel::openCopyEditor(ResultsEditor &editor)
{
    if (editor.open(copyResults_, ResultsEditor::IfMissing::Make))
        return true;
    emit told(editor.error());
    return false;
}

QString ClassPanel::sameName(const QString &name, qint64 except) const
{
    for (const ChildEntry &c : children_)
        if (c.id != except && c.name.toCaseFolded() == name.toCaseFolded())
            return QStringLiteral("C'è già un bambino di nome %1: scrivi anche l'iniziale del cognome per "
                                  "distinguerli, come «Marco B.».").arg(c.name);
    return {};
}

void ClassPanel::changeOnServer(const char *sql, const QList<QByteArray> &params, const QString &doneText)
{
    const QByteArray statement(sql);
    school_->change([statement, params](PgConnection &db) {
        PgResult r = db.exec(statement.constData(), params);
        if (r.sqlState() == "23505") // two children of one name
            return QStringLiteral("Sul server della scuola c'è già un bambino con quel nome: aggiungi l'iniziale "
                                  "del cognome per distinguerli, per esempio «Marco B.».");
        if (!db.check(r))
            return QStringLiteral("Non è cambiato nulla: %1. Riprova più tardi.").arg(db.error());
        return QString();
    }, doneText);
}

void ClassPanel::choosePlaying()
{
    ResultsEditor editor;
    if (!(school_ ? openCopyEditor(editor) : openEditor(editor)))
        return;
    qint64 child = playing_->currentData().toLongLong();
    if (school_ && child != 0 && (child = localChildOf(copyResults_, child)) == 0)
        return emit told(QStringLiteral("%1 non è ancora su questo computer: aspetta che i risultati della classe "
                                        "si aggiornino, poi sceglilo di nuovo.").arg(playing_->currentText()));
    if (!editor.choosePlaying(child))
        return emit told(editor.error());
    emit told(playing_->currentIndex() == 0
                  ? QStringLiteral("Da ora le risposte non vanno a nessun bambino: restano senza nome.")
                  : QStringLiteral("Da ora le risposte vanno a %1, finché non scegli un altro bambino.")
                        .arg(playing_->currentText()));
    emit changed();
}

void ClassPanel::addChild()
{
    const QString name = name_->text().simplified();
    if (name.isEmpty())
        return emit told(QStringLiteral("Scrivi prima il nome o il soprannome del bambino."));
    if (school_) {
        if (const QString same = sameName(name, 0); !same.isEmpty())
            return emit told(same);
        name_->clear();
        return changeOnServer("SELECT zampli.add_child($1)", {name.toUtf8()},
                              QStringLiteral("%1 è nella classe: sceglilo in \"Ora gioca\" prima che giochi.").arg(name));
    }
    ResultsEditor editor;
    if (!openEditor(editor))
        return;
    if (editor.addChild(name) == 0)
        return emit told(editor.error());
    name_->clear();
    emit told(QStringLiteral("%1 è nella classe: sceglilo in \"Ora gioca\" prima che giochi.").arg(name));
    emit changed();
}

const ChildOverview *ClassPanel::chosenChild() const
{
    const QModelIndexList chosen = table_->selectionModel()->selectedRows();
    if (chosen.isEmpty() || chosen.first().row() >= model_->rows().size())
        return nullptr;
    const ChildOverview *c = &model_->rows()[chosen.first().row()];
    return c->childId > 0 ? c : nullptr;
}

void ClassPanel::renameChild()
{
    const ChildOverview *child = chosenChild();
    const QString name = name_->text().simplified();
    if (!child || name.isEmpty())
        return emit told(QStringLiteral("Scegli il bambino nella tabella e scrivi accanto il suo nuovo nome."));
    if (school_) {
        if (const QString same = sameName(name, child->childId); !same.isEmpty())
            return emit told(same);
        name_->clear();
        return changeOnServer("SELECT zampli.rename_child($1, $2)", {QByteArray::number(child->childId), name.toUtf8()},
                              QStringLiteral("%1 ora si chiama %2; le sue risposte restano sue.").arg(child->name, name));
    }
    ResultsEditor editor;
    if (!openEditor(editor))
        return;
    if (!editor.renameChild(child->childId, name))
        return emit told(editor.error());
    emit told(QStringLiteral("%1 ora si chiama %2; le sue risposte restano sue.").arg(child->name, name));
    name_->clear();
    emit changed();
}

void ClassPanel::eraseOnServer(qint64 child, const QString &name)
{
    ResultsEditor editor;
    if (!openEditor(editor))
        return;
    const QString text = QStringLiteral("Cancello %1 e tutte le sue risposte (%2) dal server della scuola? Il suo nome "
                                        "sparisce da tutti i computer della classe e le risposte non si potranno "
                                        "riavere.")
                             .arg(name, eraseText(editor.previewChild(child)));
    if (!confirm_(QStringLiteral("Cancella il bambino"), text, QStringLiteral("Cancella")))
        return;
    changeOnServer("SELECT zampli.erase_child($1)", {QByteArray::number(child)},
                   QStringLiteral("%1 non è più nella classe e le sue risposte sono cancellate dal server della scuola.")
                       .arg(name));
}

void ClassPanel::eraseChild()
{
    const ChildOverview *child = chosenChild();
    if (!child)
        return emit told(QStringLiteral("Scegli prima nella tabella il bambino da cancellare."));
    const ChildOverview c = *child;
    if (school_)
        return eraseOnServer(c.childId, c.name);
    ResultsEditor editor;
    if (!openEditor(editor))
        return;
    const QString text = QStringLiteral("Cancello %1 e tutte le sue risposte (%2)? Il suo nome sparisce da questa "
                                        "copia di ZAMPLI e le risposte non si potranno riavere.")
                             .arg(c.name, eraseText(editor.previewChild(c.childId)));
    if (!confirm_(QStringLiteral("Cancella il bambino"), text, QStringLiteral("Cancella")))
        return;
    if (!editor.eraseChild(c.childId))
        return emit told(editor.error());
    emit told(editor.error().isEmpty() ? QStringLiteral("%1 non è più nella classe e le sue risposte sono cancellate.").arg(c.name)
                                       : editor.error());
    emit changed();
}

} // namespace zampli::teacher
