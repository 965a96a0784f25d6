#pragma once
// A company's electronic POS document settings (table POSCONFIGELECTRONICA): whether it issues the
// documents, in which DIAN environment, with which software, certificate and numbering
// authorization, and where the documents are sent.
//
// The software PIN and the certificate's password are secrets: they are sealed with AES-256-GCM
// under a key kept in a file of the installation (readable by its owner only) before they reach
// the database, so a copy of the database alone does not reveal them. They are never logged.
#include "data/Connection.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

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
    // numbering authorization
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
    // the software's maker and provider
    QString fabricanteNombre;
    QString fabricanteRazonSocial;
    QString fabricanteSoftware;
    QString proveedorNit;
    // the DIAN service; empty means the DIAN's own address for the environment
    QString servicio;
};

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
