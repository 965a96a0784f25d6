#include "einvoice/QrCode.h"

#include "common/Errors.h"

#include <QBuffer>
#include <QImage>
#include <qrencode.h>

#include <memory>

namespace kv {

QByteArray qrPng(const QString& text, int modulePixels)
{
    const QByteArray data = text.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(data.constData(), 0, QR_ECLEVEL_M), QRcode_free);
    if (!code)
        throw Failure(QStringLiteral("No se pudo formar el código QR"));
    const int quiet = 4;
    const int side = (code->width + 2 * quiet) * modulePixels;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                for (int dy = 0; dy < modulePixels; ++dy)
                    for (int dx = 0; dx < modulePixels; ++dx)
                        image.setPixel((x + quiet) * modulePixels + dx, (y + quiet) * modulePixels + dy, 1);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

}  // namespace kv
