// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/DesktopEntry.h"

#include "copies/Copies.h"
#include "ProductIdentity.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace zampli::copies {

namespace {

// The escapes every string value may hold; blanks at either end would be
// trimmed by readers, so they are escaped too.
QString escapeString(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    if (out.endsWith(QLatin1Char(' ')))
        out.replace(out.size() - 1, 1, QStringLiteral("\\s"));
    if (out.startsWith(QLatin1Char(' ')))
        out.replace(0, 1, QStringLiteral("\\s"));
    return out;
}

QString unescapeString(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        out += next == QLatin1Char('s')   ? QChar(' ')
               : next == QLatin1Char('n') ? QChar('\n')
               : next == QLatin1Char('t') ? QChar('\t')
               : next == QLatin1Char('r') ? QChar('\r')
                                          : next;
    }
    return out;
}

// A readable part of the id: the folder's name in ASCII letters and digits.
QString asciiName(const QString &name)
{
    QString out;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD)) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += c;
        else if (c.category() != QChar::Mark_NonSpacing && !out.endsWith(QLatin1Char('_')))
            out += QLatin1Char('_');
    }
    while (out.startsWith(QLatin1Char('_')))
        out.remove(0, 1);
    return out.left(32);
}

// One argument of Exec: inside double quotes these four keep their meaning
// unless escaped, and a percent sign anywhere would be read as a field code.
QString quotedArgument(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString menuName(const QString &folder, const QString &displayName)
{
    QString shown = displayName.trimmed();
    if (shown.isEmpty())
        shown = QFileInfo(QDir::cleanPath(folder)).fileName().trimmed();
    // The default folder is named after the program: "ZAMPLI – ZAMPLI" says nothing.
    if (shown.isEmpty() || shown.compare(QLatin1String(identity::kName), Qt::CaseInsensitive) == 0)
        shown = QStringLiteral("le mie parole");
    return QLatin1String(identity::kName) + QStringLiteral(" – ") + shown;
}

QString desktopFileId(const QString &folder)
{
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    QString readable = asciiName(QFileInfo(path).fileName());
    if (!readable.isEmpty() && !readable.endsWith(QLatin1Char('_')))
        readable += QLatin1Char('_');
    return detail::entryPrefix() + readable + QLatin1String(hash);
}

QString execValue(const QString &program)
{
    // GLib's launcher looks for the program named first before it turns "%%"
    // into "%", and finds none: such a path goes to the shell as an argument.
    const QString exec = program.contains(QLatin1Char('%'))
                             ? QStringLiteral("/bin/sh -c ") + quotedArgument(QStringLiteral("exec \"$0\""))
                                   + QLatin1Char(' ') + quotedArgument(program)
                             : quotedArgument(program);
    // The quoting is read from the value after its string escapes are undone.
    return escapeString(exec);
}

namespace detail {

QString entryPrefix() { return QLatin1String(identity::kId) + QStringLiteral(".Copia_"); }

QByteArray entryText(const QString &folder, const QString &name)
{
    const QString program = folder + QStringLiteral("/zampli");
    const QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=") + escapeString(name),
        QStringLiteral("Comment=") + escapeString(QStringLiteral("ZAMPLI con le parole, le immagini e le voci della cartella ") + folder),
        QStringLiteral("Exec=") + execValue(program),
        QStringLiteral("TryExec=") + escapeString(program),
        QStringLiteral("Path=") + escapeString(folder),
        QStringLiteral("Icon=") + QLatin1String(identity::kId),
        QStringLiteral("Terminal=false"),
        QStringLiteral("Categories=Education;Languages;X-KDE-Edu-Kids;"),
    };
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

ReadEntry readEntry(const QByteArray &text)
{
    ReadEntry entry;
    bool inMainGroup = false;
    for (const QString &line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inMainGroup = line.trimmed() == QLatin1String("[Desktop Entry]");
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeString(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("Path"))
            entry.folder = value;
    }
    return entry;
}

} // namespace detail

} // namespace zampli::copies
