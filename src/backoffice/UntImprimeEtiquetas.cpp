#include "backoffice/UntImprimeEtiquetas.h"

#include "backoffice/UntImprimeEtiquetasRpt.h"
#include "common/Dialogs.h"
#include "platform/DialogParts.h"
#include "platform/Printing.h"
#include "report/Barcode.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

// A label count the user typed: a whole number of 1 or more, else 0.
int labelCount(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= 1 ? n : 0;
}

}  // namespace

TFrmImprimeEtiquetas::TFrmImprimeEtiquetas(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmImprimeEtiquetas"), QStringLiteral("Impresion de Etiquetas"), parent),
      productos_(addTable(QStringLiteral("TbProductos"), QStringLiteral("PRODUCTOS"), Rows::ReadOnly))
{
    setWindowTitle(QStringLiteral("Impresion de Etiquetas"));
    productos_.setIndexFieldNames(QStringLiteral("PRODUCTO"));
    productos_.setPageSize(40);
    auto* main = new QVBoxLayout(this);

    auto* seleccion = new QGroupBox(QStringLiteral("Selección"), this);
    seleccion->setObjectName(QStringLiteral("Panel1"));
    auto* s = new QHBoxLayout(seleccion);
    BtnImprimir = button(QStringLiteral("BtnImprimir"), QStringLiteral("&Imprimir"), seleccion);
    Edit1 = named(new QLineEdit(QStringLiteral("A"), seleccion), QStringLiteral("Edit1"), QStringLiteral("Buscar Por Nombre"));
    Edit2 = named(new QLineEdit(QStringLiteral("A"), seleccion), QStringLiteral("Edit2"), QStringLiteral("Buscar Por Codigo"));
    s->addWidget(BtnImprimir);
    s->addWidget(captionFor(QStringLiteral("Buscar Por &Nombre"), Edit1, seleccion));
    s->addWidget(Edit1, 2);
    s->addWidget(captionFor(QStringLiteral("Buscar Por &Codigo"), Edit2, seleccion));
    s->addWidget(Edit2, 1);
    main->addWidget(seleccion);

    auto* lists = new QHBoxLayout;
    auto* panel = new QGroupBox(QStringLiteral("Doble Click Para Seleccionar"), this);
    panel->setObjectName(QStringLiteral("Panel2"));
    auto* p = new QVBoxLayout(panel);
    DBGrid1 = grid(productos_, QStringLiteral("DBGrid1"), QStringLiteral("Doble Click Para Seleccionar"),
                   {gridColumn(QStringLiteral("PRODUCTO"), QStringLiteral("Producto")),
                    gridColumn(QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE"), QString(), 30),
                    gridColumn(QStringLiteral("CODIGOBARRAS"), QStringLiteral("Codigo Barras Ean13"), QString(), 16)},
                   panel);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p->addWidget(DBGrid1);
    lists->addWidget(panel, 3);

    StringGrid1 = named(new QTableWidget(kBlock, 2, this), QStringLiteral("StringGrid1"), QStringLiteral("Etiquetas a imprimir"));
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Producto"), QStringLiteral("Numero Etiquetas")});
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lists->addWidget(StringGrid1, 2);
    main->addLayout(lists, 1);

    connect(BtnImprimir, &QPushButton::clicked, this, &TFrmImprimeEtiquetas::BtnImprimirClick);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TFrmImprimeEtiquetas::DBGrid1DblClick);
    keys()->onEnter(DBGrid1, [this] { DBGrid1DblClick(); });  // the keyboard's double click
    connect(Edit1, &QLineEdit::textEdited, this, &TFrmImprimeEtiquetas::Edit1Change);
    connect(Edit2, &QLineEdit::textEdited, this, &TFrmImprimeEtiquetas::Edit2Change);
    // Going into a search box (by click or by keyboard) puts the list in that box's order.
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    // The arrows in a search box move through the list; Enter there picks the product found.
    searchArrows(Edit1, productos_);
    searchArrows(Edit2, productos_);
    keys()->onEnter(Edit1, [this] { DBGrid1DblClick(); });
    keys()->onEnter(Edit2, [this] { DBGrid1DblClick(); });
    resize(820, 560);
}

TFrmImprimeEtiquetas::~TFrmImprimeEtiquetas() { deleteChildWidgets(this); }

bool TFrmImprimeEtiquetas::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress) {
        if (o == Edit1)
            Edit1Click();
        else if (o == Edit2)
            Edit2Click();
    }
    return DataScreen::eventFilter(o, e);
}

