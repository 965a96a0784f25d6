#include "einvoice/ElectronicDocument.h"

#include "common/Nit.h"
#include "einvoice/Certificate.h"
#include "einvoice/Cude.h"
#include "einvoice/IssuedDocument.h"

#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>

#include <map>

namespace kv {

namespace {

// The certificate is read from its file once per run (and again when the file or the password
// changes): opening a .p12 costs more than signing.
const Certificate& cachedCertificate(const QString& path, const QString& password)
{
    static QMutex mutex;
    static std::map<QString, std::pair<QDateTime, Certificate>> cache;
    QMutexLocker lock(&mutex);
    const QString key = path + QChar(0) + password;
    const QDateTime modified = QFileInfo(path).lastModified();
    auto it = cache.find(key);
    if (it == cache.end() || it->second.first != modified)
        it = cache.insert_or_assign(key, std::make_pair(modified, loadCertificate(path, password))).first;
    return it->second.second;
}

ElectronicSettings activeSettings(Connection& c, const QString& empresa, bool* on)
{
    std::optional<ElectronicSettings> s = loadElectronicSettings(c, empresa);
    *on = s && s->activo;
    return s ? *s : ElectronicSettings();
}

QString digitsOf(const QString& text)
{
    QString out;
    for (QChar ch : text.section(QLatin1Char('-'), 0, 0))
        if (ch.isDigit())
            out += ch;
    return out;
}

QString wholeNumber(const QVariant& v)
{
    return v.isNull() ? QString() : QString::number(qint64(std::llround(v.toDouble())));
}

void paymentMeans(const QString& tipo, PosDocument& d)
{
    static const std::map<QString, std::pair<const char*, const char*>> means = {
        {QStringLiteral("C"), {"1", "10"}}, {QStringLiteral("E"), {"2", "ZZZ"}}, {QStringLiteral("k"), {"2", "ZZZ"}},
        {QStringLiteral("H"), {"1", "20"}}, {QStringLiteral("T"), {"1", "48"}},  {QStringLiteral("t"), {"1", "49"}},
        {QStringLiteral("O"), {"1", "ZZZ"}}};
    const auto it = means.find(tipo);
    d.paymentMeansId = QLatin1String(it == means.end() ? "1" : it->second.first);
    d.paymentMeansCode = QLatin1String(it == means.end() ? "ZZZ" : it->second.second);
}

void store(Connection& c, const QString& empresa, const QString& documento, int consecutivo, const PosDocument& d,
           const BuiltDocument& built)
{
    const QDateTime co = colombianTime(d.issued);
    c.exec(QStringLiteral("INSERT INTO POSDOCUMENTOELECTRONICO (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, CUDE, "
                          "FECHA, XML, ESTADO, INTENTOS) VALUES (:EMPRESA, :DOCUMENTO, :CONSECUTIVO, :TIPO, :NUMERO, "
                          ":CUDE, :FECHA, :XML, :ESTADO, 0)"),
           {{QStringLiteral("EMPRESA"), empresa},
            {QStringLiteral("DOCUMENTO"), documento},
            {QStringLiteral("CONSECUTIVO"), consecutivo},
            {QStringLiteral("TIPO"), d.tipo},
            {QStringLiteral("NUMERO"), d.numero},
            {QStringLiteral("CUDE"), built.cude},
            {QStringLiteral("FECHA"), QDateTime(co.date(), co.time())},
            {QStringLiteral("XML"), QString::fromUtf8(built.xml)},
            {QStringLiteral("ESTADO"), kEstadoPorEnviar}});
}

QString unescaped(QString t)
{
    return t.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QString sellerMissing(const QString& empresa)
{
    return QStringLiteral("La empresa %1 no tiene NIT en Empresas: no se puede emitir el documento electrónico")
        .arg(empresa);
}

}  // namespace

bool electronicDocumentsOn(Connection& c, const QString& empresa)
{
    return c.scalar(QStringLiteral("SELECT ACTIVO FROM POSCONFIGELECTRONICA WHERE EMPRESA = :EMPRESA"),
                    {{QStringLiteral("EMPRESA"), empresa}})
               .toString() == QLatin1String("S");
}

PosDocument readSaleDocument(Connection& c, const ElectronicSettings& s, const QString& empresa,
                             const QString& documento, int consecutivo, const QDateTime& issued)
{
    const QVariantMap key = {{QStringLiteral("EMPRESA"), empresa},
                             {QStringLiteral("DOCUMENTO"), documento},
                             {QStringLiteral("CONSECUTIVO"), consecutivo}};
    QSqlQuery h = c.exec(
        QStringLiteral("SELECT m.CLIENTE, m.TIPODEPAGO, m.DESCUENTO, m.VALORPROPINA, m.FECHA, m.PLAZO, e.NOMBRE, "
                       "e.NIT, e.TELEFONOS, e.CIUDAD, p.NIT, p.DV, p.NOMBRE, p.DIRECCION, p.TELEFONO, p.CIUDAD, "
                       "p.EMAIL, c.NOMBRE, m.CAJA, t.PREFIJO FROM POSMOVIMIENTO m LEFT JOIN EMPRESAS e ON e.EMPRESA = m.EMPRESA "
                       "LEFT JOIN PROVEEDORES p ON p.NIT = m.CLIENTE LEFT JOIN POSCAJEROS c ON c.CEDULA = m.CAJERO "
                       "LEFT JOIN DOCUMENTOS t ON t.DOCUMENTO = m.DOCUMENTO "
                       "WHERE m.EMPRESA = :EMPRESA AND m.DOCUMENTO = :DOCUMENTO AND m.CONSECUTIVO = :CONSECUTIVO"),
        key);
    if (!c.next(h))
        throw Failure(QStringLiteral("No existe la venta %1 %2 %3").arg(empresa, documento).arg(consecutivo));
    auto text = [&](int i) { return h.value(i).toString().trimmed(); };

    PosDocument d;
    // Each sale document type numbers on its own, so its own prefix (DOCUMENTOS) keeps two types'
    // numbers apart; the company's prefix serves a type that has none.
    d.prefijo = text(19).isEmpty() ? s.prefijo : text(19);
    d.numero = d.prefijo + QString::number(consecutivo);
    d.issued = issued;
    d.saleCode = QStringLiteral("%1-%2-%3").arg(empresa, documento).arg(consecutivo);
    d.cashier = text(17);
    d.seller.id = digitsOf(text(7));
    if (d.seller.id.isEmpty())
        throw Failure(sellerMissing(empresa));
    d.seller.dv = QString::number(nitCheckDigit(d.seller.id.toLongLong()));
    d.seller.idType = QStringLiteral("31");
    d.seller.name = text(6);
    d.seller.phone = text(8);
    d.seller.city = text(9);

    const QString cliente = wholeNumber(h.value(0));
    const bool counter = cliente.isEmpty() || h.value(10).isNull() || cliente == QLatin1String("222222222") ||
                         cliente == kConsumidorFinalId;
    if (counter) {
        d.buyer.id = kConsumidorFinalId;
        d.buyer.idType = QStringLiteral("13");
        d.buyer.company = false;
        d.buyer.name = kConsumidorFinalNombre;
    } else {
        d.buyer.id = cliente;
        d.buyer.dv = text(11);
        d.buyer.company = !d.buyer.dv.isEmpty();
        d.buyer.idType = d.buyer.company ? QStringLiteral("31") : QStringLiteral("13");
        d.buyer.name = text(12);
        d.buyer.address = text(13);
        d.buyer.phone = text(14);
        d.buyer.city = text(15);
        d.buyer.email = text(16);
    }
    paymentMeans(h.value(1).toString(), d);
    if (d.paymentMeansId == QLatin1String("2") && h.value(5).toInt() > 0)
        d.dueDate = colombianTime(issued).date().addDays(h.value(5).toInt());
    d.discount = toCents(h.value(2).toDouble());
    d.charge = toCents(h.value(3).toDouble());

    // A line's SUBTOTAL is what it charges, its taxes included; the document states the line
    // without them and each tax apart.
    QSqlQuery l = c.exec(QStringLiteral("SELECT d.PRODUCTO, pr.NOMBRE, d.CANTIDAD, d.SUBTOTAL, d.IVA, d.VALORIVA, "
                                        "d.IPOCONSUMO, d.VALORIPOCONSUMO, d.OBSERVACION FROM POSMOVIMIENTODETALLE d "
                                        "LEFT JOIN PRODUCTOS pr ON pr.PRODUCTO = d.PRODUCTO WHERE d.EMPRESA = :EMPRESA "
                                        "AND d.DOCUMENTO = :DOCUMENTO AND d.CONSECUTIVO = :CONSECUTIVO ORDER BY d.LINEA"),
                         key);
    while (c.next(l)) {
        DocumentLine line;
        line.code = l.value(0).toString();
        line.description = l.value(1).toString().trimmed();
        if (line.description.isEmpty())
            line.description = l.value(8).toString().trimmed();
        line.quantity = l.value(2).toDouble();
        line.iva = toCents(l.value(5).toDouble());
        line.inc = toCents(l.value(7).toDouble());
        line.ivaRate = line.iva != 0 ? l.value(4).toDouble() : 0;
        line.incRate = line.inc != 0 ? l.value(6).toDouble() : 0;
        line.lineExtension = toCents(l.value(3).toDouble()) - line.iva - line.inc;
        d.lines.push_back(line);
    }
    return d;
}

void issueSaleDocument(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                       const QDateTime& issued)
{
    bool on = false;
    const ElectronicSettings s = activeSettings(c, empresa, &on);
    if (!on)
        return;
    if (consecutivo < s.rangoDesde || consecutivo > s.rangoHasta)
        throw Failure(QStringLiteral("El número %1 está fuera del rango autorizado por la DIAN (%2 a %3): la venta no "
                                     "se cerró")
                          .arg(consecutivo)
                          .arg(s.rangoDesde)
                          .arg(s.rangoHasta));
    const Certificate& cert = cachedCertificate(s.certificado, s.claveCertificado);
    const PosDocument d = readSaleDocument(c, s, empresa, documento, consecutivo, issued);
    store(c, empresa, documento, consecutivo, d, buildSignedDocument(d, s, cert, issued));
}

void issueAdjustmentNote(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                         const QDateTime& issued)
{
    const std::optional<StoredDocument> original = storedDocument(c, empresa, documento, consecutivo);
    if (!original || storedDocument(c, empresa, documento, consecutivo, kTipoNotaAjuste))
        return;
    bool on = false;
    const ElectronicSettings s = activeSettings(c, empresa, &on);
    if (!on)
        return;
    const Certificate& cert = cachedCertificate(s.certificado, s.claveCertificado);
    // The note voids the whole document: it repeats what was issued, the stored document's own
    // lines and amounts, not the sale's lines as they are now; the rest is read from the sale.
    PosDocument d = readSaleDocument(c, s, empresa, documento, consecutivo, issued);
    applyIssuedContent(d, original->xml);
    d.tipo = kTipoNotaAjuste;
    d.numero = QStringLiteral("NA") + original->numero;
    d.refNumero = original->numero;
    d.refCude = original->cude;
    d.refDate = original->fecha.date();
    store(c, empresa, documento, consecutivo, d, buildSignedDocument(d, s, cert, issued));
}

QString signOnProblem(Connection& c, const QString& empresa, const QString& documento, const QDateTime& at)
{
    bool on = false;
    ElectronicSettings s;
    try {
        s = activeSettings(c, empresa, &on);
    } catch (const Failure& f) {
        return f.text();
    }
    if (!on)
        return QString();
    try {
        const QString problem = certificateProblem(cachedCertificate(s.certificado, s.claveCertificado), at);
        if (!problem.isEmpty())
            return problem + QStringLiteral(": no se pueden emitir documentos electrónicos");
    } catch (const Failure& f) {
        return f.text();
    }
    const QString nit = c.scalar(QStringLiteral("SELECT NIT FROM EMPRESAS WHERE EMPRESA = :EMPRESA"),
                                 {{QStringLiteral("EMPRESA"), empresa}})
                            .toString();
    if (digitsOf(nit).isEmpty())
        return sellerMissing(empresa);
    const QDate today = colombianTime(at).date();
    if (!s.fechaHasta.isValid() || today > s.fechaHasta)
        return QStringLiteral("La autorización de numeración de la DIAN (resolución %1) venció el %2")
            .arg(s.resolucion, s.fechaHasta.toString(QStringLiteral("dd/MM/yyyy")));
    if (s.fechaDesde.isValid() && today < s.fechaDesde)
        return QStringLiteral("La autorización de numeración de la DIAN (resolución %1) rige desde el %2")
            .arg(s.resolucion, s.fechaDesde.toString(QStringLiteral("dd/MM/yyyy")));
    const qint64 next = c.scalar(QStringLiteral("SELECT MAX(CONSECUTIVO) FROM POSMOVIMIENTO WHERE EMPRESA = :EMPRESA "
                                                "AND DOCUMENTO = :DOCUMENTO"),
                                 {{QStringLiteral("EMPRESA"), empresa}, {QStringLiteral("DOCUMENTO"), documento}})
                            .toLongLong() +
                        1;
    if (next > s.rangoHasta)
        return QStringLiteral("Se agotó el rango de numeración autorizado por la DIAN (%1 a %2, resolución %3)")
            .arg(s.rangoDesde)
            .arg(s.rangoHasta)
            .arg(s.resolucion);
    return QString();
}

std::optional<StoredDocument> storedDocument(Connection& c, const QString& empresa, const QString& documento,
                                             int consecutivo, const QString& tipo)
{
    QSqlQuery q = c.exec(QStringLiteral("SELECT TIPO, NUMERO, CUDE, FECHA, XML, ESTADO FROM POSDOCUMENTOELECTRONICO "
                                        "WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND "
                                        "CONSECUTIVO = :CONSECUTIVO AND TIPO = :TIPO"),
                         {{QStringLiteral("EMPRESA"), empresa},
                          {QStringLiteral("DOCUMENTO"), documento},
                          {QStringLiteral("CONSECUTIVO"), consecutivo},
                          {QStringLiteral("TIPO"), tipo}});
    if (!c.next(q))
        return std::nullopt;
    StoredDocument d;
    d.tipo = q.value(0).toString().trimmed();
    d.numero = q.value(1).toString();
    d.cude = q.value(2).toString();
    d.fecha = q.value(3).toDateTime();
    d.xml = q.value(4).toString().toUtf8();
    d.estado = q.value(5).toString().trimmed();
    // The printed facts are read from the document itself, so a reprint shows what was sent.
    const QString xml = QString::fromUtf8(d.xml);
    auto first = [&xml](const QString& pattern, int group = 1) {
        const QRegularExpression re(pattern, QRegularExpression::DotMatchesEverythingOption);
        return unescaped(re.match(xml).captured(group));
    };
    d.qr = first(QStringLiteral("<sts:QRCode>([^<]*)</sts:QRCode>"));
    const QString prefix = first(QStringLiteral("<sts:Prefix>([^<]*)<"));
    d.autorizacion = QStringLiteral("Autorización DIAN No. %1 del %2 al %3, numeración %4%5 a %4%6")
                         .arg(first(QStringLiteral("<sts:InvoiceAuthorization>([^<]*)<")),
                              first(QStringLiteral("<sts:AuthorizationPeriod>\\s*<cbc:StartDate>([^<]*)<")),
                              first(QStringLiteral("<cbc:EndDate>([^<]*)</cbc:EndDate>\\s*</sts:AuthorizationPeriod>")),
                              prefix, first(QStringLiteral("<sts:From>([^<]*)<")), first(QStringLiteral("<sts:To>([^<]*)<")));
    d.compradorId = first(QStringLiteral("<cac:AccountingCustomerParty>.*?<cac:PartyIdentification>\\s*<cbc:ID[^>]*>([^<]*)<"));
    d.compradorNombre = first(QStringLiteral("<cac:AccountingCustomerParty>.*?<cac:PartyName>\\s*<cbc:Name>([^<]*)<"));
    return d;
}

}  // namespace kv
