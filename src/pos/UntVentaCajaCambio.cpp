#include "pos/UntVentaCajaCambio.h"

#include "catalog/UntBuscarProducto.h"
#include "common/Dialogs.h"
#include "platform/DbControls.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "pos/DocumentCorrections.h"
#include "pos/UntDmVentas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {
const QStringList kFields{QStringLiteral("LINEA"),          QStringLiteral("BUSCADOR"),       QStringLiteral("NombreArticulo"),
                          QStringLiteral("CANTIDAD"),       QStringLiteral("PRECIOUNIDAD"),   QStringLiteral("PORCENTAJEDESCUENTO"),
                          QStringLiteral("VALORDESCUENTO"), QStringLiteral("IVA"),            QStringLiteral("VALORIVA"),
                          QStringLiteral("SUBTOTAL")};
}  // namespace

TFrmVentaCajaCambio::TFrmVentaCajaCambio(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmVentaCajaCambio"));
    setWindowTitle(QStringLiteral("Cambios a  la Factura"));
    setAccessibleName(windowTitle());
    resize(1100, 400);
    auto* main = new QVBoxLayout(this);
    DBGrid1 = new DbGrid(dm_.TFac, this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Lineas"));
    // Titles as the sale screen's grid words them; widths in characters.
    const QStringList titles{QStringLiteral("Linea"),     QStringLiteral("Producto"),   QStringLiteral("Articulo"),
                             QStringLiteral("Cantidad"),  QStringLiteral("Valor Unidad"), QStringLiteral("%Descuento"),
                             QStringLiteral("Descuento"), QStringLiteral("% Iva"),      QStringLiteral("Valor Iva"),
                             QStringLiteral("Valor Articulo")};
    const int widths[] = {5, 14, 30, 8, 12, 9, 10, 6, 10, 13};
    QVector<GridColumn> columns;
    for (int i = 0; i < kFields.size(); ++i) {
        const QString& f = kFields[i];
        // The line number, the name and the amounts the module computes are shown, not typed.
        const bool readOnly = f == QLatin1String("LINEA") || f == QLatin1String("NombreArticulo") || f == QLatin1String("IVA") ||
                              f == QLatin1String("VALORIVA") || f == QLatin1String("SUBTOTAL") ||
                              f == QLatin1String("VALORDESCUENTO");
        columns.append({f, titles[i], QString(), readOnly, widths[i]});
    }
    DBGrid1->setColumns(columns);
    main->addWidget(DBGrid1);
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex& prev) {
                if (cur.column() != prev.column())
                    guarded([this, cur] { enteredColumn(cur.column()); });
            });
    rememberCodes();
    DBGrid1->setFocus();
}

TFrmVentaCajaCambio::~TFrmVentaCajaCambio() { deleteChildWidgets(this); }

int TFrmVentaCajaCambio::column(const QString& field) const { return int(kFields.indexOf(field)); }

void TFrmVentaCajaCambio::rememberCodes()
{
    // The grid stores each cell as it is left, so "changed" means: changed since the window
    // opened or since the line's product was last looked up.
    codes_.clear();
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT LINEA, BUSCADOR FROM POSMOVIMIENTODETALLE WHERE EMPRESA = :E AND "
                                                "DOCUMENTO = :D AND CONSECUTIVO = :C"),
                                 {{QStringLiteral("E"), dm_.TIniFac.FieldByName(QStringLiteral("EMPRESA")).value()},
                                  {QStringLiteral("D"), dm_.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).value()},
                                  {QStringLiteral("C"), dm_.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).value()}});
    while (dm_.DbPos.next(q))
        codes_.insert(q.value(0).toInt(), q.value(1).toString().trimmed());
}

void TFrmVentaCajaCambio::enteredColumn(int col)
{
    if (col != column(QStringLiteral("CANTIDAD")) || dm_.TFac.IsEmpty())
        return;
    const int linea = dm_.TFac.FieldByName(QStringLiteral("LINEA")).asInteger();
    if (dm_.TFac.FieldByName(QStringLiteral("BUSCADOR")).asString().trimmed() == codes_.value(linea))
        return;
    lookUpProduct(dm_.TFac.FieldByName(QStringLiteral("BUSCADOR")).asString().trimmed());
}

