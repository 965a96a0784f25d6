#include "backoffice/UntDocumentosElectronicos.h"

#include "common/Dialogs.h"
#include "einvoice/DianSender.h"
#include "platform/DialogParts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

// The states as the list offers them; "" is every state.
const std::pair<const char*, const char*> kEstados[] = {
    {"", "Todos"}, {"P", "Por enviar"}, {"E", "Con falla"}, {"A", "Aceptados"}, {"R", "Rechazados"},
};

QString estadoTexto(const QString& estado)
{
    if (estado == QLatin1String("P"))
        return QStringLiteral("Por enviar");
    if (estado == QLatin1String("E"))
        return QStringLiteral("Con falla");
    if (estado == QLatin1String("A"))
        return QStringLiteral("Aceptado");
    if (estado == QLatin1String("R"))
        return QStringLiteral("Rechazado");
    return estado;
}

const char* const kListSql =
    "SELECT EMPRESA, DOCUMENTO, CONSECUTIVO, TIPO, NUMERO, FECHA, ESTADO, INTENTOS, PROXIMOINTENTO, CUDE "
    "FROM POSDOCUMENTOELECTRONICO WHERE FECHA >= :DESDE AND FECHA < :HASTA%1 ORDER BY FECHA, NUMERO";

}  // namespace

