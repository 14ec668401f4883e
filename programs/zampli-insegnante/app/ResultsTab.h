// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ResultsLoader.h"

#include <QTimer>
#include <QWidget>

class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace zampli::teacher {

class ClassPanel;
class ConfusionModel;
class CopyableTable;
class SessionsModel;
class TrendChart;
class VowelBarsChart;

// What the children of this folder answered, for one child or all, over a
// span of days: the sessions, the pictures of what they confuse, and the
// ways to name, take away and export them. The file is read on a thread of
// its own once the tab is first shown, and again whenever it changes while
// the tab is open; the pictures shown stay until the new ones are ready.
class ResultsTab : public QWidget {
    Q_OBJECT
public:
    explicit ResultsTab(const QString &folder, QWidget *parent = nullptr);
    ~ResultsTab() override;

    const QString &database() const { return database_; }
    // Reads the file again, keeping the filters.
    void refresh();
    // The matrix the tab shows now.
    const ConfusionMatrix &matrix() const;
    // The reading last shown.
    const ResultsSnapshot &shown() const { return shown_; }

signals:
    // A new reading is on screen.
    void updated();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void buildFilters(QLayout *into);
    QWidget *buildSessions();
    QWidget *buildPictures();
    void present(const ResultsSnapshot &s);
    void fillChildren(const ResultsSnapshot &s);
    void fillProblems(const ResultsSnapshot &s);
    QWidget *buildProblems();
    void markProblemsRead();
    void removeDamagedCopies();
    void showChild(qint64 child);
    void fillSessions(qint64 chosen); // the session to choose again, 0 for none
    void fillKinds();
    void showKind();
    void showState();
    ResultsFilter filter() const;
    QString filterText() const;
    const SessionSummary *chosenSession() const;
    void giveName();
    void deleteSession();
    void eraseMany();
    void exportCsv();
    void exportPdf();
    bool confirm(const QString &title, const QString &text, const QString &yes);
    void tell(const QString &text);

    QString folder_;
    QString database_;
    ResultsLoader *loader_ = nullptr;
    QTimer poll_;
    bool everShown_ = false;
    ResultsSnapshot shown_;
    QComboBox *child_ = nullptr;
    QDateEdit *from_ = nullptr;
    QDateEdit *to_ = nullptr;
    QTableView *sessions_ = nullptr;
    SessionsModel *sessionsModel_ = nullptr;
    QLineEdit *name_ = nullptr;
    QPushButton *eraseMany_ = nullptr;
    QComboBox *matrixKind_ = nullptr;
    ConfusionModel *matrixModel_ = nullptr;
    CopyableTable *matrixView_ = nullptr;
    QListWidget *missed_ = nullptr;
    QLabel *message_ = nullptr;
    QLabel *state_ = nullptr;
    QWidget *problemsBar_ = nullptr;
    QLabel *problems_ = nullptr;
    QPushButton *damaged_ = nullptr;
    ClassPanel *class_ = nullptr;
    VowelBarsChart *bars_ = nullptr;
    TrendChart *trend_ = nullptr;
    bool filling_ = false;
};

} // namespace zampli::teacher
