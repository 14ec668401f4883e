// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/QtItalian.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zampli {

namespace {

// The words Qt's Italian catalog lacks: its file dialog names a folder's
// kind in a context (QAbstractFileIconProvider) qtbase_it does not have.
class MissingQtTexts : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const struct {
            const char *english;
            const char *italian;
        } words[] = {{"Folder", "Cartella"}, {"Drive", "Unità"}, {"File", "File"},
                     {"Shortcut", "Collegamento"}, {"Unknown", "Sconosciuto"}};
        for (const auto &w : words)
            if (qstrcmp(source, w.english) == 0)
                return QString::fromUtf8(w.italian);
        return {};
    }
};

} // namespace

bool installQtItalian(QTranslator &translator)
{
    // "qt_it" gathers qtbase_it with the other modules' texts.
    if (!translator.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    static MissingQtTexts missing;
    QCoreApplication::installTranslator(&missing);
    return QCoreApplication::installTranslator(&translator);
}

} // namespace zampli
