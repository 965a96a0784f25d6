#include "einvoice/DemoElectronic.h"

#include "einvoice/Certificate.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <tuple>
#include <vector>

namespace kv {

void setUpDemoElectronicDocuments(const QString& locationFile)
{
    const QDir dir = QFileInfo(locationFile).absoluteDir();
    // The demo's secrets are sealed with the key beside its location file, the one the program
    // started on the demo reads.
    useKeyFileBeside(locationFile);
    const QString keyFile = defaultKeyFile();
    const QString certFile = dir.filePath(QStringLiteral("certificado-demo.p12"));
    Connection c(QStringLiteral("KorvelaDemoElectronic"));
    c.setLocation(dir.filePath(QStringLiteral("korvela.fdb")));
    c.open();

    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<std::tuple<QString, QString, QString>> companies;  // EMPRESA, NOMBRE, NIT
    QSqlQuery e = c.exec(QStringLiteral("SELECT EMPRESA, NOMBRE, NIT FROM EMPRESAS ORDER BY EMPRESA"));
    while (c.next(e))
        companies.emplace_back(e.value(0).toString().trimmed(), e.value(1).toString().trimmed(),
                               e.value(2).toString().section(QLatin1Char('-'), 0, 0).trimmed());
    if (companies.empty())
        return;
    if (!QFile::exists(certFile))
        makeTestCertificate(certFile, kDemoCertificatePassword, std::get<1>(companies.front()),
                            std::get<2>(companies.front()), now.addDays(-30), 3 * 365);

    for (const auto& [empresa, nombre, nit] : companies) {
        if (loadElectronicSettings(c, empresa, keyFile))
            continue;
        ElectronicSettings s;
        s.empresa = empresa;
        s.activo = true;
        s.ambiente = 2;
        s.softwareId = QStringLiteral("8b7c3f2e-5a41-4d0e-9c6b-3e2f1a0d9c8b");
        s.softwarePin = kDemoSoftwarePin;
        s.testSetId = QStringLiteral("d4c3b2a1-9f8e-4d7c-8b6a-5f4e3d2c1b0a");
        s.certificado = certFile;
        s.claveCertificado = kDemoCertificatePassword;
        // No general authorization: each sale document type has its own, for its own prefix, as
        // its DOCUMENTOS row describes it (numbering 1 to 100 000, 24 months from 8 months ago).
        const QDate from = now.date().addMonths(-8);
        for (const auto& [documento, resolucion, prefijo] :
             {std::tuple{"POS", "18764000001234", "TDA"}, std::tuple{"PRS", "18764000005678", "RST"}}) {
            DianAuthorization a;
            a.empresa = empresa;
            a.documento = QLatin1String(documento);
            a.resolucion = QLatin1String(resolucion);
            a.prefijo = QLatin1String(prefijo);
            a.rangoDesde = 1;
            a.rangoHasta = 100000;
            a.fechaDesde = from;
            a.fechaHasta = from.addMonths(24);
            saveAuthorization(c, a);
        }
        // The seller's tax data: a company (legal person) that charges IVA in the shop and INC in
        // the restaurant, with no special responsibility, in Bogotá.
        s.tipoPersona = QStringLiteral("1");
        s.responsabilidades = QStringLiteral("R-99-PN");
        s.tributo = QStringLiteral("ZA");
        s.direccion = QStringLiteral("CALLE 12 # 4-35 LA CANDELARIA");
        s.municipio = QStringLiteral("11001");
        s.correo = QStringLiteral("ventas@lacandelaria.com.co");
        s.placaCaja = QStringLiteral("CANDELARIA-POS-01");
        s.ubicacionCaja = QStringLiteral("CALLE 12 # 4-35 LA CANDELARIA, BOGOTA D.C.");
        s.tipoCaja = QStringLiteral("Caja registradora POS");
        s.fabricanteNombre = QStringLiteral("Equipo KorvelaPos");
        s.fabricanteRazonSocial = QStringLiteral("KorvelaPos");
        s.fabricanteSoftware = QStringLiteral("KorvelaPos");
        s.proveedorNit = nit;
        saveElectronicSettings(c, s, keyFile);
    }

    // The paid sales without their document get it, issued when they were sold (the demo's times
    // are read as Colombian time). Voided sales (nothing left to pay) get none.
    std::vector<std::tuple<QString, QString, int, QDateTime>> sales;
    QSqlQuery q = c.exec(QStringLiteral(
        "SELECT m.EMPRESA, m.DOCUMENTO, m.CONSECUTIVO, m.FECHA FROM POSMOVIMIENTO m WHERE m.STATUS = 'I' AND "
        "m.NETO <> 0 AND NOT EXISTS (SELECT 1 FROM POSDOCUMENTOELECTRONICO d WHERE d.EMPRESA = m.EMPRESA AND "
        "d.DOCUMENTO = m.DOCUMENTO AND d.CONSECUTIVO = m.CONSECUTIVO) ORDER BY m.FECHA"));
    while (c.next(q)) {
        const QDateTime f = q.value(3).toDateTime();
        sales.emplace_back(q.value(0).toString().trimmed(), q.value(1).toString().trimmed(), q.value(2).toInt(),
                           QDateTime(f.date(), f.time(), Qt::OffsetFromUTC, -5 * 3600));
    }
    Transaction t(c);
    for (const auto& [empresa, documento, consecutivo, when] : sales)
        issueSaleDocument(c, empresa, documento, consecutivo, when);
    t.commit();
}

}  // namespace kv
