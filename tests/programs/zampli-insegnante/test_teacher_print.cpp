// SPDX-License-Identifier: GPL-3.0-or-later
// The cards the teacher prints: six to an A4 page with their cut marks, a
// band in the colour of the word's vowel, the word's picture or an empty
// frame, and one more page for the vowels.
#include "CopyFiles.h"
#include "ModalWindows.h"
#include "TeacherWindow.h"
#include "print/PrintCards.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <functional>

using namespace zampli;
using namespace zampli::teacher;
using zampli::test::whenModalShows;

namespace {

// A JPEG of one colour, as the teacher's picture of a word.
void writePicture(const QString &path, QColor colour)
{
    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(colour);
    QVERIFY(picture.save(path, "JPEG", 95));
}

// JPEG and antialiasing move a colour a little, never far.
bool near(QRgb pixel, QColor expected)
{
    const QColor got(pixel);
    return std::abs(got.red() - expected.red()) < 24 && std::abs(got.green() - expected.green()) < 24
           && std::abs(got.blue() - expected.blue()) < 24;
}

int pdfPages(const QString &pdf)
{
    return int(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}

// Empty when `pixel` is near `expected`, else the colour it has: a failure
// says what was there.
QString offColour(QRgb pixel, QColor expected)
{
    return near(pixel, expected) ? QString()
                                 : QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

} // namespace

class TeacherPrintTest : public QObject {
    Q_OBJECT
    const QString kFolder = QStringLiteral(PROGRAM_DIR);
    QTemporaryDir dir_;
    QStringList shippedWords_;
    QString pdf_;

private slots:
    // Six cards a page, apart from each other, within what the printer prints,
    // each with a mark at each corner that lies outside every card.
    void layoutGivesSixSeparateCardsWithMarks()
    {
        const QRectF printable(100, 200, 2300, 3300);
        const auto places = cardLayout(printable);
        QCOMPARE(int(places.size()), 6);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const QRectF card = places[i].card;
            QVERIFY2(printable.contains(card), qPrintable(QStringLiteral("card %1 leaves the page").arg(i)));
            // Two columns and three rows fill the page: no card smaller than
            // 40% of its width and 28% of its height.
            QVERIFY(card.width() > 0.40 * printable.width());
            QVERIFY(card.height() > 0.28 * printable.height());
            for (std::size_t j = i + 1; j < places.size(); ++j)
                QVERIFY2(!card.intersects(places[j].card), qPrintable(QStringLiteral("cards %1 and %2").arg(i).arg(j)));
            const QPointF corners[] = {card.topLeft(), card.topRight(), card.bottomLeft(), card.bottomRight()};
            for (std::size_t m = 0; m < 4; ++m) {
                const CutMark mark = places[i].marks[m];
                // Each stroke carries one of the corner's edges outwards.
                QCOMPARE(mark.across.y1(), corners[m].y());
                QCOMPARE(mark.across.y2(), corners[m].y());
                QCOMPARE(mark.down.x1(), corners[m].x());
                QCOMPARE(mark.down.x2(), corners[m].x());
                QVERIFY(mark.across.length() > 10);
                QVERIFY(mark.down.length() > 10);
                for (const QLineF &stroke : {mark.across, mark.down}) {
                    QVERIFY(printable.contains(stroke.p1()) && printable.contains(stroke.p2()));
                    for (const auto &other : places)
                        QVERIFY2(!other.card.contains(stroke.center()),
                                 qPrintable(QStringLiteral("a mark of card %1 lies on a card").arg(i)));
                }
            }
        }
    }

    // The shipped lists' words, read here line by line (Windows-1252), and
    // their PDF as the teacher saves it.
    void initTestCase()
    {
        for (const char *list : {"a", "e", "i", "o", "u"}) {
            QFile file(QStringLiteral("%1/testi/%2.txt").arg(kFolder, QLatin1String(list)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.trimmed().isEmpty())
                    shippedWords_ << QString::fromLatin1(line.trimmed());
        }
        QVERIFY(shippedWords_.size() > 6);
        QStringList problems;
        const QList<Card> cards = cardsOf(kFolder, {1, 2, 3, 4, 5}, &problems);
        QCOMPARE(problems, QStringList());
        QCOMPARE(int(cards.size()), int(shippedWords_.size()));
        const QString pdf = dir_.filePath("schede.pdf");
        QCOMPARE(writeCardsPdf(pdf, cards, kFolder), QString());
        pdf_ = QString::fromLatin1(readFile(pdf));
    }

    // Every word on a card, six a page, and the vowels' page after them;
    // every page A4 (595 × 842 points); each word's picture on its card and
    // the vowels' sheet's twenty letter pictures (A1 … U4). Or why the disk refused them.
    void pdfOfTheShippedListsHoldsEveryCard()
    {
        QCOMPARE(pdfPages(pdf_), int(shippedWords_.size() + 5) / 6 + 1);
        const QRegularExpression box(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"));
        auto boxes = box.globalMatch(pdf_);
        QVERIFY(boxes.hasNext());
        while (boxes.hasNext()) {
            const auto m = boxes.next();
            QCOMPARE(qRound(m.captured(1).toDouble()), 595);
            QCOMPARE(qRound(m.captured(2).toDouble()), 842);
        }
        int pictures = 0;
        for (const QString &word : std::as_const(shippedWords_))
            pictures += QFile::exists(QStringLiteral("%1/jpg/%2.jpg").arg(kFolder, word)) ? 1 : 0;
        QVERIFY(pictures > 0);
        QCOMPARE(int(pdf_.count(QRegularExpression(QStringLiteral("/Subtype\\s*/Image")))), pictures + 20);

        // Cards the disk refuses are told with the system's reason and another
        // folder as the way out (the teacher chose where they go), not the
        // copy's advice. A name of 255 characters is refused even to root.
        const QString name = QString(251, u's') + QStringLiteral(".pdf");
        QCOMPARE(writeCardsPdf(dir_.filePath(name), cardsOf(kFolder, {1}, nullptr), kFolder),
                 QStringLiteral("Non posso scrivere %1 nella cartella %2 (nome troppo lungo): scegli un'altra cartella.")
                     .arg(name, QDir::toNativeSeparators(dir_.path())));
    }

    // A word's card is banded in its vowel's colour (A red, E yellow) and
    // shows its picture; a word without one, or whose picture cannot be read,
    // gets an empty frame, the unreadable one named to the teacher once.
    void pageShowsBandsInTheVowelsColoursAndThePictures()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("jpg"));
        writeFile(dir.filePath("testi/a.txt"), "ape\r\n");
        writeFile(dir.filePath("testi/e.txt"), "elmo\r\n");
        writeFile(dir.filePath("testi/o.txt"), "oca\r\n");
        writePicture(dir.filePath("jpg/ape.jpg"), QColor(128, 0, 128));
        writeFile(dir.filePath("jpg/oca.jpg"), "not a picture");
        QStringList problems;
        const QList<Card> cards = cardsOf(dir.path(), {1, 2, 4}, &problems);
        QCOMPARE(int(cards.size()), 3);
        QCOMPARE(problems, QStringList{QStringLiteral("L'immagine oca.jpg non si legge: la scheda di «oca» "
                                                      "avrà una cornice vuota. Cambia l'immagine nella scheda "
                                                      "«Parole con O».")});

        QImage page(1240, 1754, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter p(&page);
            paintCardPage(p, page.rect(), cards);
        }
        const auto places = cardLayout(page.rect());
        const QRectF ape = places[0].card;
        const auto at = [&page](QPointF point) { return page.pixel(point.toPoint()); };
        const QPointF band(3, ape.height() / 2);
        QCOMPARE(offColour(at(ape.topLeft() + band), QColor(255, 0, 0)), QString());
        QCOMPARE(offColour(at(places[1].card.topLeft() + band), QColor(255, 255, 0)), QString());
        // The picture fills the middle of the card's upper part.
        const QPointF picture(ape.width() / 2, ape.height() * 0.3);
        QCOMPARE(offColour(at(ape.topLeft() + picture), QColor(128, 0, 128)), QString());
        for (const int empty : {1, 2}) {
            const QRectF card = places[std::size_t(empty)].card;
            QCOMPARE(offColour(at(card.topLeft() + picture), QColor(255, 255, 255)), QString());
            // The empty frame's edge is drawn, left of the middle.
            bool frame = false;
            for (int x = int(card.left() + 4); x < int(card.center().x()); ++x)
                frame = frame || qGray(page.pixel(x, int(card.top() + picture.y()))) < 200;
            QVERIFY2(frame, qPrintable(QString::number(empty)));
        }
        // The cut marks are printed: dark pixels beside the top left corner.
        const QLineF mark = places[0].marks[0].across;
        QCOMPARE(offColour(at(mark.center()), Qt::black), QString());
        // The fourth place, with no word, stays blank.
        QCOMPARE(offColour(at(places[3].card.center()), Qt::white), QString());
    }

    // The vowels' sheet shows the letter pictures of the folder, and draws
    // the letters itself, in the four columns of styles, where they are missing.
    void vowelSheetDrawsLettersWithoutTheirPictures()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("jpg"));
        writePicture(folder.filePath("jpg/A1.jpg"), QColor(128, 0, 128));
        QImage page(800, 1130, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter p(&page);
            paintVowelSheet(p, page.rect(), folder.path());
        }
        int purple = 0;
        std::array<int, 4> ink{};
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb pixel = page.pixel(x, y);
                const bool picture = near(pixel, QColor(128, 0, 128));
                purple += picture ? 1 : 0;
                ink[std::size_t(x * 4 / page.width())] += !picture && qGray(pixel) < 64 ? 1 : 0;
            }
        // A1 stands first: in the left quarter, in the upper fifth.
        QVERIFY(purple > 1000);
        QVERIFY(near(page.pixel(100, 180), QColor(128, 0, 128)));
        for (int column = 0; column < 4; ++column)
            QVERIFY2(ink[std::size_t(column)] > 800, qPrintable(QString::number(column)));
    }

    // Through the menu as the teacher does it: Ctrl+P, untick a list, save
    // the PDF under a name typed in the file window. Six words of A and one
    // of E fill two pages of cards with E, one without.
    void ctrlPPrintsOnlyTheTickedLists()
    {
        QTemporaryDir copy;
        writeFile(copy.filePath("testi/a.txt"), "ape\r\nago\r\nala\r\nalbero\r\nanello\r\nasino\r\n");
        writeFile(copy.filePath("testi/e.txt"), "erba\r\n");
        test::TeacherWindow shown(copy.path());
        QCOMPARE(shown.window.folder(), copy.path());

        const QString pdf = copy.filePath("schede");
        bool ticked = false;
        whenModalShows<QDialog>([&](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("stampaSchede"));
            for (const char *list : {"a", "e", "i", "o", "u"})
                ticked = dialog->findChild<QCheckBox *>(list)->isChecked() || ticked;
            // On its box, wherever the style draws it: the row is wider than what takes a click.
            auto *e = dialog->findChild<QCheckBox *>("e");
            QStyleOptionButton box;
            box.initFrom(e);
            const QRect indicator = e->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box, e);
            QTest::mouseClick(e, Qt::LeftButton, {}, indicator.center());
            whenModalShows<QFileDialog>([&](QFileDialog *files) {
                // Back in the cards' window once the PDF is written.
                whenModalShows<QDialog>([](QDialog *again) { again->reject(); });
                zampli::test::acceptFileDialog(files, pdf);
            });
            for (QPushButton *button : dialog->findChildren<QPushButton *>())
                if (button->text() == QStringLiteral("&Salva in PDF…"))
                    QTest::mouseClick(button, Qt::LeftButton);
        });
        QTest::keyClick(&shown.window, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(ticked);
        // The name typed without its extension gets it.
        QCOMPARE(pdfPages(QString::fromLatin1(readFile(pdf + ".pdf"))), 2);
    }
};

QTEST_MAIN(TeacherPrintTest)
#include "test_teacher_print.moc"
