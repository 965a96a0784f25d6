#pragma once
// The report output dialog: sends a prepared band report to the screen (print preview), to a file
// (HTML or plain text) or to the spreadsheet application (the HTML opened in it).
//
// Caller contract: set ReporteSalida to a report whose data is ready and TituloInforme to the title
// word, then create the dialog with the calling screen as parent. It shows itself without blocking
// and deletes itself when closed; nothing comes back to the caller.
#include "report/Report.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace kv {

// The report to output. The dialog releases it after a screen preview.
extern std::unique_ptr<Report> ReporteSalida;
// The title word: the dialog's caption (upper case), the default file name, the save dialog's title.
extern QString TituloInforme;

// The one call that shows a report through the output dialog: sets ReporteSalida and
// TituloInforme and opens the dialog over `parent`.
void ShowReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent);

class TFrmInforme : public QDialog {
    Q_OBJECT
public:
    enum Salida { Archivo = 0, Excel = 1, Pantalla = 2 };

    explicit TFrmInforme(QWidget* parent = nullptr);

    // Filters of the save dialog, as shown; the file kind they stand for follows their order:
    // 1 spreadsheet (.xls, HTML inside), 2 HTML, 3 plain text.
    static QStringList saveFilters();
    static QString extensionOf(int filterIndex);
    // The save dialog's filter in force, from 1; the first until the browse button is used.
    int filterIndex() const { return filterIndex_; }

public slots:
    void TipoSalidaClick();
    void SpeedButton1Click();
    void BtnImprimirClick();
    void BtnCancelarClick();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void FormCreate();
    void FormActivate();
    // A file the output may be written to: its folder exists and it is not read-only. Otherwise
    // says why and returns false.
    bool acceptableTarget(const QString& path);

    QGroupBox* TipoSalida;
    QButtonGroup* tipoSalidaItems_;
    QLabel* Label1;
    QLineEdit* EdtArchivo;
    QToolButton* SpeedButton1;
    QPushButton* BtnImprimir;
    QPushButton* BtnCancelar;
    int filterIndex_ = 1;
};

}  // namespace kv
