#include "backoffice/UntVentaReportes.h"

#include "backoffice/UntMovimientoBaseIvaRpt1.h"
#include "backoffice/UntVentasPosExcel.h"
#include "backoffice/UntVentasPosExcelP.h"
#include "backoffice/UntVentaActulizacion.h"
#include "backoffice/UntVentasAlmBd.h"
#include "backoffice/UntVentasProBd.h"
#include "backoffice/UntVentasTerBd.h"
#include "common/Dialogs.h"
#include "data/UntDMGeneral.h"
#include "platform/DialogParts.h"
#include "pos/UntVentaCajaArqueoRpt1.h"
#include "pos/UntVentaCajaArqueoRpt2.h"
#include "pos/UntVentaCajaArqueoRpt3.h"
#include "platform/Printing.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QCoreApplication>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {

// The file a connection is attached to, as the engine resolved it: the same database reached as
// "localhost:/data/pos.fdb", through an alias or as "/data/./pos.fdb" gives the same name.
QString attachedFile(Connection& c)
{
    return c.scalar(QStringLiteral("SELECT MON$DATABASE_NAME FROM MON$DATABASE")).toString().trimmed();
}

}  // namespace

TFrmVentaReportes::TFrmVentaReportes(Connection& pos, Connection& removable, QWidget* parent)
    : QDialog(parent), pos_(pos), removable_(removable)
{
    setObjectName(QStringLiteral("FrmVentaReportes"));
    setWindowTitle(QStringLiteral("Reportes de Ventas"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this));

    auto* choices = new QGridLayout;
    auto dateBox = [this](const char* name) {
        auto* d = new QDateEdit(QDate::currentDate(), this);
        d->setObjectName(QLatin1String(name));
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
        d->setLocale(QLocale(QLocale::Spanish, QLocale::Colombia));
        return d;
    };
    DateTimePicker1 = dateBox("DateTimePicker1");
    DateTimePicker2 = dateBox("DateTimePicker2");
    // The last day follows the first, so that the usual one-day report needs one date.
    connect(DateTimePicker1, &QDateEdit::dateChanged, DateTimePicker2, &QDateEdit::setDate);
    DBLookupComboBox1 = new QComboBox(this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox2 = new QComboBox(this);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    choices->addWidget(captionFor(QStringLiteral("&Fecha del reporte "), DateTimePicker1, this), 0, 0);
    choices->addWidget(DateTimePicker1, 0, 1);
    choices->addWidget(captionFor(QStringLiteral("&Hasta"), DateTimePicker2, this), 0, 2);
    choices->addWidget(DateTimePicker2, 0, 3);
    choices->addWidget(captionFor(QStringLiteral("C&aja"), DBLookupComboBox1, this), 1, 0);
    choices->addWidget(DBLookupComboBox1, 1, 1, 1, 3);
    choices->addWidget(captionFor(QStringLiteral("Ca&jero"), DBLookupComboBox2, this), 2, 0);
    choices->addWidget(DBLookupComboBox2, 2, 1, 1, 3);
    layout->addLayout(choices);

    QSqlQuery cajas = pos_.exec(QStringLiteral("SELECT CAJA, NOMBRE FROM POSCAJAS ORDER BY NOMBRE"));
    while (pos_.next(cajas))
        DBLookupComboBox1->addItem(cajas.value(1).toString().trimmed(), cajas.value(0));
    QSqlQuery cajeros = pos_.exec(QStringLiteral("SELECT CEDULA, NOMBRE FROM POSCAJEROS ORDER BY NOMBRE"));
    while (pos_.next(cajeros))
        DBLookupComboBox2->addItem(cajeros.value(1).toString().trimmed(), cajeros.value(0));

    auto* buttons = new QGridLayout;
    int n = 0;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b, n / 3, n % 3);
        ++n;
        return b;
    };
    BtnPorCaja = button("BtnPorCaja", QStringLiteral("Reporte Por Caja"));
    BtnPorCajero = button("BtnPorCajero", QStringLiteral("Reporte Por Cajero"));
    BtnPorCajero2 = button("BtnPorCajero2", QStringLiteral("Reporte Por Cajero"));
    BtnCierreDiario = button("BtnCierreDiario", QStringLiteral("Cierre Diario"));
    BtnExcel = button("BtnExcel", QStringLiteral("A Excel"));
    BtnCuadre = button("BtnCuadre", QStringLiteral("Cuadre de Caja Diario"));
    BtnIva = button("BtnIva", QStringLiteral("&Iva Generado"));
    BtnConsolidado = button("BtnConsolidado", QStringLiteral("Consolidado Ventas Por producto a Excel"));
    BtnCopiarKorvela = button("BtnCopiarKorvela", QStringLiteral("Copiar Korvela"));
    BtnCopiarTerceros = button("BtnCopiarTerceros", QStringLiteral("Copiar Terceros"));
    BtnCopiarProductos = button("BtnCopiarProductos", QStringLiteral("Copiar Productos"));
    // The two buttons of the same caption are told apart by a screen reader.
    BtnPorCajero2->setAccessibleName(QStringLiteral("Reporte Por Cajero y Caja"));
    layout->addLayout(buttons);
    for (QPushButton* b : {BtnCopiarKorvela, BtnCopiarTerceros, BtnCopiarProductos})
        b->setEnabled(false);  // until "Conectar..." reaches the removable database

    connect(BtnIva, &QPushButton::clicked, this, &TFrmVentaReportes::BtnIvaClick);
    connect(BtnPorCaja, &QPushButton::clicked, this, &TFrmVentaReportes::BtnPorCajaClick);
    connect(BtnPorCajero, &QPushButton::clicked, this, &TFrmVentaReportes::BtnPorCajeroClick);
    connect(BtnPorCajero2, &QPushButton::clicked, this, &TFrmVentaReportes::BtnPorCajero2Click);
    connect(BtnExcel, &QPushButton::clicked, this, &TFrmVentaReportes::BtnExcelClick);
    connect(BtnCuadre, &QPushButton::clicked, this, &TFrmVentaReportes::BtnExcelClick);
    connect(BtnConsolidado, &QPushButton::clicked, this, &TFrmVentaReportes::BtnConsolidadoClick);
    connect(BtnCierreDiario, &QPushButton::clicked, this, &TFrmVentaReportes::BtnCierreDiarioClick);
    connect(BtnCopiarKorvela, &QPushButton::clicked, this, &TFrmVentaReportes::BtnCopiarKorvelaClick);
    connect(BtnCopiarTerceros, &QPushButton::clicked, this, &TFrmVentaReportes::BtnCopiarTercerosClick);
    connect(BtnCopiarProductos, &QPushButton::clicked, this, &TFrmVentaReportes::BtnCopiarProductosClick);

    auto* interfase = new QGroupBox(QStringLiteral("Interfase"), this);
    interfase->setObjectName(QStringLiteral("GroupBox1"));
    auto* row = new QHBoxLayout(interfase);
    Edit1 = new QLineEdit(QStringLiteral("D:\\DbPosZ.gdb"), interfase);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    BtnConectar = new QPushButton(QStringLiteral("&Conectar..."), interfase);
    BtnConectar->setObjectName(QStringLiteral("BtnConectar"));
    BtnConectar->setAutoDefault(false);
    connect(BtnConectar, &QPushButton::clicked, this, &TFrmVentaReportes::BtnConectarClick);
    row->addWidget(captionFor(QStringLiteral("&Dirección Base Datos Removible :"), Edit1, interfase));
    row->addWidget(Edit1, 1);
    row->addWidget(BtnConectar);
    layout->addWidget(interfase);
}

