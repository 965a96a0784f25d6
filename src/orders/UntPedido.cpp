#include "orders/UntPedido.h"

#include "common/Dialogs.h"
#include "common/Numbers.h"
#include "common/ProgramRegistry.h"
#include "orders/UntDmPedidos.h"
#include "orders/UntPedidoCaja.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ScreenKeys.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {
const QString kNoCashier = QStringLiteral("Cajero no existe! Por favor Verifique su login");
}  // namespace

TFrmPedido::TFrmPedido(TDmPedidos& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmPedido"));
    setWindowTitle(QStringLiteral("Login Cajero"));
    setAccessibleName(windowTitle());
    openScreen = [this] {
        TFrmPedidoCaja screen(dm_, this);
        screen.exec();
    };

    Label1 = makeTitleLabel(QStringLiteral("Cajero"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(QStringLiteral("1"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    BitBtn1->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(captionFor(QStringLiteral("Cèdula"), Edit1, this), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(captionFor(QStringLiteral("Password"), Edit2, this), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    Edit1->setMinimumWidth(220);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Label1);
    main->addLayout(grid);
    main->addWidget(BitBtn1, 0, Qt::AlignRight);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, BitBtn1);
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    Edit1->setFocus();
    Edit1->selectAll();
}

bool TFrmPedido::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress &&
        isEnter(static_cast<QKeyEvent*>(event))) {
        guarded([this] { EditKeyDown(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFrmPedido::findCashierTyped()
{
    // The identity is a number; text that is not one names no cashier.
    const QString typed = Edit1->text().trimmed();
    return IsNumber(typed) && dm_.findCashier(StrToFloat(typed));
}

void TFrmPedido::EditKeyDown()
{
    if (findCashierTyped()) {
        if (Edit1->hasFocus())
            Edit2->setFocus();
        return;
    }
    ShowMessage(kNoCashier);
    Edit1->setFocus();
}

void TFrmPedido::BitBtn1Click()
{
    dm_.TCajero.Refresh();
    if (!findCashierTyped()) {
        ShowMessage(kNoCashier);
        Edit1->setFocus();
        return;
    }
    if (dm_.TCajero[QStringLiteral("CLAVE")].asString() != Edit2->text()) {
        ShowMessage(QStringLiteral("Clave no Corresponde"));
        Edit2->setFocus();
        return;
    }
    // The orders stand on the parameter row of the cashier's register's company, as the sales
    // do; a register not set up would number orders under no company.
    dm_.signOn(StrToFloat(Edit1->text().trimmed()));
    if (dm_.Parametros.IsEmpty()) {
        ShowMessage(QStringLiteral("La caja %1 del cajero no está creada en Cajas o no tiene una empresa con "
                                   "parámetros; no puede tomar pedidos hasta que se configure.")
                        .arg(dm_.TCajero[QStringLiteral("CAJA")].asString()));
        Edit1->setFocus();
        return;
    }
    openScreen();
    accept();
}

void registerOrderPrograms()
{
    registerProgram(9, [] {
        if (!DmPedidos)
            return;
        TFrmPedido window(*DmPedidos, QApplication::activeWindow());
        window.exec();
    });
}

}  // namespace kv
