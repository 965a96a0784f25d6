#pragma once
// The large databases the benchmark programs run on: generated once, kept between runs when
// KV_BENCH_DIR names a folder (making one takes minutes), else made in a temporary folder.
#include "common/Errors.h"
#include "data/BenchData.h"
#include "data/DatabaseCreate.h"
#include "data/Schema.h"
#include "tests/support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace kvbench {

inline QString benchDir()
{
    static QTemporaryDir temp;
    const QString kept = qEnvironmentVariable("KV_BENCH_DIR");
    if (!kept.isEmpty()) {
        QDir().mkpath(kept);
        return kept;
    }
    return temp.path();
}

// Forced writes flush every commit to the disk, as a shop's database runs; asynchronous writes
// leave it to the system, so that a ratio against raw statements shows the program's own work.
inline void setWrites(const QString& path, bool forced)
{
    if (QProcess::execute(QStringLiteral("gfix"), {QStringLiteral("-user"), kv::databaseUser(), QStringLiteral("-write"),
                                                   forced ? QStringLiteral("sync") : QStringLiteral("async"), path}) != 0)
        qWarning("gfix could not switch the writes of %s", qPrintable(path));
}

inline void asynchronousWrites(const QString& path) { setWrites(path, false); }

// A copy of a generated database under another name in benchDir(), made afresh.
inline QString copyOf(const QString& path, const QString& name)
{
    const QString copy = QDir(benchDir()).filePath(name);
    QFile::remove(copy);
    if (!QFile::copy(path, copy))
        qFatal("could not copy %s", qPrintable(path));
    return copy;
}

// A copy with forced writes on: every commit flushed to the disk, as a shop's database runs.
inline QString forcedWritesCopyOf(const QString& path, const QString& name)
{
    const QString copy = copyOf(path, name);
    setWrites(copy, true);
    return copy;
}

// A copy reached through the run's private Firebird server on the loopback (started on first
// use, stopped when the program ends), as registers that share a server reach their database.
inline QString serverCopyOf(const QString& path, const QString& name)
{
    static QTemporaryDir dir;
    static kvtest::TestServer server(QStringLiteral(KV_SERVER_SCRIPT), dir.filePath(QStringLiteral("server")));
    return server.location(copyOf(path, name));
}

// The path of benchDir()/name. A kept file that `usable` refuses (made by an older generator, or
// with fewer rows) is made again: an empty POS schema filled by `fill`. It is made under another
// name and renamed when complete, so that a run stopped half way is not taken for a finished one.
inline QString generatedDatabase(const QString& name, const std::function<void(kv::Connection&)>& fill,
                                 const std::function<bool(kv::Connection&)>& usable = {})
{
    const QString path = QDir(benchDir()).filePath(name);
    if (QFile::exists(path)) {
        bool ok = true;
        if (usable) {
            try {
                kv::Connection c(QStringLiteral("BenchCheck"));
                c.setLocation(path);
                c.open();
                ok = usable(c);
            } catch (const kv::Failure&) {
                ok = false;
            }
        }
        if (ok)
            return path;
        QFile::remove(path);
    }
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    kv::createDatabase(part);
    {
        kv::Connection c(QStringLiteral("BenchMake"));
        c.setLocation(part);
        c.open();
        kv::createPosSchema(c);
        fill(c);
    }
    asynchronousWrites(part);
    QFile::rename(part, path);
    return path;
}

// A shop of `years` of sales ending yesterday: 20,000 products, 5,000 customers, 50 documents a day
// of about 4 lines and 10 orders a day.
inline kv::BenchDataOptions yearsOfSales(int years)
{
    kv::BenchDataOptions o;
    o.products = 20000;
    o.customers = 5000;
    o.days = 365 * years;
    o.salesPerDay = 50;
    o.linesPerSale = 4;
    o.ordersPerDay = 10;
    return o;
}

// A connection to a generated database under the program's own connection name.
inline std::unique_ptr<kv::Connection> openDatabase(const QString& path)
{
    auto c = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
    c->setLocation(path);
    c->open();
    return c;
}

}  // namespace kvbench
