// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsFilterBar.h"

#include "tabs/results/ResultsClass.h"
#include "tabs/results/ResultsNames.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zampli::teacher {

namespace {

// Days before any answer can be: the first reading moves it to the first one.
const QDate kNoStart(2000, 1, 1);

// The "Bambino" list holds a child of the class by her id, those of nobody
// named, and names given by hand to sessions before the class had a list.
QString childKey(qint64 child)
{
    return QStringLiteral("c:%1").arg(child);
}

QString labelKey(const QString &label)
{
    return QStringLiteral("l:") + label;
}

QString filterKey(const ResultsFilter &f)
{
    if (f.childId != ResultsFilter::kAnyChild)
        return childKey(f.childId);
    return f.label.isNull() ? QString() : labelKey(f.label);
}

} // namespace

ResultsFilterBar::ResultsFilterBar(QWidget *parent) : QWidget(parent)
{
    child_ = new QComboBox;
    child_->setObjectName(QStringLiteral("bambino"));
    child_->setSizeAdjustPolicy(QComboBox::AdjustToContents); // a name is never cut
    child_->addItem(QStringLiteral("Tutti"), QString());
    connect(child_, &QComboBox::currentIndexChanged, this, [this] { if (!filling_) emit changed(); });
    kind_ = new QComboBox;
    kind_->setObjectName(QStringLiteral("domande"));
    kind_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    kind_->setMinimumContentsLength(12);
    kind_->addItem(QStringLiteral("Tutte"), QString());
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        kind_->setToolTip(kind_->currentText()); // the whole name where the list is too narrow for it
        if (!filling_)
            emit changed();
    });
    buildDates();
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Bambino:")));
    row->addWidget(child_);
    auto *kinds = new QLabel(QStringLiteral("Domande:"));
    kinds->setBuddy(kind_);
    row->addWidget(kinds);
    row->addWidget(kind_, 1);
    row->addWidget(new QLabel(QStringLiteral("dal")));
    row->addWidget(from_);
    row->addWidget(new QLabel(QStringLiteral("al")));
    row->addWidget(to_);
    QPushButton *again = namedButton(QStringLiteral("Aggiorna"), "aggiorna");
    again->setToolTip(QStringLiteral("Legge di nuovo le risposte; la scheda lo fa anche da sola mentre è aperta"));
    connect(again, &QPushButton::clicked, this, &ResultsFilterBar::againAsked);
    row->addWidget(again);
    row->addStretch(1);
}

void ResultsFilterBar::buildDates()
{
    from_ = new QDateEdit(kNoStart);
    from_->setObjectName(QStringLiteral("dal"));
    to_ = new QDateEdit(QDate::currentDate());
    to_->setObjectName(QStringLiteral("al"));
    for (QDateEdit *d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        connect(d, &QDateEdit::dateChanged, this, [this] { if (!filling_) emit changed(); });
    }
}

ResultsFilter ResultsFilterBar::filter() const
{
    ResultsFilter f;
    f.fromMs = from_->date().startOfDay().toMSecsSinceEpoch();
    f.toMs = to_->date().addDays(1).startOfDay().toMSecsSinceEpoch() - 1;
    const QString key = child_->currentData().toString();
    if (key.startsWith(QLatin1String("c:")))
        f.childId = key.mid(2).toLongLong();
    else if (key.startsWith(QLatin1String("l:")))
        f.label = key.mid(2);
    f.kind = kindOfKey(kind_->currentData().toString());
    return f;
}

QString ResultsFilterBar::filterText() const
{
    const QString who = oneChild() ? child_->currentText() : QStringLiteral("tutti i bambini");
    const QString text = QStringLiteral("%1, dal %2 al %3").arg(who, dayText(from_->date()), dayText(to_->date()));
    return kind_->currentIndex() > 0 ? QStringLiteral("%1, domande «%2»").arg(text, kind_->currentText()) : text;
}

QString ResultsFilterBar::childChosen() const
{
    return child_->currentText();
}

bool ResultsFilterBar::oneChild() const
{
    return child_->currentIndex() > 0;
}

bool ResultsFilterBar::matches(const ResultsFilter &f) const
{
    return child_->currentData().toString() == filterKey(f) &&
           kind_->currentData().toString() == (f.kind ? kindKey(*f.kind) : QString());
}

void ResultsFilterBar::fillKinds(const ResultsSnapshot &s)
{
    const QString chosen = kind_->currentData().toString();
    filling_ = true;
    kind_->clear();
    kind_->addItem(QStringLiteral("Tutte"), QString());
    for (const KindConfusion &k : s.kinds)
        kind_->addItem(kindName(k.kind), kindKey(k.kind));
    const int at = kind_->findData(chosen);
    kind_->setCurrentIndex(chosen.isNull() || at < 0 ? 0 : at);
    filling_ = false;
}

void ResultsFilterBar::fillChildren(const ResultsSnapshot &s)
{
    const QString chosen = child_->currentData().toString();
    filling_ = true;
    child_->clear();
    child_->addItem(QStringLiteral("Tutti"), QString());
    QStringList names;
    for (const ChildEntry &c : s.children) {
        child_->addItem(c.name, childKey(c.id));
        names << c.name.toCaseFolded();
    }
    if (s.unnamedAnswers)
        child_->addItem(unnamedChild(), childKey(ResultsFilter::kNoChild));
    // A name given by hand that is no child's: its sessions stay reachable.
    for (const QString &n : s.labels)
        if (!names.contains(n.toCaseFolded()))
            child_->addItem(n, labelKey(n));
    const int at = child_->findData(chosen);
    child_->setCurrentIndex(chosen.isNull() || at < 0 ? 0 : at);
    filling_ = false;
}

void ResultsFilterBar::startAt(qint64 firstAnswerMs)
{
    if (from_->date() != kNoStart || firstAnswerMs <= 0)
        return;
    filling_ = true;
    from_->setDate(QDateTime::fromMSecsSinceEpoch(firstAnswerMs).date());
    filling_ = false;
}

void ResultsFilterBar::showChild(qint64 child)
{
    const int at = child_->findData(childKey(child == 0 ? ResultsFilter::kNoChild : child));
    if (at >= 0)
        child_->setCurrentIndex(at);
}

} // namespace zampli::teacher
