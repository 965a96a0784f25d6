#include "einvoice/DianSender.h"

#include "data/Connection.h"
#include "einvoice/Certificate.h"
#include "einvoice/ElectronicDocument.h"
#include "einvoice/Settings.h"

#include <QEventLoop>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace kv::dian {

namespace {

const char* const kKey = "EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO AND CONSECUTIVO = :CONSECUTIVO AND TIPO = :TIPO";

// A rejection that only says the DIAN already has this document: an earlier try reached it but
// its answer was lost on the way back (a time-out). The document's real state is asked for then.
bool onlyAlreadyProcessed(const Answer& a)
{
    return !a.rejections.isEmpty() && std::all_of(a.rejections.begin(), a.rejections.end(), [](const QString& s) {
        return s.startsWith(QLatin1String("Regla: 90,")) && s.contains(QLatin1String("procesado anteriormente"), Qt::CaseInsensitive);
    });
}

QMutex runningMutex;
SenderThread* running = nullptr;

QString stamped(const QString& text)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + QStringLiteral(": ") + text;
}

}  // namespace

struct DianSender::Due {
    QString empresa, documento, tipo, numero, estado, zipKey, cude, archivo, archivoZip;
    int consecutivo = 0;
    int intentos = 0;
    QDateTime fecha;
    QVariantMap key() const
    {
        return {{QStringLiteral("EMPRESA"), empresa}, {QStringLiteral("DOCUMENTO"), documento},
                {QStringLiteral("CONSECUTIVO"), consecutivo}, {QStringLiteral("TIPO"), tipo}};
    }
};

struct DianSender::Http {
    int status = 0;  // 0: no answer at all
    QByteArray body;
    QString error;
};

ConfigSource settingsConfig(Connection& c, const QString& keyFile)
{
    return [&c, keyFile](const QString& empresa) -> std::optional<SenderConfig> {
        const std::optional<ElectronicSettings> s = loadElectronicSettings(c, empresa, keyFile);
        if (!s || !s->activo)
            return std::nullopt;
        SenderConfig cfg;
        cfg.serviceUrl = serviceAddress(*s);
        cfg.testSetId = s->ambiente == 2 ? s->testSetId.trimmed() : QString();
        cfg.identity = wsIdentity(loadCertificate(s->certificado, s->claveCertificado));
        return cfg;
    };
}

int retryWaitSeconds(int attempts)
{
    const int minutes = attempts <= 1 ? 1 : attempts >= 6 ? 30 : 1 << (attempts - 1);
    return minutes * 60;
}

DianSender::DianSender(Connection& c, ConfigSource config) : c_(c), config_(std::move(config)) {}

DianSender::~DianSender() = default;

