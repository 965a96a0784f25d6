#include "support/PdfReading.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace kvtest {

namespace {

QByteArray run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

}  // namespace

QString pdfText(const QString& pdf)
{
    // The printed font joins "ff" into one ligature glyph, which pdftotext gives back as U+FB00: a
    // CUDE (hexadecimal) holds "ff" in about one document of three. Compatibility normalization
    // turns ligatures back into their letters.
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
        .normalized(QString::NormalizationForm_KC);
}

QStringList qrCodesInPdf(const QString& pdf)
{
    QTemporaryDir dir;
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"), pdf,
                                     dir.filePath(QStringLiteral("pagina"))});
    QStringList codes;
    for (const QString& png : QDir(dir.path()).entryList({QStringLiteral("pagina*.png")}, QDir::Files, QDir::Name)) {
        const QString text = QString::fromUtf8(
            run(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"), dir.filePath(png)}));
        codes += text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return codes;
}

}  // namespace kvtest
