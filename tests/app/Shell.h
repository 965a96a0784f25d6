#pragma once
// The main window's world for tests: a general data module on a fresh demo database, reached
// through a real location file, and small keyboard helpers.
#include "data/UntDMGeneral.h"
#include "support/Keyboard.h"
#include "support/TestDb.h"

#include <QFile>
#include <QTreeWidget>

#include <memory>

namespace kvtest {

// The tree's shape as text: "Root(Group(A,B),C)".
inline QString shape(const QTreeWidgetItem* node)
{
    QString s = node->text(0);
    if (node->childCount() == 0)
        return s;
    QStringList children;
    for (int i = 0; i < node->childCount(); ++i)
        children << shape(node->child(i));
    return s + QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')');
}
inline QString shape(const QTreeWidget* tree)
{
    QStringList tops;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        tops << shape(tree->topLevelItem(i));
    return tops.join(QLatin1Char('|'));
}

inline QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.last();
}

// A general data module on a fresh copy of the demo shop.
class ShellTest : public DemoDbTest {
protected:
    void SetUp() override
    {
        DemoDbTest::SetUp();
        locationFile = dir.filePath(QStringLiteral("DireccionBd.txt"));
        QFile f(locationFile);
        f.open(QIODevice::WriteOnly);
        f.write("Tavro\n\n\n\n\n\n" + db->location().toUtf8() + "\n");
        f.close();
        dm = std::make_unique<kv::TDMGeneral>();
        ASSERT_TRUE(dm->DataModuleCreate(locationFile));
        ASSERT_TRUE(dialogs.shown.empty());
    }
    void TearDown() override
    {
        dm.reset();
        DemoDbTest::TearDown();
    }

    QString locationFile;
    std::unique_ptr<kv::TDMGeneral> dm;
};

}  // namespace kvtest
