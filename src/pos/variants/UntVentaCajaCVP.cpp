#include "pos/variants/UntVentaCajaCVP.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"
#include "pos/UntVentaCajaVp.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace kv {

TFrmVentaCajaCVP::TFrmVentaCajaCVP(const QString& nombre, double precio, double cantidad, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmVentaCajaCVP"));
    setWindowTitle(QStringLiteral("Cantidad Valor y Precio"));
    setAccessibleName(windowTitle());
    auto* g = new QGridLayout(this);
    auto* articulo = new QGroupBox(QStringLiteral("Articulo"), this);
    articulo->setAccessibleName(QStringLiteral("Articulo"));
    auto* ga = new QGridLayout(articulo);
    LabelNombre = new QLabel(nombre, articulo);
    LabelNombre->setObjectName(QStringLiteral("LabelNombre"));
    LabelNombre->setAccessibleName(QStringLiteral("Articulo"));
    ga->addWidget(LabelNombre, 0, 0, 1, 2);
    LabelPrecio = new QLabel(FormatFloat(QStringLiteral("###,###.00"), precio), articulo);
    LabelPrecio->setObjectName(QStringLiteral("LabelPrecio"));
    ga->addWidget(captionFor(QStringLiteral("Precio"), LabelPrecio, articulo), 1, 0);
    ga->addWidget(LabelPrecio, 1, 1);
    LabelNeto = new QLabel(articulo);
    LabelNeto->setObjectName(QStringLiteral("LabelNeto"));
    ga->addWidget(captionFor(QStringLiteral("Neto"), LabelNeto, articulo), 2, 0);
    ga->addWidget(LabelNeto, 2, 1);
    g->addWidget(articulo, 0, 0, 1, 2);
    EditCantidad = new QLineEdit(FloatToStr(cantidad), this);
    EditCantidad->setObjectName(QStringLiteral("EditCantidad"));
    g->addWidget(captionFor(QStringLiteral("&Cantidad"), EditCantidad, this), 1, 0);
    g->addWidget(EditCantidad, 1, 1);
    EditValor = new QLineEdit(this);
    EditValor->setObjectName(QStringLiteral("EditValor"));
    g->addWidget(captionFor(QStringLiteral("&Valor"), EditValor, this), 2, 0);
    g->addWidget(EditValor, 2, 1);
    for (QLineEdit* e : {EditCantidad, EditValor}) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textChanged, this, [this] { showNeto(); });
    }
    showNeto();
    EditValor->setFocus();
}

std::optional<TFrmVentaCajaCVP::Values> TFrmVentaCajaCVP::Pedir(const QString& nombre, double precio, double cantidad,
                                                                  QWidget* parent)
{
    TFrmVentaCajaCVP dlg(nombre, precio, cantidad, parent);
    dlg.exec();
    return dlg.values();
}

void TFrmVentaCajaCVP::showNeto()
{
    const QString c = EditCantidad->text().trimmed();
    const QString v = EditValor->text().trimmed();
    LabelNeto->setText(IsNumber(c) && IsNumber(v)
                           ? FormatFloat(QStringLiteral("###,###.00"), R(StrToFloat(c) * StrToFloat(v) * 100) / 100)
                           : QString());
}

void TFrmVentaCajaCVP::accept()
{
    const std::optional<double> cantidad = quantityTyped(EditCantidad->text());
    if (!cantidad) {
        EditCantidad->setFocus();
        EditCantidad->selectAll();
        return;
    }
    const QString v = EditValor->text().trimmed();
    if (!IsNumber(v) || StrToFloat(v) < 0) {
        ShowMessage(QStringLiteral("Precio no válido: digite el valor con números y punto"));
        EditValor->setFocus();
        EditValor->selectAll();
        return;
    }
    values_ = Values{*cantidad, StrToFloat(v)};
    QDialog::accept();
}

bool TFrmVentaCajaCVP::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(event);
    if (isEnter(k)) {
        if (watched == EditCantidad) {
            EditValor->setFocus();
            EditValor->selectAll();
        } else {
            guarded([this] { accept(); });
        }
        return true;
    }
    return notAQuantityKey(k);
}

}  // namespace kv
