// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsTab.h"

#include "Progress.h"
#include "ResultsPictures.h"
#include "ResultsReport.h"
#include "results/ResultsEditor.h"
#include "results/Schema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

namespace zampli::teacher {

namespace {

QPushButton *button(const QString &text, const char *name)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

ResultsTab::ResultsTab(const QString &folder, QWidget *parent)
    : QWidget(parent), database_(resultsDatabasePath(resultsFolder(), folder))
{
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    buildFilters(filters);
    layout->addLayout(filters);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    layout->addWidget(message_);
    auto *middle = new QHBoxLayout;
    middle->addWidget(buildSessions(), 3);
    bars_ = new PictureView({}, QSize(320, 220));
    bars_->setObjectName(QStringLiteral("perVocale"));
    middle->addWidget(bars_, 2);
    layout->addLayout(middle, 1);
    layout->addWidget(buildPictures(), 1);
    refresh();
}

void ResultsTab::buildFilters(QLayout *into)
{
    child_ = new QComboBox;
    child_->setObjectName(QStringLiteral("bambino"));
    from_ = new QDateEdit;
    from_->setObjectName(QStringLiteral("dal"));
    to_ = new QDateEdit(QDate::currentDate());
    to_->setObjectName(QStringLiteral("al"));
    for (QDateEdit *d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        connect(d, &QDateEdit::dateChanged, this, [this] { if (!filling_) refresh(); });
    }
    connect(child_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) refresh(); });
    into->addWidget(new QLabel(QStringLiteral("Bambino:")));
    into->addWidget(child_);
    into->addWidget(new QLabel(QStringLiteral("dal")));
    into->addWidget(from_);
    into->addWidget(new QLabel(QStringLiteral("al")));
    into->addWidget(to_);
    auto *into_ = static_cast<QHBoxLayout *>(into);
    into_->addStretch(1);
    QPushButton *csv = button(QStringLiteral("Esporta CSV…"), "esportaCsv");
    QPushButton *pdf = button(QStringLiteral("Esporta PDF…"), "esportaPdf");
    connect(csv, &QPushButton::clicked, this, &ResultsTab::exportCsv);
    connect(pdf, &QPushButton::clicked, this, &ResultsTab::exportPdf);
    into->addWidget(csv);
    into->addWidget(pdf);
}

QWidget *ResultsTab::buildSessions()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    sessions_ = new QTableWidget(0, 7);
    sessions_->setObjectName(QStringLiteral("sessioni"));
    // The windows last: the longest column, cut where the table ends.
    sessions_->setHorizontalHeaderLabels({QStringLiteral("Giorno"), QStringLiteral("Inizio"), QStringLiteral("Fine"),
                                          QStringLiteral("Giuste"), QStringLiteral("Sbagliate"),
                                          QStringLiteral("Bambino"), QStringLiteral("Finestre")});
    sessions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sessions_->setSelectionMode(QAbstractItemView::SingleSelection);
    sessions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sessions_->verticalHeader()->hide();
    sessions_->horizontalHeader()->setSectionResizeMode(6, QHeaderView::Stretch);
    layout->addWidget(sessions_, 1);
    auto *row = new QHBoxLayout;
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("nome"));
    name_->setPlaceholderText(QStringLiteral("Nome del bambino"));
    QPushButton *give = button(QStringLiteral("Dai il nome alla sessione"), "daiNome");
    QPushButton *drop = button(QStringLiteral("Cancella la sessione"), "cancellaSessione");
    eraseMany_ = button(QStringLiteral("Cancella tutto…"), "cancellaTutto");
    connect(name_, &QLineEdit::returnPressed, this, &ResultsTab::giveName);
    connect(give, &QPushButton::clicked, this, &ResultsTab::giveName);
    connect(drop, &QPushButton::clicked, this, &ResultsTab::deleteSession);
    connect(eraseMany_, &QPushButton::clicked, this, &ResultsTab::eraseMany);
    for (QWidget *w : {static_cast<QWidget *>(name_), static_cast<QWidget *>(give), static_cast<QWidget *>(drop),
                       static_cast<QWidget *>(eraseMany_)})
        row->addWidget(w);
    layout->addLayout(row);
    return box;
}

QWidget *ResultsTab::buildPictures()
{
    auto *box = new QWidget;
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *left = new QVBoxLayout;
    matrixKind_ = new QComboBox;
    matrixKind_->setObjectName(QStringLiteral("tipoMatrice"));
    matrixKind_->addItems({QStringLiteral("Ascolto"), QStringLiteral("Facce")});
    for (int style = 1; style <= 4; ++style)
        matrixKind_->addItem(QStringLiteral("Lettere, stile %1").arg(style));
    connect(matrixKind_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) refresh(); });
    left->addWidget(matrixKind_);
    matrixView_ = new PictureView({}, QSize(240, 240));
    matrixView_->setObjectName(QStringLiteral("matrice"));
    left->addWidget(matrixView_, 1);
    layout->addLayout(left, 2);
    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(QStringLiteral("Parole di INIZIA PER sbagliate più spesso")));
    missed_ = new QListWidget;
    missed_->setObjectName(QStringLiteral("paroleSbagliate"));
    middle->addWidget(missed_, 1);
    layout->addLayout(middle, 2);
    lines_ = new PictureView({}, QSize(360, 240));
    lines_->setObjectName(QStringLiteral("andamento"));
    layout->addWidget(lines_, 4);
    return box;
}

} // namespace zampli::teacher