SendRound DianSender::sendDue(int limit)
{
    SendRound round;
    const QDateTime now = QDateTime::currentDateTime();
    QList<Due> due;
    {
        QSqlQuery q = c_.exec(QStringLiteral(
            "SELECT FIRST %1 EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, ESTADO, INTENTOS, ZIPKEY, FECHA, CUDE, "
            "ARCHIVO, ARCHIVOZIP "
            "FROM POSDOCUMENTOELECTRONICO d WHERE ESTADO IN ('P', 'E') "
            "AND (PROXIMOINTENTO IS NULL OR PROXIMOINTENTO <= :AHORA) "
            // A note goes out only after the DIAN accepted the document it adjusts: sent before,
            // it names a document the DIAN does not know; for a rejected one it never goes.
            "AND (TIPO = '20' OR EXISTS (SELECT 1 FROM POSDOCUMENTOELECTRONICO o WHERE o.EMPRESA = d.EMPRESA "
            "AND o.DOCUMENTO = d.DOCUMENTO AND o.CONSECUTIVO = d.CONSECUTIVO AND o.TIPO = '20' AND o.ESTADO = 'A')) "
            "ORDER BY FECHA").arg(std::max(1, limit)),
            {{QStringLiteral("AHORA"), now}});
        while (c_.next(q)) {
            Due d;
            d.empresa = q.value(0).toString().trimmed();
            d.documento = q.value(1).toString().trimmed();
            d.consecutivo = q.value(2).toInt();
            d.tipo = q.value(3).toString().trimmed();
            d.numero = q.value(4).toString();
            d.estado = q.value(5).toString().trimmed();
            d.intentos = q.value(6).toInt();
            d.zipKey = q.value(7).toString().trimmed();
            d.fecha = q.value(8).toDateTime();
            d.cude = q.value(9).toString().trimmed();
            d.archivo = q.value(10).toString().trimmed();
            d.archivoZip = q.value(11).toString().trimmed();
            due.append(d);
        }
    }
    QHash<QString, std::optional<SenderConfig>> configs;
    QHash<QString, QString> configProblems;
    for (Due& d : due) {
        if (stop_ && *stop_)
            break;
        if (!configs.contains(d.empresa)) {
            try {
                configs.insert(d.empresa, config_(d.empresa));
            } catch (const Failure& e) {
                // A certificate that cannot be opened: said on each document, which waits its turn.
                configs.insert(d.empresa, std::nullopt);
                configProblems.insert(d.empresa, e.text());
            }
        }
        const std::optional<SenderConfig>& cfg = configs[d.empresa];
        if (!cfg) {
            if (configProblems.contains(d.empresa))
                failTry(d, configProblems[d.empresa], round);
            continue;  // the company stopped sending: its documents wait as they are
        }
        // Claimed for the longest a try can take, so another sender leaves it alone meanwhile.
        // The answer to the document before is stored in the same commit: with forced writes a
        // commit is a wait for the disk, and one a document instead of two is what keeps a
        // thousand documents within the minute.
        QVariantMap claim = d.key();
        claim.insert(QStringLiteral("ESTADO"), d.estado);
        claim.insert(QStringLiteral("AHORA"), now);
        claim.insert(QStringLiteral("HASTA"), QDateTime::currentDateTime().addMSecs(3 * qint64(cfg->timeoutMs) + 60000));
        bool claimed = false;
        try {
            Transaction t(c_);
            writeAnswer();
            QSqlQuery q = c_.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET PROXIMOINTENTO = :HASTA WHERE ") +
                                      QLatin1String(kKey) +
                                      QStringLiteral(" AND ESTADO = :ESTADO AND (PROXIMOINTENTO IS NULL OR PROXIMOINTENTO <= :AHORA)"),
                                  claim);
            claimed = q.numRowsAffected() == 1;
            if (claimed && d.archivo.isEmpty())
                nameFiles(d);
            t.commit();
        } catch (const Failure&) {
            // The claim failed (another sender holds the row): the answer already had is not lost.
            writeAnswer();
            unwritten_.reset();
            throw;
        }
        unwritten_.reset();
        if (!claimed)
            continue;
        process(d, *cfg, round);
        if (round.serviceDown || (stop_ && *stop_))
            break;
    }
    writeAnswer();
    unwritten_.reset();
    return round;
}

void DianSender::process(const Due& d, const SenderConfig& cfg, SendRound& round)
{
    Request r;
    r.to = cfg.serviceUrl;
    if (!d.zipKey.isEmpty()) {
        r.method = Method::GetStatusZip;
        r.trackId = d.zipKey;
    } else {
        const QVariant xml = c_.scalar(QStringLiteral("SELECT XML FROM POSDOCUMENTOELECTRONICO WHERE ") + QLatin1String(kKey), d.key());
        r.fileName = d.archivoZip;
        r.zip = zipFiles({{d.archivo, xml.toString().toUtf8()}});
        r.method = cfg.testSetId.isEmpty() ? Method::SendBillSync : Method::SendTestSetAsync;
        r.testSetId = cfg.testSetId;
    }

    Http h = post(cfg, r);
    if (h.status == 0 || h.status >= 500 || h.status != 200) {
        // Nothing decided about the document: no network, a time-out, the service down or failing.
        QString why = h.error;
        if (h.status != 0) {
            why = QStringLiteral("HTTP %1").arg(h.status);
            try {
                const Answer a = parseAnswer(h.body);
                if (a.fault && !a.faultText.isEmpty())
                    why += QStringLiteral(": ") + a.faultText;
            } catch (const DianError&) {
            }
        }
        round.serviceDown = h.status == 0 || h.status == 503;
        failTry(d, why, round);
        return;
    }
    Answer a;
    try {
        a = parseAnswer(h.body);
    } catch (const DianError& e) {
        failTry(d, e.text(), round);
        return;
    }
    if (a.rejected() && onlyAlreadyProcessed(a) && !d.cude.isEmpty()) {
        Request status;
        status.method = Method::GetStatus;
        status.to = cfg.serviceUrl;
        status.trackId = d.cude;
        const Http hs = post(cfg, status);
        if (hs.status == 200) {
            try {
                const Answer known = parseAnswer(hs.body);
                if (known.accepted())
                    a = known;
            } catch (const DianError&) {
            }
        }
    }
    if (a.fault) {
        failTry(d, a.faultText, round);
    } else if (a.accepted()) {
        store(d, QStringLiteral("A"), a.messages(), {}, d.zipKey, true, a.applicationResponse);
        ++round.accepted;
    } else if (a.rejected()) {
        store(d, QStringLiteral("R"), a.messages(), {}, d.zipKey, true, a.applicationResponse);
        ++round.rejected;
    } else if (r.method == Method::SendTestSetAsync && !a.zipKey.isEmpty()) {
        // The test set answers later: its verdict is asked for with the zip's key.
        store(d, QStringLiteral("P"), a.messages(), QDateTime::currentDateTime().addSecs(kStatusPollSeconds), a.zipKey, true);
        ++round.waiting;
    } else if (r.method == Method::GetStatusZip) {
        store(d, QStringLiteral("P"), a.messages(), QDateTime::currentDateTime().addSecs(kStatusPollSeconds), d.zipKey, false);
        ++round.waiting;
    } else {
        failTry(d, a.messages().isEmpty() ? QStringLiteral("La DIAN no dio un resultado.") : a.messages(), round);
    }
}

