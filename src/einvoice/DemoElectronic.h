#pragma once
// The demo installation issues electronic POS documents in the DIAN's test environment: a test
// certificate is made when the demo is created, each company gets its settings, and every paid
// sale of the demo carries its signed document. docs/demo.md names the software PIN.
#include <QString>

namespace kv {

inline const QString kDemoSoftwarePin = QStringLiteral("75315");
inline const QString kDemoCertificatePassword = QStringLiteral("candelaria");

// For the demo whose location file is given (its databases beside it): makes what is missing:
// the key file, the certificate, the companies' settings, the documents of the paid sales.
void setUpDemoElectronicDocuments(const QString& locationFile);

}  // namespace kv
