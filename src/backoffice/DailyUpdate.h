#pragma once
// The day's sales into the inventory tables shared with Tavro: every sale document of the days
// chosen becomes an inventory document of the same key, each line leaving stock in base units, and
// each product sold as a set also taking its components out of stock.
//
// The documents copied replace, headers and lines alike, the inventory documents of the same key,
// so a day can be updated again after a correction (a voided sale) and ends exactly as if it had
// been updated once. Everything runs in one transaction; a row the inventory tables refuse is
// reported and nothing is stored. Each run is recorded, so the screen can show the last day
// updated and warn before a day is skipped or done again.
#include "backoffice/DatabaseTransfer.h"

#include <QDate>
#include <QDateTime>
#include <optional>

namespace kv {

// A run of the update as recorded.
struct DailyUpdateRun {
    QDate desde, hasta;
    QDateTime hecho;  // when it ran
    int documents = 0, lines = 0;
};

class DailyUpdate {
public:
    explicit DailyUpdate(Connection& pos) : pos_(pos) {}

    // The table of recorded runs, made when an older database lacks it.
    static void ensureRecord(Connection& pos);
    // The run that reached the latest day, if any ran.
    std::optional<DailyUpdateRun> lastRun();
    // Days of desde..hasta that an earlier run already updated (the first and last of them), if any.
    std::optional<std::pair<QDate, QDate>> alreadyUpdated(const QDate& desde, const QDate& hasta);

    // Updates the days desde..hasta, both whole. lines counts the component lines too.
    TransferResult run(const QDate& desde, const QDate& hasta, const TransferProgress& progress = {});

private:
    Connection& pos_;
};

}  // namespace kv
