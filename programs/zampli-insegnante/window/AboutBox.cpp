// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/AboutBox.h"

#include "ProductIdentity.h"

#include <QMessageBox>

namespace zampli::teacher {

namespace {

// Who made what the default copy shows, as the package's copyright file says.
const char kMediaCredits[] =
    "<li>Immagini delle parole: disegni della Squadra ZAMPLI e dell'Open Clip Art "
    "Library (pubblico dominio)</li>"
    "<li>Lettere in stampato: carattere Andika di SIL International (OFL 1.1)</li>"
    "<li>Lettere in corsivo: carattere Ecolier di Jean-Marie Douteau (OFL 1.1)</li>"
    "<li>Voci delle parole e lodi: Festival, Centre for Speech Technology Research, "
    "Università di Edimburgo</li>"
    "<li>Voci delle vocali: eSpeak NG (GPL 3 o successiva)</li>";

const char kLibraries[] =
    "<li>Qt %1 (LGPL 3), con Qt Charts (GPL 3)</li>"
    "<li>SQLite (pubblico dominio)</li>"
    "<li>libsndfile e libsamplerate (LGPL 2.1, BSD)</li>"
    "<li>speexdsp, per togliere il rumore dalla voce registrata (BSD)</li>"
    "<li>libzip (BSD)</li>"
    "<li>libpq di PostgreSQL (licenza PostgreSQL)</li>"
    "<li>PulseAudio (LGPL 2.1)</li>";

} // namespace

QString aboutText()
{
    return QStringLiteral("<h3>%1 per l'insegnante</h3>"
                          "<p>Versione %2</p>"
                          "<p>Programma libero: puoi usarlo, copiarlo e cambiarlo secondo la licenza "
                          "GNU General Public License, versione 3 o successiva (%3).</p>"
                          "<p><a href=\"%4\">%4</a> · %5 &lt;%6&gt;</p>"
                          "<p>Immagini, voci e lettere della copia di partenza:</p><ul>%7</ul>"
                          "<p>Librerie usate:</p><ul>%8</ul>")
        .arg(QString::fromUtf8(identity::kName), QString::fromUtf8(identity::kVersion),
             QString::fromUtf8(identity::kLicense), QString::fromUtf8(identity::kWebsite),
             QString::fromUtf8(identity::kTeam), QString::fromUtf8(identity::kMail),
             QString::fromUtf8(kMediaCredits), QString::fromUtf8(kLibraries).arg(QString::fromUtf8(qVersion())));
}

void showAboutBox(QWidget *parent)
{
    QMessageBox::about(parent, QStringLiteral("Informazioni su ZAMPLI per l'insegnante"), aboutText());
}

} // namespace zampli::teacher
