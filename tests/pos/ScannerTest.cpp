// A barcode scanner is a keyboard that types fast: thirteen digits and Enter within a few
// milliseconds, and the next item at once. Keys queued before the screen has handled any of them
// must each reach the box that has the focus when its turn comes, so every scan becomes its line.
#include "RegisterFixture.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>
#include <QWindow>

using namespace kv;

namespace {

class ScannerTest : public kvtest::RegisterTest {
protected:
    // Posts the keys of a code and Enter to the window, as the keyboard driver delivers them:
    // the window hands each key to whatever control has the focus when the key is processed.
    void postScan(const QString& code)
    {
        QWindow* w = screen->windowHandle();
        auto post = [w](int key, const QString& text) {
            QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        };
        for (const QChar c : code)
            post(Qt::Key_0 + c.digitValue(), QString(c));
        post(Qt::Key_Return, QStringLiteral("\r"));
    }
};

TEST_F(ScannerTest, TwentyScansQueuedBackToBackRingUpTwentyLinesInOrder)
{
    // A second scannable product: TINTO.
    db->exec("UPDATE PRODUCTOS SET CODIGOBARRAS = '7709876543210' WHERE PRODUCTO = 4");
    startSale();
    ASSERT_TRUE(screen->EditProducto->hasFocus());
    QStringList codes;
    for (int i = 0; i < 20; ++i)
        codes << (i % 3 == 2 ? QStringLiteral("7709876543210") : QString::fromLatin1(kvtest::kArrozBarcode));
    for (const QString& c : codes)
        postScan(c);  // all queued before any is processed
    for (int i = 0; i < 50 && lines() < 20; ++i)
        QCoreApplication::processEvents();

    QSqlQuery q = db->exec("SELECT LINEA, PRODUCTO, CANTIDAD FROM POSMOVIMIENTODETALLE ORDER BY LINEA");
    int n = 0;
    while (q.next()) {
        ASSERT_LT(n, 20);
        EXPECT_EQ(q.value(0).toInt(), n + 1);
        EXPECT_EQ(q.value(1).toInt(), codes[n] == "7709876543210" ? 4 : 1) << "line " << n + 1;
        EXPECT_EQ(q.value(2).toDouble(), 1);
        ++n;
    }
    EXPECT_EQ(n, 20);
    EXPECT_TRUE(screen->EditProducto->text().isEmpty());
    EXPECT_TRUE(screen->EditProducto->hasFocus());
    EXPECT_TRUE(dialogs.shown.empty()) << texts().toStdString();
    EXPECT_EQ(db->scalar("SELECT NETO FROM POSMOVIMIENTO").toDouble(), 14 * 11600 + 6 * 2000);
}

}  // namespace
