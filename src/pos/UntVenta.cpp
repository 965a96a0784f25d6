#include "pos/UntVenta.h"

#include "einvoice/ElectronicDocument.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSqlQuery>

namespace kv {

TFrmVenta::TFrmVenta(TDmVentas& dm, QWidget* parent)
    : CashierSignOn(dm, {QStringLiteral("FrmVenta"), QStringLiteral("Cajero o Vendedor"), QStringLiteral("facturar"),
                         EnterKey::IdentityThenOk, QStringLiteral("Venta")},
                    parent),
      dm_(dm)
{
    openScreen = [this](const QString& nivel) { openSaleScreenForLevel(dm_, nivel, this); };

    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    boxes()->addWidget(captionFor(QStringLiteral("Documento : "), DBLookupComboBox1, this), 2, 0);
    boxes()->addWidget(DBLookupComboBox1, 2, 1);
    setTabOrder(Edit2, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, BitBtn1);
    // Any change of the list after it was filled is the person's choice (mouse or keys).
    connect(DBLookupComboBox1, &QComboBox::currentIndexChanged, this, [this] { documentChosen_ = !filling_; });
}

TFrmVenta::~TFrmVenta() = default;

void TFrmVenta::showEvent(QShowEvent* e)
{
    CashierSignOn::showEvent(e);
    if (!e->spontaneous())
        guarded([this] { FormActivate(); });
}

void TFrmVenta::FormActivate()
{
    fillDocumentTypes();
    Edit1->setFocus();
    Edit1->selectAll();
}

void TFrmVenta::fillDocumentTypes()
{
    // The document types offered are those whose code begins with P; the list starts on the type
    // of the first parameter row, as the registers of a one-company shop use.
    filling_ = true;
    DBLookupComboBox1->clear();
    QSqlQuery q = dm_.DbPos.exec(
        QStringLiteral("SELECT DOCUMENTO, NOMBRE FROM DOCUMENTOS WHERE DOCUMENTO LIKE 'P%' ORDER BY DOCUMENTO"));
    while (dm_.DbPos.next(q))
        DBLookupComboBox1->addItem(q.value(1).toString().trimmed(), q.value(0).toString().trimmed());
    const QString first =
        dm_.DbPos.scalar(QStringLiteral("SELECT FIRST 1 DOCUMENTO FROM POSESQUEMA ORDER BY LLAVE")).toString().trimmed();
    DBLookupComboBox1->setCurrentIndex(DBLookupComboBox1->findData(first));
    filling_ = false;
    documentChosen_ = false;
}

void TFrmVenta::BitBtn1Click()
{
    if (!signOnTyped())
        return;
    // Only a cashier who signed on right changes the document type, and only for his company.
    storeChosenDocument();
    // A company that issues electronic documents must be able to sign and number them: the
    // cashier learns it here, before he sells, not when the customer is paying.
    const QString problem = signOnProblem(dm_.DbPos, dm_.Parametros.FieldByName(QStringLiteral("EMPRESA")).asString(),
                                          dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString());
    if (!problem.isEmpty()) {
        ShowMessage(problem + QStringLiteral(". No puede facturar hasta que se corrija en la configuración electrónica."));
        refuseSignOn(problem);
        Edit1->setFocus();
        return;
    }
    acceptSignOn();
    openScreen(dm_.TCajero.FieldByName(QStringLiteral("NIVEL")).asString());
    // The next person signs on with his own password, and with the document type stored for his
    // company unless he chooses another: the choice was this person's.
    fillDocumentTypes();
    clearForNextPerson();
}

void TFrmVenta::storeChosenDocument()
{
    const QString documento = DBLookupComboBox1->currentData().toString();
    if (!documentChosen_ || documento.isEmpty())
        return;
    if (dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString() == documento)
        return;
    dm_.Parametros.Edit();
    dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).setValue(documento);
    dm_.Parametros.Post();
}

namespace {

// The sale screen of each cashier level, by the caption it shows. Levels are compared exactly
// (case included); supervisors, bosses and any other level sell on no screen of their own.
struct LevelScreen {
    const char* nivel;
    const char* caption;
};
const LevelScreen kLevelScreens[] = {{"R", "Caja Dos"}, {"V", "Caja"}, {"C", "Caja Principal"},
                                     {"1", "Caja"},     {"2", "Ventas"}, {"8", "Caja Tres"}};

QHash<QString, SaleScreenOpener>& saleScreens()
{
    // The main register is of this folder; the others register themselves at start-up.
    static QHash<QString, SaleScreenOpener> screens = [] {
        const SaleScreenOpener mainRegister = [](TDmVentas& dm, QWidget* parent) {
            TFrmVentaCajaVp screen(dm, parent);
            screen.exec();
        };
        return QHash<QString, SaleScreenOpener>{{QStringLiteral("V"), mainRegister}, {QStringLiteral("1"), mainRegister}};
    }();
    return screens;
}

}  // namespace

void registerSaleScreen(const QString& nivel, SaleScreenOpener opener)
{
    if (opener)
        saleScreens().insert(nivel, std::move(opener));
    else
        saleScreens().remove(nivel);
}

void openSaleScreenForLevel(TDmVentas& dm, const QString& nivel, QWidget* parent)
{
    for (const LevelScreen& level : kLevelScreens) {
        if (nivel != QLatin1String(level.nivel))
            continue;
        if (const SaleScreenOpener open = saleScreens().value(nivel))
            open(dm, parent);
        else
            ShowMessage(QStringLiteral("La pantalla \"%1\" de este nivel de cajero aún no está disponible.")
                            .arg(QString::fromUtf8(level.caption)));
        return;
    }
}

void registerPosPrograms()
{
    registerProgram(10, [] {
        if (!DmVentas)
            return;
        TFrmVenta window(*DmVentas, QApplication::activeWindow());
        window.exec();
    });
}

}  // namespace kv
