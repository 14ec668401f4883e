// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SvgCheck.h"

#include "media/Printable.h"

#include <QXmlStreamReader>

namespace zampli {

namespace {

// A reference the drawing resolves inside itself.
bool isOwn(QStringView reference)
{
    const QStringView r = reference.trimmed();
    return r.startsWith(u'#') || r.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

QString outside(QStringView reference)
{
    return QStringLiteral("è un disegno SVG che rimanda a un altro file («%1»), che il programma non legge")
        .arg(visible(reference.trimmed().left(200).toString()));
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
    for (const QXmlStreamAttribute &a : xml.attributes())
        if (localName(a.qualifiedName()) == QLatin1String("href") && !isOwn(a.value()))
            return outside(a.value());
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
        return {};
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