void DianSender::nameFiles(Due& d)
{
    // The DIAN names files by a counter of the issuer's files of each kind, starting again every
    // year: the document's ("ds"), the note's ("ncs") and the zip they travel in ("z"). Given at
    // the first try and kept, so a document sent again goes under the same names.
    const QByteArray signedXml =
        c_.scalar(QStringLiteral("SELECT XML FROM POSDOCUMENTOELECTRONICO WHERE ") + QLatin1String(kKey), d.key())
            .toString()
            .toUtf8();
    const QString nit = supplierNit(signedXml);
    const int year = d.fecha.isValid() ? d.fecha.date().year() : QDate::currentDate().year();
    const QString kind = d.tipo == QLatin1String("20") ? QStringLiteral("ds") : QStringLiteral("ncs");
    d.archivo = dianFileName(kind, nit, year, quint32(nextDianCounter(c_, d.empresa, kind, year)), QStringLiteral("xml"));
    d.archivoZip = dianFileName(QStringLiteral("z"), nit, year, quint32(nextDianCounter(c_, d.empresa, QStringLiteral("z"), year)),
                                QStringLiteral("zip"));
    QVariantMap p = d.key();
    p.insert(QStringLiteral("ARCHIVO"), d.archivo);
    p.insert(QStringLiteral("ARCHIVOZIP"), d.archivoZip);
    c_.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET ARCHIVO = :ARCHIVO, ARCHIVOZIP = :ARCHIVOZIP WHERE ") +
                QLatin1String(kKey),
            p);
}

void DianSender::failTry(const Due& d, const QString& why, SendRound& round)
{
    const int attempts = d.intentos + 1;
    store(d, QStringLiteral("E"), stamped(why), QDateTime::currentDateTime().addSecs(retryWaitSeconds(attempts)), d.zipKey, true);
    ++round.failed;
}

void DianSender::store(const Due& d, const QString& estado, const QString& mensajes, const QDateTime& next,
                       const QString& zipKey, bool countTry, const QByteArray& response)
{
    QVariantMap p = d.key();
    p.insert(QStringLiteral("ESTADO"), estado);
    p.insert(QStringLiteral("MENSAJES"), mensajes);
    p.insert(QStringLiteral("PROXIMO"), next.isValid() ? QVariant(next) : QVariant(QMetaType(QMetaType::QDateTime)));
    p.insert(QStringLiteral("ZIPKEY"), zipKey.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(zipKey));
    p.insert(QStringLiteral("INTENTOS"), d.intentos + (countTry ? 1 : 0));
    // The DIAN's signed ApplicationResponse, its own record of the verdict, kept as it came for
    // support; a try without one keeps what an earlier try stored.
    if (!response.isEmpty())
        p.insert(QStringLiteral("RESPUESTA"), QString::fromUtf8(response));
    writeAnswer();  // one kept from before (a document whose company cannot send is not claimed)
    unwritten_ = p;
}

