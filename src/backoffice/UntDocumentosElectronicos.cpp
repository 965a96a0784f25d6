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
#include <QRegularExpression>
#include <QSignalBlocker>
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
    CmbDocumento = new QComboBox(config);
    CmbDocumento->setObjectName(QStringLiteral("CmbDocumento"));
    MemoAutorizaciones = named(new QPlainTextEdit(config), QStringLiteral("MemoAutorizaciones"),
                               QStringLiteral("Autorizaciones de numeración"));
    MemoAutorizaciones->setReadOnly(true);
    CmbTipoPersona = new QComboBox(config);
    CmbTipoPersona->setObjectName(QStringLiteral("CmbTipoPersona"));
    CmbTipoPersona->addItem(QStringLiteral("Persona jurídica"), QStringLiteral("1"));
    CmbTipoPersona->addItem(QStringLiteral("Persona natural"), QStringLiteral("2"));
    EditResponsabilidades = box("EditResponsabilidades");
    EditResponsabilidades->setPlaceholderText(QStringLiteral("R-99-PN, o O-13;O-15 ..."));
    CmbTributo = new QComboBox(config);
    CmbTributo->setObjectName(QStringLiteral("CmbTributo"));
    for (const auto& [code, caption] : {std::pair{"01", "01 - IVA"}, std::pair{"04", "04 - INC"},
                                        std::pair{"ZA", "ZA - IVA e INC"}, std::pair{"ZZ", "ZZ - No aplica"}})
        CmbTributo->addItem(QString::fromLatin1(caption), QString::fromLatin1(code));
    EditDireccion = box("EditDireccion");
    EditMunicipio = box("EditMunicipio");
    EditMunicipio->setMaxLength(5);
    EditCorreo = box("EditCorreo");
    addCaptionedRow(form, QStringLiteral("E&mpresa"), CmbEmpresa, "LblEmpresa", config);
    form->addWidget(ChkActivo, form->rowCount(), 1);
    const std::tuple<const char*, QWidget*, const char*> rows[] = {
        {"&Ambiente", CmbAmbiente, "LblAmbiente"},
        {"Identificador del &software", EditSoftwareId, "LblSoftwareId"},
        {"&PIN del software", EditPin, "LblPin"},
        {"Identificador del se&t de pruebas", EditTestSetId, "LblTestSetId"},
        {"Archivo del &certificado", EditCertificado, "LblCertificado"},
        {"C&lave del certificado", EditClave, "LblClave"},
        {"Placa de la ca&ja", EditPlaca, "LblPlaca"},
        {"Tipo de pers&ona", CmbTipoPersona, "LblTipoPersona"},
        {"Responsa&bilidades fiscales", EditResponsabilidades, "LblResponsabilidades"},
        {"Tri&buto", CmbTributo, "LblTributo"},
        {"Direcc&ión", EditDireccion, "LblDireccion"},
        {"Código DA&NE del municipio", EditMunicipio, "LblMunicipio"},
        {"Correo electróni&co", EditCorreo, "LblCorreo"},
    };
    for (const auto& [caption, box, label] : rows)
        addCaptionedRow(form, QString::fromUtf8(caption), box, label, config);
    // The numbering authorizations, beside the rest: one per sale document type.
    auto* numbering = new QGridLayout;
    const std::tuple<const char*, QWidget*, const char*> authorizationRows[] = {
        {"Autori&zación de", CmbDocumento, "LblDocumento"},
        {"&Resolución", EditResolucion, "LblResolucion"},
        {"Pre&fijo", EditPrefijo, "LblPrefijo"},
        {"Rango &desde", EditDesde, "LblDesde"},
        {"Rango &hasta", EditHasta, "LblHasta"},
        {"&Vigente desde", EditFechaDesde, "LblFechaDesde"},
        {"Vi&gente hasta", EditFechaHasta, "LblFechaHasta"},
    };
    for (const auto& [caption, box, label] : authorizationRows)
        addCaptionedRow(numbering, QString::fromUtf8(caption), box, label, config);
    numbering->addWidget(captionFor(QStringLiteral("Autorizaciones de n&umeración"), MemoAutorizaciones, config),
                         numbering->rowCount(), 0, 1, 2);
    numbering->addWidget(MemoAutorizaciones, numbering->rowCount(), 0, 1, 2);
    form->addLayout(numbering, 0, 2, form->rowCount(), 1);
    BtnGrabar = button(QStringLiteral("BtnGrabar"), QStringLiteral("G&rabar"), config);
    form->addWidget(BtnGrabar, form->rowCount(), 1, Qt::AlignLeft);
    form->setRowStretch(form->rowCount(), 1);
    PageControl1->addTab(config, QStringLiteral("Configuración"));
    connect(CmbEmpresa, &QComboBox::currentIndexChanged, this, [this] { loadSettings(); });
    connect(CmbDocumento, &QComboBox::currentIndexChanged, this, [this] { loadAuthorization(); });
    connect(BtnGrabar, &QPushButton::clicked, this, [this] { BtnGrabarClick(); });
    loadSettings();

    connect(BtnConsultar, &QPushButton::clicked, this, &TFrmDocumentosElectronicos::BtnConsultarClick);
    connect(BtnReenviar, &QPushButton::clicked, this, &TFrmDocumentosElectronicos::BtnReenviarClick);
    connect(&documentos_, &Dataset::currentChanged, this, [this] { showMessages(); });
    connect(&documentos_, &Dataset::reset, this, [this] { showMessages(); });
    resize(1100, 650);
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
    EditPlaca->setText(s.placaCaja);
    CmbTipoPersona->setCurrentIndex(std::max(0, CmbTipoPersona->findData(s.tipoPersona)));
    EditResponsabilidades->setText(s.responsabilidades);
    CmbTributo->setCurrentIndex(std::max(0, CmbTributo->findData(s.tributo)));
    EditDireccion->setText(s.direccion);
    EditMunicipio->setText(s.municipio);
    EditCorreo->setText(s.correo);

    // The company's sale document types (those its registers sell under), each with its own
    // authorization; the general one serves a type that has none.
    const QString chosen = CmbDocumento->currentData().toString();
    const QSignalBlocker quiet(CmbDocumento);
    CmbDocumento->clear();
    CmbDocumento->addItem(QStringLiteral("General de la empresa"), QString());
    if (!empresa.isEmpty()) {
        QSqlQuery q = db().exec(QStringLiteral("SELECT DISTINCT e.DOCUMENTO, d.NOMBRE FROM POSESQUEMA e LEFT JOIN DOCUMENTOS d "
                                               "ON d.DOCUMENTO = e.DOCUMENTO WHERE e.EMPRESA = :EMPRESA ORDER BY 1"),
                                {{QStringLiteral("EMPRESA"), empresa}});
        while (db().next(q)) {
            const QString documento = q.value(0).toString().trimmed();
            CmbDocumento->addItem(documento + QStringLiteral(" - ") + q.value(1).toString().trimmed(), documento);
        }
    }
    CmbDocumento->setCurrentIndex(std::max(0, CmbDocumento->findData(chosen)));
    loadAuthorization();
}