QVariant TFrmVentaReportes::caja() const { return DBLookupComboBox1->currentData(); }
QVariant TFrmVentaReportes::cajero() const { return DBLookupComboBox2->currentData(); }

QString TFrmVentaReportes::parameter(const QString& column) const
{
    return pos_
        .scalar(QStringLiteral("SELECT E.%1 FROM POSCAJAS C JOIN POSESQUEMA E ON E.LLAVE = C.EMPRESA WHERE C.CAJA = :C")
                    .arg(column),
                {{QStringLiteral("C"), caja()}})
        .toString()
        .trimmed();
}

QString TFrmVentaReportes::empresa() const { return parameter(QStringLiteral("EMPRESA")); }
QString TFrmVentaReportes::documento() const { return parameter(QStringLiteral("DOCUMENTO")); }

CashReportParams TFrmVentaReportes::day() const
{
    CashReportParams p;
    p.first = p.last = DateTimePicker1->date();
    p.empresa = empresa();
    p.documento = documento();
    return p;
}

// The daily listings of the chosen day, for the company and document type the chosen register
// sells under, and only that register's or that cashier's documents, as the buttons say.
void TFrmVentaReportes::BtnPorCajaClick()
{
    TFrmVentaCajaArqueoRpt1::Imprimir(pos_, day(), this, {caja().toDouble(), 0});
}

