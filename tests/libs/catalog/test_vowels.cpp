// SPDX-License-Identifier: GPL-3.0-or-later
// The vowels as lists and colours: the teacher's tabs and lists are named
// from these, and her charts draw in these colours.
#include "catalog/Vowels.h"

#include <QtTest>

using namespace zampli;

class VowelsTest : public QObject {
    Q_OBJECT

private slots:
    void numbersAndLettersGoBothWays()
    {
        QCOMPARE(vowelLetter(1) + vowelLetter(5), QStringLiteral("AU"));
        QCOMPARE(vowelLetter(0), QString());
        QCOMPARE(vowelLetter(6), QString());
        QCOMPARE(vowelNumber("O"), 4);
        QCOMPARE(vowelNumber("o"), 0);
        QCOMPARE(vowelNumber("AE"), 0);
    }

    void lettersAndListNamesFollowTheCatalogueOrder()
    {
        QCOMPARE(vowelLetters(), (QStringList{"A", "E", "I", "O", "U"}));
        QCOMPARE(vowelListNames(), (QStringList{"a", "e", "i", "o", "u"}));
    }

    void eachVowelHasItsOwnOpaqueColour_data()
    {
        QTest::addColumn<int>("vowel");
        QTest::addColumn<quint32>("argb");
        QTest::newRow("A red") << 1 << 0xffff0000u;
        QTest::newRow("E yellow") << 2 << 0xffffff00u;
        QTest::newRow("I blue") << 3 << 0xff0000ffu;
        QTest::newRow("O pink") << 4 << 0xffffc0c0u;
        QTest::newRow("U green") << 5 << 0xff00c000u;
        QTest::newRow("none below") << 0 << 0xff000080u;
        QTest::newRow("none above") << 6 << 0xff000080u;
    }
    void eachVowelHasItsOwnOpaqueColour()
    {
        QFETCH(int, vowel);
        QFETCH(quint32, argb);
        QCOMPARE(vowelArgb(vowel), argb);
    }
};

QTEST_GUILESS_MAIN(VowelsTest)
#include "test_vowels.moc"
