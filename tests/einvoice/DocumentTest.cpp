// The signed document as the DIAN receives it: the same bytes for the same sale (kept as golden
// files), valid against the UBL 2.1 and DIAN schemas, a signature the xmlsec1 program verifies and
// that breaks when one byte changes, and Colombian time whatever the machine's zone.
#include "DocumentSamples.h"
#include "einvoice/Cude.h"
#include "einvoice/XadesSignature.h"
#include "platform/EnvScope.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kv;
using namespace kvtest;

namespace {

BuiltDocument build(const PosDocument& d)
{
    return buildSignedDocument(d, sampleSettings(), sampleCertificate(), d.issued);
}

QString between(const QByteArray& xml, const QString& open, const QString& close)
{
    const QString t = QString::fromUtf8(xml);
    const int a = t.indexOf(open);
    const int b = t.indexOf(close, a + open.size());
    return a < 0 || b < 0 ? QString() : t.mid(a + open.size(), b - a - open.size());
}

// Runs f with the process in another time zone.
template <typename F>
auto inZone(const char* tz, F f)
{
    ZoneScope zone(tz);
    return f();
}

class DocumentTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DocumentTest, MatchesItsGoldenFileIsValidAndVerifies)
{
    const QString name = QString::fromLatin1(GetParam());
    const PosDocument d = name == QLatin1String("tienda") ? shopSale() : restaurantSale();
    const BuiltDocument b = build(d);

    const QString path = QStringLiteral(KV_EINVOICE_TEST_DIR "/golden/%1.xml").arg(name);
    if (qEnvironmentVariableIsSet("KORVELA_UPDATE_GOLDEN")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b.xml);
    }
    QFile golden(path);
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(b.xml, golden.readAll()) << "the document changed; KORVELA_UPDATE_GOLDEN=1 writes it again";

    EXPECT_EQ(schemaProblems(b.xml).toStdString(), "");
    QString out;
    EXPECT_TRUE(xmlsecVerifies(b.xml, sampleCertificate(), &out)) << out.toStdString();

    // The UUID is the CUDE of the very strings the document carries.
    EXPECT_EQ(between(b.xml, "schemeName=\"CUDE-SHA384\">", "</cbc:UUID>"), b.cude);
    EXPECT_EQ(b.cude, documentCude(d, sampleSettings()));
    EXPECT_EQ(b.qr, "https://catalogo-vpfe-hab.dian.gov.co/document/searchqr?documentkey=" + b.cude);
}

INSTANTIATE_TEST_SUITE_P(Sales, DocumentTest, ::testing::Values("tienda", "restaurante"));

