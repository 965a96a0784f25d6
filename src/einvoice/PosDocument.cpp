#include "einvoice/PosDocument.h"

#include "common/Nit.h"
#include "einvoice/Certificate.h"
#include "einvoice/Cude.h"
#include "einvoice/XadesSignature.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <map>

namespace kv {

namespace {

const char* const kNsInvoice = "urn:oasis:names:specification:ubl:schema:xsd:Invoice-2";
const char* const kNsCreditNote = "urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2";
const char* const kNsCac = "urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2";
const char* const kNsCbc = "urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2";
const char* const kNsExt = "urn:oasis:names:specification:ubl:schema:xsd:CommonExtensionComponents-2";
const char* const kNsSts = "dian:gov:co:facturaelectronica:Structures-2-1";

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

// Writes elements of the UBL namespaces onto a libxml2 tree.
class Writer {
public:
    explicit Writer(xmlNodePtr root) : root_(root)
    {
        cac_ = xmlNewNs(root, X(kNsCac), X("cac"));
        cbc_ = xmlNewNs(root, X(kNsCbc), X("cbc"));
        ext_ = xmlNewNs(root, X(kNsExt), X("ext"));
        sts_ = xmlNewNs(root, X(kNsSts), X("sts"));
    }
    xmlNodePtr cac(xmlNodePtr parent, const char* name) { return xmlNewChild(parent, cac_, X(name), nullptr); }
    xmlNodePtr ext(xmlNodePtr parent, const char* name) { return xmlNewChild(parent, ext_, X(name), nullptr); }
    xmlNodePtr sts(xmlNodePtr parent, const char* name, const QString& text = QString())
    {
        return add(parent, sts_, name, text);
    }
    // An element of the document's own (default) namespace, as the POS extensions are written.
    xmlNodePtr plain(xmlNodePtr parent, const char* name, const QString& text = QString())
    {
        return add(parent, root_->ns, name, text);
    }
    xmlNodePtr cbc(xmlNodePtr parent, const char* name, const QString& text,
                   std::initializer_list<std::pair<const char*, QString>> attrs = {})
    {
        xmlNodePtr n = add(parent, cbc_, name, text);
        for (const auto& [k, v] : attrs)
            xmlNewProp(n, X(k), reinterpret_cast<const xmlChar*>(v.toUtf8().constData()));
        return n;
    }
    xmlNodePtr amount(xmlNodePtr parent, const char* name, qint64 cents)
    {
        return cbc(parent, name, moneyText(cents), {{"currencyID", QStringLiteral("COP")}});
    }
    xmlNodePtr root() const { return root_; }

private:
    static xmlNodePtr add(xmlNodePtr parent, xmlNsPtr ns, const char* name, const QString& text)
    {
        // xmlNewTextChild escapes the text, so names with "&" or "<" stay well formed.
        return xmlNewTextChild(parent, ns, X(name), text.isNull() ? nullptr : X(text.toUtf8().constData()));
    }
    xmlNodePtr root_;
    xmlNsPtr cac_, cbc_, ext_, sts_;
};

QString percentText(double rate) { return QString::number(rate, 'f', 2); }

// A rate as a map key: whole hundredths of a percent, so 19 and 19.0 are one rate.
qint64 rateKey(double rate) { return std::llround(rate * 100); }

QString quantityText(double q)
{
    QString t = QString::number(q, 'f', 6);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t += QLatin1Char('0');
    return t;
}

const QString kDianAgencyName = QStringLiteral("CO, DIAN (Dirección de Impuestos y Aduanas Nacionales)");

// The DIAN's own NIT, the authorization provider of every document, and its check digit.
const QString kDianNit = QStringLiteral("800197268");

// The departments by their DANE code (the first two digits of a town's code).
QString departmentName(const QString& code)
{
    static const std::map<QString, const char*> names = {
        {"05", "Antioquia"},      {"08", "Atlántico"},   {"11", "Bogotá, D.C."},  {"13", "Bolívar"},
        {"15", "Boyacá"},         {"17", "Caldas"},      {"18", "Caquetá"},       {"19", "Cauca"},
        {"20", "Cesar"},          {"23", "Córdoba"},     {"25", "Cundinamarca"},  {"27", "Chocó"},
        {"41", "Huila"},          {"44", "La Guajira"},  {"47", "Magdalena"},     {"50", "Meta"},
        {"52", "Nariño"},         {"54", "Norte de Santander"}, {"63", "Quindío"}, {"66", "Risaralda"},
        {"68", "Santander"},      {"70", "Sucre"},       {"73", "Tolima"},        {"76", "Valle del Cauca"},
        {"81", "Arauca"},         {"85", "Casanare"},    {"86", "Putumayo"},
        {"88", "Archipiélago de San Andrés, Providencia y Santa Catalina"},
        {"91", "Amazonas"},       {"94", "Guainía"},     {"95", "Guaviare"},      {"97", "Vaupés"},
        {"99", "Vichada"}};
    const auto it = names.find(code);
    return it == names.end() ? QString() : QString::fromUtf8(it->second);
}

QString taxSchemeName(const QString& code)
{
    if (code == QLatin1String("01"))
        return QStringLiteral("IVA");
    if (code == QLatin1String("04"))
        return QStringLiteral("INC");
    if (code == QLatin1String("ZA"))
        return QStringLiteral("IVA e INC");
    return QStringLiteral("No aplica");
}

void taxScheme(Writer& w, xmlNodePtr parent, bool iva)
{
    xmlNodePtr scheme = w.cac(parent, "TaxScheme");
    w.cbc(scheme, "ID", iva ? QStringLiteral("01") : QStringLiteral("04"));
    w.cbc(scheme, "Name", iva ? QStringLiteral("IVA") : QStringLiteral("INC"));
}

void taxTotal(Writer& w, xmlNodePtr parent, bool iva, const std::vector<TaxGroup>& groups)
{
    qint64 total = 0;
    for (const TaxGroup& g : groups)
        total += g.tax;
    xmlNodePtr tt = w.cac(parent, "TaxTotal");
    w.amount(tt, "TaxAmount", total);
    for (const TaxGroup& g : groups) {
        xmlNodePtr sub = w.cac(tt, "TaxSubtotal");
        w.amount(sub, "TaxableAmount", g.base);
        w.amount(sub, "TaxAmount", g.tax);
        xmlNodePtr cat = w.cac(sub, "TaxCategory");
        w.cbc(cat, "Percent", percentText(g.rate));
        taxScheme(w, cat, iva);
    }
}

// A Colombian address with the DANE codes of its town and department.
void address(Writer& w, xmlNodePtr parent, const char* element, const DocumentParty& p)
{
    xmlNodePtr loc = w.cac(parent, element);
    if (!p.cityCode.isEmpty())
        w.cbc(loc, "ID", p.cityCode);
    if (!p.city.isEmpty())
        w.cbc(loc, "CityName", p.city);
    const QString department = p.cityCode.left(2);
    if (!departmentName(department).isEmpty()) {
        w.cbc(loc, "CountrySubentity", departmentName(department));
        w.cbc(loc, "CountrySubentityCode", department);
    }
    if (!p.address.isEmpty())
        w.cbc(w.cac(loc, "AddressLine"), "Line", p.address);
    xmlNodePtr country = w.cac(loc, "Country");
    w.cbc(country, "IdentificationCode", QStringLiteral("CO"));
    w.cbc(country, "Name", QStringLiteral("Colombia"), {{"languageID", QStringLiteral("es")}});
}

// A party's identification with its check digit when it is a NIT.
void companyId(Writer& w, xmlNodePtr parent, const DocumentParty& p, bool agency)
{
    if (p.idType == QLatin1String("31") && !p.dv.isEmpty()) {
        if (agency)
            w.cbc(parent, "CompanyID", p.id,
                  {{"schemeAgencyID", QStringLiteral("195")}, {"schemeID", p.dv}, {"schemeName", p.idType}});
        else
            w.cbc(parent, "CompanyID", p.id, {{"schemeID", p.dv}, {"schemeName", p.idType}});
    } else if (agency) {
        w.cbc(parent, "CompanyID", p.id, {{"schemeAgencyID", QStringLiteral("195")}, {"schemeName", p.idType}});
    } else {
        w.cbc(parent, "CompanyID", p.id, {{"schemeName", p.idType}});
    }
}

void party(Writer& w, xmlNodePtr parent, const char* role, const DocumentParty& p, bool seller)
{
    xmlNodePtr ap = w.cac(parent, role);
    w.cbc(ap, "AdditionalAccountID", p.company ? QStringLiteral("1") : QStringLiteral("2"));
    xmlNodePtr pa = w.cac(ap, "Party");
    if (!seller) {
        xmlNodePtr id = w.cac(pa, "PartyIdentification");
        if (p.idType == QLatin1String("31") && !p.dv.isEmpty())
            w.cbc(id, "ID", p.id, {{"schemeID", p.dv}, {"schemeName", p.idType}});
        else
            w.cbc(id, "ID", p.id, {{"schemeName", p.idType}});
    }
    w.cbc(w.cac(pa, "PartyName"), "Name", p.name);
    const bool located = !p.address.isEmpty() || !p.city.isEmpty() || !p.cityCode.isEmpty();
    if (located)
        address(w, w.cac(pa, "PhysicalLocation"), "Address", p);
    xmlNodePtr ts = w.cac(pa, "PartyTaxScheme");
    w.cbc(ts, "RegistrationName", p.name);
    companyId(w, ts, p, true);
    // The regime the responsibilities belong to: 48 responsible for IVA, 49 not.
    const bool ivaResponsible = p.taxScheme == QLatin1String("01") || p.taxScheme == QLatin1String("ZA");
    w.cbc(ts, "TaxLevelCode", p.taxLevelCode.isEmpty() ? QStringLiteral("R-99-PN") : p.taxLevelCode,
          {{"listName", ivaResponsible ? QStringLiteral("48") : QStringLiteral("49")}});
    if (seller && located)
        address(w, ts, "RegistrationAddress", p);
    xmlNodePtr scheme = w.cac(ts, "TaxScheme");
    const QString schemeId = p.taxScheme.isEmpty() ? QStringLiteral("ZZ") : p.taxScheme;
    w.cbc(scheme, "ID", schemeId);
    w.cbc(scheme, "Name", taxSchemeName(schemeId));
    xmlNodePtr le = w.cac(pa, "PartyLegalEntity");
    w.cbc(le, "RegistrationName", p.name);
    companyId(w, le, p, false);
    if (!p.phone.isEmpty() || !p.email.isEmpty()) {
        xmlNodePtr contact = w.cac(pa, "Contact");
        if (!p.phone.isEmpty())
            w.cbc(contact, "Telephone", p.phone);
        if (!p.email.isEmpty())
            w.cbc(contact, "ElectronicMail", p.email);
    }
}

// An identification of the DIAN's structures: a NIT with its check digit in schemeID and the
// kind of identification (31, NIT) in schemeName.
void dianNit(xmlNodePtr n, const QString& nit)
{
    const QString digits = nit.section(QLatin1Char('-'), 0, 0).trimmed();
    xmlNewProp(n, X("schemeAgencyID"), X("195"));
    xmlNewProp(n, X("schemeAgencyName"), X(kDianAgencyName.toUtf8().constData()));
    xmlNewProp(n, X("schemeID"), X(QString::number(nitCheckDigit(digits.toLongLong())).toUtf8().constData()));
    xmlNewProp(n, X("schemeName"), X("31"));
}

std::vector<TaxGroup> groupsOf(const std::vector<DocumentLine>& lines, bool iva)
{
    std::map<qint64, TaxGroup> groups;
    for (const DocumentLine& l : lines) {
        const double rate = iva ? l.ivaRate : l.incRate;
        const qint64 tax = iva ? l.iva : l.inc;
        if (tax == 0 && rate == 0)
            continue;
        TaxGroup& g = groups[rateKey(rate)];
        g.rate = rate;
        g.base += l.lineExtension;
    }
    std::vector<TaxGroup> out;
    for (auto& [k, g] : groups) {
        g.tax = taxOf(g.base, g.rate);
        out.push_back(g);
    }
    return out;
}

qint64 sumOf(const std::vector<TaxGroup>& groups)
{
    qint64 t = 0;
    for (const TaxGroup& g : groups)
        t += g.tax;
    return t;
}

// One POS extension: a named group of name/value pairs in its own UBLExtension.
void nameValues(Writer& w, xmlNodePtr extensions, const char* group, const char* inner,
                std::initializer_list<std::pair<const char*, QString>> pairs)
{
    xmlNodePtr content = w.ext(w.ext(extensions, "UBLExtension"), "ExtensionContent");
    xmlNodePtr g = w.plain(w.plain(content, group), inner);
    for (const auto& [name, value] : pairs) {
        w.plain(g, "Name", QString::fromUtf8(name));
        w.plain(g, "Value", value);
    }
}

}  // namespace

qint64 taxOf(qint64 base, double rate) { return std::llround(double(base) * rate / 100.0); }

qint64 PosDocument::lineExtensionTotal() const
{
    qint64 t = 0;
    for (const DocumentLine& l : lines)
        t += l.lineExtension;
    return t;
}

std::vector<TaxGroup> PosDocument::ivaGroups() const { return groupsOf(lines, true); }
std::vector<TaxGroup> PosDocument::incGroups() const { return groupsOf(lines, false); }
qint64 PosDocument::ivaTotal() const { return sumOf(ivaGroups()); }
qint64 PosDocument::incTotal() const { return sumOf(incGroups()); }

qint64 PosDocument::payable() const
{
    qint64 t = 0;
    for (const DocumentLine& l : lines)
        t += l.chargedAmount();
    return t - discount + charge;
}

QDateTime colombianTime(const QDateTime& instant) { return instant.toOffsetFromUtc(-5 * 3600); }

QString documentCude(const PosDocument& d, const ElectronicSettings& s)
{
    const QDateTime co = colombianTime(d.issued);
    CudeParts p;
    p.numero = d.numero;
    p.fecha = co.toString(QStringLiteral("yyyy-MM-dd"));
    p.hora = co.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("-05:00");
    p.valor = d.lineExtensionTotal();
    p.iva = d.ivaTotal();
    p.inc = d.incTotal();
    p.total = d.payable();
    p.nitEmisor = d.seller.id;
    p.idComprador = d.buyer.id;
    p.clave = s.softwarePin;
    p.ambiente = s.ambiente;
    return cude(p);
}

namespace {

// Writes the whole unsigned document; the last UBLExtension's content is left empty for the
// signature, which is returned through `signatureParent`.
xmlDocPtr writeDocument(const PosDocument& d, const ElectronicSettings& s, const QString& cudeCode,
                        const QString& qr, xmlNodePtr* signatureParent)
{
    const bool note = d.tipo != kTipoDocumentoPos;
    xmlDocPtr doc = xmlNewDoc(X("1.0"));
    xmlNodePtr root = xmlNewDocNode(doc, nullptr, X(note ? "CreditNote" : "Invoice"), nullptr);
    xmlDocSetRootElement(doc, root);
    xmlSetNs(root, xmlNewNs(root, X(note ? kNsCreditNote : kNsInvoice), nullptr));
    Writer w(root);
    xmlNewNs(root, X("http://www.w3.org/2000/09/xmldsig#"), X("ds"));
    xmlNewNs(root, X("http://uri.etsi.org/01903/v1.3.2#"), X("xades"));

    const QDateTime co = colombianTime(d.issued);
    const QString fecha = co.toString(QStringLiteral("yyyy-MM-dd"));
    const QString hora = co.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("-05:00");

    // ---- extensions: software maker, buyer benefits, the register (the document's own; the
    // note carries none of them), DIAN's own, the signature
    xmlNodePtr exts = w.ext(root, "UBLExtensions");
    if (!note) {
        nameValues(w, exts, "FabricanteSoftware", "InformacionDelFabricanteDelSoftware",
                   {{"NombreApellido", s.fabricanteNombre},
                    {"RazonSocial", s.fabricanteRazonSocial},
                    {"NombreSoftware", s.fabricanteSoftware}});
        nameValues(w, exts, "BeneficiosComprador", "InformacionBeneficiosComprador",
                   {{"Codigo", d.buyer.id}, {"NombresApellidos", d.buyer.name}, {"Puntos", QStringLiteral("0")}});
        nameValues(w, exts, "PuntoVenta", "InformacionCajaVenta",
                   {{"PlacaCaja", s.placaCaja},
                    {"UbicaciónCaja", s.ubicacionCaja},
                    {"Cajero", d.cashier},
                    {"TipoCaja", s.tipoCaja},
                    {"CódigoVenta", d.saleCode},
                    {"SubTotal", moneyText(d.lineExtensionTotal())}});
    }
    xmlNodePtr dian = w.sts(w.ext(w.ext(exts, "UBLExtension"), "ExtensionContent"), "DianExtensions");
    if (!note) {
        xmlNodePtr control = w.sts(dian, "InvoiceControl");
        w.sts(control, "InvoiceAuthorization", s.resolucion);
        xmlNodePtr period = w.sts(control, "AuthorizationPeriod");
        w.cbc(period, "StartDate", s.fechaDesde.toString(QStringLiteral("yyyy-MM-dd")));
        w.cbc(period, "EndDate", s.fechaHasta.toString(QStringLiteral("yyyy-MM-dd")));
        xmlNodePtr range = w.sts(control, "AuthorizedInvoices");
        if (!d.prefijo.isEmpty())
            w.sts(range, "Prefix", d.prefijo);
        w.sts(range, "From", QString::number(s.rangoDesde));
        w.sts(range, "To", QString::number(s.rangoHasta));
    }
    xmlNodePtr source = w.sts(dian, "InvoiceSource");
    w.cbc(source, "IdentificationCode", QStringLiteral("CO"),
          {{"listAgencyID", QStringLiteral("6")},
           {"listAgencyName", QStringLiteral("United Nations Economic Commission for Europe")},
           {"listSchemeURI", QStringLiteral("urn:oasis:names:specification:ubl:codelist:gc:CountryIdentificationCode-2.1")}});
    xmlNodePtr provider = w.sts(dian, "SoftwareProvider");
    dianNit(w.sts(provider, "ProviderID", s.proveedorNit), s.proveedorNit);
    xmlNodePtr sid = w.sts(provider, "SoftwareID", s.softwareId);
    xmlNewProp(sid, X("schemeAgencyID"), X("195"));
    xmlNewProp(sid, X("schemeAgencyName"), X(kDianAgencyName.toUtf8().constData()));
    xmlNodePtr ssc = w.sts(dian, "SoftwareSecurityCode", sha384Hex(s.softwareId + s.softwarePin + d.numero));
    xmlNewProp(ssc, X("schemeAgencyID"), X("195"));
    xmlNewProp(ssc, X("schemeAgencyName"), X(kDianAgencyName.toUtf8().constData()));
    xmlNodePtr ap = w.sts(dian, "AuthorizationProvider");
    dianNit(w.sts(ap, "AuthorizationProviderID", kDianNit), kDianNit);
    w.sts(dian, "QRCode", qr);
    *signatureParent = w.ext(w.ext(exts, "UBLExtension"), "ExtensionContent");

    // ---- heading
    w.cbc(root, "UBLVersionID", QStringLiteral("UBL 2.1"));
    w.cbc(root, "CustomizationID", note ? QStringLiteral("20") : QStringLiteral("10"));
    w.cbc(root, "ProfileID", note ? QStringLiteral("DIAN 2.1: Nota de ajuste crédito al documento equivalente")
                                  : QStringLiteral("DIAN 2.1: Documento Equivalente POS"));
    w.cbc(root, "ProfileExecutionID", QString::number(s.ambiente));
    w.cbc(root, "ID", d.numero);
    w.cbc(root, "UUID", cudeCode, {{"schemeID", QString::number(s.ambiente)}, {"schemeName", QStringLiteral("CUDE-SHA384")}});
    w.cbc(root, "IssueDate", fecha);
    w.cbc(root, "IssueTime", hora);
    if (!note && d.dueDate.isValid())
        w.cbc(root, "DueDate", d.dueDate.toString(QStringLiteral("yyyy-MM-dd")));
    w.cbc(root, note ? "CreditNoteTypeCode" : "InvoiceTypeCode", d.tipo);
    if (note)
        w.cbc(root, "Note", QStringLiteral("Anulación del documento %1").arg(d.refNumero));
    w.cbc(root, "DocumentCurrencyCode", QStringLiteral("COP"));
    w.cbc(root, "LineCountNumeric", QString::number(d.lines.size()));
    if (note) {
        xmlNodePtr dr = w.cac(root, "DiscrepancyResponse");
        w.cbc(dr, "ReferenceID", d.refNumero);
        w.cbc(dr, "ResponseCode", QStringLiteral("2"));
        w.cbc(dr, "Description", QStringLiteral("Anulación del documento equivalente electrónico"));
        xmlNodePtr ref = w.cac(w.cac(root, "BillingReference"), "InvoiceDocumentReference");
        w.cbc(ref, "ID", d.refNumero);
        w.cbc(ref, "UUID", d.refCude, {{"schemeName", QStringLiteral("CUDE-SHA384")}});
        w.cbc(ref, "IssueDate", d.refDate.toString(QStringLiteral("yyyy-MM-dd")));
        w.cbc(ref, "DocumentTypeCode", kTipoDocumentoPos);
    }

    party(w, root, "AccountingSupplierParty", d.seller, true);
    party(w, root, "AccountingCustomerParty", d.buyer, false);

    xmlNodePtr pm = w.cac(root, "PaymentMeans");
    w.cbc(pm, "ID", d.paymentMeansId);
    w.cbc(pm, "PaymentMeansCode", d.paymentMeansCode);
    w.cbc(pm, "PaymentDueDate", (d.dueDate.isValid() ? d.dueDate : co.date()).toString(QStringLiteral("yyyy-MM-dd")));

    int allowanceId = 0;
    if (d.discount != 0) {
        xmlNodePtr ac = w.cac(root, "AllowanceCharge");
        w.cbc(ac, "ID", QString::number(++allowanceId));
        w.cbc(ac, "ChargeIndicator", QStringLiteral("false"));
        w.cbc(ac, "AllowanceChargeReasonCode", QStringLiteral("11"));
        w.cbc(ac, "AllowanceChargeReason", QStringLiteral("Descuento"));
        w.amount(ac, "Amount", d.discount);
        w.amount(ac, "BaseAmount", d.lineExtensionTotal() + d.ivaTotal() + d.incTotal());
    }
    if (d.charge != 0) {
        xmlNodePtr ac = w.cac(root, "AllowanceCharge");
        w.cbc(ac, "ID", QString::number(++allowanceId));
        w.cbc(ac, "ChargeIndicator", QStringLiteral("true"));
        w.cbc(ac, "AllowanceChargeReason", QStringLiteral("Servicio"));
        w.amount(ac, "Amount", d.charge);
        w.amount(ac, "BaseAmount", d.lineExtensionTotal() + d.ivaTotal() + d.incTotal());
    }

    const std::vector<TaxGroup> ivas = d.ivaGroups(), incs = d.incGroups();
    qint64 taxedBase = 0;
    for (const DocumentLine& l : d.lines)
        if (l.iva != 0 || l.ivaRate != 0 || l.inc != 0 || l.incRate != 0)
            taxedBase += l.lineExtension;
    if (!ivas.empty())
        taxTotal(w, root, true, ivas);
    if (!incs.empty())
        taxTotal(w, root, false, incs);

    xmlNodePtr lmt = w.cac(root, "LegalMonetaryTotal");
    w.amount(lmt, "LineExtensionAmount", d.lineExtensionTotal());
    w.amount(lmt, "TaxExclusiveAmount", taxedBase);
    w.amount(lmt, "TaxInclusiveAmount", d.taxInclusive());
    w.amount(lmt, "AllowanceTotalAmount", d.discount);
    w.amount(lmt, "ChargeTotalAmount", d.charge);
    // The taxes stated are each base times its rate; the sale charged its own rounded taxes. The
    // difference, never more than a few pesos, is said here so that the payable stays what the
    // customer paid.
    if (d.rounding() != 0)
        w.amount(lmt, "PayableRoundingAmount", d.rounding());
    w.amount(lmt, "PayableAmount", d.payable());

    int n = 0;
    for (const DocumentLine& l : d.lines) {
        xmlNodePtr line = w.cac(root, note ? "CreditNoteLine" : "InvoiceLine");
        w.cbc(line, "ID", QString::number(++n));
        w.cbc(line, note ? "CreditedQuantity" : "InvoicedQuantity", quantityText(l.quantity),
              {{"unitCode", QStringLiteral("94")}});
        w.amount(line, "LineExtensionAmount", l.lineExtension);
        // The line's discount: the price times the quantity, less this, is the base the taxes
        // were figured on. An invoice line carries it before its taxes, a credit note line after.
        auto lineAllowance = [&] {
            if (l.allowance == 0)
                return;
            xmlNodePtr ac = w.cac(line, "AllowanceCharge");
            w.cbc(ac, "ID", QStringLiteral("1"));
            w.cbc(ac, "ChargeIndicator", QStringLiteral("false"));
            w.cbc(ac, "AllowanceChargeReason", QStringLiteral("Descuento"));
            const qint64 gross = l.lineExtension + l.allowance;
            w.cbc(ac, "MultiplierFactorNumeric",
                  QString::number(gross != 0 ? 100.0 * double(l.allowance) / double(gross) : 0, 'f', 2));
            w.amount(ac, "Amount", l.allowance);
            w.amount(ac, "BaseAmount", gross);
        };
        if (!note)
            lineAllowance();
        if (l.iva != 0 || l.ivaRate != 0)
            taxTotal(w, line, true, {{l.ivaRate, l.lineExtension, taxOf(l.lineExtension, l.ivaRate)}});
        if (l.inc != 0 || l.incRate != 0)
            taxTotal(w, line, false, {{l.incRate, l.lineExtension, taxOf(l.lineExtension, l.incRate)}});
        if (note)
            lineAllowance();
        xmlNodePtr item = w.cac(line, "Item");
        w.cbc(item, "Description", l.description);
        xmlNodePtr std = w.cac(item, "StandardItemIdentification");
        w.cbc(std, "ID", l.code, {{"schemeID", QStringLiteral("999")}, {"schemeName", QStringLiteral("Estándar de adopción del contribuyente")}});
        xmlNodePtr price = w.cac(line, "Price");
        // The unit price without taxes before the discount: whole cents, so the line is price ×
        // quantity less its discount within the rounding.
        const qint64 gross = l.lineExtension + l.allowance;
        const qint64 unit = l.quantity != 0 ? std::llround(double(gross) / l.quantity) : 0;
        w.amount(price, "PriceAmount", unit);
        w.cbc(price, "BaseQuantity", quantityText(1), {{"unitCode", QStringLiteral("94")}});
    }
    return doc;
}

// The last ext:ExtensionContent of the document: where the signature goes.
xmlNodePtr lastExtensionContent(xmlDocPtr doc)
{
    xmlNodePtr exts = xmlDocGetRootElement(doc)->children;
    while (exts && !(exts->type == XML_ELEMENT_NODE && xmlStrEqual(exts->name, X("UBLExtensions"))))
        exts = exts->next;
    xmlNodePtr last = nullptr;
    for (xmlNodePtr e = exts ? exts->children : nullptr; e; e = e->next)
        if (e->type == XML_ELEMENT_NODE)
            last = e;
    for (xmlNodePtr c = last ? last->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && xmlStrEqual(c->name, X("ExtensionContent")))
            return c;
    throw Failure(QStringLiteral("No se pudo escribir el documento electrónico"));
}

}  // namespace

BuiltDocument buildSignedDocument(const PosDocument& d, const ElectronicSettings& s, const Certificate& cert,
                                  const QDateTime& signingTime)
{
    BuiltDocument out;
    out.cude = documentCude(d, s);
    out.qr = lookupAddress(s.ambiente, out.cude);
    xmlNodePtr signatureParent = nullptr;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> written(writeDocument(d, s, out.cude, out.qr, &signatureParent),
                                                           xmlFreeDoc);
    // The document is indented once, before it is signed, so that a person can read what is stored
    // and sent; after signing it is written out as it stands, never re-indented.
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(written.get(), &text, &size, "UTF-8", 1);
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
        xmlReadMemory(reinterpret_cast<const char*>(text), size, nullptr, "UTF-8", XML_PARSE_NONET), xmlFreeDoc);
    xmlFree(text);
    if (!doc)
        throw Failure(QStringLiteral("No se pudo escribir el documento electrónico"));
    out.xml = signEnveloped(doc.get(), lastExtensionContent(doc.get()), cert, colombianTime(signingTime));
    return out;
}

}  // namespace kv
