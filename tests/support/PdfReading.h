#pragma once
// Reading a printed PDF back as a person or a phone would: its text (pdftotext, in the order it
// was drawn, so that a wrapped line is not interleaved with its neighbours) and the QR codes on
// its pages (each page rendered at 200 dpi with pdftoppm and read with zbarimg), for tests of
// what is printed rather than of the laid-out Document.
#include <QString>
#include <QStringList>

namespace kvtest {

QString pdfText(const QString& pdf);
// What each QR code on the pages says, in page order; empty when none can be read.
QStringList qrCodesInPdf(const QString& pdf);

}  // namespace kvtest
