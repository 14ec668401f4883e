// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SvgCheck.h"

#include "media/MediaContent.h"
#include "media/Printable.h"

#include <QXmlStreamReader>

namespace zampli {

namespace {

QString outside(QStringView reference)
{
    return QStringLiteral("è un disegno SVG che rimanda a un altro file («%1»), che il programma non legge")
        .arg(visible(reference.trimmed().left(200).toString()));
}

// A reference to a part of the drawing itself.
bool isOwnPart(QStringView reference) { return reference.trimmed().startsWith(u'#'); }

bool isData(QStringView reference) { return reference.trimmed().startsWith(QLatin1String("data:"), Qt::CaseInsensitive); }

// Why a picture written into the drawing is refused, or nothing. Only a PNG
// or JPEG photo, in base64, within a picture file's limits: a drawing inside
// is never checked by the reader that draws it, and could name any file.
QString dataFault(QStringView reference)
{
    const QStringView data = reference.trimmed().mid(5);
    const qsizetype comma = data.indexOf(u',');
    const QString type = data.left(comma).toString().toLower().remove(u' ');
    const QString what = QStringLiteral("è un disegno SVG con dentro un'immagine (data:%1) ").arg(visible(type.left(60)));
    if (comma < 0 || (type != QLatin1String("image/png;base64") && type != QLatin1String("image/jpeg;base64")))
        return what + QStringLiteral("che non è PNG né JPEG, e che il programma non legge");
    QByteArray base64 = data.mid(comma + 1).toLatin1();
    base64.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    const auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return what + QStringLiteral("scritta male (base64 non valido)");
    if (QString fault = bitmapFault(decoded.decoded, decoded.decoded.size()); !fault.isEmpty())
        return what + QStringLiteral("rifiutata: ") + fault;
    return {};
}

// Why a reference (an href, a url()) is refused, or nothing.
QString referenceFault(QStringView reference)
{
    if (isOwnPart(reference))
        return {};
    return isData(reference) ? dataFault(reference) : outside(reference);
}

// Every url(…) in a style, as written between its parentheses, unquoted.
QString urlFault(QStringView text)
{
    for (qsizetype at = text.indexOf(QLatin1String("url("), 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(QLatin1String("url("), at + 4, Qt::CaseInsensitive)) {
        const qsizetype end = text.indexOf(u')', at + 4);
        QStringView inside = text.mid(at + 4, end < 0 ? -1 : end - at - 4).trimmed();
        if (inside.size() >= 2 && (inside.front() == u'\'' || inside.front() == u'"'))
            inside = inside.mid(1, inside.size() - 2);
        if (QString fault = referenceFault(inside); !fault.isEmpty())
            return fault;
    }
    return {};
}

// A name without its prefix: "xlink:href" is "href", whatever the prefix.
QStringView localName(QStringView qualified)
{
    return qualified.mid(qualified.lastIndexOf(u':') + 1);
}

QString elementFault(const QXmlStreamReader &xml)
{
    if (localName(xml.qualifiedName()) == QLatin1String("include"))
        return QStringLiteral("è un disegno SVG che include altri file (XInclude), che il programma non legge");
    for (const QXmlStreamAttribute &a : xml.attributes()) {
        if (localName(a.qualifiedName()).compare(QLatin1String("href"), Qt::CaseInsensitive) == 0)
            if (QString fault = referenceFault(a.value()); !fault.isEmpty())
                return fault;
        if (QString fault = urlFault(a.value()); !fault.isEmpty())
            return fault;
    }
    return {};
}

QString tokenFault(const QXmlStreamReader &xml)
{
    switch (xml.tokenType()) {
    case QXmlStreamReader::DTD:
        if (!xml.entityDeclarations().isEmpty() || !xml.dtdSystemId().isEmpty() || !xml.dtdPublicId().isEmpty())
            return QStringLiteral("è un disegno SVG con una DTD o delle entità, che possono rimandare ad altri file");
        return {};
    case QXmlStreamReader::EntityReference:
        return QStringLiteral("è un disegno SVG con un'entità che non dichiara («&%1;»)").arg(visible(xml.name().toString()));
    case QXmlStreamReader::ProcessingInstruction:
        return QStringLiteral("è un disegno SVG con un'istruzione («<?%1?>») che può rimandare ad altri file")
            .arg(visible(xml.processingInstructionTarget().toString()));
    case QXmlStreamReader::Characters:
        if (xml.text().contains(QLatin1String("@import"), Qt::CaseInsensitive))
            return QStringLiteral("è un disegno SVG con uno stile che rimanda ad altri file (@import)");
        return urlFault(xml.text());
    case QXmlStreamReader::StartElement:
        return elementFault(xml);
    default:
        return {};
    }
}

} // namespace

QString svgFault(const QByteArray &bytes)
{
    if (bytes.startsWith("\x1F\x8B"))
        return QStringLiteral("è un disegno SVG compresso (SVGZ), che il programma non può controllare: "
                              "salvalo come SVG semplice");
    QXmlStreamReader xml(bytes);
    // Prefixes as written, as Qt's SVG reader takes them: one left undeclared
    // is no error there, and "href" is refused under any prefix.
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) {
        xml.readNext();
        if (QString fault = tokenFault(xml); !fault.isEmpty())
            return fault;
    }
    if (xml.hasError())
        return QStringLiteral("è un disegno SVG danneggiato o incompleto (riga %1)").arg(xml.lineNumber());
    return {};
}

} // namespace zampli