void TFrmImprimeEtiquetas::Edit1Click()
{
    if (productos_.indexFieldNames() != QLatin1String("NOMBRE"))
        productos_.setIndexFieldNames(QStringLiteral("NOMBRE"));
}

void TFrmImprimeEtiquetas::Edit2Click()
{
    if (productos_.indexFieldNames() != QLatin1String("PRODUCTO"))
        productos_.setIndexFieldNames(QStringLiteral("PRODUCTO"));
}

void TFrmImprimeEtiquetas::Edit1Change(const QString& text)
{
    Edit1Click();
    if (text.isEmpty())
        productos_.First();
    else
        productos_.FindNearest({text.toUpper()});
}

void TFrmImprimeEtiquetas::Edit2Change(const QString& text)
{
    Edit2Click();
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok)
        productos_.FindNearest({n});
}

void TFrmImprimeEtiquetas::DBGrid1DblClick()
{
    if (!productos_.active() || productos_.IsEmpty())
        return;
    if (count_ >= kBlock) {
        ShowMessage(QStringLiteral("Hacer Otro Bloque de 20 Productos"));
        return;
    }
    const QString producto = productos_.FieldByName(QStringLiteral("PRODUCTO")).asString();
    const std::optional<QString> cuantas = dialogs().input(QStringLiteral("Etiquetas"), QStringLiteral("Cuantas"));
    if (!cuantas)
        return;  // cancelled: nothing is added
    const int n = labelCount(*cuantas);
    if (n < 1) {
        ShowMessage(QStringLiteral("El número de etiquetas debe ser un número entero mayor que cero."));
        return;
    }
    StringGrid1->setItem(count_, 0, new QTableWidgetItem(producto));
    StringGrid1->setItem(count_, 1, new QTableWidgetItem(QString::number(n)));
    ++count_;
}

QStringList TFrmImprimeEtiquetas::unreadableBarcodes()
{
    QStringList bad;
    for (int i = 0; i < count_; ++i) {
        QSqlQuery q = db().exec(QStringLiteral("SELECT NOMBRE, CODIGOBARRAS FROM PRODUCTOS WHERE PRODUCTO = :P"),
                                {{QStringLiteral("P"), StringGrid1->item(i, 0)->text().toInt()}});
        if (!db().next(q))
            continue;
        const QString code = q.value(1).toString().trimmed();
        if (code.size() != 13 && code.size() != 8)
            continue;  // no bars at all: the label says so by itself
        bool readable = false;
        try {
            readable = eanCheckDigit(code.left(code.size() - 1)) == code.right(1).toInt() && code.right(1)[0].isDigit();
        } catch (const ConversionError&) {
        }
        if (!readable)
            bad << StringGrid1->item(i, 0)->text() + QLatin1Char(' ') + q.value(0).toString().trimmed() +
                       QStringLiteral(": ") + code;
    }
    return bad;
}

void TFrmImprimeEtiquetas::BtnImprimirClick()
{
    if (count_ == 0) {
        ShowMessage(QStringLiteral("No hay productos seleccionados."));
        return;
    }
    const QStringList bad = unreadableBarcodes();
    if (!bad.isEmpty() &&
        !AskYesNo(QStringLiteral("Estos productos tienen un código de barras que ningún lector podrá leer (dígito de "
                                 "control errado o caracteres que no son dígitos):\n") +
                  bad.join(QLatin1Char('\n')) + QStringLiteral("\n¿Desea imprimir las etiquetas de todos modos?")))
        return;
    {
        // The block replaces the last one whole.
        Transaction t(db());
        db().exec(QStringLiteral("DELETE FROM ETIQUETAS"));
        for (int i = 0; i < count_; ++i) {
            const int producto = StringGrid1->item(i, 0)->text().toInt();
            const int n = StringGrid1->item(i, 1)->text().toInt();
            for (int k = 1; k <= n; ++k)
                db().exec(QStringLiteral("INSERT  INTO ETIQUETAS (PRODUCTO,CONSECUTIVO) VALUES (:PRODUCTO, :CONSECUTIVO)"),
                          {{QStringLiteral("PRODUCTO"), producto}, {QStringLiteral("CONSECUTIVO"), k}});
        }
        t.commit();
    }
    TFrmImprimeEtiquetasRpt rpt(db());
    preview(rpt.render(), this);
}

}  // namespace kv
