#include "backoffice/UntBitacora.h"

#include "common/Numbers.h"
#include "platform/DbGrid.h"
#include "platform/DialogParts.h"
#include "platform/Guard.h"
#include "platform/ReportOutput.h"
#include "report/ListReport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace kv {

namespace {

// The cashier's name beside his number; a row of a user or of a cashier no longer on file keeps
// what it has. The day is read by the FECHA index.
const char* const kListSql =
    "SELECT B.ID, B.FECHA, B.EVENTO, B.CAJA, B.CAJERO, C.NOMBRE NOMBRECAJERO, B.USUARIO, B.DOCUMENTO, "
    "B.CONSECUTIVO, B.VALORANTES, B.VALORDESPUES, B.DETALLE, B.EQUIPO FROM POSBITACORA B "
    "LEFT JOIN POSCAJEROS C ON C.CEDULA = B.CAJERO WHERE B.FECHA >= :DESDE AND B.FECHA < :HASTA%1 "
    "ORDER BY B.FECHA, B.ID";

}  // namespace

TFrmBitacora::TFrmBitacora(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmBitacora"), QStringLiteral("Bitacora de Cambios"), parent),
      bitacora_(*new Dataset(db, this))
{
    bitacora_.setObjectName(QStringLiteral("QBitacora"));
    bitacora_.setSql(QString::fromLatin1(kListSql).arg(QString()));
    addDataset(bitacora_, Rows::ReadOnly);

    setWindowTitle(QStringLiteral("Bitacora de Cambios"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this, 1.3));
    auto* choices = new QHBoxLayout;
    EditFecha = makeDateBox(QStringLiteral("EditFecha"), this);
    EditFecha->setDate(QDate::currentDate());
    CmbCajero = new QComboBox(this);
    CmbCajero->setObjectName(QStringLiteral("CmbCajero"));
    CmbCajero->addItem(QStringLiteral("Todos"), QVariant());
    QSqlQuery q = db.exec(QStringLiteral("SELECT CEDULA, NOMBRE FROM POSCAJEROS ORDER BY NOMBRE"));
    while (db.next(q))
        CmbCajero->addItem(q.value(1).toString().trimmed() + QStringLiteral(" (") +
                               FormatFloat(QStringLiteral("###,###."), q.value(0).toDouble()) + QLatin1Char(')'),
                           q.value(0));
    BtnConsultar = button(QStringLiteral("BtnConsultar"), QStringLiteral("&Consultar"), this);
    choices->addWidget(captionFor(QStringLiteral("&Fecha"), EditFecha, this));
    choices->addWidget(EditFecha);
    choices->addWidget(captionFor(QStringLiteral("C&ajero"), CmbCajero, this));
    choices->addWidget(CmbCajero);
    choices->addWidget(BtnConsultar);
    choices->addStretch(1);
    layout->addLayout(choices);

    GridBitacora = grid(bitacora_, QStringLiteral("GridBitacora"), QStringLiteral("Bitacora del día"),
                        {gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha y hora")),
                         gridColumn(QStringLiteral("EVENTO"), QStringLiteral("Evento")),
                         gridColumn(QStringLiteral("CAJA"), QStringLiteral("Caja"), QStringLiteral("###")),
                         gridColumn(QStringLiteral("CAJERO"), QStringLiteral("Cajero"), QStringLiteral("###,###.")),
                         gridColumn(QStringLiteral("NOMBRECAJERO"), QStringLiteral("Nombre")),
                         gridColumn(QStringLiteral("USUARIO"), QStringLiteral("Usuario")),
                         gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Factura")),
                         gridColumn(QStringLiteral("VALORANTES"), QStringLiteral("Valor antes"), QStringLiteral("###,###.00")),
                         gridColumn(QStringLiteral("VALORDESPUES"), QStringLiteral("Valor después"), QStringLiteral("###,###.00")),
                         gridColumn(QStringLiteral("DETALLE"), QStringLiteral("Detalle")),
                         gridColumn(QStringLiteral("EQUIPO"), QStringLiteral("Equipo"))},
                        this);
    GridBitacora->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(GridBitacora, 1);
    auto* actions = new QHBoxLayout;
    BtnImprimir = button(QStringLiteral("BtnImprimir"), QStringLiteral("&Imprimir"), this);
    actions->addWidget(BtnImprimir);
    actions->addStretch(1);
    layout->addLayout(actions);
    resize(1100, 600);

    connect(BtnConsultar, &QPushButton::clicked, this, [this] { guarded([this] { BtnConsultarClick(); }); });
    connect(BtnImprimir, &QPushButton::clicked, this, [this] { guarded([this] { BtnImprimirClick(); }); });
    connect(EditFecha, &QDateEdit::dateChanged, this, [this] { guarded([this] { BtnConsultarClick(); }); });
    connect(CmbCajero, &QComboBox::currentIndexChanged, this, [this] { guarded([this] { BtnConsultarClick(); }); });
    BtnConsultarClick();
}

TFrmBitacora::~TFrmBitacora() = default;

void TFrmBitacora::BtnConsultarClick()
{
    const QVariant cajero = CmbCajero->currentData();
    const QDate day = EditFecha->date();
    bitacora_.Close();
    bitacora_.setSql(QString::fromLatin1(kListSql).arg(cajero.isNull() ? QString() : QStringLiteral(" AND B.CAJERO = :CAJERO")));
    bitacora_.setParam(QStringLiteral("DESDE"), QDateTime(day, QTime(0, 0)));
    bitacora_.setParam(QStringLiteral("HASTA"), QDateTime(day.addDays(1), QTime(0, 0)));
    if (!cajero.isNull())
        bitacora_.setParam(QStringLiteral("CAJERO"), cajero);
    bitacora_.Open();
}

std::unique_ptr<Report> TFrmBitacora::listReport()
{
    ListReport list{QStringLiteral("BITACORA DE CAMBIOS ") + EditFecha->date().toString(QStringLiteral("dd/MM/yyyy")) +
                        (CmbCajero->currentData().isNull() ? QString() : QStringLiteral(" - ") + CmbCajero->currentText()),
                    {ListColumn(QStringLiteral("Hora"), QStringLiteral("FECHA"), 0, 12).dates(QStringLiteral("hh:nn")),
                     ListColumn(QStringLiteral("Evento"), QStringLiteral("EVENTO"), 13, 24),
                     ListColumn(QStringLiteral("Caja"), QStringLiteral("CAJA"), 38, 9, QStringLiteral("###"), true),
                     ListColumn(QStringLiteral("Cajero"), QStringLiteral("NOMBRECAJERO"), 49, 30),
                     ListColumn(QStringLiteral("Factura"), QStringLiteral("CONSECUTIVO"), 80, 14, QStringLiteral("###"), true),
                     ListColumn(QStringLiteral("Antes"), QStringLiteral("VALORANTES"), 95, 20, QStringLiteral("###,###.00"), true),
                     ListColumn(QStringLiteral("Después"), QStringLiteral("VALORDESPUES"), 116, 20, QStringLiteral("###,###.00"), true),
                     ListColumn(QStringLiteral("Detalle"), QStringLiteral("DETALLE"), 138, 58).wrapped()}};
    return kv::listReport(list, readLetterhead(db()), readRows(bitacora_));
}

void TFrmBitacora::BtnImprimirClick() { outputReport(listReport(), QStringLiteral("BITACORA"), this); }

}  // namespace kv
