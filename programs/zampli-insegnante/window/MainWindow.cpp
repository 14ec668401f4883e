// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/MainWindow.h"

#include "copies/Copies.h"
#include "history/CopyHistory.h"
#include "print/PrintCards.h"
#include "server/SchoolDialog.h"
#include "startup/SingleInstance.h"
#include "tabs/copies/CopiesTab.h"
#include "tabs/copies/FolderCommands.h"
#include "tabs/words/ImportWordsDialog.h"
#include "window/AboutBox.h"
#include "window/CopyTabs.h"
#include "window/Guide.h"
#include "window/TabKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
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
    tabWidget_ = new QTabWidget;
    tabWidget_->setObjectName(QStringLiteral("schede"));
    layout->addWidget(tabWidget_, 1);
    setCentralWidget(central);
    buildMenus();
    addTabKeys(this, tabWidget_);
    QSettings settings;
    if (!restoreGeometry(settings.value("finestra").toByteArray()))
        resize(960, 720);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction *open = file->addAction(QStringLiteral("&Apri una cartella di ZAMPLI…"), this, &MainWindow::chooseFolder);
    open->setShortcut(QKeySequence::Open);
    QAction *tryIt = file->addAction(QStringLiteral("&Prova ZAMPLI"), this, &MainWindow::tryProgram);
    tryIt->setShortcut(QKeySequence(Qt::Key_F5));
    tryIt->setObjectName(QStringLiteral("prova"));
    file->addSeparator();
    file->addAction(QStringLiteral("Esp&orta la copia…"), this, [this] { tell(exportCopy(this, folder_)); });
    file->addAction(QStringLiteral("&Importa una copia…"), this, [this] {
        if (tabs_)
            tabs_->copiesTab()->importFile();
    });
    importWords_ = file->addAction(QStringLiteral("Importa pa&role…"), this, &MainWindow::importWords);
    importWords_->setObjectName(QStringLiteral("importaParole"));
    QAction *printCards = file->addAction(QStringLiteral("S&tampa le schede…"), this,
                                          [this] { showPrintCards(this, folder_); });
    printCards->setShortcut(QKeySequence::Print);
    file->addSeparator();
    QAction *school = file->addAction(QStringLiteral("S&cuola…"), this, &MainWindow::showSchool);
    school->setObjectName(QStringLiteral("scuolaMenu"));
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
    auto *bar = addToolBar(QStringLiteral("Azioni"));
    bar->setObjectName(QStringLiteral("azioni"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(open);
    bar->addAction(tryIt);
}

bool MainWindow::openFolder(const QString &folder)
{
    if (!claim(QDir(folder).absolutePath()))
        return false;
    folder_ = QDir(folder).absolutePath();
    QSettings().setValue("cartella", folder_);
    // The window system adds " — ZAMPLI per l'insegnante", the program's display name.
    setWindowTitle(QDir(folder_).dirName());
    tabs_.reset(); // before the history they change
    startHistory();
    tabs_ = std::make_unique<CopyTabs>(services_, folder_, *history_, tabWidget_);
    connect(tabs_.get(), &CopyTabs::importAsked, this, &MainWindow::importWords);
    connect(tabs_.get(), &CopyTabs::openCopy, this, &MainWindow::openCopy);
    setEditable(canChange(folder_));
    focusCurrentTab(tabWidget_);
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
        if (tabs_)
            tabs_->refreshAll();
        tell(said);
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
    // On any display: a second window on the copy would write over this one's changes.
    auto instance = std::make_unique<SingleInstance>(kInstanceName, folder, SingleInstance::Scope::AnyDisplay);
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
    tabs_->setEditable(editable);
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
    const OwnCopy made = teacher::makeOwnCopy(this, folder_);
    if (made.folder.isEmpty())
        return;
    openCopy(made.folder);
    tell(made.message);
}

void MainWindow::importWords()
{
    const QString said = importWordsAsking(this, folder_, *history_, [this] {
        tabs_->reloadWords();
    });
    tell(said);
}

void MainWindow::chooseFolder()
{
    if (const QString folder = chooseCopyFolder(this, folder_); !folder.isEmpty())
        openCopy(folder);
}

// The copy's server: where it is, a try, the copy given it or taken off it.
void MainWindow::showSchool()
{
    auto *dialog = new SchoolDialog(folder_, editable_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SchoolDialog::copyChanged, this, [this] {
        if (tabs_)
            tabs_->renewResults();
    });
    dialog->open();
}

void MainWindow::tryProgram()
{
    tell(startProgramIn(this, folder_), 5000);
}

// A line in the status bar for a while; none for an empty one.
void MainWindow::tell(const QString &said, int ms)
{
    if (!said.isEmpty())
        statusBar()->showMessage(said, ms);
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