void TFrmDocumentosElectronicos::loadAuthorization()
{
    const QString empresa = CmbEmpresa->currentData().toString();
    const QString documento = CmbDocumento->currentData().toString();
    DianAuthorization a;
    if (!empresa.isEmpty()) {
        if (documento.isEmpty()) {
            if (std::optional<ElectronicSettings> stored = loadElectronicSettings(db(), empresa, keyFile_))
                a = DianAuthorization{empresa, QString(), stored->resolucion, stored->prefijo, stored->rangoDesde,
                                      stored->rangoHasta, stored->fechaDesde, stored->fechaHasta, stored->claveTecnica};
        } else {
            for (const DianAuthorization& own : loadAuthorizations(db(), empresa))
                if (own.documento == documento)
                    a = own;
        }
    }
    EditResolucion->setText(a.resolucion);
    EditPrefijo->setText(a.prefijo);
    EditDesde->setText(a.rangoHasta > 0 ? QString::number(a.rangoDesde) : QString());
    EditHasta->setText(a.rangoHasta > 0 ? QString::number(a.rangoHasta) : QString());
    EditFechaDesde->setDate(a.fechaDesde.isValid() ? a.fechaDesde : QDate::currentDate());
    EditFechaHasta->setDate(a.fechaHasta.isValid() ? a.fechaHasta : QDate::currentDate().addYears(1));
    showAuthorizations();
}

