// The main sale screen's product box and its packing and stock panel: "Forma de Empaque a Vender" with one item per packing
// of the product typed, and the stock balance shown for it.
#include "pos/UntVentaCajaVp.h"

#include "catalog/StockBalance.h"
#include "catalog/UntBuscarProductoAlf.h"
#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/Guard.h"
#include "pos/UntDmVentas.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

// ---------------------------------------------------------------- PackingGroup

PackingGroup::PackingGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent)
{
    setAccessibleName(caption);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    new QVBoxLayout(this);
}

void PackingGroup::setItems(const QStringList& captions)
{
    qDeleteAll(items_);
    items_.clear();
    for (const QString& c : captions) {
        auto* b = new QRadioButton(c, this);
        b->setAccessibleName(QString(c).remove(QLatin1Char('&')));
        // The group keeps the focus, so the keys of the next item scanned come to the screen.
        b->setFocusPolicy(Qt::NoFocus);
        layout()->addWidget(b);
        items_.append(b);
    }
}

int PackingGroup::itemIndex() const
{
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked())
            return i;
    return -1;
}

void PackingGroup::setItemIndex(int i)
{
    if (i >= 0 && i < items_.size())
        items_[i]->setChecked(true);
}

void PackingGroup::keyPressEvent(QKeyEvent* e)
{
    const int n = count();
    if (n > 0 && (e->key() == Qt::Key_Down || e->key() == Qt::Key_Right)) {
        setItemIndex((itemIndex() + 1) % n);
        return;
    }
    if (n > 0 && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Left)) {
        setItemIndex((itemIndex() + n - 1) % n);
        return;
    }
    // An item's underlined letter chooses it, with or without Alt.
    const QString typed = e->text().toUpper();
    if (typed.size() == 1 && typed[0].isLetter()) {
        for (int i = 0; i < n; ++i) {
            const QString t = items_[i]->text();
            const int amp = int(t.indexOf(QLatin1Char('&')));
            if (amp >= 0 && amp + 1 < t.size() && t[amp + 1].toUpper() == typed[0]) {
                setItemIndex(i);
                return;
            }
        }
    }
    QGroupBox::keyPressEvent(e);
}

// ---------------------------------------------------------------- products and packings

void TFrmVentaCajaVp::EditProductoSearch()
{
    TFrmBuscarProductoAlf dlg(dm_.DbPos, this);
    dlg.exec();
    EditProducto->setText(CodigoBuscado);
    RadioEmpaque->setFocus(Qt::TabFocusReason);
}

void TFrmVentaCajaVp::EditProductoEnter()
{
    const QString code = EditProducto->text().trimmed();
    if (code.isEmpty()) {
        EditProductoSearch();
        return;
    }
    // A barcode is rung up at once: it is what the scanner typed, and the next scan follows.
    if (!dm_.DbPos.scalar(QStringLiteral("SELECT FIRST 1 PRODUCTO FROM PRODUCTOS WHERE CODIGOBARRAS = :C"),
                          {{QStringLiteral("C"), code}})
             .isNull()) {
        listPackings();
        RadioEmpaque->setItemIndex(0);
        addLine(QStringLiteral("1"));
        return;
    }
    RadioEmpaque->setFocus(Qt::TabFocusReason);
}

void TFrmVentaCajaVp::clearPackings()
{
    RadioEmpaque->setItems({});
    productos_.clear();
    unidades_.clear();
}

