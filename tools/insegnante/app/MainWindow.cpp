// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "CheckTab.h"
#include "CopiesTab.h"
#include "ResultsTab.h"
#include "SoundsTab.h"
#include "WordsTab.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace zampli::teacher {

MainWindow::MainWindow(TeacherServices &services, QWidget *parent) : QMainWindow(parent), services_(services)
{
    setObjectName(QStringLiteral("insegnante"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    folderLabel_ = new QLabel;
    folderLabel_->setObjectName(QStringLiteral("cartella"));
    folderLabel_->setWordWrap(true);
    layout->addWidget(folderLabel_);
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("schede"));
    layout->addWidget(tabs_, 1);
    setCentralWidget(central);
    buildMenus();
    QSettings settings;
    if (!restoreGeometry(settings.value("finestra").toByteArray()))
        resize(960, 720);
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *open = file->addAction(QStringLiteral("&Apri una cartella di ZAMPLI…"), this, &MainWindow::chooseFolder);
    open->setShortcut(QKeySequence::Open);
    QAction *tryIt = file->addAction(QStringLiteral("&Prova ZAMPLI"), this, &MainWindow::tryProgram);
    tryIt->setShortcut(QKeySequence(Qt::Key_F5));
    tryIt->setObjectName(QStringLiteral("prova"));
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Esci"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Aiuto"));
    help->addAction(QStringLiteral("&Come si usa"), this, [this] {
        QMessageBox::information(this, QStringLiteral("Come si usa"),
            QStringLiteral("In ogni scheda «Parole con …» scrivi una parola nuova e premi Invio. Poi scegli la "
                           "parola e dalle un'immagine (trascinala sulla riga, incollala con Ctrl+V o importala con "
                           "Ctrl+I) e una voce (registrala con Ctrl+R o importala con Ctrl+Maiusc+I).\n\nOgni "
                           "cambiamento è salvato subito; Ctrl+Z annulla l'ultimo.\n\nLa scheda «Controllo» dice "
                           "che cosa manca ancora. «Prova ZAMPLI» (F5) avvia il programma dei bambini con queste "
                           "parole."));
    });
    // Ctrl+1 ... Ctrl+9 go to a tab, as in a web browser.
    for (int n = 1; n <= 9; ++n) {
        auto *go = new QAction(this);
        go->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)));
        connect(go, &QAction::triggered, this, [this, n] { tabs_->setCurrentIndex(n - 1); });
        addAction(go);
    }
    auto *bar = addToolBar(QStringLiteral("Azioni"));
    bar->setObjectName(QStringLiteral("azioni"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(open);
    bar->addAction(tryIt);
}

void MainWindow::openFolder(const QString &folder)
{
    folder_ = QDir(folder).absolutePath();
    QSettings().setValue("cartella", folder_);
    setWindowTitle(QStringLiteral("ZAMPLI per l'insegnante – %1").arg(QDir(folder_).dirName()));
    while (tabs_->count() > 0) {
        QWidget *tab = tabs_->widget(0);
        tabs_->removeTab(0);
        delete tab;
    }
    words_.clear();
    for (const QString v : {"a", "e", "i", "o", "u"}) {
        auto *tab = new WordsTab(services_, folder_, v);
        connect(tab, &WordsTab::filesChanged, this, &MainWindow::refreshAll);
        tabs_->addTab(tab, QStringLiteral("Parole con %1").arg(v.toUpper()));
        words_ << tab;
    }
    sounds_ = new SoundsTab(services_, folder_);
    connect(sounds_, &SoundsTab::filesChanged, this, &MainWindow::refreshAll);
    tabs_->addTab(sounds_, QStringLiteral("Vocali e suoni"));
    check_ = new CheckTab(services_, folder_);
    connect(check_, &CheckTab::filesChanged, this, &MainWindow::refreshAll);
    connect(check_, &CheckTab::openList, this, &MainWindow::openList);
    tabs_->addTab(check_, QStringLiteral("Controllo"));
    auto *copies = new CopiesTab;
    // Opened later, once this tab is gone with the folder it belonged to.
    connect(copies, &CopiesTab::openCopy, this,
            [this](const QString &f) { QMetaObject::invokeMethod(this, [this, f] { openFolder(f); }, Qt::QueuedConnection); });
    tabs_->addTab(copies, QStringLiteral("Copie"));
    results_ = new ResultsTab(folder_);
    results_->setObjectName(QStringLiteral("risultati"));
    tabs_->addTab(results_, QStringLiteral("Risultati"));
    connect(tabs_, &QTabWidget::currentChanged, check_, [this](int index) {
        if (tabs_->widget(index) == check_)
            check_->runCheck();
        // The child's program may have written since: read again on each visit.
        if (tabs_->widget(index) == results_)
            results_->refresh();
    });
    showFolderNotice();
}

void MainWindow::showFolderNotice()
{
    const bool writable = QFileInfo(folder_).isWritable();
    folderLabel_->setText(writable ? QStringLiteral("Cartella: %1").arg(QDir::toNativeSeparators(folder_))
                                   : QStringLiteral("La cartella %1 non si può cambiare (è quella installata): fai "
                                                    "una copia tua con zampli-copia e aprila con File › Apri.")
                                         .arg(QDir::toNativeSeparators(folder_)));
    folderLabel_->setStyleSheet(writable ? QString() : QStringLiteral("QLabel { background: #fff4c2; padding: 6px; }"));
}

void MainWindow::refreshAll()
{
    for (WordsTab *tab : std::as_const(words_))
        if (tab != sender())
            tab->refreshFiles();
    if (sounds_ != sender())
        sounds_->refreshFiles();
}

void MainWindow::openList(const QString &file)
{
    const QString vowel = QFileInfo(file).completeBaseName().toLower();
    const qsizetype at = QStringList{"a", "e", "i", "o", "u"}.indexOf(vowel);
    if (at >= 0)
        tabs_->setCurrentWidget(words_.at(at));
}

void MainWindow::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Scegli la cartella di ZAMPLI"),
                                                             folder_);
    if (folder.isEmpty())
        return;
    if (!QFileInfo(QDir(folder).filePath(QStringLiteral("testi"))).isDir()) {
        QMessageBox::warning(this, QStringLiteral("Non è una cartella di ZAMPLI"),
                             QStringLiteral("In %1 non c'è la cartella «testi» con gli elenchi di parole: scegli la "
                                            "cartella che contiene il programma zampli.").arg(folder));
        return;
    }
    openFolder(folder);
}

void MainWindow::tryProgram()
{
    const QString program = QDir(folder_).filePath(QStringLiteral("zampli"));
    // The program reads its media beside itself: the copy's own file shows the copy's words.
    if (!QFileInfo(program).isExecutable()) {
        QMessageBox::warning(this, QStringLiteral("Non posso provare ZAMPLI"),
                             QStringLiteral("In %1 non c'è il programma zampli: apri una copia fatta con "
                                            "zampli-copia.").arg(folder_));
        return;
    }
    if (QProcess::startDetached(program, {}, folder_))
        statusBar()->showMessage(QStringLiteral("ZAMPLI si sta avviando con le parole di questa cartella…"), 5000);
    else
        QMessageBox::warning(this, QStringLiteral("Non posso provare ZAMPLI"),
                             QStringLiteral("ZAMPLI non si è avviato: prova ad aprire la cartella e a farlo "
                                            "partire da lì."));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QSettings().setValue("finestra", saveGeometry());
    event->accept();
}

} // namespace zampli::teacher
