// A company's electronic document settings go to the database and back, with the software PIN and
// the certificate's password sealed: unreadable in the row, and unreadable with another key.
#include "DianTestKit.h"
#include "einvoice/Settings.h"
#include "support/TestDb.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

using namespace kv;

namespace {

class SettingsTest : public kvtest::DbTest {
protected:
    QString keyFile() const { return dir.filePath("korvela.key"); }

    // The sender tests' shop, with every field filled in, a test set and a service address.
    static ElectronicSettings sample()
    {
        ElectronicSettings s = kvtest::testShopSettings("/srv/cert/tienda.p12", "clave del certificado ñ");
        s.testSetId = "a8b3c2d1-0000-4000-8000-000000000001";
        s.fechaDesde = QDate(2026, 1, 1);
        s.fechaHasta = QDate(2027, 12, 31);
        s.servicio = "http://127.0.0.1:8123/WcfDianCustomerServices.svc";
        return s;
    }
};

TEST_F(SettingsTest, SavedSettingsComeBackWithSecretsSealedInTheRow)
{
    const ElectronicSettings s = sample();
    saveElectronicSettings(*db, s, keyFile());
    // A second save replaces the row instead of adding one.
    saveElectronicSettings(*db, s, keyFile());
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSCONFIGELECTRONICA").toInt(), 1);

    const auto back = loadElectronicSettings(*db, "1", keyFile());
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->activo);
    EXPECT_EQ(back->softwarePin, "12345");
    EXPECT_EQ(back->claveCertificado, "clave del certificado ñ");
    EXPECT_EQ(back->prefijo, "EPOS");
    EXPECT_EQ(back->rangoHasta, 5000000);
    EXPECT_EQ(back->fechaHasta, QDate(2027, 12, 31));
    EXPECT_EQ(back->servicio, s.servicio);
    EXPECT_EQ(serviceAddress(*back), s.servicio);

    QSqlQuery q = db->exec("SELECT SOFTWAREPIN, CLAVECERTIFICADO FROM POSCONFIGELECTRONICA");
    ASSERT_TRUE(q.next());
    EXPECT_FALSE(q.value(0).toString().contains("12345"));
    EXPECT_FALSE(q.value(1).toString().contains("clave"));
    EXPECT_TRUE(q.value(0).toString().startsWith("v1:"));

    // The key file is its owner's alone.
    EXPECT_EQ(QFileInfo(keyFile()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), 0);
}

TEST_F(SettingsTest, SecretsDoNotOpenWithAnotherKeyOrWhenAltered)
{
    saveElectronicSettings(*db, sample(), keyFile());
    const QString other = dir.filePath("otra.key");
    sealSecret("x", other);  // makes another installation's key
    EXPECT_THROW(loadElectronicSettings(*db, "1", other), Failure);
    EXPECT_THROW(loadElectronicSettings(*db, "1", dir.filePath("falta.key")), Failure);

    QString sealed = sealSecret("12345", keyFile());
    EXPECT_NE(sealed, sealSecret("12345", keyFile()));  // a fresh nonce each time
    sealed[10] = sealed[10] == 'A' ? 'B' : 'A';
    EXPECT_THROW(openSecret(sealed, keyFile()), Failure);
}

TEST_F(SettingsTest, NoRowMeansNoSettingsAndDianAddressesFollowTheEnvironment)
{
    EXPECT_FALSE(loadElectronicSettings(*db, "1", keyFile()).has_value());
    ElectronicSettings s;
    s.ambiente = 1;
    EXPECT_EQ(serviceAddress(s), "https://vpfe.dian.gov.co/WcfDianCustomerServices.svc");
    s.ambiente = 2;
    EXPECT_EQ(serviceAddress(s), "https://vpfe-hab.dian.gov.co/WcfDianCustomerServices.svc");
    EXPECT_EQ(lookupAddress(2, "abc"), "https://catalogo-vpfe-hab.dian.gov.co/document/searchqr?documentkey=abc");
}

}  // namespace
