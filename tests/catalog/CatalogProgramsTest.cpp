// Programs 1 to 8 of the module tree open the catalogue screens, modally, on the POS database of
// the general data module.
#include "catalog/CatalogPrograms.h"
#include "catalog/CatalogScreen.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTimer>

using namespace kv;

namespace {

class CatalogProgramsTest : public kvtest::DbTest {};

TEST_F(CatalogProgramsTest, EachNumberOpensItsScreenOnThePosDatabase)
{
    QFile location(dir.filePath("DireccionBd.txt"));
    ASSERT_TRUE(location.open(QIODevice::WriteOnly));
    location.write(QStringLiteral("\n\n\n\n\n\n%1\n").arg(db->location()).toUtf8());
    location.close();
    TDMGeneral dm;
    ASSERT_TRUE(dm.DataModuleCreate(location.fileName()));
    registerCatalogPrograms();

    const char* const screens[] = {"kv::TFrmSucursales", "kv::TFrmCajeros",    "kv::TFrmCajas", "kv::TFrmLineasFacturas",
                                   "kv::TFrmParametros", "kv::TFrmMesas",      "kv::TFrmMeseros", "kv::TFrmProductos"};
    for (int n = 1; n <= 8; ++n) {
        ScreenOpener open = programOpener(n);
        ASSERT_TRUE(bool(open)) << n;
        QString seen;
        bool shown = false;
        bool onDbPos = true;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = QString::fromLatin1(w->metaObject()->className());
                shown = w->isVisible();
                if (auto* c = qobject_cast<CatalogScreen*>(w))
                    onDbPos = &c->db() == &dm.DbPos;
                w->close();
            }
        });
        closer.start(5);
        open();  // returns when the screen closes
        EXPECT_EQ(seen, QString::fromLatin1(screens[n - 1])) << n;
        EXPECT_TRUE(shown) << n;
        EXPECT_TRUE(onDbPos) << n;
    }
    EXPECT_TRUE(dialogs.texts("error").isEmpty()) << dialogs.last().toStdString();
    dm.DataModuleDestroy();
}

}  // namespace
