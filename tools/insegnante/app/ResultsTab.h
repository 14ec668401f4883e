// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace zampli::teacher {

class PictureView;

// What the children of this folder answered, for one child or all, over a
// span of days: the sessions, the pictures of what they confuse, and the
// ways to name, take away and export them.
class ResultsTab : public QWidget {
    Q_OBJECT
public:
    explicit ResultsTab(const QString &folder, QWidget *parent = nullptr);

    const QString &database() const { return database_; }
    // Reads the file again, keeping the filters.
    void refresh();
    // The matrix the tab shows now, as drawn.
    const ConfusionMatrix &matrix() const { return matrix_; }

private:
    void buildFilters(QLayout *into);
    QWidget *buildSessions();
    QWidget *buildPictures();
    void fillChildren();
    void fillSessions(ResultsReader &reader);
    void fillPictures(ResultsReader &reader);
    ResultsFilter filter() const;
    QString filterText() const;
    qint64 chosenSession() const;
    void giveName();
    void deleteSession();
    void eraseMany();
    void exportCsv();
    void exportPdf();
    bool confirm(const QString &title, const QString &text, const QString &yes);
    void tell(const QString &text);

    QString database_;
    QComboBox *child_ = nullptr;
    QDateEdit *from_ = nullptr;
    QDateEdit *to_ = nullptr;
    QTableWidget *sessions_ = nullptr;
    QLineEdit *name_ = nullptr;
    QPushButton *eraseMany_ = nullptr;
    QComboBox *matrixKind_ = nullptr;
    QListWidget *missed_ = nullptr;
    QLabel *message_ = nullptr;
    PictureView *bars_ = nullptr;
    PictureView *matrixView_ = nullptr;
    PictureView *lines_ = nullptr;
    ConfusionMatrix matrix_{};
    VowelScores scores_{};
    QList<DayShare> days_;
    QList<MissedWord> words_;
    bool filling_ = false;
};

} // namespace zampli::teacher
