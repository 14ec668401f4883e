// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/results/ResultsPictures.h"

#include "tabs/results/ResultsCharts.h"
#include "tabs/results/ResultsMatrix.h"
#include "tabs/results/ResultsNames.h"

#include <QAbstractButton>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace zampli::teacher {

namespace {

int answersOf(const ConfusionMatrix &m)
{
    int all = 0;
    for (const auto &row : m)
        for (int n : row)
            all += n;
    return all;
}

QVBoxLayout *boxLayout(QWidget *box)
{
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

} // namespace

ResultsPictures::ResultsPictures(QWidget *parent) : QSplitter(parent)
{
    addWidget(buildMatrix());
    addWidget(buildWords());
    trend_ = new TrendChart;
    addWidget(chartView(trend_, "andamento", QSize(360, 220)));
    setStretchFactor(0, 2);
    setStretchFactor(1, 1);
    setStretchFactor(2, 4);
}

QWidget *ResultsPictures::buildMatrix()
{
    auto *box = new QWidget;
    QVBoxLayout *left = boxLayout(box);
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
    // Its corner, where the vowels asked meet those chosen, picks the whole table.
    if (auto *corner = matrixView_->findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("Scegli tutta la tabella"));
    left->addWidget(matrixView_, 1);
    return box;
}

QWidget *ResultsPictures::buildWords()
{
    auto *box = new QWidget;
    QVBoxLayout *middle = boxLayout(box);
    middle->addWidget(new QLabel(QStringLiteral("Parole di INIZIA PER sbagliate più spesso")));
    missed_ = new QListWidget;
    missed_->setObjectName(QStringLiteral("paroleSbagliate"));
    middle->addWidget(missed_, 1);
    return box;
}

void ResultsPictures::present(const ResultsSnapshot &s)
{
    kinds_.clear();
    for (const KindConfusion &k : s.kinds)
        if (!s.filter.kind || k.kind == *s.filter.kind)
            kinds_ << k;
    fillKinds();
    trend_->setDays(s.days);
    missed_->clear();
    for (const MissedWord &w : s.words)
        missed_->addItem(missedText(w));
}

const ConfusionMatrix &ResultsPictures::matrix() const
{
    return matrixModel_->matrix();
}

void ResultsPictures::fillKinds()
{
    const QString chosen = matrixKind_->currentData().toString();
    filling_ = true;
    matrixKind_->clear();
    for (const KindConfusion &k : kinds_)
        matrixKind_->addItem(QStringLiteral("%1 (%2)").arg(kindName(k.kind),
                                                           countText(answersOf(k.counts), "risposta", "risposte")),
                             kindKey(k.kind));
    matrixKind_->setCurrentIndex(std::max(0, matrixKind_->findData(chosen)));
    filling_ = false;
    showKind();
}

void ResultsPictures::showKind()
{
    const QString key = matrixKind_->currentData().toString();
    matrixKind_->setToolTip(matrixKind_->currentText()); // the whole name where the list is too narrow for it
    for (const KindConfusion &k : kinds_)
        if (kindKey(k.kind) == key)
            return matrixModel_->setMatrix(k.counts);
    matrixModel_->setMatrix({});
}

} // namespace zampli::teacher
