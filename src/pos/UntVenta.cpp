#include "pos/UntVenta.h"

#include "einvoice/ElectronicDocument.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/ProgramRegistry.h"
#include "data/UntDMGeneral.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/ScreenKeys.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaVp.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {
const QString kNoCashier = QStringLiteral("Cajero no existe! Por favor Verifique su login");
}  // namespace

TFrmVenta::TFrmVenta(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmVenta"));
    setWindowTitle(QStringLiteral("Login Cajero"));
    setAccessibleName(QStringLiteral("Login Cajero"));
    openScreen = [this](const QString& nivel) { openSaleScreenForLevel(dm_, nivel, this); };

    Label1 = makeTitleLabel(QStringLiteral("Cajero o Vendedor"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(captionFor(QStringLiteral("Cèdula"), Edit1, this), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(captionFor(QStringLiteral("Password"), Edit2, this), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(captionFor(QStringLiteral("Documento : "), DBLookupComboBox1, this), 2, 0);
    grid->addWidget(DBLookupComboBox1, 2, 1);
    Edit1->setMinimumWidth(220);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addLayout(grid);
    main->addWidget(BitBtn1, 0, Qt::AlignRight);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, DBLookupComboBox1);
    setTabOrder(DBLookupComboBox1, BitBtn1);
    Edit1->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    // Any change of the list after it was filled is the person's choice (mouse or keys).
    connect(DBLookupComboBox1, &QComboBox::currentIndexChanged, this, [this] { documentChosen_ = !filling_; });
}

TFrmVenta::~TFrmVenta() = default;

void TFrmVenta::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
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

bool TFrmVenta::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress && isPlainEnter(static_cast<QKeyEvent*>(event))) {
        guarded([this] { Edit1KeyDown(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFrmVenta::findCashierTyped()
{
    // The identity is a number; text that is not one names no cashier.
    const QString typed = Edit1->text().trimmed();
    return IsNumber(typed) && dm_.findCashier(StrToFloat(typed));
}

void TFrmVenta::Edit1KeyDown()
{
    if (findCashierTyped()) {
        Edit2->setFocus();
        return;
    }
    ShowMessage(kNoCashier);
    Edit1->setFocus();
}

void TFrmVenta::BitBtn1Click()
{
    dm_.Parametros.Refresh();
    if (!findCashierTyped()) {
        ShowMessage(kNoCashier);
        Edit1->setFocus();
        return;
    }
    if (dm_.TCajero.FieldByName(QStringLiteral("CLAVE")).asString() != Edit2->text()) {
        ShowMessage(QStringLiteral("Clave no Corresponde"));
        Edit2->setFocus();
        return;
    }
    // A register missing from the registers, without a company or whose company has no parameter
    // row would start documents with no company and no number: the cashier is not signed on.
    dm_.selectCashierRegister();
    if (dm_.Parametros.IsEmpty()) {
        ShowMessage(QStringLiteral("La caja %1 del cajero no está creada en Cajas o no tiene una empresa con "
                                   "parámetros; no puede facturar hasta que se configure.")
                        .arg(dm_.TCajero.FieldByName(QStringLiteral("CAJA")).asString()));
        Edit1->setFocus();
        return;
    }
    // Only a cashier who signed on right changes the document type, and only for his company.
    storeChosenDocument();
    // A company that issues electronic documents must be able to sign and number them: the
    // cashier learns it here, before he sells, not when the customer is paying.
    const QString problem = signOnProblem(dm_.DbPos, dm_.Parametros.FieldByName(QStringLiteral("EMPRESA")).asString(),
                                          dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString());
    if (!problem.isEmpty()) {
        ShowMessage(problem + QStringLiteral(". No puede facturar hasta que se corrija en la configuración electrónica."));
        Edit1->setFocus();
        return;
    }
    const QString nivel = dm_.TCajero.FieldByName(QStringLiteral("NIVEL")).asString();
    openScreen(nivel);
    // The next person signs on with his own password, and with the document type stored for his
    // company unless he chooses another: the choice was this person's.
    fillDocumentTypes();
    Edit2->clear();
    Edit1->setFocus();
    Edit1->selectAll();
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
QHash<QString, SaleScreenOpener>& saleScreens()
{
    static QHash<QString, SaleScreenOpener> screens;
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
    if (nivel == QLatin1String("V") || nivel == QLatin1String("1")) {
        TFrmVentaCajaVp screen(dm, parent);
        screen.exec();
        return;
    }
    const auto registered = saleScreens().constFind(nivel);
    if (registered != saleScreens().constEnd()) {
        (*registered)(dm, parent);
        return;
    }
    static const QHash<QString, QString> notYet = {{QStringLiteral("R"), QStringLiteral("Caja Dos")},
                                                   {QStringLiteral("8"), QStringLiteral("Caja Tres")},
                                                   {QStringLiteral("C"), QStringLiteral("Caja Principal")},
                                                   {QStringLiteral("2"), QStringLiteral("Ventas")}};
    const auto it = notYet.constFind(nivel);
    if (it != notYet.constEnd())
        ShowMessage(QStringLiteral("La pantalla \"%1\" de este nivel de cajero aún no está disponible.").arg(*it));
    // Supervisors, bosses and unknown levels sell on no screen of their own.
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
