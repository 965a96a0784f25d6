#include "einvoice/Cude.h"

#include <QCryptographicHash>
#include <cmath>

namespace kv {

QString moneyText(qint64 cents)
{
    const qint64 a = cents < 0 ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

qint64 toCents(double pesos) { return std::llround(pesos * 100.0); }

QString cudeText(const CudeParts& p)
{
    return p.numero + p.fecha + p.hora + moneyText(p.valor) + QStringLiteral("01") + moneyText(p.iva) +
           QStringLiteral("04") + moneyText(p.inc) + QStringLiteral("03") + moneyText(p.ica) + moneyText(p.total) +
           p.nitEmisor + p.idComprador + p.clave + QString::number(p.ambiente);
}

QString sha384Hex(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha384).toHex());
}

QString cude(const CudeParts& p) { return sha384Hex(cudeText(p)); }

}  // namespace kv
