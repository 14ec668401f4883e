#include "shell/FormAvvio.h"

#include "app/Modulo1.h"
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

FormAvvio::FormAvvio(Modulo1 &m)
    : Form(m, QStringLiteral("FormAvvio"), QSize(11550, 9510), QColor(255, 192, 255))
{
}

void FormAvvio::buildControls(DesignCanvas &canvas)
{
    canvas.setPointer(Art::CursorArrow);
    connect(&canvas, &DesignCanvas::clicked, this, &FormAvvio::Form_Click);

    auto *title = canvas.add<ClickLabel>(QStringLiteral("Label1"), QRect(3600, 1800, 6135, 1455),
                                         DesignFont{69.75, true}, Art::CursorArrow);
    title->setText(QStringLiteral("ZAMPLI"));
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(title, &ClickLabel::clicked, this, &FormAvvio::Label1_Click);

    for (int i = 0; i < 10; ++i) {
        const Letter &l = kLetters[i];
        auto *label = canvas.add<ClickLabel>(QStringLiteral("Label2_%1").arg(i),
                                             QRect(l.left, l.top, 2055, 1935), DesignFont{72, true});
        label->setText(QString::fromLatin1(l.caption));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, vowelColour(l.vowel));
        label->setPalette(pal);
        // The letters keep the ordinary pointer of their own.
        label->setCursor(Qt::ArrowCursor);
        connect(label, &ClickLabel::clicked, this, [this, i] { Label2_Click(i); });
    }
}

void FormAvvio::Form_Click() { openMenu(); }
void FormAvvio::Label1_Click() { openMenu(); }
void FormAvvio::Label2_Click(int) { openMenu(); }

void FormAvvio::openMenu()
{
    if (Form *menu = m.form(FormId::Menu))
        menu->Show();
    Unload();
}

} // namespace zampli
