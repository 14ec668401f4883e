// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultsView.h"

#include "ResultsCharts.h"
#include "ResultsClass.h"
#include "ResultsMatrix.h"
#include "ResultsSessions.h"

#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>

namespace zampli::teacher {

namespace {

QChartView *chartView(QChart *chart, const char *name, QSize minimum)
{
    auto *view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(minimum);
    return view;
}

// A file read every two seconds at most while the tab shows: the child's
// answers appear without a click, and the check itself is one pragma.
constexpr int kPollMs = 2000;

} // namespace

ResultsView::ResultsView(const QString &database, ClassPanel *classPanel, QWidget *parent)
    : QWidget(parent), database_(database), class_(classPanel)
{
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    buildFilters(filters);
    layout->addLayout(filters);
    auto *messages = new QHBoxLayout;
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("messaggio"));
    message_->setWordWrap(true);
    state_ = new QLabel;
    state_->setObjectName(QStringLiteral("stato"));
    connect(class_, &ClassPanel::changed, this, &ResultsView::refresh);
    connect(class_, &ClassPanel::told, this, [this](const QString &text) { tell(text); });
    connect(class_, &ClassPanel::childChosen, this, &ResultsView::showChild);
    auto *playing = new QLabel(QStringLiteral("Ora gioca:"));
    playing->setBuddy(class_->nowPlaying());
    messages->addWidget(playing);
    messages->addWidget(class_->nowPlaying());
    messages->addWidget(message_, 1);
    messages->addWidget(state_);
    layout->addLayout(messages);
    layout->addWidget(buildProblems());
    auto *split = new QSplitter(Qt::Vertical);
    auto *top = new QSplitter;
    top->addWidget(buildSessions());
    bars_ = new VowelBarsChart;
    top->addWidget(chartView(bars_, "perVocale", QSize(440, 220)));
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    split->addWidget(top);
    split->addWidget(buildPictures());
    auto *views = new QTabWidget;
    views->setObjectName(QStringLiteral("viste"));
    views->addTab(split, QStringLiteral("Risposte"));
    views->addTab(class_, QStringLiteral("Classe"));
    layout->addWidget(views, 1);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] {
        if (loader_)
            loader_->check();
    });
}

ResultsView::~ResultsView() = default;

void ResultsView::clearName()
{
    name_->clear();
}

void ResultsView::buildFilters(QLayout *into)
{
    child_ = new QComboBox;
    child_->setObjectName(QStringLiteral("bambino"));
    child_->setSizeAdjustPolicy(QComboBox::AdjustToContents); // a name is never cut
    child_->addItem(QStringLiteral("Tutti"), QString());
    from_ = new QDateEdit(QDate(2000, 1, 1));
    from_->setObjectName(QStringLiteral("dal"));
    to_ = new QDateEdit(QDate::currentDate());
    to_->setObjectName(QStringLiteral("al"));
    for (QDateEdit *d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        connect(d, &QDateEdit::dateChanged, this, [this] { if (!filling_) refresh(); });
    }
    connect(child_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) refresh(); });
    auto *row = static_cast<QHBoxLayout *>(into);
    row->addWidget(new QLabel(QStringLiteral("Bambino:")));
    row->addWidget(child_);
    row->addWidget(new QLabel(QStringLiteral("dal")));
    row->addWidget(from_);
    row->addWidget(new QLabel(QStringLiteral("al")));
    row->addWidget(to_);
    QPushButton *again = namedButton(QStringLiteral("Aggiorna"), "aggiorna");
    again->setToolTip(QStringLiteral("Legge di nuovo le risposte; la scheda lo fa anche da sola mentre è aperta"));
    connect(again, &QPushButton::clicked, this, &ResultsView::refresh);
    row->addWidget(again);
    row->addStretch(1);
    QPushButton *csv = namedButton(QStringLiteral("Esporta CSV…"), "esportaCsv");
    QPushButton *pdf = namedButton(QStringLiteral("Esporta PDF…"), "esportaPdf");
    connect(csv, &QPushButton::clicked, this, &ResultsView::exportCsvAsked);
    connect(pdf, &QPushButton::clicked, this, &ResultsView::exportPdfAsked);
    row->addWidget(csv);
    row->addWidget(pdf);
}

// Trouble with the file the teacher has not read yet: shown until she says she has.
QWidget *ResultsView::buildProblems()
{
    problemsBar_ = new QWidget;
    problemsBar_->setObjectName(QStringLiteral("barraProblemi"));
    problemsBar_->setAutoFillBackground(true);
    QPalette warm = problemsBar_->palette();
    warm.setColor(QPalette::Window, QColor(255, 243, 205));
    warm.setColor(QPalette::WindowText, Qt::black);
    problemsBar_->setPalette(warm);
    auto *row = new QHBoxLayout(problemsBar_);
    problems_ = new QLabel;
    problems_->setObjectName(QStringLiteral("problemi"));
    problems_->setWordWrap(true);
    problems_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton *read = namedButton(QStringLiteral("Ho letto"), "hoLetto");
    damaged_ = namedButton(QStringLiteral("Togli le copie guaste…"), "togliCopieGuaste");
    connect(read, &QPushButton::clicked, this, &ResultsView::problemsRead);
    connect(damaged_, &QPushButton::clicked, this, &ResultsView::damagedCopiesRemoveAsked);
    row->addWidget(problems_, 1);
    row->addWidget(damaged_, 0, Qt::AlignTop);
    row->addWidget(read, 0, Qt::AlignTop);
    problemsBar_->hide();
    return problemsBar_;
}

