#include "pos/UntVentaCajaEgresos.h"

#include "common/Dialogs.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "platform/KeyMap.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaEgresosRpt.h"
#include "pos/WholeTransaction.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

TFrmVentaCajaEgresos::TFrmVentaCajaEgresos(TDmVentas& dm, QWidget* parent)
    : QDialog(parent), TEgresos(dm.DbPos, this), QSigue(dm.DbPos, this), dm_(dm)
{
    setObjectName(QStringLiteral("FrmVentaCajaEgresos"));
    setWindowTitle(QStringLiteral("Egresos de Caja"));
    setAccessibleName(windowTitle());

    QSigue.setSql(QStringLiteral("SELECT Max(ITEM)\nFROM POSPAGOSCAJA Pospagoscaja"));
    TEgresos.setTableName(QStringLiteral("POSPAGOSCAJA"));
    TEgresos.setMasterSource(&dm_.TCaja, QStringLiteral("CAJA"));
    TEgresos.OnNewRecord = [this](Dataset& ds) { TEgresosNewRecord(ds); };
    // A new expense takes the number that is free when it is written: another register may have
    // taken the one shown meanwhile. A number taken between that read and the write makes the
    // whole write run again.
    TEgresos.BeforePost = [this](Dataset& ds) {
        if (ds.state() == DsState::Insert)
            ds[QStringLiteral("ITEM")] = nextItem();
    };
    TEgresos.WriteOperation = [this](Dataset& ds, WriteKind kind, const std::function<void()>& write) {
        // Money paid out is more than 0 however the expense is posted (">> &Grabar", the
        // navigator, moving to another expense); refused before any transaction starts.
        if (kind == WriteKind::Post && ds[QStringLiteral("VALOR")].asFloat() <= 0) {
            ShowMessage(QStringLiteral("Digite el valor pagado: un valor mayor que 0"));
            EditValor->setFocus();
            throw Abort();
        }
        runWholeTransaction(dm_.DbPos, write);
    };
    // An expense of an earlier day was counted in that day's cash count: changing or deleting it
    // would make the count printed then disagree with the drawer. Read from the stored row.
    auto refuseCounted = [this](Dataset& ds) {
        const QDateTime fecha = dm_.DbPos.scalar(QStringLiteral("SELECT FECHA FROM POSPAGOSCAJA WHERE ITEM = :ITEM"),
                                                 {{QStringLiteral("ITEM"), ds[QStringLiteral("ITEM")].value()}})
                                    .toDateTime();
        if (fecha.isValid() && fecha.date() < QDate::currentDate()) {
            ShowMessage(countedExpenseText());
            throw Abort();
        }
    };
    TEgresos.BeforeEdit = refuseCounted;
    TEgresos.BeforeDelete = refuseCounted;
    TEgresos.Open();
    TEgresos.Last();
    TEgresos.FieldByName(QStringLiteral("VALOR")).displayFormat = QStringLiteral("###,###.00.");
    TEgresos.FieldByName(QStringLiteral("FECHA")).displayFormat = QStringLiteral("dd/mm/yyyy");

    auto* main = new QVBoxLayout(this);
    addRegisterHeading(dm_, this, main, LabelCaja, LabelCajero);

    auto* form = new QGridLayout;
    auto box = [this, form](DbEdit*& e, const QString& field, const QString& name, const QString& caption, int row) {
        e = new DbEdit(TEgresos, field, this);
        e->setObjectName(name);
        form->addWidget(captionFor(caption, e, this), row, 0);
        form->addWidget(e, row, 1);
    };
    box(EditItem, QStringLiteral("ITEM"), QStringLiteral("EditItem"), QStringLiteral("Número de Recibo"), 0);
    box(EditFecha, QStringLiteral("FECHA"), QStringLiteral("EditFecha"), QStringLiteral("Fecha Recibo"), 1);
    box(EditDescripcion, QStringLiteral("DESCRIPCION"), QStringLiteral("EditDescripcion"), QStringLiteral("&Detalle"), 2);
    box(EditValor, QStringLiteral("VALOR"), QStringLiteral("EditValor"), QStringLiteral("&Valor"), 3);
    // The number is the program's to give.
    EditItem->setReadOnly(true);
    main->addLayout(form);

    DBNavigator1 = new DbNavigator(TEgresos, this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    main->addWidget(DBNavigator1);
    // A new expense from the keyboard, as the cashier reads under the navigator.
    QToolButton* nuevo = DBNavigator1->button(DbNavigator::Insert);
    nuevo->setShortcut(QKeySequence(Qt::Key_Insert));
    nuevo->setToolTip(QStringLiteral("Nuevo egreso (Insert)"));
    auto* teclas = new QLabel(QStringLiteral("Insert: nuevo egreso    Alt+G: grabar e imprimir"), this);
    teclas->setObjectName(QStringLiteral("LabelTeclas"));
    main->addWidget(teclas);
    connect(DBNavigator1, &DbNavigator::acted, this, [this](DbNavigator::Button b) {
        if (b == DbNavigator::Insert)
            EditDescripcion->setFocus();
    });

    BtnGrabar = new QPushButton(QStringLiteral(">> &Grabar"), this);
    BtnGrabar->setObjectName(QStringLiteral("BtnGrabar"));
    BtnGrabar->setAccessibleName(QStringLiteral(">> Grabar"));
    main->addWidget(BtnGrabar);
    connect(BtnGrabar, &QPushButton::clicked, this, [this] { guarded([this] { BtnGrabarClick(); }); });

    // A stored expense is only looked at: its boxes take typing once the navigator's "Editar" was
    // chosen on purpose, or on a new expense.
    connect(&TEgresos, &Dataset::stateChanged, this, &TFrmVentaCajaEgresos::showEditable);
    refuseAltTyping(this);
    // The window opens on a new expense of this cashier, after the last one stored (the
    // navigator's "Anterior" shows that one).
    TEgresos.Append();
    showEditable();
    EditDescripcion->setFocus();
}

QString TFrmVentaCajaEgresos::countedExpenseText()
{
    return QStringLiteral("Este egreso es de un día anterior y ya se contó en su arqueo de caja: no se puede cambiar "
                          "ni borrar.");
}

void TFrmVentaCajaEgresos::showEditable()
{
    const bool typing = TEgresos.isEditing();
    for (DbEdit* box : {EditFecha, EditDescripcion, EditValor})
        box->setReadOnly(!typing);
}

TFrmVentaCajaEgresos::~TFrmVentaCajaEgresos() { deleteChildWidgets(this); }

void TFrmVentaCajaEgresos::Abrir(TDmVentas& dm, QWidget* parent)
{
    TFrmVentaCajaEgresos dlg(dm, parent);
    dlg.exec();
}

double TFrmVentaCajaEgresos::nextItem()
{
    QSigue.Close();
    QSigue.Open();
    return QSigue.fieldAt(0).asFloat() + 1;  // the first expense ever: null, read as 0
}

void TFrmVentaCajaEgresos::TEgresosNewRecord(Dataset& ds)
{
    ds[QStringLiteral("FECHA")] = QDateTime(QDate::currentDate(), QTime(0, 0));
    ds[QStringLiteral("ITEM")] = nextItem();
    ds[QStringLiteral("CAJERO")] = dm_.TCajero.FieldByName(QStringLiteral("CEDULA")).value();
}

void TFrmVentaCajaEgresos::BtnGrabarClick()
{
    if (TEgresos.isEditing()) {
        updateRecord(TEgresos);
        TEgresos.Post();  // a value of 0 or less is refused there, and the expense stays as typed
    }
    if (TEgresos.IsEmpty()) {
        ShowMessage(QStringLiteral("Esta caja no tiene egresos que imprimir"));
        return;
    }
    TFrmVentaCajaEgresosRpt::Imprimir(dm_.DbPos, TEgresos[QStringLiteral("ITEM")].asFloat(), this);
    accept();
}

}  // namespace kv
