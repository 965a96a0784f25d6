#include "einvoice/Settings.h"

#include "data/UntDMGeneral.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace kv {

namespace {

constexpr int kKeyBytes = 32;
constexpr int kNonceBytes = 12;
constexpr int kTagBytes = 16;
const QLatin1String kSealPrefix("v1:");

QByteArray readKey(const QString& keyFile, bool create)
{
    QFile f(keyFile);
    if (f.exists()) {
        if (!f.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("No se puede leer la llave de la instalación %1: %2").arg(keyFile, f.errorString()));
        const QByteArray key = f.readAll();
        if (key.size() != kKeyBytes)
            throw Failure(QStringLiteral("La llave de la instalación %1 está dañada").arg(keyFile));
        return key;
    }
    if (!create)
        throw Failure(QStringLiteral("Falta la llave de la instalación %1: sin ella no se pueden leer el PIN del "
                                     "software ni la clave del certificado")
                          .arg(keyFile));
    QByteArray key(kKeyBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(key.data()), kKeyBytes) != 1)
        throw Failure(QStringLiteral("No se pudo generar la llave de la instalación"));
    QDir().mkpath(QFileInfo(keyFile).absolutePath());
    // Made readable by its owner only from the moment it exists, before anything is written into it.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw Failure(QStringLiteral("No se puede crear la llave de la instalación %1: %2").arg(keyFile, f.errorString()));
    if (f.write(key) != kKeyBytes || !f.flush()) {
        // A key cut short would seal secrets nobody can open later: no key rather than half of one.
        const QString why = f.errorString();
        f.remove();
        throw Failure(QStringLiteral("No se puede crear la llave de la instalación %1: %2").arg(keyFile, why));
    }
    return key;
}

struct CipherFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using Cipher = std::unique_ptr<EVP_CIPHER_CTX, CipherFree>;

auto bytes(QByteArray& b) { return reinterpret_cast<unsigned char*>(b.data()); }
auto bytes(const QByteArray& b) { return reinterpret_cast<const unsigned char*>(b.constData()); }

}  // namespace

QString sealSecret(const QString& plain, const QString& keyFile)
{
    if (plain.isEmpty())
        return QString();
    const QByteArray key = readKey(keyFile, true);
    const QByteArray text = plain.toUtf8();
    QByteArray nonce(kNonceBytes, '\0');
    // A nonce that is not random would repeat under the same key, and GCM then gives the key away.
    if (RAND_bytes(bytes(nonce), kNonceBytes) != 1)
        throw Failure(QStringLiteral("No se pudo sellar el valor: no hay números aleatorios"));
    QByteArray out(text.size(), '\0');
    QByteArray tag(kTagBytes, '\0');
    Cipher ctx(EVP_CIPHER_CTX_new());
    int len = 0;
    if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, bytes(key), bytes(nonce)) != 1 ||
        EVP_EncryptUpdate(ctx.get(), bytes(out), &len, bytes(text), int(text.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), bytes(out) + len, &len) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagBytes, tag.data()) != 1)
        throw Failure(QStringLiteral("No se pudo sellar el valor"));
    return kSealPrefix + QString::fromLatin1((nonce + out + tag).toBase64());
}

QString openSecret(const QString& sealed, const QString& keyFile)
{
    if (sealed.isEmpty())
        return QString();
    const QByteArray raw = QByteArray::fromBase64(sealed.mid(kSealPrefix.size()).toLatin1());
    if (!sealed.startsWith(kSealPrefix) || raw.size() < kNonceBytes + kTagBytes)
        throw Failure(QStringLiteral("Un valor sellado de la configuración electrónica está dañado"));
    const QByteArray key = readKey(keyFile, false);
    const QByteArray nonce = raw.left(kNonceBytes);
    const QByteArray text = raw.mid(kNonceBytes, raw.size() - kNonceBytes - kTagBytes);
    QByteArray tag = raw.right(kTagBytes);
    QByteArray out(text.size(), '\0');
    Cipher ctx(EVP_CIPHER_CTX_new());
    int len = 0;
    if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, bytes(key), bytes(nonce)) != 1 ||
        EVP_DecryptUpdate(ctx.get(), bytes(out), &len, bytes(text), int(text.size())) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagBytes, tag.data()) != 1 ||
        EVP_DecryptFinal_ex(ctx.get(), bytes(out) + len, &len) != 1)
        throw Failure(QStringLiteral("El PIN o la clave guardados no se pueden abrir con la llave de esta instalación "
                                     "(%1); vuelva a escribirlos en la configuración")
                          .arg(keyFile));
    return QString::fromUtf8(out);
}

namespace {
QString& locationInUse()
{
    static QString file;
    return file;
}
}  // namespace

void useKeyFileBeside(const QString& locationFile) { locationInUse() = locationFile; }

QString defaultKeyFile()
{
    const QString env = qEnvironmentVariable("KORVELA_KEY_FILE");
    if (!env.isEmpty())
        return env;
    QString location = locationInUse();
    if (location.isEmpty())
        location = TDMGeneral::locationFilePath(QCoreApplication::instance() ? QCoreApplication::arguments()
                                                                             : QStringList());
    return QFileInfo(location).dir().filePath(QStringLiteral("korvela.key"));
}

