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
                       "p.EMAIL, c.NOMBRE, m.CAJA FROM POSMOVIMIENTO m LEFT JOIN EMPRESAS e ON e.EMPRESA = m.EMPRESA "
                       "LEFT JOIN PROVEEDORES p ON p.NIT = m.CLIENTE LEFT JOIN POSCAJEROS c ON c.CEDULA = m.CAJERO "
                       "WHERE m.EMPRESA = :EMPRESA AND m.DOCUMENTO = :DOCUMENTO AND m.CONSECUTIVO = :CONSECUTIVO"),
        key);
    if (!c.next(h))
        throw Failure(QStringLiteral("No existe la venta %1 %2 %3").arg(empresa, documento).arg(consecutivo));
    auto text = [&](int i) { return h.value(i).toString().trimmed(); };

    PosDocument d;
    // The number carries the prefix of the authorization it is issued under (see issueSaleDocument).
    d.prefijo = s.prefijo;
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
    // What the company's record does not hold comes from its electronic document settings.
    d.seller.company = s.tipoPersona != QLatin1String("2");
    d.seller.taxLevelCode = s.responsabilidades;
    d.seller.taxScheme = s.tributo;
    d.seller.address = s.direccion;
    d.seller.cityCode = s.municipio;
    d.seller.email = s.correo;

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
    // TIPODEPAGO is a CHAR(1) that comes back padded: untrimmed, no code matched and a credit sale
    // went out as paid in cash.
    paymentMeans(h.value(1).toString().trimmed(), d);
    if (d.paymentMeansId == QLatin1String("2") && h.value(5).toInt() > 0)
        d.dueDate = colombianTime(issued).date().addDays(h.value(5).toInt());
    const qint64 headerDiscount = toCents(h.value(2).toDouble());
    d.charge = toCents(h.value(3).toDouble());

    // A line's SUBTOTAL is its price times its quantity, taxes included; its VALORDESCUENTO is
    // taken off that, and the taxes stored (VALORIVA, VALORIPOCONSUMO) are of what is left. The
    // document states the base as what the line charged divided by one plus its rates, each tax
    // as that base times its rate, and the discount without its taxes: so base plus taxes is what
    // the customer paid for the line, to the cent, and every tax is its base times its rate. The
    // stored sale is not touched: what it charged stays the payable amount.
    QSqlQuery l = c.exec(QStringLiteral("SELECT d.PRODUCTO, pr.NOMBRE, d.CANTIDAD, d.SUBTOTAL, d.IVA, d.VALORIVA, "
                                        "d.IPOCONSUMO, d.VALORIPOCONSUMO, d.OBSERVACION, d.VALORDESCUENTO "
                                        "FROM POSMOVIMIENTODETALLE d LEFT JOIN PRODUCTOS pr ON pr.PRODUCTO = d.PRODUCTO "
                                        "WHERE d.EMPRESA = :EMPRESA AND d.DOCUMENTO = :DOCUMENTO AND "
                                        "d.CONSECUTIVO = :CONSECUTIVO ORDER BY d.LINEA"),
                         key);
    qint64 lineDiscounts = 0;
    while (c.next(l)) {
        DocumentLine line;
        line.code = l.value(0).toString();
        line.description = l.value(1).toString().trimmed();
        if (line.description.isEmpty())
            line.description = l.value(8).toString().trimmed();
        line.quantity = l.value(2).toDouble();
        const qint64 storedIva = toCents(l.value(5).toDouble());
        const qint64 storedInc = toCents(l.value(7).toDouble());
        line.ivaRate = storedIva != 0 ? l.value(4).toDouble() : 0;
        line.incRate = storedInc != 0 ? l.value(6).toDouble() : 0;
        const qint64 discount = toCents(l.value(9).toDouble());
        lineDiscounts += discount;
        line.charged = toCents(l.value(3).toDouble()) - discount;
        const double factor = 1 + (line.ivaRate + line.incRate) / 100.0;
        if (line.ivaRate == 0 && line.incRate == 0) {
            // A tax stored without its rate cannot be stated as base times rate: the line states
            // no tax, and what it charged beyond its base is the document's rounding.
            line.lineExtension = line.charged - storedIva - storedInc;
            line.allowance = discount;
        } else {
            line.lineExtension = std::llround(double(line.charged) / factor);
            line.allowance = std::llround(double(discount) / factor);
        }
        line.iva = taxOf(line.lineExtension, line.ivaRate);
        line.inc = taxOf(line.lineExtension, line.incRate);
        d.lines.push_back(line);
    }
    // The header's DESCUENTO holds the lines' discounts too: the document's own allowance is what
    // the payment took off the whole document beyond them.
    d.discount = headerDiscount - lineDiscounts;
    return d;
}

namespace {

// The settings with the numbering authorization of the document type, or the reason there is none.
ElectronicSettings authorizedSettings(Connection& c, const ElectronicSettings& s, const QString& documento)
{
    const std::optional<DianAuthorization> a = authorizationFor(c, s, documento);
    if (!a)
        throw Failure(QStringLiteral("El tipo de documento %1 no tiene autorización de numeración de la DIAN: la venta "
                                     "no se cerró")
                          .arg(documento));
    return withAuthorization(s, *a);
}

}  // namespace

