#pragma once
// Whether a shop's POS database is sound after a power cut or a crash of its server, and the
// repair a person runs when it is not ("korvela-db check" and "korvela-db repair").
//
// The check asks the engine to validate the database through its services manager (online, so the
// registers may go on working meanwhile), reads every document table for a key stored twice (by
// reading the rows themselves, not the key's index, which is what may be damaged), and compares the
// sale and order headers with the sums of their lines. Its verdict is stored in the database
// (POSVERIFICACION): a register reads the latest one at sign-on, one keyed read, and refuses to
// sell while it says damaged.
#include "data/Connection.h"

#include <QString>
#include <QStringList>

namespace kv {

struct DatabaseFindings {
    QStringList validation;  // what the engine's validation reported as wrong
    QStringList duplicates;  // document keys stored more than once, with their rows
    QStringList totals;      // headers whose totals are not the sums of their lines
    bool damaged() const { return !validation.isEmpty() || !duplicates.isEmpty() || !totals.isEmpty(); }
    // The findings for a person, in Spanish; a single line saying all is well when there are none.
    QString report() const;
};

// Checks the database c is connected to (its location names the file and, for a server, the host
// whose services manager validates it).
DatabaseFindings checkDatabase(Connection& c);

// Stores the verdict of a check (damaged or sound, and what was found).
void recordVerdict(Connection& c, const DatabaseFindings& findings);

// Empty when the latest verdict says the database is sound (or no check was ever run); otherwise
// the sentence a cashier is shown, naming the command that repairs it.
QString damagedDatabaseMessage(Connection& c);

struct RepairResult {
    QStringList rebuilt;         // indexes built again from the rows
    QStringList left;            // what the repair did not touch, for a person to decide
    DatabaseFindings after;      // the check run once the repair is done (its verdict is stored)
};

// Builds every index of the document tables again from their rows (a key index only when no key is
// stored twice, since the rebuilt index would refuse the rows), deletes nothing, and checks again.
// Keys stored twice are listed, with their rows, for a person to decide which one stays.
RepairResult repairDatabase(Connection& c);

}  // namespace kv