void TFrmDocumentosElectronicos::showAuthorizations()
{
    const QString empresa = CmbEmpresa->currentData().toString();
    QStringList lines;
    auto line = [](const QString& who, const DianAuthorization& a) {
        return QStringLiteral("%1: resolución %2, %3%4 a %3%5, del %6 al %7")
            .arg(who, a.resolucion, a.prefijo)
            .arg(a.rangoDesde)
            .arg(a.rangoHasta)
            .arg(a.fechaDesde.toString(QStringLiteral("dd/MM/yyyy")), a.fechaHasta.toString(QStringLiteral("dd/MM/yyyy")));
    };
    if (!empresa.isEmpty()) {
        for (const DianAuthorization& a : loadAuthorizations(db(), empresa))
            lines << line(a.documento, a);
        const std::optional<ElectronicSettings> s = loadElectronicSettings(db(), empresa, keyFile_);
        if (s && !s->resolucion.isEmpty())
            lines << line(QStringLiteral("General (tipos sin autorización propia)"),
                          DianAuthorization{empresa, QString(), s->resolucion, s->prefijo, s->rangoDesde, s->rangoHasta,
                                            s->fechaDesde, s->fechaHasta, s->claveTecnica});
    }
    MemoAutorizaciones->setPlainText(lines.isEmpty() ? QStringLiteral("Sin autorizaciones de numeración.")
                                                     : lines.join(QLatin1Char('\n')));
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
    s.placaCaja = EditPlaca->text().trimmed();
    s.tipoPersona = CmbTipoPersona->currentData().toString();
    s.responsabilidades = EditResponsabilidades->text().trimmed().toUpper().remove(QLatin1Char(' '));
    if (s.responsabilidades.isEmpty())
        s.responsabilidades = QStringLiteral("R-99-PN");
    s.tributo = CmbTributo->currentData().toString();
    s.direccion = EditDireccion->text().trimmed();
    s.municipio = EditMunicipio->text().trimmed();
    s.correo = EditCorreo->text().trimmed();

    // The authorization on screen: the general one or the chosen document type's.
    const QString documento = CmbDocumento->currentData().toString();
    DianAuthorization a;
    a.empresa = empresa;
    a.documento = documento;
    a.resolucion = EditResolucion->text().trimmed();
    a.prefijo = EditPrefijo->text().trimmed();
    bool okDesde = false, okHasta = false;
    a.rangoDesde = EditDesde->text().trimmed().toLongLong(&okDesde);
    a.rangoHasta = EditHasta->text().trimmed().toLongLong(&okHasta);
    a.fechaDesde = EditFechaDesde->date();
    a.fechaHasta = EditFechaHasta->date();
    // A document type's boxes left empty take its own authorization away (the general one serves it).
    const bool noneOwn = !documento.isEmpty() && a.resolucion.isEmpty() && EditDesde->text().trimmed().isEmpty() &&
                         EditHasta->text().trimmed().isEmpty();
    if (documento.isEmpty()) {
        s.resolucion = a.resolucion;
        s.prefijo = a.prefijo;
        s.rangoDesde = a.rangoDesde;
        s.rangoHasta = a.rangoHasta;
        s.fechaDesde = a.fechaDesde;
        s.fechaHasta = a.fechaHasta;
    }
    const bool generalEmpty = documento.isEmpty() && a.resolucion.isEmpty() && EditDesde->text().trimmed().isEmpty() &&
                              EditHasta->text().trimmed().isEmpty();
    bool anyAuthorization = !s.resolucion.isEmpty();
    for (const DianAuthorization& own : loadAuthorizations(db(), empresa))
        anyAuthorization = anyAuthorization || own.documento != documento;
    if (!documento.isEmpty() && !noneOwn)
        anyAuthorization = true;

    static const QRegularExpression responsibilities(QStringLiteral("^(O-13|O-15|O-23|O-47|R-99-PN)(;(O-13|O-15|O-23|O-47|R-99-PN))*$"));
    QString problem;
    if (!noneOwn && !generalEmpty &&
        (!okDesde || !okHasta || a.rangoDesde < 1 || a.rangoHasta < a.rangoDesde))
        problem = QStringLiteral("El rango de numeración no es válido: el número final debe ser mayor o igual al inicial.");
    else if (!noneOwn && !generalEmpty && a.fechaHasta < a.fechaDesde)
        problem = QStringLiteral("La fecha final de la resolución es anterior a la inicial.");
    else if (!noneOwn && !generalEmpty && a.resolucion.isEmpty())
        problem = QStringLiteral("Falta el número de la resolución de la autorización de numeración.");
    else if (s.activo && (s.softwareId.isEmpty() || s.softwarePin.isEmpty() || !anyAuthorization))
        problem = QStringLiteral("Para emitir documentos electrónicos faltan el identificador del software, su PIN o una "
                                 "autorización de numeración.");
    else if (!s.municipio.isEmpty() && !QRegularExpression(QStringLiteral("^\\d{5}$")).match(s.municipio).hasMatch())
        problem = QStringLiteral("El código DANE del municipio son cinco dígitos (por ejemplo 11001 para Bogotá).");
    else if (!responsibilities.match(s.responsabilidades).hasMatch())
        problem = QStringLiteral("Las responsabilidades fiscales son códigos de la DIAN separados por punto y coma: "
                                 "O-13, O-15, O-23, O-47 o R-99-PN.");
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
    {
        Transaction t(db());
        saveElectronicSettings(db(), s, keyFile_);
        if (noneOwn)
            removeAuthorization(db(), empresa, documento);
        else if (!documento.isEmpty())
            saveAuthorization(db(), a);
        t.commit();
    }
    loadSettings();
    ShowMessage(QStringLiteral("Configuración grabada."));
    return true;
}

}  // namespace kv
