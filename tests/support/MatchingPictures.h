// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A window opened from the menu as a child would, over pictures of one plain colour each.

#include "fakes/Fakes.h"
#include "shell/DesignCanvas.h"
#include "shell/ExerciseForm.h"

#include <QtTest>
#include <functional>
#include <ranges>

namespace zampli::test {

inline const QStringList kVowels{"A", "E", "I", "O", "U"};
inline const QColor kBrown(128, 64, 0);

// One colour for each vowel and style (0: the face): a box's pixels tell its file.
inline QColor pictureColour(const QString &letter, int style)
{
    return QColor::fromHsv(int(kVowels.indexOf(letter) * 5 + style) * 14, 255, 220);
}

inline bool shows(const PictureBox *box, const QString &letter, int style)
{
    const QImage &image = box->picture();
    const QColor c = image.isNull() ? QColor() : image.pixelColor(image.rect().center());
    const QColor w = pictureColour(letter, style);
    return c.isValid() && qAbs(c.red() - w.red()) + qAbs(c.green() - w.green()) + qAbs(c.blue() - w.blue()) <= 12;
}

inline bool isEmptyBox(const PictureBox *box) { return box->picture().isNull() && !box->showsPlaceholder(); }

template <class F>
struct Open {
    Harness h;
    F *form = nullptr;
    // `prepare` readies the rest of the media folder and the draws, before the window opens.
    Open(FormId id, const char *menuButton, std::initializer_list<double> draws = {},
         const std::function<void(Harness &)> &prepare = {})
    {
        for (const QString &letter : kVowels)
            for (int style = 0; style <= 4; ++style)
                h.writePicture(style ? h.media().letterPicture(letter, style) : h.media().facePicture(letter),
                               pictureColour(letter, style));
        h.random.script(draws);
        if (prepare)
            prepare(h);
        form = &h.windows->template form<F>(id);
        menu()->Show();
        // Else the menu's own activation may come late, between the window's and its return.
        QVERIFY(QTest::qWaitForWindowActive(menu()->window()));
        clickAsUser(menu()->window()->template findChild<QWidget *>(menuButton));
    }
    Form *menu() const { return h.windows->form(FormId::Menu); }
    QWidget *window() const { return form->window(); }
    template <class W = PictureBox>
    W *control(const QString &name) const { return window()->template findChild<W *>(name); }
    template <class W = PictureBox>
    W *at(const char *array, int k) const { return control<W>(QStringLiteral("%1_%2").arg(array).arg(k)); }
    bool on(const char *button) const { return control<QWidget>(button)->isEnabled(); }
    void click(const char *button) const { clickAsUser(control<QWidget>(button)); }
    void choose(int item) const { control<QAction>(QStringLiteral("mnuCaratteri_%1").arg(item))->trigger(); }
    QColor background() const { return form->canvas()->background(); }
    QImage screen() const { return window()->grab().toImage(); }
    // How many of the array's five are so, e.g. count("Image1", &QWidget::isVisible).
    int count(const char *array, auto is) const
    {
        return int(std::ranges::count_if(std::views::iota(0, 5), [&](int k) { return std::invoke(is, at(array, k)); }));
    }
    int placeOf(const char *array, const QString &letter) const
    {
        for (int k = 0; k < 5; ++k)
            if (at(array, k)->tag() == letter)
                return k;
        return -1;
    }
    // Another window of the program comes forward, then this one again.
    void reactivate() const
    {
        if (!menu()->isLoaded())
            menu()->Show();
        for (QWidget *w : std::initializer_list<QWidget *>{menu()->window(), window()}) {
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
        }
    }
};

} // namespace zampli::test
