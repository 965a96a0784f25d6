#pragma once
// "Documentos Electrónicos": the back office's view of the electronic POS documents and their
// trip to the DIAN. The page "Documentos" lists a day's documents, all or in one state, with the
// DIAN's messages of the one chosen, and sends again those that failed or were rejected. The page
// "Configuración" edits the company's settings for the documents; the certificate's password and
// the software PIN are typed but never shown back: an empty box keeps the stored one.
#include "platform/DataScreen.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace kv {

class TFrmDocumentosElectronicos : public DataScreen {
    Q_OBJECT
public:
    TFrmDocumentosElectronicos(Connection& db, QWidget* parent = nullptr);
    ~TFrmDocumentosElectronicos() override;

    QTabWidget* PageControl1;
    // "Documentos"
    QDateEdit* EditFecha;          // "Fecha"
    QComboBox* CmbEstado;          // "Estado": Todos, Por enviar, Con falla, Aceptados, Rechazados
    QPushButton* BtnConsultar;     // "Consultar"
    DbGrid* GridDocumentos;
    QPlainTextEdit* MemoMensajes;  // "Mensajes de la DIAN"
    QPushButton* BtnReenviar;      // "Reenviar"

    Dataset& QDocumentos() { return documentos_; }

    // Lists the day's documents in the chosen state.
    void BtnConsultarClick();
    // Puts the chosen document back to be sent.
    void BtnReenviarClick();

private:
    void showMessages();
    Dataset& documentos_;
};

}  // namespace kv
