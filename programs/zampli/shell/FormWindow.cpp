// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FormWindow.h"

#include "shell/DesignCanvas.h"
#include "shell/ScreenMode.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QKeyEvent>
#include <QPointer>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStyleOptionMenuItem>
#include <QVBoxLayout>

namespace zampli {

namespace {
constexpr qreal kMenuBarPoints = 9.75;
}

// The desktop's own style, but with Alt always taking the keyboard to the
// menu bar: some desktop styles leave it out, and the teacher at the
// whiteboard may have no mouse at hand. While the keyboard is in the bar its
// title is drawn chosen, as when its menu is open: many styles draw a title
// the keyboard merely stands on as plain as the rest, and the key seems to
// have done nothing.
class MenuBarKeys final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        // The bar holds the focus only while the keyboard is in it.
        if (element == CE_MenuBarItem && (option->state & State_Selected) && widget && widget->hasFocus()) {
            if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
                QStyleOptionMenuItem chosen = *item;
                chosen.state |= State_Sunken;
                QProxyStyle::drawControl(element, &chosen, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

static QStyle *menuBarKeys()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new MenuBarKeys;
        style->setParent(qApp);
    }
    return style;
}

// Takes the keyboard to the window's menu bar as a press and release of
// Alt alone does: the bar offers no other way in, and F10 must do the same.
static void enterMenuBar(QWidget &window)
{
    QKeyEvent pressed(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(&window, &pressed);
    QKeyEvent released(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &released);
}

// The pixel size of the desktop's menu font.
static int desktopMenuPixels()
{
    return QFontInfo(QApplication::font("QMenuBar")).pixelSize();
}

FormWindow::FormWindow(FormWindowOwner &owner, QSize designTwips, bool withMenuBar, ScreenMode &screen)
    : owner_(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (withMenuBar) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setObjectName(QStringLiteral("menuBar"));
        // The bar belongs to the window: a child must find it where it points.
        menuBar_->setNativeMenuBar(false);
        menuBar_->setStyle(menuBarKeys());
        layout->setMenuBar(menuBar_);
        auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
        connect(f10, &QShortcut::activated, this, [this] { enterMenuBar(*this); });
    }
    // F11 fills the screen with the program, for the classroom whiteboard, and gives it back.
    auto *fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreen, &QShortcut::activated, this, [&screen] { screen.toggle(); });

    canvas_ = new DesignCanvas(designTwips, this);
    canvas_->setObjectName(QStringLiteral("client"));
    layout->addWidget(canvas_);
}

void FormWindow::sizeToScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    const QSize extra(0, menuBar_ ? menuBar_->sizeHint().height() : 0);
    const qreal s = openingScale(canvas_->designSize(), available, extra);
    const QSize design = canvas_->designSize();
    resize(qRound(design.width() * s), qRound(design.height() * s) + extra.height());
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void FormWindow::setKeyboard(KeyOrder order, bool &keyboardInUse)
{
    keyboard_ = new KeyboardFocus(*this, *canvas_, order, keyboardInUse);
}

bool FormWindow::focusNextPrevChild(bool next)
{
    // Tab, and a focused control that goes away, follow the reading order.
    if (keyboard_ && keyboard_->order() == KeyOrder::Reading)
        return keyboard_->moveInReadingOrder(next);
    return QWidget::focusNextPrevChild(next);
}

void FormWindow::keyPressEvent(QKeyEvent *e)
{
    // Escape reaches here only when the focused control and the menu bar let
    // it go. It never leaves full screen: that is F11's, the adult's key.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && owner_.escapePressed()) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void FormWindow::unload()
{
    unloading_ = true;
    close();
}

bool FormWindow::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::WindowActivate:
        owner_.windowActivated();
        break;
    case QEvent::Resize:
        if (menuBar_) {
            // The bar is the adult's: its words grow with the window like the
            // rest of it, but never below the desktop's own menu font.
            const DesignFit fit = fitDesign(canvas_->designSize(), size());
            const QFont f = designFont(false, qMax(fit.fontPixels(kMenuBarPoints), desktopMenuPixels()));
            menuBar_->setFont(f);
            for (QMenu *menu : menuBar_->findChildren<QMenu *>())
                menu->setFont(f);
        }
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void FormWindow::closeEvent(QCloseEvent *e)
{
    if (!unloading_ && !owner_.closeRequested()) {
        e->ignore();
        return;
    }
    e->accept();
    owner_.windowClosed();
}

} // namespace zampli
