#pragma once
// The sender's tests: a fresh database sending to a stand-in of the DIAN started for each test.
#include "DianTestKit.h"
#include "einvoice/Certificate.h"
#include "einvoice/DianSender.h"
#include "einvoice/PosDocument.h"
#include "support/TestDb.h"

namespace kvtest {

// A fresh POS database whose company "1" sends its documents to a stand-in started for the test,
// which recomputes their CUDE with the company's PIN and validates them against the schemas;
// pending documents are added with addDocument, built and signed by the document library.
class SenderTest : public DbTest {
protected:
    void SetUp() override;
    QString keyFile() const { return dir.filePath(QStringLiteral("korvela.key")); }
    // Stores a signed document of a two-line sale numbered `n`, issued at `issued`, in state "P".
    QString addDocument(int n, const QDateTime& issued = QDateTime::currentDateTimeUtc());
    // Stores the adjustment note of sale `n` (its document added before), numbered "NA" + `note`.
    QString addNote(int n, int note, const QDateTime& issued = QDateTime::currentDateTimeUtc());
    QString storePending(const kv::PosDocument& d, int n, const QString& tipo, const QDateTime& issued);
    // The settings' configuration, with a short time-out so that silence is found quickly.
    kv::dian::ConfigSource config();
    QVariant column(int n, const char* name, const char* tipo = "20");

    std::unique_ptr<StandIn> standIn;
    kv::ElectronicSettings settings;
    kv::Certificate cert;
};

}  // namespace kvtest
