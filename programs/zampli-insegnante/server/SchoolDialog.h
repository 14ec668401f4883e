// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "server/SchoolAccess.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QThread;

namespace zampli::teacher {

// File › Scuola…: where the school's server is, as the teacher reaches it
// (address, database, her role and, when asked, her password, which is
// never written anywhere), a try of the connection told in words, and the
// open copy given the server or taken off it. The network is used on a
// thread of its own: the window never waits for it.
class SchoolDialog : public QDialog {
    Q_OBJECT
public:
    SchoolDialog(const QString &copyFolder, bool canChange, QWidget *parent = nullptr);
    ~SchoolDialog() override;

signals:
    // The copy was given the server or taken off it: its tabs read again.
    void copyChanged();

private:
    struct Outcome {
        bool ok = false;
        QString text;
    };
    using Job = std::function<Outcome(PgConnection &, const PgParams &)>;

    SchoolPlace place() const;
    void runOnServer(const Job &job, const std::function<void(const Outcome &)> &done);
    void tryConnection();
    void giveServer();
    void takeServer();
    void showOutcome(const QString &text);

    QString copyFolder_;
    QLineEdit *host_ = nullptr;
    QLineEdit *port_ = nullptr;
    QLineEdit *database_ = nullptr;
    QLineEdit *role_ = nullptr;
    QLineEdit *password_ = nullptr;
    QLabel *outcome_ = nullptr;
    QList<QPushButton *> buttons_;
    QPushButton *give_ = nullptr;
    QPushButton *take_ = nullptr;
    bool canChange_ = false;
    std::unique_ptr<QThread> thread_;
};

} // namespace zampli::teacher
