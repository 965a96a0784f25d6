#pragma once
// A company's electronic POS document settings (table POSCONFIGELECTRONICA): whether it issues the
// documents, in which DIAN environment, with which software, certificate and numbering
// authorization, and where the documents are sent.
//
// The certificate's password is a secret: it is sealed with AES-256-GCM under a key kept in a file
// of the installation (readable by its owner only) before it reaches the database, so a copy of
// the database alone does not reveal it. It is never logged.
//
// The software PIN is sealed the same way, but that hides little: the PIN is five digits and it is
// hashed into every CUDE, which is public by design (it is printed as the QR code and the DIAN
// shows it to anyone). Given one stored document, trying the 100 000 possible PINs against its
// CUDE finds the PIN in well under a second. So the PIN is not what protects the documents: the
// certificate's private key is, and only its password's sealing matters. What the PIN allows is
// to compute CUDEs and software security codes of this software, not to sign in its name.
#include "data/Connection.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace kv {

struct ElectronicSettings {
    QString empresa;
    bool activo = false;
    int ambiente = 2;  // 1 production, 2 tests
    QString softwareId;
    QString softwarePin;  // plain in memory only
    QString testSetId;
    QString certificado;        // path of the .p12 file
    QString claveCertificado;   // its password; plain in memory only
    // numbering authorization: the company's general one, used by a sale document type that has
    // none of its own (see DianAuthorization), and replaced by the type's own when it has one
    QString resolucion;
    QString prefijo;
    qint64 rangoDesde = 0;
    qint64 rangoHasta = 0;
    QDate fechaDesde;
    QDate fechaHasta;
    QString claveTecnica;
    // the register as the document names it
    QString placaCaja;
    QString ubicacionCaja;
    QString tipoCaja;
    // the software's maker and provider: this program's own unless the row names others
    QString fabricanteNombre = QStringLiteral("Equipo KorvelaPos");
    QString fabricanteRazonSocial = QStringLiteral("KorvelaPos");
    QString fabricanteSoftware = QStringLiteral("KorvelaPos");
    QString proveedorNit;
    // the seller's tax data the company's own record lacks
    QString tipoPersona = QStringLiteral("1");  // 1 legal person, 2 natural person
    QString responsabilidades = QStringLiteral("R-99-PN");  // DIAN codes, ";" between them
    QString tributo = QStringLiteral("ZZ");      // 01 IVA, 04 INC, ZA IVA and INC, ZZ none
    QString direccion;
    QString municipio;                           // the town's DANE code, five digits
    QString correo;
    // the DIAN service; empty means the DIAN's own address for the environment
    QString servicio;
};

// A numbering authorization of the DIAN (table POSAUTORIZACIONDIAN): one per company and sale
// document type, for its own prefix and range. Each type numbers its sales from its own
// consecutive, so two types under one authorization would issue the same numbers.
struct DianAuthorization {
    QString empresa;
    QString documento;
    QString resolucion;
    QString prefijo;
    qint64 rangoDesde = 0;
    qint64 rangoHasta = 0;
    QDate fechaDesde;
    QDate fechaHasta;
    QString claveTecnica;
};

// The company's authorizations, by document type.
std::vector<DianAuthorization> loadAuthorizations(Connection& c, const QString& empresa);
// Inserts or replaces the authorization of its company and document type.
void saveAuthorization(Connection& c, const DianAuthorization& a);
// Takes a document type's own authorization away (the general one serves it again).
void removeAuthorization(Connection& c, const QString& empresa, const QString& documento);
// The authorization a sale of this document type is issued under: its own, else the company's
// general one (from the settings). Nothing when neither names a resolution.
std::optional<DianAuthorization> authorizationFor(Connection& c, const ElectronicSettings& s,
                                                  const QString& documento);
// The settings with the authorization's numbering in place of the general one.
ElectronicSettings withAuthorization(ElectronicSettings s, const DianAuthorization& a);

// The DIAN web service address the documents go to: the configured one, else the DIAN's for the
// environment.
QString serviceAddress(const ElectronicSettings& s);
// The DIAN's public lookup address of a document, which the printed QR code carries.
QString lookupAddress(int ambiente, const QString& cude);

// The file holding the sealing key: $KORVELA_KEY_FILE when set, else "korvela.key" beside the
// location file the program reads (the one given to useKeyFileBeside, else the one its
// arguments name). Each register keeps a copy of the same key file beside its location file.
QString defaultKeyFile();
void useKeyFileBeside(const QString& locationFile);

// Reads the company's settings; nothing when the company has no row. A sealed value that cannot
// be opened with this key (another installation's key, a damaged value) raises Failure.
std::optional<ElectronicSettings> loadElectronicSettings(Connection& c, const QString& empresa,
                                                         const QString& keyFile = defaultKeyFile());
// Inserts or replaces the company's row. The key file is created (0600) when missing.
void saveElectronicSettings(Connection& c, const ElectronicSettings& s, const QString& keyFile = defaultKeyFile());

// The sealing itself: "v1:" + base64(nonce, ciphertext, tag). An empty text stays empty.
QString sealSecret(const QString& plain, const QString& keyFile);
QString openSecret(const QString& sealed, const QString& keyFile);

}  // namespace kv
