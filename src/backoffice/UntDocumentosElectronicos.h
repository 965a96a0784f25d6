#pragma once
// "Documentos Electrónicos": the back office's view of the electronic POS documents and their
// trip to the DIAN. The page "Documentos" lists a day's documents, all or in one state, with the
// DIAN's messages of the one chosen, and sends again those that failed or were rejected. The page
// "Configuración" edits the company's settings for the documents; the certificate's password and
// the software PIN are typed but never shown back: an empty box keeps the stored one.
#include "platform/DataScreen.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace kv {

class TFrmDocumentosElectronicos : public DataScreen {
    Q_OBJECT
public:
    // keyFile: the installation's sealing key (empty: the installation's own).
    TFrmDocumentosElectronicos(Connection& db, QWidget* parent = nullptr, const QString& keyFile = QString());
    ~TFrmDocumentosElectronicos() override;

    QTabWidget* PageControl1;
    // "Documentos"
    QDateEdit* EditFecha;          // "Fecha"
    QComboBox* CmbEstado;          // "Estado": Todos, Por enviar, Con falla, Aceptados, Rechazados
    QPushButton* BtnConsultar;     // "Consultar"
    DbGrid* GridDocumentos;
    QPlainTextEdit* MemoMensajes;  // "Mensajes de la DIAN"
    QPushButton* BtnReenviar;      // "Reenviar"

    // "Configuración"
    QComboBox* CmbEmpresa;         // "Empresa"
    QCheckBox* ChkActivo;          // "Emitir documentos electrónicos"
    QComboBox* CmbAmbiente;        // "Ambiente": Producción (1), Pruebas (2)
    QLineEdit* EditSoftwareId;     // "Identificador del software"
    QLineEdit* EditPin;            // "PIN del software" (never shown back)
    QLineEdit* EditTestSetId;      // "Identificador del set de pruebas"
    QLineEdit* EditCertificado;    // "Archivo del certificado"
    QLineEdit* EditClave;          // "Clave del certificado" (never shown back)
    QLineEdit* EditResolucion;     // "Resolución"
    QLineEdit* EditPrefijo;        // "Prefijo"
    QLineEdit* EditDesde;          // "Rango desde"
    QLineEdit* EditHasta;          // "Rango hasta"
    QDateEdit* EditFechaDesde;     // "Vigente desde"
    QDateEdit* EditFechaHasta;     // "Vigente hasta"
    QLineEdit* EditPlaca;          // "Placa de la caja"
    // the seller's tax data the company's record lacks
    QComboBox* CmbTipoPersona;         // "Tipo de persona": jurídica (1), natural (2)
    QLineEdit* EditResponsabilidades;  // "Responsabilidades fiscales": DIAN codes, ";" between them
    QComboBox* CmbTributo;             // "Tributo": 01 IVA, 04 INC, ZA IVA e INC, ZZ No aplica
    QLineEdit* EditDireccion;          // "Dirección"
    QLineEdit* EditMunicipio;          // "Código DANE del municipio"
    QLineEdit* EditCorreo;             // "Correo electrónico"
    // The numbering authorization edited above: the company's general one ("") or a sale
    // document type's own; every authorization of the company is listed below it.
    QComboBox* CmbDocumento;           // "Autorización de"
    QPlainTextEdit* MemoAutorizaciones;  // "Autorizaciones de numeración"
    QPushButton* BtnGrabar;        // "Grabar"

    Dataset& QDocumentos() { return documentos_; }

    // Lists the day's documents in the chosen state.
    void BtnConsultarClick();
    // Puts the chosen document back to be sent.
    void BtnReenviarClick();

    // Shows the chosen company's settings (secrets as empty boxes).
    void loadSettings();
    // Checks and saves the settings; false (with the message shown) when something is wrong.
    bool BtnGrabarClick();

private:
    void showMessages();
    // Fills the authorization boxes with the one CmbDocumento names, and lists them all.
    void loadAuthorization();
    void showAuthorizations();
    Dataset& documentos_;
    QString keyFile_;
};

}  // namespace kv
