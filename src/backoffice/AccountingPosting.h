#pragma once
// A day's sales of one document type posted as one voucher of the accounting product: a debit for
// what each sale was paid with and for its discount, credits for the revenue, the consumption tax
// and the IVA of its lines. The voucher replaces the one posted before for the same company, type
// and day, and is written whole or not at all: everything is checked first, then the old voucher
// is deleted and the new one written in one transaction on the accounting database, committed only
// when every row was stored and the debits equal the credits.
#include "data/Connection.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace kv {

// The first row of CUENTASTAVRO: the accounts of the concepts that do not come from the products.
struct PostingAccounts {
    QString contado, credito, cheque, tdebito, ipoconsumo, propina, descuento, empresa;
};

// Reads the accounts, creating CUENTASTAVRO first when an older database lacks it. A table without
// rows gives empty accounts.
PostingAccounts readPostingAccounts(Connection& pos);

struct PostingRequest {
    QDate day;
    QString tipo = QStringLiteral("POS");  // voucher type, also the document type of the sales posted
    // One line per account and side of each sale instead of one per sale line: for days whose
    // voucher would not fit the accounting product's line numbers.
    bool summarised = false;
};

struct PostingSummary {
    int sales = 0;
    int lines = 0;
    int newThirdParties = 0;
    double debits = 0;
    double credits = 0;
};

// Why a day cannot be posted as asked; every problem found, listed together.
class PostingRefused : public Failure {
public:
    PostingRefused(const QStringList& problems, bool tooManyLines)
        : Failure(problems.join(QLatin1Char('\n'))), problems_(problems), tooManyLines_(tooManyLines)
    {
    }
    const QStringList& problems() const { return problems_; }
    // The voucher would need more lines than the accounting product numbers: the day can still be
    // posted summarised per account and sale.
    bool tooManyLines() const { return tooManyLines_; }

private:
    QStringList problems_;
    bool tooManyLines_;
};

class AccountingPosting {
public:
    AccountingPosting(Connection& pos, Connection& tavro) : pos_(pos), tavro_(tavro) {}

    // The voucher's number: the day as year × 10,000 + month × 100 + day.
    static int voucherNumber(const QDate& day) { return day.year() * 10000 + day.month() * 100 + day.day(); }
    // The accounting product numbers a voucher's lines with a SMALLINT.
    static constexpr int kMaxLines = 32767;

    // True when a voucher of this company, type and day is already stored.
    bool alreadyPosted(const PostingRequest& r);

    // Posts the day. progress(done, total) is told after each sale; answering false stops the
    // posting and rolls it back, the previous voucher kept (the summary then has sales = -1).
    // Raises PostingRefused, changing nothing, when a check fails; DbError on a database failure,
    // also changing nothing.
    PostingSummary post(const PostingRequest& r, const std::function<bool(int, int)>& progress = {});

private:
    Connection& pos_;
    Connection& tavro_;
};

}  // namespace kv
