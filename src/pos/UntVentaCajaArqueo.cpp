#include "pos/UntVentaCajaArqueo.h"

#include "common/Dates.h"
#include "common/Dialogs.h"
#include "platform/DbControls.h"
#include "platform/DialogParts.h"
#include "pos/RegisterHeading.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVentaCajaArqueoRpt1.h"
#include "pos/UntVentaCajaArqueoRpt4.h"
#include "pos/UntVentaCajaArqueoRpt5.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

TFrmVentaCajaArqueo::TFrmVentaCajaArqueo(TDmVentas& dm, QWidget* parent) : QDialog(parent), dm_(dm)
{
    setObjectName(QStringLiteral("FrmVentaCajaArqueo"));
    setWindowTitle(QStringLiteral("Reporte Para Arqueo de Cajas"));
    setAccessibleName(windowTitle());
    auto* main = new QVBoxLayout(this);

    addRegisterHeading(dm_, this, main, LabelCaja, LabelCajero);

    auto* opciones = new QGroupBox(QStringLiteral("Opciones"), this);
    opciones->setObjectName(QStringLiteral("GroupOpciones"));
    auto* go = new QGridLayout(opciones);
    // Tab goes from one date to the next control, not through each date's day, month and year.
    DateTimePicker1 = makeDateBox(QStringLiteral("DateTimePicker1"), opciones);
    DateTimePicker2 = makeDateBox(QStringLiteral("DateTimePicker2"), opciones);
    go->addWidget(captionFor(QStringLiteral("&Desde"), DateTimePicker1, opciones), 0, 0);
    go->addWidget(DateTimePicker1, 0, 1);
    go->addWidget(captionFor(QStringLiteral("&Hasta"), DateTimePicker2, opciones), 0, 2);
    go->addWidget(DateTimePicker2, 0, 3);
    // A day chosen as the start is usually the whole period: it is copied into the end.
    connect(DateTimePicker1, &QDateEdit::dateChanged, DateTimePicker2, &QDateEdit::setDate);

    ComboDocumento = new QComboBox(opciones);
    ComboDocumento->setObjectName(QStringLiteral("ComboDocumento"));
    QSqlQuery q = dm_.DbPos.exec(QStringLiteral("SELECT DOCUMENTO, NOMBRE FROM DOCUMENTOS WHERE DOCUMENTO STARTING WITH 'P' "
                                                "ORDER BY DOCUMENTO"));
    while (dm_.DbPos.next(q))
        ComboDocumento->addItem(q.value(1).toString().trimmed(), q.value(0).toString().trimmed());
    // The register's own document type is the natural choice.
    const int own = ComboDocumento->findData(dm_.Parametros.FieldByName(QStringLiteral("DOCUMENTO")).asString());
    ComboDocumento->setCurrentIndex(own >= 0 ? own : 0);
    go->addWidget(captionFor(QStringLiteral("D&ocumento : "), ComboDocumento, opciones), 1, 0);
    go->addWidget(ComboDocumento, 1, 1, 1, 3);
    main->addWidget(opciones);

    auto* reportes = new QGroupBox(QStringLiteral("Reportes"), this);
    reportes->setObjectName(QStringLiteral("GroupReportes"));
    auto* gr = new QVBoxLayout(reportes);
    auto button = [this, reportes, gr](const QString& name, const QString& caption, void (TFrmVentaCajaArqueo::*click)()) {
        QPushButton* b = makeActionButton(name, caption, reportes, [this, click] { (this->*click)(); });
        gr->addWidget(b);
        return b;
    };
    BtnVentasDiarias = button(QStringLiteral("BtnVentasDiarias"), QStringLiteral("&Ventas Diarias"),
                              &TFrmVentaCajaArqueo::BtnVentasDiariasClick);
    BtnVentasCajero = button(QStringLiteral("BtnVentasCajero"), QStringLiteral("Reporte Ventas Diarias &Cajero"),
                             &TFrmVentaCajaArqueo::BtnVentasCajeroClick);
    BtnResumen = button(QStringLiteral("BtnResumen"), QStringLiteral("&Resumen Diario de Ventas"),
                        &TFrmVentaCajaArqueo::BtnResumenClick);
    main->addWidget(reportes);
    // Tab walks the window top to bottom: the period, the document type, then the reports.
    setTabOrder(DateTimePicker1, DateTimePicker2);
    setTabOrder(DateTimePicker2, ComboDocumento);
    setTabOrder(ComboDocumento, BtnVentasDiarias);
    setTabOrder(BtnVentasDiarias, BtnVentasCajero);
    setTabOrder(BtnVentasCajero, BtnResumen);

    LabelFecha = new QLabel(QStringLiteral("Fecha del Reporte ") +
                                FormatDateTime(QStringLiteral("dd mmmm yyyy"), QDate::currentDate()),
                            this);
    LabelFecha->setObjectName(QStringLiteral("LabelFecha"));
    main->addWidget(LabelFecha);
}

CashReportParams TFrmVentaCajaArqueo::params() const
{
    CashReportParams p;
    p.first = DateTimePicker1->date();
    p.last = DateTimePicker2->date();
    p.empresa = dm_.Parametros.FieldByName(QStringLiteral("EMPRESA")).asString();
    p.documento = ComboDocumento->currentData().toString();
    p.cajero = dm_.TCajero.FieldByName(QStringLiteral("CEDULA")).asFloat();
    return p;
}

void TFrmVentaCajaArqueo::BtnVentasDiariasClick() { TFrmVentaCajaArqueoRpt1::Imprimir(dm_.DbPos, params(), this); }

void TFrmVentaCajaArqueo::BtnVentasCajeroClick() { TFrmVentaCajaArqueoRpt4::Imprimir(dm_.DbPos, params(), this); }

void TFrmVentaCajaArqueo::BtnResumenClick() { TFrmVentaCajaArqueoRpt5::Imprimir(dm_.DbPos, params(), this); }

void TFrmVentaCajaArqueo::AbrirSiCobra(TDmVentas& dm, QWidget* parent)
{
    if (dm.TCajero.FieldByName(QStringLiteral("COBRA")).asString() != QLatin1String("S")) {
        ShowMessage(QStringLiteral("Usted No esta Autorizado"));
        return;
    }
    Abrir(dm, parent);
}

void TFrmVentaCajaArqueo::Abrir(TDmVentas& dm, QWidget* parent)
{
    TFrmVentaCajaArqueo dlg(dm, parent);
    dlg.exec();
}

}  // namespace kv
