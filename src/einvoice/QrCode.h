#pragma once
// QR codes for the printed document (libqrencode): the DIAN lookup address with the CUDE.
#include <QByteArray>
#include <QString>

namespace kv {

// A PNG of the text's QR code (error correction M), `modulePixels` pixels per module, with the
// standard quiet zone of four modules. Raises Failure when the text does not fit a QR code.
QByteArray qrPng(const QString& text, int modulePixels = 8);

}  // namespace kv