void TFrmVentaCajaCambio::lookUpProduct(const QString& code)
{
    Dataset& l = dm_.TFac;
    QSqlQuery q(dm_.DbPos.database());
    bool found = false;
    bool isNumber = false;
    const int producto = code.toInt(&isNumber);
    const QString columns = QStringLiteral("SELECT PRODUCTO, CODIGOBARRAS, VALORUNIDAD, VALORIVA FROM PRODUCTOS WHERE ");
    if (isNumber) {
        q = dm_.DbPos.exec(columns + QStringLiteral("PRODUCTO = :P"), {{QStringLiteral("P"), producto}});
        found = dm_.DbPos.next(q);
    }
    if (!found) {
        q = dm_.DbPos.exec(columns + QStringLiteral("CODIGOBARRAS = :C"), {{QStringLiteral("C"), code}});
        found = dm_.DbPos.next(q);
    }
    if (!found) {
        // Back to the code once the grid has finished moving to the quantity.
        QMetaObject::invokeMethod(
            this,
            [this] {
                DBGrid1->setCurrentIndex(DBGrid1->model()->index(DBGrid1->currentIndex().row(), column(QStringLiteral("BUSCADOR"))));
            },
            Qt::QueuedConnection);
        return;
    }
    const QString barras = q.value(1).toString().trimmed();
    const QString buscador = barras.isEmpty() ? q.value(0).toString() : barras;
    // The catalogue price is a unit's: the line becomes one of units, without discount.
    if (l.isEditing())
        l.Cancel();
    dm_.changeLine({{QStringLiteral("BUSCADOR"), buscador},
                    {QStringLiteral("PRODUCTO"), q.value(0)},
                    {QStringLiteral("PRECIOUNIDAD"), q.value(2).toDouble()},
                    {QStringLiteral("IVA"), q.value(3).toDouble()},
                    {QStringLiteral("UNIDADMOVIMIENTO"), QStringLiteral("UN")},
                    {QStringLiteral("DESCUENTO"), 0.0},
                    {QStringLiteral("VALORIVA"), 0.0},
                    {QStringLiteral("VALORDESCUENTO"), 0.0},
                    {QStringLiteral("SUBTOTAL"), 0.0},
                    {QStringLiteral("PORCENTAJEDESCUENTO"), 0.0}});
    codes_.insert(l.FieldByName(QStringLiteral("LINEA")).asInteger(), buscador);
}

void TFrmVentaCajaCambio::searchProduct()
{
    TFrmBuscarProducto dlg(dm_.DbPos, this);
    dlg.exec();
    if (ProductoBuscado == 0)
        return;
    // The chosen product replaces the line's, priced as a code typed into the line would be.
    lookUpProduct(CodigoBuscado.isEmpty() ? QString::number(ProductoBuscado) : CodigoBuscado);
}

bool TFrmVentaCajaCambio::eventFilter(QObject* o, QEvent* e)
{
    if (o == DBGrid1 && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
            // The arrows never leave the line: they move on to the next column.
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QApplication::sendEvent(DBGrid1, &right);
            return true;
        }
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && dm_.TFac.isEditing()) {
            guarded([this] { dm_.TFac.Post(); });
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            if (dm_.TFac.isEditing())
                dm_.TFac.Cancel();
            else
                QDialog::done(Rejected);
            return true;
        }
    }
    if (o == DBGrid1->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        const int col = DBGrid1->currentIndex().column();
        if (col == column(QStringLiteral("BUSCADOR")) && !dm_.TFac.IsEmpty()) {
            guarded([this] { searchProduct(); });
            return true;
        }
        if (col == column(QStringLiteral("CANTIDAD"))) {
            TFrmAutorizacionSupervisor dlg(dm_, this);
            dlg.exec();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void TFrmVentaCajaCambio::done(int r)
{
    // A line still being edited is stored before the window goes; if it cannot be, the window
    // stays with the line as typed.
    if (dm_.TFac.isEditing() && !guarded([this] { dm_.TFac.Post(); }))
        return;
    QDialog::done(r);
}

TFrmAutorizacionSupervisor::TFrmAutorizacionSupervisor(TDmVentas& dm, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAutorizacionSupervisor"));
    setWindowTitle(QStringLiteral("AUTORIZACION SUPERVISOR"));
    setAccessibleName(windowTitle());
    auto* main = new QVBoxLayout(this);
    auto* who = new QLabel(QStringLiteral("Autoriza: ") + dm.TCajero.FieldByName(QStringLiteral("NOMBRE")).asString(), this);
    who->setObjectName(QStringLiteral("LabelAutoriza"));
    main->addWidget(who);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    main->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CambiaFactura(TDmVentas& dm, QWidget* parent)
{
    if (dm.TCajero.FieldByName(QStringLiteral("CAMBIAPRECIO")).asString() != QLatin1String("S"))
        return;
    const std::optional<SaleDocumentKey> key = askSaleDocument(dm, QStringLiteral("Modificar"));
    if (!key)
        return;
    // The document the screen stood on (the one being sold, perhaps) is where the module goes back.
    std::optional<SaleDocumentKey> before;
    if (dm.TIniFac.active() && !dm.TIniFac.IsEmpty())
        before = SaleDocumentKey{dm.TIniFac.FieldByName(QStringLiteral("EMPRESA")).asString(),
                                 dm.TIniFac.FieldByName(QStringLiteral("DOCUMENTO")).asString(),
                                 dm.TIniFac.FieldByName(QStringLiteral("CONSECUTIVO")).asInteger()};
    if (!dm.openDocument(key->empresa, key->documento, key->consecutivo)) {
        ShowMessage(QStringLiteral("Factura No Existe"));
        return;
    }
    struct Back {
        TDmVentas& dm;
        const std::optional<SaleDocumentKey>& before;
        ~Back()
        {
            if (before)
                dm.openDocument(before->empresa, before->documento, before->consecutivo);
        }
    } back{dm, before};
    TFrmVentaCajaCambio dlg(dm, parent);
    dlg.exec();
}

}  // namespace kv
