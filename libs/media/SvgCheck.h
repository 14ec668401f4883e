// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace zampli {

// Why an SVG drawing is refused before any SVG reader sees it, or nothing.
// Qt's reader opens whatever an <image> or a style sheet names, so a
// drawing may use only what it holds itself: references to its own parts
// ("#id") and PNG or JPEG photos written into it ("data:", within a
// picture file's limits; a drawing written in is refused, as its own
// references would go unchecked). Anything that could name
// another file is refused: a reference elsewhere, a declared entity, an
// external DTD, XInclude, a processing instruction, a style sheet's @import
// or url() to anything but its own parts.
// A compressed drawing (SVGZ) is refused too, as it cannot be checked here.
QString svgFault(const QByteArray &bytes);

} // namespace zampli
