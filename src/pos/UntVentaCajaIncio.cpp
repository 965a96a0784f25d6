#include "pos/UntVentaCajaIncio.h"

#include "common/Dates.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kv {

namespace {
QDateTime today() { return QDateTime(QDate::currentDate(), QTime(0, 0)); }
}  // namespace

bool TFrmVentaCajaIncio::falta(TDmVentas& dm)
{
    if (dm.TCajero.FieldByName(QStringLiteral("COBRA")).asString() != QLatin1String("S"))
        return false;
    // By register and day only: whichever cashier opens the register first records it. The day
    // is read on the date index; "+ 0" keeps the engine off the key, whose register part spans
    // every day the register has been opened.
    return dm.DbPos
        .scalar(QStringLiteral("SELECT FIRST 1 1 FROM POSARQUEO WHERE CAJA + 0 = :CAJA AND FECHA >= :HOY AND FECHA < :MANANA"),
                {{QStringLiteral("CAJA"), dm.TCajero.FieldByName(QStringLiteral("CAJA")).value()},
                 {QStringLiteral("HOY"), today()},
                 {QStringLiteral("MANANA"), today().addDays(1)}})
        .isNull();
}

void TFrmVentaCajaIncio::AbrirSiFalta(TDmVentas& dm, QWidget* parent)
{
    if (!falta(dm))
        return;
    TFrmVentaCajaIncio dlg(dm, parent);
    dlg.exec();
}

TFrmVentaCajaIncio::TFrmVentaCajaIncio(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmVentaCajaIncio"));
    setWindowTitle(QStringLiteral("Valor Inicia Caja"));
    setAccessibleName(windowTitle());

    // The row is started once, here: switching away and back to the window starts no other.
    Dataset& t = dm_.Tarqueo;
    if (!t.active())
        t.Open();
    t.Insert();
    t[QStringLiteral("CAJERO")] = dm_.TCajero.FieldByName(QStringLiteral("CEDULA")).value();
    t[QStringLiteral("CAJA")] = dm_.TCajero.FieldByName(QStringLiteral("CAJA")).value();
    t[QStringLiteral("FECHA")] = today();

    auto* main = new QVBoxLayout(this);
    addRegisterHeading(dm_, this, main, LabelCaja, LabelCajero);

    auto* form = new QGridLayout;
    // A plain box: the amount goes into the row only when Enter confirms it.
    EditIncio = new QLineEdit(this);
    EditIncio->setObjectName(QStringLiteral("EditIncio"));
    form->addWidget(captionFor(QStringLiteral("Valor Dinero en Caja"), EditIncio, this), 0, 0);
    form->addWidget(EditIncio, 0, 1);
    main->addLayout(form);
    EditIncio->installEventFilter(this);

    auto* bottom = new QGridLayout;
    LabelFecha = new QLabel(FormatDateTime(QStringLiteral("dd mmmm yyyy"), today()), this);
    LabelFecha->setObjectName(QStringLiteral("LabelFecha"));
    LabelFecha->setAccessibleName(QStringLiteral("Fecha"));
    LabelNumeroCaja = new QLabel(QStringLiteral("Caja ") + t[QStringLiteral("CAJA")].asString(), this);
    LabelNumeroCaja->setObjectName(QStringLiteral("LabelNumeroCaja"));
    LabelNumeroCaja->setAccessibleName(QStringLiteral("Caja"));
    bottom->addWidget(LabelFecha, 0, 0);
    bottom->addWidget(LabelNumeroCaja, 0, 1);
    main->addLayout(bottom);
    EditIncio->setFocus();
}

bool TFrmVentaCajaIncio::eventFilter(QObject* o, QEvent* e)
{
    if (o == EditIncio && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && !(k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
            guarded([this] { EditIncioEnter(); });
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TFrmVentaCajaIncio::EditIncioEnter()
{
    const QString text = EditIncio->text().trimmed();
    if (!IsNumber(text) || StrToFloat(text) < 0) {
        ShowMessage(QStringLiteral("Digite el dinero con que se inicia la caja: un valor de 0 o más"));
        EditIncio->setFocus();
        EditIncio->selectAll();
        return;
    }
    Dataset& t = dm_.Tarqueo;
    t[QStringLiteral("INCIO")] = StrToFloat(text);
    t.Post();
    accept();
}

void TFrmVentaCajaIncio::done(int r)
{
    // Closed without confirming an amount: the started row is dropped.
    if (dm_.Tarqueo.isEditing())
        dm_.Tarqueo.Cancel();
    QDialog::done(r);
}

}  // namespace kv
