#pragma once
// What the tests on the private Firebird server share: one server for a whole suite (started
// before its first test, stopped after its last, however they end), a folder beside it for the
// tests' files, and a fresh POS database on it for a test.
#include "support/TestServer.h"

#include "data/Connection.h"
#include "data/DatabaseCreate.h"
#include "data/Schema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kvtest {

class ServerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        server_ = new TestServer(QStringLiteral(KV_SERVER_SCRIPT), dir_->filePath(QStringLiteral("server")));
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
        delete dir_;
        dir_ = nullptr;
    }

    // A file of the suite's folder.
    static QString path(const QString& name) { return dir_->filePath(name); }
    // The running test's name, for files of its own.
    static QString testName()
    {
        return QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    // A new POS database on the server (the file `name`, by default the test's name), with the
    // schema made and `seed` run; its location is left in `location`. Returned open.
    static std::unique_ptr<kv::Connection> newPosDatabase(void (*seed)(kv::Connection&), QString* location = nullptr,
                                                          const QString& name = QString())
    {
        const QString where = server_->location(path((name.isEmpty() ? testName() : name) + QStringLiteral(".fdb")));
        kv::createDatabase(where);
        auto db = std::make_unique<kv::Connection>(QStringLiteral("Korvela"));
        db->setLocation(where);
        db->open();
        kv::createPosSchema(*db);
        seed(*db);
        if (location)
            *location = where;
        return db;
    }

    static inline QTemporaryDir* dir_ = nullptr;
    static inline TestServer* server_ = nullptr;
};

}  // namespace kvtest