void issueSaleDocument(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                       const QDateTime& issued)
{
    bool on = false;
    const ElectronicSettings general = activeSettings(c, empresa, &on);
    if (!on)
        return;
    const ElectronicSettings s = authorizedSettings(c, general, documento);
    if (consecutivo < s.rangoDesde || consecutivo > s.rangoHasta)
        throw Failure(QStringLiteral("El número %1 está fuera del rango autorizado por la DIAN (%2 a %3): la venta no "
                                     "se cerró")
                          .arg(consecutivo)
                          .arg(s.rangoDesde)
                          .arg(s.rangoHasta));
    const Certificate& cert = cachedCertificate(s.certificado, s.claveCertificado);
    const PosDocument d = readSaleDocument(c, s, empresa, documento, consecutivo, issued);
    // Two document types under one authorization number their sales from their own consecutives,
    // so the second would repeat the first's numbers: the DIAN takes a number only once.
    if (c.scalar(QStringLiteral("SELECT COUNT(*) FROM POSDOCUMENTOELECTRONICO WHERE EMPRESA = :EMPRESA AND "
                                "NUMERO = :NUMERO AND TIPO = :TIPO AND NOT (DOCUMENTO = :DOCUMENTO AND "
                                "CONSECUTIVO = :CONSECUTIVO)"),
                 {{QStringLiteral("EMPRESA"), empresa},
                  {QStringLiteral("NUMERO"), d.numero},
                  {QStringLiteral("TIPO"), kTipoDocumentoPos},
                  {QStringLiteral("DOCUMENTO"), documento},
                  {QStringLiteral("CONSECUTIVO"), consecutivo}})
            .toInt() > 0)
        throw Failure(QStringLiteral("El número %1 ya lo tiene otro documento electrónico: el tipo de documento %2 "
                                     "necesita su propia autorización de numeración de la DIAN; la venta no se cerró")
                          .arg(d.numero, documento));
    store(c, empresa, documento, consecutivo, d, buildSignedDocument(d, s, cert, issued));
}

int nextDianCounter(Connection& c, const QString& empresa, const QString& clase, int ano)
{
    const QVariantMap key = {{QStringLiteral("EMPRESA"), empresa}, {QStringLiteral("CLASE"), clase},
                             {QStringLiteral("ANO"), ano}};
    QSqlQuery u = c.exec(QStringLiteral("UPDATE POSCONSECUTIVODIAN SET ULTIMO = ULTIMO + 1 WHERE EMPRESA = :EMPRESA "
                                        "AND CLASE = :CLASE AND ANO = :ANO"),
                         key);
    if (u.numRowsAffected() == 0) {
        // The series' first number; a register inserting it at the same time breaks the key, and
        // its operation is tried again, finding the row.
        QVariantMap first = key;
        first.insert(QStringLiteral("ULTIMO"), 1);
        c.exec(QStringLiteral("INSERT INTO POSCONSECUTIVODIAN (EMPRESA, CLASE, ANO, ULTIMO) VALUES (:EMPRESA, :CLASE, "
                              ":ANO, :ULTIMO)"),
               first);
        return 1;
    }
    return c.scalar(QStringLiteral("SELECT ULTIMO FROM POSCONSECUTIVODIAN WHERE EMPRESA = :EMPRESA AND CLASE = :CLASE "
                                   "AND ANO = :ANO"),
                    key)
        .toInt();
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
    // The note's own number: the company's next note. Notes are numbered by the issuer under no
    // authorization; the sale's number with "NA" before it would be a number in no series.
    d.prefijo = kPrefijoNotaAjuste;
    d.numero = kPrefijoNotaAjuste + QString::number(nextDianCounter(c, empresa, kPrefijoNotaAjuste, 0));
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
    try {
        s = authorizedSettings(c, s, documento);
    } catch (const Failure&) {
        return QStringLiteral("El tipo de documento %1 no tiene autorización de numeración de la DIAN").arg(documento);
    }
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
    // The document's own taxes are the tax subtotals before its totals; the lines' come after.
    const QString header = xml.left(xml.indexOf(QStringLiteral("<cac:LegalMonetaryTotal>")));
    static const QRegularExpression subtotal(
        QStringLiteral("<cac:TaxSubtotal>\\s*<cbc:TaxableAmount[^>]*>([0-9.-]+)<.*?<cbc:TaxAmount[^>]*>([0-9.-]+)<.*?"
                       "<cbc:Percent>([0-9.]+)<.*?<cac:TaxScheme>.*?<cbc:Name>([^<]*)<"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto it = subtotal.globalMatch(header); it.hasNext();) {
        const auto m = it.next();
        d.impuestos.push_back({m.captured(4), m.captured(3).toDouble(), m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    d.fabricante = first(QStringLiteral("<Name>RazonSocial</Name>\\s*<Value>([^<]*)<"));
    d.software = first(QStringLiteral("<Name>NombreSoftware</Name>\\s*<Value>([^<]*)<"));
    return d;
}

}  // namespace kv