TEST(DocumentContent, ShopSaleCarriesItsTaxesTotalsAndColombianTime)
{
    const BuiltDocument b = build(shopSale());
    const QString x = QString::fromUtf8(b.xml);
    // Issued 15:30 UTC: 10:30 in Colombia, signed at the same instant.
    EXPECT_TRUE(x.contains("<cbc:IssueDate>2027-03-15</cbc:IssueDate>"));
    EXPECT_TRUE(x.contains("<cbc:IssueTime>10:30:00-05:00</cbc:IssueTime>"));
    EXPECT_TRUE(x.contains("<xades:SigningTime>2027-03-15T10:30:00-05:00</xades:SigningTime>"));
    EXPECT_TRUE(x.contains("<cbc:InvoiceTypeCode>20</cbc:InvoiceTypeCode>"));
    EXPECT_TRUE(x.contains("<cbc:ProfileExecutionID>2</cbc:ProfileExecutionID>"));
    EXPECT_EQ(amountProblems(b.xml).toStdString(), "");
    // IVA 19 % on 20 000 + 9 000, 5 % on 4 000; the discounted line states its base, its discount
    // without IVA as its allowance, and the price before the discount.
    EXPECT_TRUE(x.contains("<cbc:TaxableAmount currencyID=\"COP\">29000.00</cbc:TaxableAmount>"));
    EXPECT_TRUE(x.contains("<cbc:TaxAmount currencyID=\"COP\">5710.00</cbc:TaxAmount>"));  // IVA in all
    EXPECT_TRUE(x.contains("<cbc:Amount currencyID=\"COP\">1000.00</cbc:Amount>"));
    EXPECT_TRUE(x.contains("<cbc:BaseAmount currencyID=\"COP\">10000.00</cbc:BaseAmount>"));
    EXPECT_TRUE(x.contains("<cbc:PriceAmount currencyID=\"COP\">10000.00</cbc:PriceAmount>"));
    EXPECT_TRUE(x.contains("<cbc:TaxableAmount currencyID=\"COP\">9000.00</cbc:TaxableAmount>"));
    EXPECT_EQ(between(b.xml, "<cbc:LineExtensionAmount currencyID=\"COP\">", "<").toStdString(), "36500.00");
    EXPECT_EQ(between(b.xml, "<cbc:PayableAmount currencyID=\"COP\">", "<").toStdString(), "42210.00");
    EXPECT_FALSE(x.contains("PayableRoundingAmount"));  // every line's taxes add up exactly
    // The seller's tax data as configured; the provider ids with their check digits.
    EXPECT_TRUE(x.contains("<cbc:TaxLevelCode listName=\"48\">O-13</cbc:TaxLevelCode>"));
    EXPECT_TRUE(x.contains("<cbc:ID>ZA</cbc:ID>"));
    EXPECT_TRUE(x.contains("<cbc:ID>11001</cbc:ID>"));
    EXPECT_TRUE(x.contains("<cbc:CountrySubentityCode>11</cbc:CountrySubentityCode>"));
    EXPECT_TRUE(x.contains("schemeID=\"8\" schemeName=\"31\">900123456</sts:ProviderID>"));
    EXPECT_TRUE(x.contains("schemeID=\"4\" schemeName=\"31\">800197268</sts:AuthorizationProviderID>"));
    // The software security code: SHA-384 of software id, PIN and number.
    EXPECT_EQ(between(b.xml, "schemeAgencyName=\"CO, DIAN (Dirección de Impuestos y Aduanas Nacionales)\">", "<"),
              sampleSettings().softwareId);
    EXPECT_TRUE(x.contains(sha384Hex("56f2ae4e-9812-4fad-9255-643fcc5c3b1a75315EPOS1001")));
    EXPECT_TRUE(x.contains(QString::fromLatin1(kSignaturePolicyDigest)));
    EXPECT_TRUE(x.contains("<xades:ClaimedRole>supplier</xades:ClaimedRole>"));
    EXPECT_TRUE(x.contains("<ds:X509SerialNumber>4711</ds:X509SerialNumber>"));
    // The register's extension names keep their accents.
    EXPECT_TRUE(x.contains("<Name>UbicaciónCaja</Name>"));
    EXPECT_TRUE(x.contains("<Name>CódigoVenta</Name>"));
}

TEST(DocumentContent, RestaurantSaleStatesTheFinalConsumerIncTipAndDiscount)
{
    const BuiltDocument b = build(restaurantSale());
    const QString x = QString::fromUtf8(b.xml);
    EXPECT_TRUE(x.contains("<cbc:ID schemeName=\"13\">222222222222</cbc:ID>"));
    EXPECT_TRUE(x.contains("CONSUMIDOR FINAL"));
    EXPECT_TRUE(x.contains("<cbc:ID>04</cbc:ID>"));
    EXPECT_FALSE(x.contains("<cbc:ID>01</cbc:ID>"));  // no IVA at all
    // 58 000 + 3 000 charged for the coffees + 4 640 + 222.21 INC − 1 000 discount + 6 264 service;
    // the INC the document states is 4 862.22, a cent over what the lines charged, said as
    // rounding so the payable stays what the customer paid
    EXPECT_EQ(amountProblems(b.xml).toStdString(), "");
    EXPECT_EQ(between(b.xml, "<cbc:PayableAmount currencyID=\"COP\">", "<").toStdString(), "70904.00");
    EXPECT_EQ(between(b.xml, "<cbc:PayableRoundingAmount currencyID=\"COP\">", "<").toStdString(), "-0.01");
    EXPECT_TRUE(x.contains("<cbc:TaxAmount currencyID=\"COP\">4862.22</cbc:TaxAmount>"));
    EXPECT_EQ(between(b.xml, "<cbc:AllowanceTotalAmount currencyID=\"COP\">", "<").toStdString(), "1000.00");
    EXPECT_EQ(between(b.xml, "<cbc:ChargeTotalAmount currencyID=\"COP\">", "<").toStdString(), "6264.00");
}