void TFrmVentaReportes::BtnPorCajeroClick()
{
    TFrmVentaCajaArqueoRpt2::Imprimir(pos_, day(), this, {0, cajero().toDouble()});
}

void TFrmVentaReportes::BtnPorCajero2Click()
{
    TFrmVentaCajaArqueoRpt3::Imprimir(pos_, day(), this);
}

void TFrmVentaReportes::BtnIvaClick()
{
    if (DateTimePicker2->date() < DateTimePicker1->date()) {
        ShowMessage(QStringLiteral("La fecha final es anterior a la inicial."));
        return;
    }
    // A period of months is thousands of rows: the reading shows how far it got and can be stopped.
    QProgressDialog progress(QStringLiteral("Leyendo las ventas del periodo ..."), QStringLiteral("&Cancelar"), 0, 0, this);
    progress.setObjectName(QStringLiteral("Progreso"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    TFrmMovimientoBaseIvaRpt1 rpt(pos_);
    const bool read = rpt.open(empresa(), DateTimePicker1->date(), DateTimePicker2->date(), [&](int rows) {
        progress.setLabelText(QStringLiteral("Leyendo las ventas del periodo: %1 filas ...").arg(rows));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!read)
        return;  // stopped by the user: nothing to show
    preview(rpt.render(), this);
}

// "A Excel" and "Cuadre de Caja Diario" open the same export screen.
void TFrmVentaReportes::BtnExcelClick()
{
    TFrmVentasPosExcel f(pos_, this);
    f.exec();
}

void TFrmVentaReportes::BtnConsolidadoClick()
{
    TFrmVentasPosExcelP f(pos_, this);
    f.exec();
}

void TFrmVentaReportes::BtnCierreDiarioClick()
{
    TFrmVentaActulizacion f(pos_, this);
    f.exec();
}

void TFrmVentaReportes::BtnCopiarKorvelaClick()
{
    TFrmVentasAlmBd f(pos_, removable_, this);
    f.exec();
}

void TFrmVentaReportes::BtnCopiarTercerosClick()
{
    TFrmVentasTerBd f(pos_, removable_, this);
    f.exec();
}

void TFrmVentaReportes::BtnCopiarProductosClick()
{
    TFrmVentasProBd f(pos_, removable_, this);
    f.exec();
}

void TFrmVentaReportes::BtnConectarClick()
{
    removable_.close();
    const QString path = Edit1->text().trimmed();
    auto enableCopies = [this](bool on) {
        for (QPushButton* b : {BtnExcel, BtnCopiarKorvela, BtnCopiarTerceros, BtnCopiarProductos})
            b->setEnabled(on || b == BtnExcel);
    };
    removable_.setLocation(path);
    if (path.isEmpty() || !removable_.tryOpen()) {
        enableCopies(false);
        ShowMessage(QStringLiteral("Base de Datos No Existe"));
        return;
    }
    // The copies empty and fill the removable database: it must never be one of the live ones,
    // however its location is written.
    QList<Connection*> live{&pos_};
    if (DMGeneral)
        live << &DMGeneral->DbPos << &DMGeneral->TavroDb;
    const QString removableFile = attachedFile(removable_);
    for (Connection* in : live)
        if (in != &removable_ && in->isOpen() && attachedFile(*in) == removableFile) {
            removable_.close();
            enableCopies(false);
            ShowMessage(QStringLiteral("Esa es una base de datos en uso por el programa; elija la base de datos "
                                       "removible."));
            return;
        }
    enableCopies(true);
}

void TFrmVentaReportes::Edit1DblClick()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Base de Datos Removible"), Edit1->text(),
                                                      QStringLiteral("Base Datos (*.Gdb *.gdb *.fdb *.FDB)"));
    if (!file.isEmpty())
        Edit1->setText(file);
}

bool TFrmVentaReportes::eventFilter(QObject* o, QEvent* e)
{
    if (o == Edit1 && e->type() == QEvent::MouseButtonDblClick) {
        Edit1DblClick();
        return true;
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace kv