void DianSender::writeAnswer()
{
    if (unwritten_)
        c_.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET ESTADO = :ESTADO, MENSAJES = :MENSAJES, "
                               "PROXIMOINTENTO = :PROXIMO, ZIPKEY = :ZIPKEY, INTENTOS = :INTENTOS%1 WHERE ")
                        .arg(unwritten_->contains(QStringLiteral("RESPUESTA")) ? QStringLiteral(", RESPUESTA = :RESPUESTA")
                                                                               : QString()) +
                    QLatin1String(kKey),
                *unwritten_);
}

DianSender::Http DianSender::post(const SenderConfig& cfg, const Request& r)
{
    Http h;
    QByteArray envelope;
    try {
        envelope = buildEnvelope(r, cfg.identity, QDateTime::currentDateTimeUtc());
    } catch (const DianError& e) {
        h.error = e.text();
        return h;
    }
    if (!net_)
        net_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest req{QUrl(cfg.serviceUrl)};
    req.setHeader(QNetworkRequest::ContentTypeHeader,
                  QStringLiteral("application/soap+xml; charset=utf-8; action=\"%1\"").arg(actionOf(r.method)));
    req.setTransferTimeout(cfg.timeoutMs);
    QNetworkReply* reply = net_->post(req, envelope);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    h.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    h.body = reply->readAll();
    if (h.status == 0)
        h.error = reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError
                      ? QStringLiteral("La DIAN no respondió en %1 segundos.").arg(cfg.timeoutMs / 1000)
                      : QStringLiteral("No hay conexión con la DIAN: ") + reply->errorString();
    reply->deleteLater();
    return h;
}

bool DianSender::resend(Connection& c, const QString& empresa, const QString& documento, int consecutivo, const QString& tipo)
{
    QVariantMap p{{QStringLiteral("EMPRESA"), empresa}, {QStringLiteral("DOCUMENTO"), documento},
                  {QStringLiteral("CONSECUTIVO"), consecutivo}, {QStringLiteral("TIPO"), tipo}};
    // A rejected document goes out whole again (with a test-set key forgotten), a failed one only
    // sooner; the count of tries starts again so the waits are short while someone watches.
    QSqlQuery q = c.exec(QStringLiteral("UPDATE POSDOCUMENTOELECTRONICO SET ESTADO = 'P', PROXIMOINTENTO = NULL, "
                                        "INTENTOS = 0, ZIPKEY = NULL WHERE ") +
                             QLatin1String(kKey) + QStringLiteral(" AND ESTADO IN ('E', 'R', 'P')"),
                         p);
    return q.numRowsAffected() == 1;
}

SenderThread::SenderThread(QString location, ConfigFactory makeConfig, int intervalMs)
    : location_(std::move(location)), makeConfig_(std::move(makeConfig)), intervalMs_(intervalMs)
{
    QMutexLocker lock(&runningMutex);
    running = this;
}

SenderThread::~SenderThread()
{
    {
        QMutexLocker lock(&runningMutex);
        if (running == this)
            running = nullptr;
    }
    stop();
    wait();
}

void wakeSender()
{
    QMutexLocker lock(&runningMutex);
    if (running)
        running->wake();
}

void SenderThread::wake()
{
    QMutexLocker lock(&mutex_);
    woken_ = true;
    cond_.wakeAll();
}

void SenderThread::stop()
{
    QMutexLocker lock(&mutex_);
    stop_ = true;
    cond_.wakeAll();
}

void SenderThread::run()
{
    Connection c(QStringLiteral("DianSender-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    c.setLocation(location_);
    std::unique_ptr<DianSender> sender;
    int downRounds = 0;
    for (;;) {
        int waitMs = intervalMs_;
        try {
            if (!sender) {
                sender = std::make_unique<DianSender>(c, makeConfig_(c));
                sender->setStopFlag(&stop_);
            }
            const SendRound r = sender->sendDue();
            downRounds = r.serviceDown ? downRounds + 1 : 0;
            if (downRounds > 0)
                waitMs = std::max(intervalMs_, retryWaitSeconds(downRounds) * 1000);
        } catch (const Failure&) {
            // The database or the configuration could not be read: the next round tries again.
            // Nothing is lost: the documents stay stored as they are.
        }
        QMutexLocker lock(&mutex_);
        if (!stop_ && !woken_)
            cond_.wait(&mutex_, QDeadlineTimer(waitMs));
        woken_ = false;
        if (stop_)
            break;
    }
    c.close();
}

}  // namespace kv::dian