QString serviceAddress(const ElectronicSettings& s)
{
    if (!s.servicio.trimmed().isEmpty())
        return s.servicio.trimmed();
    return s.ambiente == 1 ? QStringLiteral("https://vpfe.dian.gov.co/WcfDianCustomerServices.svc")
                           : QStringLiteral("https://vpfe-hab.dian.gov.co/WcfDianCustomerServices.svc");
}

QString lookupAddress(int ambiente, const QString& cude)
{
    return (ambiente == 1 ? QStringLiteral("https://catalogo-vpfe.dian.gov.co/document/searchqr?documentkey=")
                          : QStringLiteral("https://catalogo-vpfe-hab.dian.gov.co/document/searchqr?documentkey=")) +
           cude;
}

namespace {
const char* const kColumns[] = {"EMPRESA",          "ACTIVO",        "AMBIENTE",     "SOFTWAREID",
                                "SOFTWAREPIN",      "TESTSETID",     "CERTIFICADO",  "CLAVECERTIFICADO",
                                "RESOLUCION",       "PREFIJO",       "RANGODESDE",   "RANGOHASTA",
                                "FECHADESDE",       "FECHAHASTA",    "CLAVETECNICA", "PLACACAJA",
                                "UBICACIONCAJA",    "TIPOCAJA",      "FABRICANTENOMBRE", "FABRICANTERAZONSOCIAL",
                                "FABRICANTESOFTWARE", "PROVEEDORNIT", "SERVICIO", "TIPOPERSONA",
                                "RESPONSABILIDADES", "TRIBUTO", "DIRECCION", "MUNICIPIO", "CORREO"};

QVariant orNull(const QDate& d) { return d.isValid() ? QVariant(d) : QVariant(QMetaType(QMetaType::QDate)); }
}  // namespace

std::optional<ElectronicSettings> loadElectronicSettings(Connection& c, const QString& empresa, const QString& keyFile)
{
    QStringList cols;
    for (const char* col : kColumns)
        cols << QLatin1String(col);
    QSqlQuery q = c.exec(QStringLiteral("SELECT %1 FROM POSCONFIGELECTRONICA WHERE EMPRESA = :EMPRESA")
                             .arg(cols.join(QStringLiteral(", "))),
                         {{QStringLiteral("EMPRESA"), empresa}});
    if (!c.next(q))
        return std::nullopt;
    auto str = [&](int i) { return q.value(i).toString().trimmed(); };
    ElectronicSettings s;
    s.empresa = str(0);
    s.activo = str(1) == QLatin1String("S");
    s.ambiente = q.value(2).isNull() ? 2 : q.value(2).toInt();
    s.softwareId = str(3);
    s.softwarePin = openSecret(str(4), keyFile);
    s.testSetId = str(5);
    s.certificado = str(6);
    s.claveCertificado = openSecret(str(7), keyFile);
    s.resolucion = str(8);
    s.prefijo = str(9);
    s.rangoDesde = q.value(10).toLongLong();
    s.rangoHasta = q.value(11).toLongLong();
    s.fechaDesde = q.value(12).toDate();
    s.fechaHasta = q.value(13).toDate();
    s.claveTecnica = str(14);
    s.placaCaja = str(15);
    s.ubicacionCaja = str(16);
    s.tipoCaja = str(17);
    // The software's maker is printed and sent with every document: a row that names none keeps
    // this program's own.
    for (auto [value, column] : {std::pair{&s.fabricanteNombre, 18}, std::pair{&s.fabricanteRazonSocial, 19},
                                 std::pair{&s.fabricanteSoftware, 20}})
        if (!str(column).isEmpty())
            *value = str(column);
    s.proveedorNit = str(21);
    s.servicio = str(22);
    // Rows written before these columns existed keep the defaults.
    if (!str(23).isEmpty())
        s.tipoPersona = str(23);
    if (!str(24).isEmpty())
        s.responsabilidades = str(24);
    if (!str(25).isEmpty())
        s.tributo = str(25);
    s.direccion = str(26);
    s.municipio = str(27);
    s.correo = str(28);
    return s;
}

