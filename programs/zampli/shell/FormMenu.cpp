// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FormMenu.h"

#include "shell/ExerciseWindows.h"
#include "shell/Windows.h"
#include "state/Modulo1.h"
#include "shell/Buttons.h"
#include "shell/DesignCanvas.h"

#include <QPushButton>
#include <algorithm>

namespace zampli {

namespace {

enum class Action { Open, OpenKeepMenu, Information, Exit };

struct MenuButton {
    const char *name;
    const char *caption; // null: the window's own, from its row
    int left;
    int top;
    Action action;
    FormId target;
};

// In tab order.
constexpr MenuButton kButtons[] = {
    {"Command1", nullptr, 120, 120, Action::Open, FormId::Posizioni1},
    {"Command3D6", "Informazioni", 5520, 5760, Action::Information, FormId::Menu},
    {"Command3D5", "Esci", 5520, 6600, Action::Exit, FormId::Menu},
    {"Command2", nullptr, 120, 960, Action::Open, FormId::Posizioni2},
    {"Command3", nullptr, 120, 1800, Action::Open, FormId::Posizioni3},
    {"Command4", nullptr, 120, 2640, Action::Open, FormId::Posizioni4},
    {"Command5", nullptr, 5520, 120, Action::Open, FormId::Posizioni5},
    {"Command6", nullptr, 120, 3960, Action::Open, FormId::Zampli1},
    {"Command7", nullptr, 120, 4800, Action::Open, FormId::Zampli2},
    {"Command8", nullptr, 120, 5640, Action::Open, FormId::Zampli3},
    {"Command9", nullptr, 120, 6480, Action::Open, FormId::Zampli4},
    {"Command10", nullptr, 5520, 960, Action::OpenKeepMenu, FormId::Caratteri1},
    {"Command11", nullptr, 5520, 1800, Action::OpenKeepMenu, FormId::Caratteri2},
    {"Command12", nullptr, 5520, 3960, Action::OpenKeepMenu, FormId::IniziaPer},
};

// A button without words of its own opens an exercise window, whose row of
// the catalogue gives them.
static_assert(std::ranges::all_of(kButtons, [](const MenuButton &b) {
    return b.caption || exerciseWindow(b.target).catalog->menuCaption;
}));

constexpr QSize kButtonTwips(4000, 720);
constexpr DesignFont kButtonFont{15.75, true};

} // namespace

FormMenu::FormMenu(Windows &w)
    : Form(w, w.activation, w.keyboardInUse, w.screen, QStringLiteral("FormMenu"), QSize(10770, 8610),
           QColor(255, 0, 255))
{
}

void FormMenu::buildControls(DesignCanvas &canvas)
{
    QWidget *previous = nullptr;
    for (const MenuButton &b : kButtons) {
        auto *button = canvas.add<CaptionButton>(
            QString::fromLatin1(b.name), {.twips = QRect(QPoint(b.left, b.top), kButtonTwips), .font = kButtonFont});
        button->setText(QString::fromLatin1(b.caption ? b.caption : exerciseWindow(b.target).catalog->menuCaption));
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
        connect(button, &QPushButton::clicked, this, [this, &b] {
            switch (b.action) {
            case Action::Open: openExercise(b.target, false); break;
            case Action::OpenKeepMenu: openExercise(b.target, true); break;
            case Action::Information: Command3D6_Click(); break;
            case Action::Exit: Command3D5_Click(); break;
            }
        });
    }
}

void FormMenu::Form_Load()
{
    windows.m.EserciziEseguiti = 0;
    windows.m.EserciziErrati = 0;
}

void FormMenu::openExercise(FormId target, bool menuStaysOpen)
{
    Form *exercise = windows.form(target);
    if (!exercise)
        return; // a window this program does not have yet
    exercise->Show();
    if (!menuStaysOpen)
        Unload();
}

void FormMenu::Command3D6_Click() { windows.m.MostraInformazioni(window()); }
void FormMenu::Command3D5_Click() { windows.m.ConfermaUscita(window()); }

bool FormMenu::closeRequested()
{
    // Closing the menu's window is leaving the program: ask as "Esci" does,
    // once the close event is over.
    QMetaObject::invokeMethod(this, &FormMenu::Command3D5_Click, Qt::QueuedConnection);
    return false;
}

} // namespace zampli
