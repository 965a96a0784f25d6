#include "backoffice/UntDocumentosElectronicos.h"

#include "common/Dialogs.h"
#include "einvoice/Certificate.h"
#include "einvoice/DianSender.h"
#include "einvoice/PosDocument.h"
#include "einvoice/Settings.h"
#include "platform/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <tuple>

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

TFrmDocumentosElectronicos::TFrmDocumentosElectronicos(Connection& db, QWidget* parent, const QString& keyFile)
    : DataScreen(db, QStringLiteral("FrmDocumentosElectronicos"), QStringLiteral("Documentos Electrónicos"), parent),
      documentos_(*new Dataset(db, this)),
      keyFile_(keyFile.isEmpty() ? defaultKeyFile() : keyFile)
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
    // The documents carry Colombia's date and time; a machine kept on another zone (a server on
    // UTC) would otherwise open on a day whose sales are not there yet, or are over.
    EditFecha->setDate(colombianTime(QDateTime::currentDateTimeUtc()).date());
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

    auto* config = new QWidget(PageControl1);
    config->setObjectName(QStringLiteral("TabConfiguracion"));
    auto* form = new QGridLayout(config);
    auto box = [config](const char* name, QLineEdit::EchoMode echo = QLineEdit::Normal) {
        auto* e = new QLineEdit(config);
        e->setEchoMode(echo);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    CmbEmpresa = new QComboBox(config);
    CmbEmpresa->setObjectName(QStringLiteral("CmbEmpresa"));
    QSqlQuery empresas = db.exec(QStringLiteral("SELECT EMPRESA, NOMBRE FROM EMPRESAS ORDER BY EMPRESA"));
    while (db.next(empresas))
        CmbEmpresa->addItem(empresas.value(0).toString().trimmed() + QStringLiteral(" - ") + empresas.value(1).toString().trimmed(),
                            empresas.value(0).toString().trimmed());
    ChkActivo = named(new QCheckBox(QStringLiteral("Emitir documentos electrónicos"), config), QStringLiteral("ChkActivo"),
                      QStringLiteral("Emitir documentos electrónicos"));
    CmbAmbiente = new QComboBox(config);
    CmbAmbiente->setObjectName(QStringLiteral("CmbAmbiente"));
    CmbAmbiente->addItem(QStringLiteral("Producción"), 1);
    CmbAmbiente->addItem(QStringLiteral("Pruebas"), 2);
    EditSoftwareId = box("EditSoftwareId");
    EditPin = box("EditPin", QLineEdit::Password);
    EditTestSetId = box("EditTestSetId");
    EditCertificado = box("EditCertificado");
    EditClave = box("EditClave", QLineEdit::Password);
    EditResolucion = box("EditResolucion");
    EditPrefijo = box("EditPrefijo");
    EditPrefijo->setMaxLength(4);
    EditDesde = box("EditDesde");
    EditHasta = box("EditHasta");
    EditFechaDesde = makeDateBox(QStringLiteral("EditFechaDesde"), config);
    EditFechaHasta = makeDateBox(QStringLiteral("EditFechaHasta"), config);
    EditPlaca = box("EditPlaca");
    addCaptionedRow(form, QStringLiteral("E&mpresa"), CmbEmpresa, "LblEmpresa", config);
    form->addWidget(ChkActivo, form->rowCount(), 1);
    const std::tuple<const char*, QWidget*, const char*> rows[] = {
        {"&Ambiente", CmbAmbiente, "LblAmbiente"},
        {"Identificador del &software", EditSoftwareId, "LblSoftwareId"},
        {"&PIN del software", EditPin, "LblPin"},
        {"Identificador del se&t de pruebas", EditTestSetId, "LblTestSetId"},
        {"Archivo del &certificado", EditCertificado, "LblCertificado"},
        {"C&lave del certificado", EditClave, "LblClave"},
        {"&Resolución", EditResolucion, "LblResolucion"},
        {"Pre&fijo", EditPrefijo, "LblPrefijo"},
        {"Rango &desde", EditDesde, "LblDesde"},
        {"Rango &hasta", EditHasta, "LblHasta"},
        {"&Vigente desde", EditFechaDesde, "LblFechaDesde"},
        {"Vi&gente hasta", EditFechaHasta, "LblFechaHasta"},
        {"Placa de la ca&ja", EditPlaca, "LblPlaca"},
    };
    for (const auto& [caption, box, label] : rows)
        addCaptionedRow(form, QString::fromUtf8(caption), box, label, config);
    BtnGrabar = button(QStringLiteral("BtnGrabar"), QStringLiteral("G&rabar"), config);
    form->addWidget(BtnGrabar, form->rowCount(), 1, Qt::AlignLeft);
    form->setRowStretch(form->rowCount(), 1);
    PageControl1->addTab(config, QStringLiteral("Configuración"));
    connect(CmbEmpresa, &QComboBox::currentIndexChanged, this, [this] { loadSettings(); });
    connect(BtnGrabar, &QPushButton::clicked, this, [this] { BtnGrabarClick(); });
    loadSettings();

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

void TFrmDocumentosElectronicos::loadSettings()
{
    const QString empresa = CmbEmpresa->currentData().toString();
    ElectronicSettings s;
    if (!empresa.isEmpty())
        if (std::optional<ElectronicSettings> stored = loadElectronicSettings(db(), empresa, keyFile_))
            s = *stored;
    ChkActivo->setChecked(s.activo);
    CmbAmbiente->setCurrentIndex(std::max(0, CmbAmbiente->findData(s.ambiente)));
    EditSoftwareId->setText(s.softwareId);
    EditTestSetId->setText(s.testSetId);
    EditCertificado->setText(s.certificado);
    // The secrets are never shown back: an empty box keeps the stored one.
    for (auto [box, stored] : {std::pair{EditPin, &s.softwarePin}, std::pair{EditClave, &s.claveCertificado}}) {
        box->clear();
        box->setPlaceholderText(stored->isEmpty() ? QString() : QStringLiteral("(guardada; escriba para cambiarla)"));
    }
    EditResolucion->setText(s.resolucion);
    EditPrefijo->setText(s.prefijo);
    EditDesde->setText(s.rangoHasta > 0 ? QString::number(s.rangoDesde) : QString());
    EditHasta->setText(s.rangoHasta > 0 ? QString::number(s.rangoHasta) : QString());
    EditFechaDesde->setDate(s.fechaDesde.isValid() ? s.fechaDesde : QDate::currentDate());
    EditFechaHasta->setDate(s.fechaHasta.isValid() ? s.fechaHasta : QDate::currentDate().addYears(1));
    EditPlaca->setText(s.placaCaja);
}

bool TFrmDocumentosElectronicos::BtnGrabarClick()
{
    const QString empresa = CmbEmpresa->currentData().toString();
    if (empresa.isEmpty()) {
        ShowMessage(QStringLiteral("No hay empresa para configurar."));
        return false;
    }
    // What is not on this page (the software maker, the register's location, the service address)
    // is kept as stored.
    ElectronicSettings s = loadElectronicSettings(db(), empresa, keyFile_).value_or(ElectronicSettings());
    s.empresa = empresa;
    s.activo = ChkActivo->isChecked();
    s.ambiente = CmbAmbiente->currentData().toInt();
    s.softwareId = EditSoftwareId->text().trimmed();
    s.testSetId = EditTestSetId->text().trimmed();
    s.certificado = EditCertificado->text().trimmed();
    if (!EditPin->text().isEmpty())
        s.softwarePin = EditPin->text();
    if (!EditClave->text().isEmpty())
        s.claveCertificado = EditClave->text();
    s.resolucion = EditResolucion->text().trimmed();
    s.prefijo = EditPrefijo->text().trimmed();
    bool okDesde = false, okHasta = false;
    s.rangoDesde = EditDesde->text().trimmed().toLongLong(&okDesde);
    s.rangoHasta = EditHasta->text().trimmed().toLongLong(&okHasta);
    s.fechaDesde = EditFechaDesde->date();
    s.fechaHasta = EditFechaHasta->date();
    s.placaCaja = EditPlaca->text().trimmed();

    QString problem;
    if (!okDesde || !okHasta || s.rangoDesde < 1 || s.rangoHasta < s.rangoDesde)
        problem = QStringLiteral("El rango de numeración no es válido: el número final debe ser mayor o igual al inicial.");
    else if (s.fechaHasta < s.fechaDesde)
        problem = QStringLiteral("La fecha final de la resolución es anterior a la inicial.");
    else if (s.activo && (s.softwareId.isEmpty() || s.softwarePin.isEmpty() || s.resolucion.isEmpty()))
        problem = QStringLiteral("Para emitir documentos electrónicos faltan el identificador del software, su PIN o la resolución.");
    if (problem.isEmpty() && s.activo) {
        // The certificate is opened now, so a wrong file or password is found here and not at
        // the first sale.
        try {
            loadCertificate(s.certificado, s.claveCertificado);
        } catch (const Failure& e) {
            problem = e.text();
        }
    }
    if (!problem.isEmpty()) {
        ShowMessage(problem);
        return false;
    }
    saveElectronicSettings(db(), s, keyFile_);
    loadSettings();
    ShowMessage(QStringLiteral("Configuración grabada."));
    return true;
}

}  // namespace kv