TFrmDocumentosElectronicos::TFrmDocumentosElectronicos(Connection& db, QWidget* parent)
    : DataScreen(db, QStringLiteral("FrmDocumentosElectronicos"), QStringLiteral("Documentos Electrónicos"), parent),
      documentos_(*new Dataset(db, this))
{
    documentos_.setObjectName(QStringLiteral("QDocumentos"));
    documentos_.setSql(QString::fromLatin1(kListSql).arg(QString()));
    documentos_.addCalcField(QStringLiteral("ESTADOTEXTO"), FieldType::String, 12);
    documentos_.OnCalcFields = [](Dataset& ds) {
        ds[QStringLiteral("ESTADOTEXTO")].setValue(estadoTexto(ds[QStringLiteral("ESTADO")].asString()));
    };
    addDataset(documentos_, Rows::ReadOnly);

    setWindowTitle(QStringLiteral("Documentos Electrónicos"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeTitleLabel(windowTitle(), this, 1.3));
    PageControl1 = named(new QTabWidget(this), QStringLiteral("PageControl1"), QStringLiteral("Documentos Electrónicos"));
    layout->addWidget(PageControl1, 1);

    auto* page = new QWidget(PageControl1);
    page->setObjectName(QStringLiteral("TabDocumentos"));
    auto* pageLayout = new QVBoxLayout(page);
    auto* choices = new QHBoxLayout;
    EditFecha = makeDateBox(QStringLiteral("EditFecha"), page);
    CmbEstado = new QComboBox(page);
    CmbEstado->setObjectName(QStringLiteral("CmbEstado"));
    for (const auto& [code, caption] : kEstados)
        CmbEstado->addItem(QString::fromUtf8(caption), QString::fromLatin1(code));
    BtnConsultar = button(QStringLiteral("BtnConsultar"), QStringLiteral("&Consultar"), page);
    choices->addWidget(captionFor(QStringLiteral("&Fecha"), EditFecha, page));
    choices->addWidget(EditFecha);
    choices->addWidget(captionFor(QStringLiteral("&Estado"), CmbEstado, page));
    choices->addWidget(CmbEstado);
    choices->addWidget(BtnConsultar);
    choices->addStretch(1);
    pageLayout->addLayout(choices);

    GridDocumentos = grid(documentos_, QStringLiteral("GridDocumentos"), QStringLiteral("Documentos del día"),
                          {gridColumn(QStringLiteral("NUMERO"), QStringLiteral("Número")),
                           gridColumn(QStringLiteral("FECHA"), QStringLiteral("Fecha")),
                           gridColumn(QStringLiteral("ESTADOTEXTO"), QStringLiteral("Estado")),
                           gridColumn(QStringLiteral("INTENTOS"), QStringLiteral("Intentos")),
                           gridColumn(QStringLiteral("PROXIMOINTENTO"), QStringLiteral("Próximo intento")),
                           gridColumn(QStringLiteral("DOCUMENTO"), QStringLiteral("Documento")),
                           gridColumn(QStringLiteral("CONSECUTIVO"), QStringLiteral("Consecutivo")),
                           gridColumn(QStringLiteral("CUDE"), QStringLiteral("CUDE"))},
                          page);
    GridDocumentos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pageLayout->addWidget(GridDocumentos, 3);
    MemoMensajes = named(new QPlainTextEdit(page), QStringLiteral("MemoMensajes"), QStringLiteral("Mensajes de la DIAN"));
    MemoMensajes->setReadOnly(true);
    pageLayout->addWidget(captionFor(QStringLiteral("&Mensajes de la DIAN"), MemoMensajes, page));
    pageLayout->addWidget(MemoMensajes, 1);
    auto* actions = new QHBoxLayout;
    BtnReenviar = button(QStringLiteral("BtnReenviar"), QStringLiteral("&Reenviar"), page);
    actions->addWidget(BtnReenviar);
    actions->addStretch(1);
    pageLayout->addLayout(actions);
    PageControl1->addTab(page, QStringLiteral("Documentos"));

    connect(BtnConsultar, &QPushButton::clicked, this, &TFrmDocumentosElectronicos::BtnConsultarClick);
    connect(BtnReenviar, &QPushButton::clicked, this, &TFrmDocumentosElectronicos::BtnReenviarClick);
    connect(&documentos_, &Dataset::currentChanged, this, [this] { showMessages(); });
    connect(&documentos_, &Dataset::reset, this, [this] { showMessages(); });
    resize(900, 600);
}

TFrmDocumentosElectronicos::~TFrmDocumentosElectronicos() = default;

void TFrmDocumentosElectronicos::BtnConsultarClick()
{
    const QString estado = CmbEstado->currentData().toString();
    const QDate day = EditFecha->date();
    documentos_.Close();
    documentos_.setSql(QString::fromLatin1(kListSql).arg(estado.isEmpty() ? QString() : QStringLiteral(" AND ESTADO = :ESTADO")));
    documentos_.setParam(QStringLiteral("DESDE"), QDateTime(day, QTime(0, 0)));
    documentos_.setParam(QStringLiteral("HASTA"), QDateTime(day.addDays(1), QTime(0, 0)));
    if (!estado.isEmpty())
        documentos_.setParam(QStringLiteral("ESTADO"), estado);
    documentos_.Open();
    showMessages();
}

void TFrmDocumentosElectronicos::showMessages()
{
    if (!documentos_.active() || documentos_.IsEmpty()) {
        MemoMensajes->clear();
        BtnReenviar->setEnabled(false);
        return;
    }
    const QString estado = documentos_[QStringLiteral("ESTADO")].asString();
    // The messages are a blob: read for the one document shown, not for the whole list.
    const QVariant text = db().scalar(
        QStringLiteral("SELECT MENSAJES FROM POSDOCUMENTOELECTRONICO WHERE EMPRESA = :EMPRESA AND DOCUMENTO = :DOCUMENTO "
                       "AND CONSECUTIVO = :CONSECUTIVO AND TIPO = :TIPO"),
        {{QStringLiteral("EMPRESA"), documentos_[QStringLiteral("EMPRESA")].asString()},
         {QStringLiteral("DOCUMENTO"), documentos_[QStringLiteral("DOCUMENTO")].asString()},
         {QStringLiteral("CONSECUTIVO"), documentos_[QStringLiteral("CONSECUTIVO")].asInteger()},
         {QStringLiteral("TIPO"), documentos_[QStringLiteral("TIPO")].asString()}});
    MemoMensajes->setPlainText(text.toString());
    BtnReenviar->setEnabled(estado != QLatin1String("A"));
}

void TFrmDocumentosElectronicos::BtnReenviarClick()
{
    if (!documentos_.active() || documentos_.IsEmpty())
        return;
    if (documentos_[QStringLiteral("ESTADO")].asString() == QLatin1String("A")) {
        ShowMessage(QStringLiteral("El documento ya fue aceptado por la DIAN; no se envía de nuevo."));
        return;
    }
    const bool done = dian::DianSender::resend(db(), documentos_[QStringLiteral("EMPRESA")].asString(),
                                              documentos_[QStringLiteral("DOCUMENTO")].asString(),
                                              documentos_[QStringLiteral("CONSECUTIVO")].asInteger(),
                                              documentos_[QStringLiteral("TIPO")].asString());
    if (!done) {
        // Another screen or the sender changed it meanwhile: show what it is now.
        documentos_.Refresh();
        ShowMessage(QStringLiteral("El documento cambió de estado mientras tanto; revise la lista."));
        return;
    }
    dian::wakeSender();
    documentos_.Refresh();
    ShowMessage(QStringLiteral("El documento %1 quedó para enviarse de nuevo a la DIAN.")
                    .arg(documentos_[QStringLiteral("NUMERO")].asString()));
}

}  // namespace kv
