#include "CallerHarness.h"

#include "catalog/UntBuscarClientes.h"
#include "catalog/UntBuscarProducto.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "catalog/UntBuscarTercero.h"
#include "catalog/UntCalendario.h"
#include "catalog/UntCrearClientes.h"
#include "catalog/UntCrearTercero.h"
#include "catalog/ThirdParties.h"
#include "common/Numbers.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTest>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace kvtest {

using namespace kv;

void doubleClickCell(QAbstractItemView* view, const QModelIndex& index)
{
    QWidget* vp = view->viewport();
    const QPoint at = view->visualRect(index).center();
    QTest::mousePress(vp, Qt::LeftButton, {}, at);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
    QTest::mousePress(vp, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), vp->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
}

CallerHarness::CallerHarness(Connection& db) : db_(db)
{
    customerBox = new QLineEdit(this);
    customerBox->setObjectName("customerBox");
    orderCustomerBox = new QLineEdit(this);
    orderCustomerBox->setObjectName("orderCustomerBox");
    productBox = new QLineEdit(this);
    productBox->setObjectName("productBox");
    dateBox = new QLineEdit(this);
    dateBox->setObjectName("dateBox");
    auto* lay = new QVBoxLayout(this);
    for (QLineEdit* e : {customerBox, orderCustomerBox, productBox, dateBox}) {
        lay->addWidget(e);
        e->installEventFilter(this);
    }
}

bool CallerHarness::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (o == customerBox) {
            TFrmBuscarTercero dlg(db_, this);
            dlg.exec();
            customerBox->setText(FloatToStr(NitTerceroElegido));  // whatever the dialog returned
            return true;
        }
        if (o == orderCustomerBox) {
            TFrmBuscarClientes dlg(db_, this);
            dlg.exec();
            orderCustomerBox->setText(FloatToStr(NitClienteElegido));
            return true;
        }
        if (o == dateBox) {
            if (Form_Calendario().exec() == QDialog::Accepted)
                dateBox->setText(FechaCalendario.date().toString("dd/MM/yyyy"));
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress && o == productBox) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && productBox->text().isEmpty()) {
            TFrmBuscarProductoAlf dlg(db_, this);
            dlg.exec();
            productBox->setText(CodigoBuscado);
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

bool CallerHarness::saleCustomerMissing()
{
    TFrmCrearClientes::CrearCliente(db_, customerBox->text(), this);
    return IsNitText(customerBox->text()) &&
           !db_.scalar("SELECT NIT FROM PROVEEDORES WHERE NIT = :NIT", {{"NIT", NitFromText(customerBox->text())}})
                .isNull();
}

bool CallerHarness::orderCustomerMissing()
{
    TFrmCrearTercero::CrearTercero(db_, orderCustomerBox->text(), this);
    return IsNitText(orderCustomerBox->text()) &&
           !db_.scalar("SELECT NIT FROM PROVEEDORES WHERE NIT = :NIT", {{"NIT", NitFromText(orderCustomerBox->text())}})
                .isNull();
}

void CallerHarness::lineProductDoubleClick()
{
    TFrmBuscarProducto dlg(db_, this);
    dlg.exec();
    lineBuscador = CodigoBuscado.isEmpty() ? QString::number(ProductoBuscado) : CodigoBuscado;
    lineProducto = ProductoBuscado;
}

}  // namespace kvtest
