// The electronic documents screen offscreen: a day's documents by state, the DIAN's messages of
// the one chosen, resend, and the configuration saved with its secrets sealed.
#include "backoffice/UntDocumentosElectronicos.h"
#include "einvoice/PosDocument.h"
#include "einvoice/Settings.h"
#include "platform/EnvScope.h"
#include "support/TestDb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeZone>
#include <QtTest/QTest>

using namespace kv;

namespace {

class DocumentosScreenTest : public kvtest::DbTest {
protected:
    void add(int n, const char* estado, const QDateTime& fecha, const QString& mensajes)
    {
        db->exec(QStringLiteral("INSERT INTO POSDOCUMENTOELECTRONICO (EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, CUDE, "
                                "FECHA, XML, ESTADO, INTENTOS, MENSAJES) VALUES ('1', 'POS', :N, '20', :NUMERO, 'c', :F, "
                                "'<Invoice/>', :E, 1, :M)"),
                 {{"N", n}, {"NUMERO", QStringLiteral("EPOS%1").arg(n)}, {"F", fecha}, {"E", QString::fromLatin1(estado)},
                  {"M", mensajes}});
    }
    QString estadoOf(int n)
    {
        return db->scalar(QStringLiteral("SELECT ESTADO FROM POSDOCUMENTOELECTRONICO WHERE CONSECUTIVO = :N"), {{"N", n}})
            .toString().trimmed();
    }
};

}  // namespace

TEST_F(DocumentosScreenTest, ListsTheDayByStateShowsMessagesAndResends)
{
    // The documents carry Colombian dates; the screen opens on Colombia's day.
    const QDateTime today(kv::colombianTime(QDateTime::currentDateTimeUtc()).date(), QTime(10, 0));
    add(1, "A", today, QStringLiteral("Regla: FAJ44b, Notificación: aviso"));
    add(2, "R", today.addSecs(60), QStringLiteral("Regla: FAU04, Rechazo: Valor total no coincide."));
    add(3, "E", today.addDays(-1), QStringLiteral("sin red"));
    TFrmDocumentosElectronicos f(*db, nullptr, dir.filePath("korvela.key"));
    f.show();
    f.BtnConsultarClick();
    EXPECT_EQ(f.QDocumentos().recordCount(), 2);  // yesterday's is not listed

    f.CmbEstado->setCurrentIndex(f.CmbEstado->findText(QStringLiteral("Rechazados")));
    f.BtnConsultarClick();
    ASSERT_EQ(f.QDocumentos().recordCount(), 1);
    EXPECT_EQ(f.MemoMensajes->toPlainText(), QStringLiteral("Regla: FAU04, Rechazo: Valor total no coincide."));
    ASSERT_TRUE(f.BtnReenviar->isEnabled());
    QTest::mouseClick(f.BtnReenviar, Qt::LeftButton);
    EXPECT_EQ(estadoOf(2), QStringLiteral("P"));

    // An accepted document cannot be resent.
    f.CmbEstado->setCurrentIndex(f.CmbEstado->findText(QStringLiteral("Aceptados")));
    f.BtnConsultarClick();
    EXPECT_FALSE(f.BtnReenviar->isEnabled());
    f.BtnReenviarClick();
    EXPECT_EQ(estadoOf(1), QStringLiteral("A"));
}

TEST_F(DocumentosScreenTest, OpensOnColombiasDayWhateverTheMachinesZone)
{
    // The documents carry Colombian dates. At any hour one of these two zones is on another date
    // than Colombia: the screen opened there still offers Colombia's day and lists its documents.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDate colombia = kv::colombianTime(now).date();
    const char* zone = now.toTimeZone(QTimeZone("Pacific/Kiritimati")).date() != colombia ? "Pacific/Kiritimati"
                                                                                            : "Pacific/Pago_Pago";
    add(1, "P", QDateTime(colombia, QTime(12, 0)), QString());
    std::unique_ptr<TFrmDocumentosElectronicos> f;
    {
        ZoneScope elsewhere(zone);
        ASSERT_NE(QDate::currentDate(), colombia) << zone;
        f = std::make_unique<TFrmDocumentosElectronicos>(*db, nullptr, dir.filePath("korvela.key"));
    }
    EXPECT_EQ(f->EditFecha->date(), colombia);
    f->BtnConsultarClick();
    EXPECT_EQ(f->QDocumentos().recordCount(), 1);
}