QWidget *ResultsView::buildSessions()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    sessionsModel_ = new SessionsModel(this);
    sessions_ = new QTableView;
    sessions_->setObjectName(QStringLiteral("sessioni"));
    sessions_->setModel(sessionsModel_);
    sessions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sessions_->setSelectionMode(QAbstractItemView::SingleSelection);
    sessions_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sessions_->verticalHeader()->hide();
    sessions_->setWordWrap(false); // one line a session: the exercises' list ends in "…" and shows whole as a tooltip
    // Widths from the longest text each column can hold, set once: measuring
    // thousands of rows at every reading would stall the window.
    const QFontMetrics fm(sessions_->font());
    const char *const widest[] = {"00/00/0000", "00:00", "00:00", "Sbagliate", "Sbagliate", "Bambino Bambino"};
    for (int c = 0; c < 6; ++c)
        sessions_->setColumnWidth(c, fm.horizontalAdvance(QString::fromLatin1(widest[c])) + 16);
    // The exercises last: the longest column, cut where the table ends.
    sessions_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(sessions_, 1);
    auto *row = new QHBoxLayout;
    name_ = new QLineEdit;
    name_->setObjectName(QStringLiteral("nome"));
    name_->setPlaceholderText(QStringLiteral("Nome del bambino"));
    QPushButton *give = namedButton(QStringLiteral("Dai il nome alla sessione"), "daiNome");
    QPushButton *drop = namedButton(QStringLiteral("Cancella la sessione…"), "cancellaSessione");
    eraseMany_ = namedButton(QStringLiteral("Cancella tutto…"), "cancellaTutto");
    const auto giveName = [this] { emit nameGiven(name_->text().simplified()); };
    connect(name_, &QLineEdit::returnPressed, this, giveName);
    connect(give, &QPushButton::clicked, this, giveName);
    connect(drop, &QPushButton::clicked, this, &ResultsView::deleteSessionAsked);
    connect(eraseMany_, &QPushButton::clicked, this, &ResultsView::eraseManyAsked);
    for (QWidget *w : std::initializer_list<QWidget *>{name_, give, drop, eraseMany_})
        row->addWidget(w);
    layout->addLayout(row);
    return box;
}

QWidget *ResultsView::buildPictures()
{
    auto *split = new QSplitter;
    auto *matrixBox = new QWidget;
    auto *left = new QVBoxLayout(matrixBox);
    left->setContentsMargins(0, 0, 0, 0);
    matrixKind_ = new QComboBox;
    matrixKind_->setObjectName(QStringLiteral("tipoMatrice"));
    matrixKind_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    matrixKind_->setMinimumContentsLength(24);
    connect(matrixKind_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) showKind(); });
    left->addWidget(matrixKind_);
    auto *how = new QLabel(QStringLiteral("Righe: la vocale chiesta. Colonne: quella scelta."));
    how->setWordWrap(true);
    left->addWidget(how);
    matrixModel_ = new ConfusionModel(this);
    matrixView_ = new CopyableTable;
    matrixView_->setObjectName(QStringLiteral("matrice"));
    matrixView_->setModel(matrixModel_);
    matrixView_->setAccessibleName(QStringLiteral("Vocali chieste e scelte"));
    matrixView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    matrixView_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    matrixView_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    left->addWidget(matrixView_, 1);
    split->addWidget(matrixBox);
    auto *wordsBox = new QWidget;
    auto *middle = new QVBoxLayout(wordsBox);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(new QLabel(QStringLiteral("Parole di INIZIA PER sbagliate più spesso")));
    missed_ = new QListWidget;
    missed_->setObjectName(QStringLiteral("paroleSbagliate"));
    middle->addWidget(missed_, 1);
    split->addWidget(wordsBox);
    trend_ = new TrendChart;
    split->addWidget(chartView(trend_, "andamento", QSize(360, 220)));
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setStretchFactor(2, 4);
    return split;
}

void ResultsView::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    poll_.start();
    if (everShown_)
        return loader_->check();
    everShown_ = true;
    // The file is opened once the window is up, never before its first paint.
    loader_ = new ResultsLoader(database_, this);
    connect(loader_, &ResultsLoader::loaded, this, &ResultsView::present);
    QTimer::singleShot(0, this, &ResultsView::refresh);
}

void ResultsView::hideEvent(QHideEvent *e)
{
    poll_.stop();
    QWidget::hideEvent(e);
}

} // namespace zampli::teacher
