// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zampli::teacher {

class ResultsShown;

// What the teacher does to the results shown: names a session, erases
// sessions or children (asked first, with what goes), marks the problems
// read, takes away damaged copies, exports a table or a summary. Each tells
// the view what it did, and has it read the file again.
class ResultsActions {
public:
    // `dialogs`: the window the questions and file choices open over.
    ResultsActions(const QString &folder, const QString &database, ResultsShown &view, QWidget *dialogs);

    // True once the session picked is named, false after telling why not.
    bool giveName(const QString &name);
    void deleteSession();
    void eraseMany();
    void markProblemsRead();
    void removeDamagedCopies();
    void exportCsv();
    void exportPdf();
    // Another computer's results file, chosen by her, taken into this copy's own.
    void takeIn();

private:
    bool tell(const QString &text);
    bool onServer() const; // the answers shown are the school's server's

    QString folder_;
    QString database_;
    ResultsShown &view_;
    QWidget *dialogs_;
};

// Asks before something that cannot be undone; true on `yes`, false on "Annulla".
bool confirmErase(QWidget *parent, const QString &title, const QString &text, const QString &yes);

} // namespace zampli::teacher
