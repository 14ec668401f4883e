// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "AboutBox.h"
#include "CheckTab.h"
#include "copies/Copies.h"
#include "CopyHistory.h"
#include "CopiesTab.h"
#include "EditableTab.h"
#include "Guide.h"
#include "ImportWords.h"
#include "NewCopy.h"
#include "PrintCards.h"
#include "ResultsTab.h"
#include "SoundsTab.h"
#include "WordsTab.h"
#include "startup/SingleInstance.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
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

namespace {

// Kept apart from the child's program, which locks the same folders.
const QString kInstanceName = QStringLiteral("zampli-insegnante");

// The installed set is never changed in place, even by one who may write
// there: the next package update would undo her work.
bool canChange(const QString &folder)
{
    return !copies::sameFolder(folder, QCoreApplication::applicationDirPath()) && QFileInfo(folder).isWritable()
           && QFileInfo(folder + QStringLiteral("/testi")).isWritable();
}

} // namespace

MainWindow::MainWindow(TeacherServices &services, QWidget *parent) : QMainWindow(parent), services_(services)
{
    setObjectName(QStringLiteral("insegnante"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *notice = new QHBoxLayout;
    folderLabel_ = new QLabel;
    folderLabel_->setObjectName(QStringLiteral("cartella"));
    folderLabel_->setWordWrap(true);
    notice->addWidget(folderLabel_, 1);
    makeOwn_ = new QPushButton(QStringLiteral("Crea la mia copia"));
    makeOwn_->setObjectName(QStringLiteral("creaLaMiaCopia"));
    connect(makeOwn_, &QPushButton::clicked, this, &MainWindow::makeOwnCopy);
    notice->addWidget(makeOwn_);
    layout->addLayout(notice);
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("schede"));
    layout->addWidget(tabs_, 1);
    setCentralWidget(central);
    buildMenus();
    buildTabKeys();
    QSettings settings;
    if (!restoreGeometry(settings.value("finestra").toByteArray()))
        resize(960, 720);
}

MainWindow::~MainWindow() = default;

// The few lines shown when the guide cannot be opened.
static void showShortHelp(QWidget *parent)
{
    QMessageBox::information(parent, QStringLiteral("Come si usa"),
        QStringLiteral("In ogni scheda «Parole con …» scrivi una parola nuova e premi Invio. Poi scegli la "
                       "parola e dalle un'immagine (trascinala sulla riga, incollala con Ctrl+V o importala con "
                       "Ctrl+I) e una voce (registrala con Ctrl+R o importala con Ctrl+Maiusc+I).\n\nOgni "
                       "cambiamento è salvato subito; Ctrl+Z lo annulla e Ctrl+Maiusc+Z lo ripete (anche dal menu "
                       "Modifica), immagini e voci comprese. La barra spaziatrice fa sentire la voce della "
                       "parola scelta. Se un elenco viene cambiato fuori da ZAMPLI, lo rileggo prima di "
                       "cambiarlo e te lo dico.\n\nLa scheda «Controllo» dice "
                       "che cosa manca ancora. «Prova ZAMPLI» (F5) avvia il programma dei bambini con queste "
                       "parole."));
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
    file->addAction(QStringLiteral("Esp&orta la copia…"), this, &MainWindow::exportOpenCopy);
    file->addAction(QStringLiteral("&Importa una copia…"), this, [this] {
        if (copies_)
            copies_->importFile();
    });
    importWords_ = file->addAction(QStringLiteral("Importa pa&role…"), this, &MainWindow::importWords);
    importWords_->setObjectName(QStringLiteral("importaParole"));
    QAction *printCards = file->addAction(QStringLiteral("S&tampa le schede…"), this,
                                          [this] { showPrintCards(this, folder_); });
    printCards->setShortcut(QKeySequence::Print);
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Esci"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    buildEditMenu();
    // Alt+A is Aggiungi on the lists and Apri on the copies; Alt+I is Importa una copia.
    QMenu *help = menuBar()->addMenu(QStringLiteral("Ai&uto"));
    QAction *howTo = help->addAction(QStringLiteral("&Guida"), this, [this] {
        openGuide(this, QCoreApplication::applicationDirPath(), &showShortHelp);
    });
    howTo->setShortcut(QKeySequence::HelpContents);
    help->addAction(QStringLiteral("&Informazioni"), this, [this] { showAboutBox(this); });
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

// Ctrl+PgDown and Ctrl+Tab change tab from anywhere in the window: the
// tables would take them for their own moves before the tabs see them.
void MainWindow::buildTabKeys()
{
    const auto step = [this](QList<QKeySequence> keys, int by) {
        auto *go = new QAction(this);
        go->setShortcuts(keys);
        connect(go, &QAction::triggered, this, [this, by] {
            if (tabs_->count() > 0)
                tabs_->setCurrentIndex((tabs_->currentIndex() + by + tabs_->count()) % tabs_->count());
        });
        addAction(go);
    };
    step({QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    step({QKeySequence(Qt::CTRL | Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}, -1);
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::focusCurrentTab);
}

// A tab's keys work only while the focus is inside it. A change of tab
// moves the focus along only when it was in the tab left, not when it was
// on the tab bar (as when the window opens) or nowhere: it is put in the
// tab shown, where she last left it, else on the control the tab names
// (its focus proxy), else on its first control.
void MainWindow::focusCurrentTab()
{
    QWidget *page = tabs_->currentWidget();
    if (!page || page->isAncestorOf(QApplication::focusWidget()))
        return;
    QWidget *target = page->focusWidget() ? page->focusWidget() : page->focusProxy() ? page : nullptr;
    for (QWidget *next = page->nextInFocusChain(); !target && next != page; next = next->nextInFocusChain())
        if (page->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(page)
            && next->isEnabled())
            target = next;
    (target ? target : page)->setFocus(Qt::TabFocusReason);
}

bool MainWindow::openFolder(const QString &folder)
{
    if (!claim(QDir(folder).absolutePath()))
        return false;
    folder_ = QDir(folder).absolutePath();
    QSettings().setValue("cartella", folder_);
    setWindowTitle(QStringLiteral("ZAMPLI per l'insegnante – %1").arg(QDir(folder_).dirName()));
    while (tabs_->count() > 0) {
        QWidget *tab = tabs_->widget(0);
        tabs_->removeTab(0);
        delete tab;
    }
    words_.clear();
    startHistory();
    for (const QString v : {"a", "e", "i", "o", "u"}) {
        auto *tab = new WordsTab(services_, folder_, v, history_.get());
        connect(tab, &WordsTab::filesChanged, this, &MainWindow::refreshAll);
        connect(tab, &WordsTab::importAsked, this, &MainWindow::importWords);
        tabs_->addTab(tab, QStringLiteral("Parole con %1").arg(v.toUpper()));
        words_ << tab;
    }
    sounds_ = new SoundsTab(services_, folder_, *history_);
    connect(sounds_, &SoundsTab::filesChanged, this, &MainWindow::refreshAll);
    tabs_->addTab(sounds_, QStringLiteral("Vocali e suoni"));
    check_ = new CheckTab(services_, folder_);
    check_->setHistory(history_.get());
    connect(check_, &CheckTab::filesChanged, this, &MainWindow::refreshAll);
    connect(check_, &CheckTab::openList, this, &MainWindow::openList);
    tabs_->addTab(check_, QStringLiteral("Controllo"));
    copies_ = new CopiesTab(folder_);
    // Opened later, once this tab is gone with the folder it belonged to.
    connect(copies_, &CopiesTab::openCopy, this,
            [this](const QString &f) { QMetaObject::invokeMethod(this, [this, f] { openCopy(f); }, Qt::QueuedConnection); });
    tabs_->addTab(copies_, QStringLiteral("Copie"));
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
    setEditable(canChange(folder_));
    focusCurrentTab();
    return true;
}

// Filled by each copy's own history: its Annulla and Ripeti.
void MainWindow::buildEditMenu()
{
    edit_ = menuBar()->addMenu(QStringLiteral("&Modifica"));
    edit_->setObjectName(QStringLiteral("modifica"));
}

// One history for the copy open, shared by all its tabs; the last copy's
// changes and kept files go with the copy.
void MainWindow::startHistory()
{
    history_.reset();
    history_ = std::make_unique<CopyHistory>(folder_);
    history_->attachTo(this);
    edit_->addAction(history_->undoAction());
    edit_->addAction(history_->redoAction());
    connect(history_.get(), &CopyHistory::stepped, this, [this](const QString &said) {
        refreshAll();
        statusBar()->showMessage(said, 10000);
    });
    connect(history_.get(), &CopyHistory::refused, this, &MainWindow::tellRefusal);
}

void MainWindow::tellRefusal(const QString &why)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Annulla e Ripeti"), why, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("nonAnnullato"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool MainWindow::claim(const QString &folder)
{
    if (instance_ && copies::sameFolder(folder, folder_))
        return true;
    auto instance = std::make_unique<SingleInstance>(kInstanceName, folder);
    if (!instance->claim()) {
        instance->wakeRunning();
        return false;
    }
    connect(instance.get(), &SingleInstance::woken, this, &MainWindow::comeForward);
    instance_ = std::move(instance);
    return true;
}

void MainWindow::comeForward()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::openCopy(const QString &folder)
{
    if (!openFolder(folder))
        statusBar()->showMessage(QStringLiteral("La cartella %1 è già aperta in un'altra finestra: l'ho portata "
                                                "davanti.").arg(QDir::toNativeSeparators(folder)), 10000);
}

// The one place that makes the tabs read-only or editable.
void MainWindow::setEditable(bool editable)
{
    editable_ = editable;
    importWords_->setEnabled(editable);
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto *tab = dynamic_cast<EditableTab *>(tabs_->widget(i)))
            tab->setFolderEditable(editable);
    showFolderNotice();
}

void MainWindow::showFolderNotice()
{
    const QString shown = QDir::toNativeSeparators(folder_);
    const bool installed = copies::sameFolder(folder_, QCoreApplication::applicationDirPath());
    folderLabel_->setText(editable_    ? QStringLiteral("Cartella: %1").arg(shown)
                          : installed ? QStringLiteral("Queste sono le parole installate con ZAMPLI e non si possono "
                                                       "cambiare: per cambiarle fai una copia tua.")
                                      : QStringLiteral("Non puoi cambiare la cartella %1: per cambiarne le parole fai "
                                                       "una copia tua.").arg(shown));
    folderLabel_->setToolTip(shown);
    folderLabel_->setStyleSheet(editable_ ? QString() : QStringLiteral("QLabel { background: #fff4c2; padding: 6px; }"));
    makeOwn_->setVisible(!editable_);
}

void MainWindow::makeOwnCopy()
{
    QString problem;
    const QString where = copies::defaultTarget(&problem);
    if (where.isEmpty())
        return void(QMessageBox::warning(this, QStringLiteral("La copia non è stata fatta"), problem));
    const std::optional<copies::CopyResult> made =
        makeCopyAsking(this, folder_, {where, freeName(where, QStringLiteral("Le mie parole"))});
    if (!made)
        return;
    if (!made->ok)
        return void(QMessageBox::warning(this, QStringLiteral("La copia non è stata fatta"), made->message));
    openCopy(made->copy.folder);
    statusBar()->showMessage(made->message, 10000);
}

void MainWindow::exportOpenCopy()
{
    const std::optional<copies::CopyResult> written = exportCopyAsking(this, folder_);
    if (written && !written->ok)
        QMessageBox::warning(this, QStringLiteral("La copia non è stata esportata"), written->message);
    else if (written)
        statusBar()->showMessage(written->message, 10000);
}

void MainWindow::importWords()
{
    const QString said = importWordsAsking(this, folder_, *history_, [this] {
        for (WordsTab *tab : std::as_const(words_))
            tab->reload();
    });
    if (!said.isEmpty())
        statusBar()->showMessage(said, 10000);
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
                                            "cartella di una copia di ZAMPLI, quella che contiene «testi», «jpg» e "
                                            "«voci».").arg(folder));
        return;
    }
    openCopy(folder);
}

void MainWindow::tryProgram()
{
    const QString program = QDir(folder_).filePath(QStringLiteral("zampli"));
    // Started through the copy's own link, the program shows the copy's words.
    if (!QFileInfo(program).isExecutable()) {
        QMessageBox::warning(this, QStringLiteral("Non posso provare ZAMPLI"),
                             QStringLiteral("In %1 non c'è il programma zampli: apri una copia di ZAMPLI con File › "
                                            "Apri, o fanne una nella scheda «Copie».").arg(folder_));
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
    // A clean end: the files kept for Annulla go.
    if (history_)
        history_->clear();
    event->accept();
}

} // namespace zampli::teacher