void saveElectronicSettings(Connection& c, const ElectronicSettings& s, const QString& keyFile)
{
    const QVariantList values = {s.empresa,
                                 s.activo ? QStringLiteral("S") : QStringLiteral("N"),
                                 s.ambiente,
                                 s.softwareId,
                                 sealSecret(s.softwarePin, keyFile),
                                 s.testSetId,
                                 s.certificado,
                                 sealSecret(s.claveCertificado, keyFile),
                                 s.resolucion,
                                 s.prefijo,
                                 s.rangoDesde,
                                 s.rangoHasta,
                                 orNull(s.fechaDesde),
                                 orNull(s.fechaHasta),
                                 s.claveTecnica,
                                 s.placaCaja,
                                 s.ubicacionCaja,
                                 s.tipoCaja,
                                 s.fabricanteNombre,
                                 s.fabricanteRazonSocial,
                                 s.fabricanteSoftware,
                                 s.proveedorNit,
                                 s.servicio,
                                 s.tipoPersona,
                                 s.responsabilidades,
                                 s.tributo,
                                 s.direccion,
                                 s.municipio,
                                 s.correo};
    QStringList cols, marks;
    QVariantMap params;
    for (int i = 0; i < int(std::size(kColumns)); ++i) {
        cols << QLatin1String(kColumns[i]);
        marks << QStringLiteral(":") + QLatin1String(kColumns[i]);
        params.insert(QLatin1String(kColumns[i]), values[i]);
    }
    c.exec(QStringLiteral("UPDATE OR INSERT INTO POSCONFIGELECTRONICA (%1) VALUES (%2) MATCHING (EMPRESA)")
               .arg(cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
           params);
}

std::vector<DianAuthorization> loadAuthorizations(Connection& c, const QString& empresa)
{
    std::vector<DianAuthorization> out;
    QSqlQuery q = c.exec(QStringLiteral("SELECT DOCUMENTO, RESOLUCION, PREFIJO, RANGODESDE, RANGOHASTA, FECHADESDE, "
                                        "FECHAHASTA, CLAVETECNICA FROM POSAUTORIZACIONDIAN WHERE EMPRESA = :EMPRESA "
                                        "ORDER BY DOCUMENTO"),
                         {{QStringLiteral("EMPRESA"), empresa}});
    while (c.next(q)) {
        DianAuthorization a;
        a.empresa = empresa;
        a.documento = q.value(0).toString().trimmed();
        a.resolucion = q.value(1).toString().trimmed();
        a.prefijo = q.value(2).toString().trimmed();
        a.rangoDesde = q.value(3).toLongLong();
        a.rangoHasta = q.value(4).toLongLong();
        a.fechaDesde = q.value(5).toDate();
        a.fechaHasta = q.value(6).toDate();
        a.claveTecnica = q.value(7).toString().trimmed();
        out.push_back(a);
    }
    return out;
}

void saveAuthorization(Connection& c, const DianAuthorization& a)
{
    c.exec(QStringLiteral("UPDATE OR INSERT INTO POSAUTORIZACIONDIAN (EMPRESA, DOCUMENTO, RESOLUCION, PREFIJO, RANGODESDE, "
                          "RANGOHASTA, FECHADESDE, FECHAHASTA, CLAVETECNICA) VALUES (:EMPRESA, :DOCUMENTO, :RESOLUCION, "
                          ":PREFIJO, :RANGODESDE, :RANGOHASTA, :FECHADESDE, :FECHAHASTA, :CLAVETECNICA) "
                          "MATCHING (EMPRESA, DOCUMENTO)"),
           {{QStringLiteral("EMPRESA"), a.empresa},
            {QStringLiteral("DOCUMENTO"), a.documento},
            {QStringLiteral("RESOLUCION"), a.resolucion},
            {QStringLiteral("PREFIJO"), a.prefijo},
            {QStringLiteral("RANGODESDE"), a.rangoDesde},
            {QStringLiteral("RANGOHASTA"), a.rangoHasta},
            {QStringLiteral("FECHADESDE"), orNull(a.fechaDesde)},
            {QStringLiteral("FECHAHASTA"), orNull(a.fechaHasta)},
            {QStringLiteral("CLAVETECNICA"), a.claveTecnica}});
}

void removeAuthorization(Connection& c, const QString& empresa, const QString& documento)
{
    c.exec(QStringLiteral("DELETE FROM POSAUTORIZACIONDIAN WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO"),
           {{QStringLiteral("EMPRESA"), empresa}, {QStringLiteral("DOCUMENTO"), documento}});
}

std::optional<DianAuthorization> authorizationFor(Connection& c, const ElectronicSettings& s, const QString& documento)
{
    for (const DianAuthorization& a : loadAuthorizations(c, s.empresa))
        if (a.documento == documento.trimmed())
            return a;
    if (s.resolucion.isEmpty())
        return std::nullopt;
    DianAuthorization a;
    a.empresa = s.empresa;
    a.resolucion = s.resolucion;
    a.prefijo = s.prefijo;
    a.rangoDesde = s.rangoDesde;
    a.rangoHasta = s.rangoHasta;
    a.fechaDesde = s.fechaDesde;
    a.fechaHasta = s.fechaHasta;
    a.claveTecnica = s.claveTecnica;
    return a;
}

ElectronicSettings withAuthorization(ElectronicSettings s, const DianAuthorization& a)
{
    s.resolucion = a.resolucion;
    s.prefijo = a.prefijo;
    s.rangoDesde = a.rangoDesde;
    s.rangoHasta = a.rangoHasta;
    s.fechaDesde = a.fechaDesde;
    s.fechaHasta = a.fechaHasta;
    s.claveTecnica = a.claveTecnica;
    return s;
}

}  // namespace kv
