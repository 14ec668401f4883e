// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FormAvvio.h"

#include "shell/Windows.h"
#include "state/Modulo1.h"
#include "state/VowelMedia.h"
#include "shell/Controls.h"
#include "shell/DesignCanvas.h"

namespace zampli {

namespace {

struct Letter {
    const char *caption;
    int vowel;
    int left;
    int top;
};

constexpr Letter kLetters[10] = {
    {"A", 1, 720, 360},  {"a", 1, 3720, 3360}, {"E", 2, 840, 2520}, {"e", 2, 8520, 5400},
    {"o", 4, 120, 4680}, {"O", 4, 9120, 1440}, {"u", 5, 4800, 5880}, {"i", 3, 2640, 5760},
    {"U", 5, 5400, 120}, {"I", 3, 6720, 5040},
};

} // namespace

FormAvvio::FormAvvio(Windows &w)
    : Form(w, w.activation, w.keyboardInUse, w.screen, QStringLiteral("FormAvvio"), QSize(11550, 9510),
           QColor(255, 192, 255))
{
}

void FormAvvio::buildControls(DesignCanvas &canvas)
{
    canvas.setPointer(Art::CursorArrow);
    connect(&canvas, &DesignCanvas::clicked, this, &FormAvvio::Form_Click);
    // The whole window is one control: Return or Space goes on as a click
    // does. Escape does not: everywhere else it means "no" or "back".
    canvas.setFocusPolicy(Qt::StrongFocus);
    canvas.setFocus();

    auto *title = canvas.add<ClickLabel>(QStringLiteral("Label1"),
                                         {.twips = QRect(3600, 1800, 6135, 1455),
                                          .font = DesignFont{69.75, true},
                                          .pointer = Art::CursorArrow});
    title->setText(QStringLiteral("ZAMPLI"));
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(title, &ClickLabel::clicked, this, &FormAvvio::Label1_Click);

    std::vector<Placement> places;
    for (const Letter &l : kLetters)
        // The letters keep the ordinary pointer of their own.
        places.push_back({.twips = QRect(l.left, l.top, 2055, 1935),
                          .font = DesignFont{72, true},
                          .pointer = Pointer::normal()});
    auto *letters = canvas.addArray<ClickLabel>(QStringLiteral("Label2"), places);
    connect(letters, &ControlArraySignals::clicked, this, &FormAvvio::Label2_Click);
    for (int i = 0; i < letters->size(); ++i) {
        const Letter &l = kLetters[i];
        ClickLabel *label = (*letters)[i];
        label->setText(QString::fromLatin1(l.caption));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, vowelColour(l.vowel));
        label->setPalette(pal);
    }
}

void FormAvvio::Form_Click() { openMenu(); }
void FormAvvio::Label1_Click() { openMenu(); }
void FormAvvio::Label2_Click(int) { openMenu(); }

void FormAvvio::openMenu()
{
    if (Form *menu = windows.form(FormId::Menu))
        menu->Show();
    Unload();
}

} // namespace zampli
