#pragma once
// A fresh embedded database for each test. The schema is built once per test program into a
// template file; each test gets its own copy, so tests never see each other's rows.
#include "common/Dialogs.h"
#include "data/Connection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kvtest {

enum class Seed { Empty, Demo };

// Path of a new copy of the POS template (empty schema, or the demo data), inside dir.
QString freshPosDatabase(const QString& dir, Seed seed = Seed::Empty);
// Path of a new copy of the accounting template, inside dir.
QString freshAccountingDatabase(const QString& dir, Seed seed = Seed::Empty);

// Fixture: `db` is connected to a fresh POS database; `dialogs` records what was shown.
class DbTest : public ::testing::Test {
protected:
    explicit DbTest(Seed seed = Seed::Empty) : seed_(seed) {}
    void SetUp() override;
    void TearDown() override;

    QTemporaryDir dir;
    std::unique_ptr<kv::Connection> db;
    kv::ScriptedDialogs dialogs;

private:
    Seed seed_;
    std::unique_ptr<kv::DialogsScope> scope_;
};

// The same on the demo data.
class DemoDbTest : public DbTest {
protected:
    DemoDbTest() : DbTest(Seed::Demo) {}
};

}  // namespace kvtest