TEST_F(DocumentosScreenTest, ConfigurationIsSavedWithSecretsSealedAndNeverShownBack)
{
    const QString key = dir.filePath("korvela.key");
    db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('1', 'Minimercado de Prueba')");
    TFrmDocumentosElectronicos f(*db, nullptr, key);
    f.show();
    ASSERT_GT(f.CmbEmpresa->count(), 0);
    f.EditSoftwareId->setText("56f2ae4e-9812-4fad-9255-643fcc5c3b1a");
    f.EditPin->setText("98765");
    f.EditResolucion->setText("18760000001");
    f.EditPrefijo->setText("EPOS");
    f.EditDesde->setText("10");
    f.EditHasta->setText("5");
    EXPECT_FALSE(f.BtnGrabarClick());  // the range runs backwards: nothing saved
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM POSCONFIGELECTRONICA").toInt(), 0);
    f.EditHasta->setText("5000");
    ASSERT_TRUE(f.BtnGrabarClick()) << dialogs.last().toStdString();

    const QString empresa = f.CmbEmpresa->currentData().toString();
    const QString stored = db->scalar("SELECT SOFTWAREPIN FROM POSCONFIGELECTRONICA").toString();
    EXPECT_FALSE(stored.contains("98765"));
    EXPECT_TRUE(f.EditPin->text().isEmpty());  // not shown back
    EXPECT_EQ(loadElectronicSettings(*db, empresa, key)->softwarePin, QStringLiteral("98765"));

    // Saving again with the box left empty keeps the stored PIN.
    f.EditPlaca->setText("CAJA-002");
    ASSERT_TRUE(f.BtnGrabarClick());
    EXPECT_EQ(loadElectronicSettings(*db, empresa, key)->softwarePin, QStringLiteral("98765"));
    EXPECT_EQ(loadElectronicSettings(*db, empresa, key)->placaCaja, QStringLiteral("CAJA-002"));
}

TEST_F(DocumentosScreenTest, EachSaleDocumentTypeKeepsItsOwnAuthorizationAndTheSellersTaxDataAreSaved)
{
    const QString key = dir.filePath("korvela.key");
    db->exec("INSERT INTO EMPRESAS (EMPRESA, NOMBRE) VALUES ('1', 'Minimercado de Prueba')");
    db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, PREFIJO) VALUES ('POS', 'FACTURA POS', 'TDA')");
    db->exec("INSERT INTO DOCUMENTOS (DOCUMENTO, NOMBRE, PREFIJO) VALUES ('PRS', 'FACTURA RESTAURANTE', 'RST')");
    db->exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (1, 1, 'POS', '1')");
    db->exec("INSERT INTO POSESQUEMA (LLAVE, SUCURSAL, DOCUMENTO, EMPRESA) VALUES (2, 2, 'PRS', '1')");
    TFrmDocumentosElectronicos f(*db, nullptr, key);
    f.show();
    ASSERT_EQ(f.CmbDocumento->count(), 3);  // the general one and the two sale types
    f.EditSoftwareId->setText("56f2ae4e-9812-4fad-9255-643fcc5c3b1a");
    f.EditPin->setText("98765");
    f.CmbTributo->setCurrentIndex(f.CmbTributo->findData("ZA"));
    f.EditResponsabilidades->setText("o-13; o-15");
    f.EditDireccion->setText("Calle 11 # 3-45");
    f.EditMunicipio->setText("1100");
    auto authorize = [&](const char* documento, const char* resolucion, const char* prefijo, const char* desde,
                         const char* hasta) {
        f.CmbDocumento->setCurrentIndex(f.CmbDocumento->findData(QString::fromLatin1(documento)));
        f.EditResolucion->setText(resolucion);
        f.EditPrefijo->setText(prefijo);
        f.EditDesde->setText(desde);
        f.EditHasta->setText(hasta);
        return f.BtnGrabarClick();
    };
    EXPECT_FALSE(authorize("POS", "18764000001234", "TDA", "1", "100000"));  // a DANE code of four digits
    EXPECT_TRUE(dialogs.last().contains("código DANE")) << dialogs.last().toStdString();
    f.EditMunicipio->setText("11001");
    ASSERT_TRUE(authorize("POS", "18764000001234", "TDA", "1", "100000")) << dialogs.last().toStdString();
    ASSERT_TRUE(authorize("PRS", "18764000005678", "RST", "1", "50000")) << dialogs.last().toStdString();

    const std::vector<DianAuthorization> stored = loadAuthorizations(*db, "1");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].prefijo, "TDA");
    EXPECT_EQ(stored[1].prefijo, "RST");
    EXPECT_EQ(stored[1].rangoHasta, 50000);
    const ElectronicSettings s = *loadElectronicSettings(*db, "1", key);
    EXPECT_EQ(s.tributo, "ZA");
    EXPECT_EQ(s.responsabilidades, "O-13;O-15");
    EXPECT_EQ(s.municipio, "11001");
    EXPECT_TRUE(s.resolucion.isEmpty());  // no general authorization was typed
    // Both are listed; choosing a type shows its own.
    EXPECT_TRUE(f.MemoAutorizaciones->toPlainText().contains("POS: resolución 18764000001234, TDA1 a TDA100000"));
    EXPECT_TRUE(f.MemoAutorizaciones->toPlainText().contains("PRS: resolución 18764000005678, RST1 a RST50000"));
    f.CmbDocumento->setCurrentIndex(f.CmbDocumento->findData(QStringLiteral("POS")));
    EXPECT_EQ(f.EditPrefijo->text(), "TDA");

    // A type's boxes emptied give it back to the general authorization.
    ASSERT_TRUE(authorize("PRS", "", "", "", ""));
    EXPECT_EQ(loadAuthorizations(*db, "1").size(), 1u);
}