TEST(DocumentSignature, OneByteChangedAfterSigningFailsVerification)
{
    const BuiltDocument b = build(shopSale());
    ASSERT_TRUE(xmlsecVerifies(b.xml, sampleCertificate()));
    const struct {
        const char* what;
        const char* from;
        const char* to;
    } changes[] = {
        {"an amount", "<cbc:PayableAmount currencyID=\"COP\">42210.00", "<cbc:PayableAmount currencyID=\"COP\">42210.01"},
        {"the signing time", "2027-03-15T10:30:00-05:00</xades:SigningTime>", "2027-03-15T10:30:01-05:00</xades:SigningTime>"},
        {"the role", "<xades:ClaimedRole>supplier", "<xades:ClaimedRole>supplieR"},
    };
    for (const auto& c : changes) {
        QByteArray changed = b.xml;
        ASSERT_TRUE(changed.contains(c.from)) << c.what;
        changed.replace(c.from, c.to);
        EXPECT_FALSE(xmlsecVerifies(changed, sampleCertificate())) << c.what;
    }
}

TEST(DocumentSignature, SameBytesWhateverTheMachinesTimeZone)
{
    const QByteArray utc = inZone("UTC", [] { return build(shopSale()).xml; });
    const QByteArray tokyo = inZone("Asia/Tokyo", [] { return build(shopSale()).xml; });
    const QByteArray bogota = inZone("America/Bogota", [] { return build(shopSale()).xml; });
    EXPECT_EQ(utc, tokyo);
    EXPECT_EQ(utc, bogota);
}

TEST(DocumentNote, AdjustmentNoteIsAValidSignedCreditNoteReferringToTheDocument)
{
    const BuiltDocument original = build(shopSale());
    PosDocument note = shopSale();
    note.tipo = kTipoNotaAjuste;
    note.prefijo = kPrefijoNotaAjuste;
    note.numero = "NA1";
    note.issued = sampleIssueTime().addDays(1);
    note.refNumero = "EPOS1001";
    note.refCude = original.cude;
    note.refDate = QDate(2027, 3, 15);
    const BuiltDocument b = build(note);
    const QString x = QString::fromUtf8(b.xml);
    EXPECT_TRUE(x.contains("<CreditNote xmlns=\"urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2\""));
    EXPECT_TRUE(x.contains("<cbc:CreditNoteTypeCode>94</cbc:CreditNoteTypeCode>"));
    EXPECT_TRUE(x.contains("<cbc:CustomizationID>20</cbc:CustomizationID>"));
    EXPECT_TRUE(x.contains("<cbc:ProfileID>DIAN 2.1: Nota de ajuste crédito al documento equivalente</cbc:ProfileID>"));
    // The POS extensions belong to the document, not to its note; the DIAN's own stay.
    for (const char* extension : {"FabricanteSoftware", "BeneficiosComprador", "PuntoVenta", "InvoiceControl"})
        EXPECT_FALSE(x.contains(extension)) << extension;
    EXPECT_TRUE(x.contains("<sts:SoftwareSecurityCode"));
    EXPECT_TRUE(x.contains(original.cude));
    EXPECT_EQ(schemaProblems(b.xml).toStdString(), "");
    EXPECT_EQ(amountProblems(b.xml).toStdString(), "");
    EXPECT_TRUE(xmlsecVerifies(b.xml, sampleCertificate()));
}

}  // namespace