void TFrmVentaCajaVp::listPackings()
{
    // The product, its stock and its packings are read together, in one snapshot and one
    // transaction, and shown once read.
    bool found = false;
    double saldo = 0;
    QStringList captions;
    QStringList unidades;
    dm_.DbPos.readTogether([&] {
        captions.clear();
        unidades.clear();
        found = findProductByCode(dm_, EditProducto->text());
        if (!found)
            return;
        const int producto = dm_.TProductos.FieldByName(QStringLiteral("PRODUCTO")).asInteger();
        saldo = stockNow(producto);
        // The base unit first, then the bigger packings by their number of units, so that the
        // item selected at first is the single unit at its own price.
        QSqlQuery q = dm_.DbPos.exec(
            QStringLiteral("SELECT V.UNIDAD, U.NOMBRE, V.CANTIDAD, V.VALORVENTAMOSTRADOR FROM PRODUCTOSVALORVENTA V LEFT "
                           "JOIN UNIDADES U ON U.UNIDAD = V.UNIDAD WHERE V.PRODUCTO = :PRODUCTO ORDER BY CASE WHEN "
                           "V.UNIDAD = :BASE THEN 0 ELSE 1 END, V.CANTIDAD, V.UNIDAD"),
            {{QStringLiteral("PRODUCTO"), producto},
             {QStringLiteral("BASE"), dm_.TProductos.FieldByName(QStringLiteral("UNIDAD")).asString()}});
        while (dm_.DbPos.next(q)) {
            const QString unidad = q.value(0).toString().trimmed();
            QString nombre = q.value(1).toString().trimmed();
            if (nombre.isEmpty())
                nombre = unidad;
            captions << QLatin1Char('&') + nombre + QStringLiteral(" *") + FloatToStr(q.value(2).toDouble()) +
                            QStringLiteral(" [") + FormatFloat(QStringLiteral("###,###.00"), q.value(3).toDouble()) +
                            QLatin1Char(']');
            unidades << unidad;
        }
    });
    if (!found) {
        // Whatever was typed (letters, "12a", a number no product has) is said plainly.
        const QString typed = EditProducto->text();
        clearPackings();
        EditProducto->clear();
        EditProducto->setFocus();
        if (!typed.trimmed().isEmpty())
            ShowMessage(QStringLiteral("No existe el Producto") + typed);
        return;
    }
    setYellow(RadioEmpaque, RadioEmpaque->hasFocus());
    ProductoElegido = QString::number(dm_.TProductos.FieldByName(QStringLiteral("PRODUCTO")).asInteger());
    showMessagePanel(dm_.TProductos.FieldByName(QStringLiteral("NOMBRE")).asString());
    showStock(saldo);
    unidades_ = unidades;
    productos_ = QStringList(unidades.size(), ProductoElegido);
    RadioEmpaque->setItems(captions);
    RadioEmpaque->setItemIndex(0);
}

double TFrmVentaCajaVp::stockNow(int producto)
{
    const QDate today = QDate::currentDate();
    QVentasHoy.Close();
    QVentasHoy.setParam(QStringLiteral("PRODUCTO"), producto);
    QVentasHoy.setParam(QStringLiteral("FECHAI"), QDateTime(today, QTime(0, 0)));
    QVentasHoy.setParam(QStringLiteral("FECHAF"), QDateTime(today.addDays(1), QTime(0, 0)));
    QVentasHoy.Open();
    return StockBalance(dm_.DbPos, producto) - QVentasHoy.FieldByName(QStringLiteral("VENDIDO")).asFloat();
}

double TFrmVentaCajaVp::stockForLine(int producto, bool controlada)
{
    // Where the document type controls stock, the product's row is taken before the balance is
    // read: a register selling the same product meanwhile waits here until this line is committed,
    // or, having started before it, fails on the row and runs its line again, reading this one.
    // Without the control nothing is taken, so registers never wait for each other's best seller.
    if (controlada)
        dm_.DbPos.scalar(QStringLiteral("SELECT PRODUCTO FROM PRODUCTOS WHERE PRODUCTO = :PRODUCTO WITH LOCK"),
                         {{QStringLiteral("PRODUCTO"), producto}});
    return stockNow(producto);
}

void TFrmVentaCajaVp::showStock(double saldo)
{
    SaldoProducto = saldo;
    PanelSaldo->setText(QStringLiteral("Saldo =[") + FormatFloat(QStringLiteral("###,###.00"), SaldoProducto) +
                        QLatin1Char(']'));
}

void TFrmVentaCajaVp::RadioEmpaqueEnter()
{
    EditCantidad->setFocus();
    EditCantidad->selectAll();
}

void TFrmVentaCajaVp::EditCantidadEnter() { guarded([this] { addLine(EditCantidad->text()); }); }

void TFrmVentaCajaVp::resetEntry()
{
    EditProducto->clear();
    clearPackings();
    EditProducto->setFocus();
}

}  // namespace kv
