#pragma once
// The main window's world for tests: a general data module on a fresh demo database, reached
// through a real location file, and small keyboard helpers.
#include "data/UntDMGeneral.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace kvtest {

// Runs `act` on the next modal dialog of type T, from inside its modal loop. A dialog that never
// shows fails the test after five seconds instead of hanging it.
template <class T>
void onModal(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, clock] {
        QWidget* top = QApplication::activeModalWidget();
        if (T* dlg = qobject_cast<T*>(top); dlg && dlg->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
            return;
        }
        if (clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            if (top)
                top->close();
        }
    });
    timer->start();
}

inline void showActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    QCoreApplication::processEvents();
}

// Puts the focus in the box, types over what it holds and, when asked, presses Enter.
inline void typeInto(QLineEdit* box, const QString& text, bool enter = true)
{
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
    if (enter)
        QTest::keyClick(box, Qt::Key_Return);
}

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
