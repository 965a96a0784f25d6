#pragma once
// The sender: takes the stored electronic documents (POSDOCUMENTOELECTRONICO) that are due and
// sends each to the DIAN's service, storing what the service said.
//
//   ESTADO "P"  to send (or, with a ZIPKEY, sent to the test set and waiting for its verdict)
//          "E"  a try failed (no network, a time-out, a server error): tried again after a wait
//               that grows with INTENTOS, at PROXIMOINTENTO
//          "A"  accepted;  "R"  rejected, with the DIAN's rule lines in MENSAJES
//
// It runs off the counter path: the registers only store documents as "P"; the sender, in a
// thread of its own with its own connection (SenderThread below), or the database tool's verb
// on a server installation, sends them when the service can be reached. Before sending, each
// document is claimed with a conditional update that pushes its PROXIMOINTENTO past the try's
// longest time, so two senders on one database never send the same document at once.
#include "einvoice/DianSoap.h"

#include <QDateTime>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace kv {
class Connection;
}

namespace kv::dian {

// What the sender needs of a company's configuration.
struct SenderConfig {
    QString serviceUrl;     // https://vpfe-hab.dian.gov.co/WcfDianCustomerServices.svc, ...
    QString testSetId;      // non-empty: the habilitación, documents go through SendTestSetAsync
    WsIdentity identity;    // the certificate that signs the envelopes
    int timeoutMs = 30000;  // a try with no answer by then is a failed try
};

// The configuration of a company, or nothing when it does not send electronic documents.
using ConfigSource = std::function<std::optional<SenderConfig>(const QString& empresa)>;

// The configuration kept in the company's electronic document settings (POSCONFIGELECTRONICA),
// read with `c` when a round needs it; the certificate is opened with its sealed password.
// Companies with the documents turned off send nothing. The test set's id is used only in the
// test environment.
ConfigSource settingsConfig(Connection& c, const QString& keyFile);

// Seconds to wait after the n-th failed try (n >= 1): 1, 2, 4, 8, 16 minutes, then every 30.
int retryWaitSeconds(int attempts);
// A test-set zip's verdict is asked again this many seconds after the last question.
constexpr int kStatusPollSeconds = 10;

struct SendRound {
    int accepted = 0;
    int rejected = 0;
    int failed = 0;    // tries that failed and wait for their next time
    int waiting = 0;   // test-set zips without a verdict yet
    bool serviceDown = false;  // the round stopped at a try the service did not answer
};

class DianSender {
public:
    DianSender(Connection& c, ConfigSource config);
    ~DianSender();
    DianSender(const DianSender&) = delete;
    DianSender& operator=(const DianSender&) = delete;

    // Sends the documents due now, oldest first, at most `limit` of them. When the service cannot
    // be reached the round stops there: the rest would only wait for the same time-out.
    SendRound sendDue(int limit = 200);

    // Puts a document that failed or was rejected back to be sent on the next round, keeping its
    // messages. An accepted document is never sent again. False when there is nothing to resend.
    // A round ends after the document under way once *stop is true (the program closing).
    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }

    static bool resend(Connection& c, const QString& empresa, const QString& documento, int consecutivo,
                       const QString& tipo);

private:
    struct Due;
    struct Http;
    void process(const Due& d, const SenderConfig& cfg, SendRound& round);
    Http post(const SenderConfig& cfg, const Request& r);
    // What a try found, kept until written with the next claim or at the end of the round.
    void store(const Due& d, const QString& estado, const QString& mensajes, const QDateTime& next,
               const QString& zipKey, bool countTry, const QByteArray& response = QByteArray());
    // Gives the document its file names (in the claim's transaction) the first time it is sent.
    void nameFiles(Due& d);
    void writeAnswer();
    void failTry(const Due& d, const QString& why, SendRound& round);

    Connection& c_;
    ConfigSource config_;
    std::unique_ptr<QNetworkAccessManager> net_;
    const std::atomic<bool>* stop_ = nullptr;
    std::optional<QVariantMap> unwritten_;
};

// The sender inside the program: a thread with its own connection to the POS database that runs
// a round every `intervalMs`, sooner when wake() is called (a resend), and waits longer while the
// service is down. Ends with the object.
class SenderThread : public QThread {
public:
    // makeConfig is called in the thread with the thread's own connection.
    using ConfigFactory = std::function<ConfigSource(Connection&)>;
    SenderThread(QString location, ConfigFactory makeConfig, int intervalMs = 60000);
    ~SenderThread() override;
    void wake();
    void stop();

protected:
    void run() override;

private:
    QString location_;
    ConfigFactory makeConfig_;
    int intervalMs_;
    QMutex mutex_;
    QWaitCondition cond_;
    std::atomic<bool> stop_ = false;
    bool woken_ = false;
};

// Asks the program's running sender, if there is one, to start a round now (after a resend).
void wakeSender();

}  // namespace kv::dian
