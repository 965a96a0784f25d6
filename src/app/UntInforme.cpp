#include "app/UntInforme.h"

#include "common/Dialogs.h"
#include "platform/Desktop.h"
#include "platform/Printing.h"

#include <QButtonGroup>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

std::unique_ptr<Report> ReporteSalida;
QString TituloInforme;

namespace {

// The caption of a control without its "&" accelerator marks, for screen readers.
QString plain(QString caption)
{
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return caption.trimmed();
}

struct FilterInfo {
    const char* shown;      // the text the user reads
    const char* extension;  // what the filter selects and what is appended to a bare name
};
// The second description has always read "(*.hml)" while selecting .html files; the text is kept.
const FilterInfo kFilters[] = {
    {"Hoja Excel (*.xls)", "xls"},
    {"Archivo de Internet (*.hml)", "html"},
    {"Archivo de texto (*.txt)", "txt"},
};

bool writeFile(const QString& path, const QString& content)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = content.toUtf8();
    return f.write(bytes) == bytes.size() && f.commit();
}

}  // namespace

QStringList TFrmInforme::saveFilters()
{
    QStringList out;
    for (const FilterInfo& f : kFilters)
        out.append(QString::fromUtf8(f.shown));
    return out;
}

QString TFrmInforme::extensionOf(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > int(std::size(kFilters)))
        filterIndex = 1;
    return QString::fromLatin1(kFilters[filterIndex - 1].extension);
}

void ShowReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent)
{
    ReporteSalida = std::move(report);
    TituloInforme = title;
    new TFrmInforme(parent);  // shows itself and frees itself when closed
}

TFrmInforme::TFrmInforme(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmInforme"));
    setAttribute(Qt::WA_DeleteOnClose);  // FormClose: the dialog frees itself
    setModal(false);

    TipoSalida = new QGroupBox(QStringLiteral("Medio de Salida"), this);
    TipoSalida->setObjectName(QStringLiteral("TipoSalida"));
    TipoSalida->setAccessibleName(QStringLiteral("Medio de Salida"));
    tipoSalidaItems_ = new QButtonGroup(this);
    auto* grid = new QGridLayout(TipoSalida);
    const char* items[] = {"Archivo", "Excel", "Pantalla"};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(QString::fromLatin1(items[i]), TipoSalida);
        rb->setObjectName(QStringLiteral("TipoSalida") + QString::fromLatin1(items[i]));
        rb->setAccessibleName(QString::fromLatin1(items[i]));
        tipoSalidaItems_->addButton(rb, i);
        grid->addWidget(rb, 0, i);  // three columns
    }
    tipoSalidaItems_->button(Pantalla)->setChecked(true);
    connect(tipoSalidaItems_, &QButtonGroup::idClicked, this, &TFrmInforme::TipoSalidaClick);

    Label1 = new QLabel(QStringLiteral("&Salvar como: "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    EdtArchivo = new QLineEdit(this);
    EdtArchivo->setObjectName(QStringLiteral("EdtArchivo"));
    EdtArchivo->setAccessibleName(plain(Label1->text()));
    EdtArchivo->setMinimumWidth(320);  // room for a whole path
    Label1->setBuddy(EdtArchivo);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Explorar"));
    SpeedButton1->setAccessibleName(QStringLiteral("Explorar"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmInforme::SpeedButton1Click);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Label1);
    fileRow->addWidget(EdtArchivo, 1);
    fileRow->addWidget(SpeedButton1);

    BtnImprimir = new QPushButton(QStringLiteral("&IMPRIMIR"), this);
    BtnImprimir->setObjectName(QStringLiteral("BtnImprimir"));
    BtnImprimir->setAccessibleName(plain(BtnImprimir->text()));
    BtnImprimir->setDefault(true);
    BtnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    BtnCancelar->setObjectName(QStringLiteral("BtnCancelar"));
    BtnCancelar->setAccessibleName(plain(BtnCancelar->text()));
    // Enter on a focused button presses that button (autoDefault), as on both buttons here.
    BtnImprimir->setAutoDefault(true);
    BtnCancelar->setAutoDefault(true);
    connect(BtnImprimir, &QPushButton::clicked, this, &TFrmInforme::BtnImprimirClick);
    connect(BtnCancelar, &QPushButton::clicked, this, &TFrmInforme::BtnCancelarClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnImprimir);
    buttons->addWidget(BtnCancelar);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TipoSalida);
    layout->addLayout(fileRow);
    layout->addLayout(buttons);

    FormCreate();
    TipoSalidaClick();
    show();
}

void TFrmInforme::FormCreate()
{
    EdtArchivo->setText(QDir::toNativeSeparators(QDir::currentPath() + QLatin1Char('/') + TituloInforme +
                                                 QStringLiteral(".xls")));
}

void TFrmInforme::FormActivate() { setWindowTitle(TituloInforme.toUpper()); }

bool TFrmInforme::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(e);
}

void TFrmInforme::showEvent(QShowEvent* e)
{
    // Windows that are never activated (no window manager) still get their caption.
    FormActivate();
    QDialog::showEvent(e);
}

void TFrmInforme::TipoSalidaClick()
{
    const bool toFile = tipoSalidaItems_->checkedId() != Pantalla;
    Label1->setVisible(toFile);
    EdtArchivo->setVisible(toFile);
    SpeedButton1->setVisible(toFile);
}

bool TFrmInforme::acceptableTarget(const QString& path)
{
    if (path.trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Escriba el nombre del archivo."));
        return false;
    }
    const QFileInfo info(path);
    const QString native = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!QFileInfo(info.absolutePath()).isDir()) {
        ShowMessage(QStringLiteral("La carpeta %1 no existe.\nElija una carpeta existente.")
                        .arg(QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    if (info.isDir()) {
        ShowMessage(QStringLiteral("%1 es una carpeta, no un archivo.").arg(native));
        return false;
    }
    // Read-only: no write permission for us, or marked read-only for everyone (which the system
    // administrator's account would otherwise write through).
    const bool readOnly = !info.isWritable() ||
        !(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (info.exists() && readOnly) {
        ShowMessage(QStringLiteral("El archivo %1 es de solo lectura.\nElija otro nombre.").arg(native));
        return false;
    }
    return true;
}

void TFrmInforme::SpeedButton1Click()
{
    const QStringList filters = saveFilters();
    QFileDialog dlg(this, QStringLiteral("Grabar ") + TituloInforme + QStringLiteral(" como: "));
    dlg.setObjectName(QStringLiteral("SaveDialog1"));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog, so that questions go through the program's message boxes; the filter
    // texts are shown as written and select by the pattern added after them.
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite |
                   QFileDialog::HideNameFilterDetails);
    QStringList qtFilters;
    for (int i = 0; i < filters.size(); ++i)
        qtFilters.append(filters[i] + QStringLiteral(" (*.") + extensionOf(i + 1) + QLatin1Char(')'));
    dlg.setNameFilters(qtFilters);
    dlg.selectNameFilter(qtFilters.value(filterIndex_ - 1));
    if (QFileInfo::exists(EdtArchivo->text()))
        dlg.selectFile(EdtArchivo->text());

    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return;
        // Depending on the Qt version the chosen filter comes back whole or as its shown text.
        const QString chosen = dlg.selectedNameFilter().trimmed();
        int index = int(qtFilters.indexOf(chosen)) + 1;
        if (index == 0)
            index = int(filters.indexOf(chosen)) + 1;
        QString name = dlg.selectedFiles().first();
        if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
            name += QLatin1Char('.') + extensionOf(index > 0 ? index : 1);
        if (!acceptableTarget(name))
            continue;
        if (QFileInfo::exists(name) &&
            !AskYesNo(QStringLiteral("%1 ya existe.\n¿Desea reemplazarlo?").arg(QDir::toNativeSeparators(name))))
            continue;
        filterIndex_ = index > 0 ? index : 1;
        EdtArchivo->setText(QDir::toNativeSeparators(name));
        return;
    }
}

void TFrmInforme::BtnImprimirClick()
{
    BtnImprimir->setEnabled(false);
    const int salida = tipoSalidaItems_->checkedId();
    if (salida == Pantalla) {
        bool failed = false;
        try {
            if (ReporteSalida)
                preview(ReporteSalida->render(), this);
        } catch (...) {
            failed = true;
        }
        if (!failed)
            ReporteSalida.reset();
        BtnImprimir->setEnabled(true);
        close();
        return;
    }

    const QString path = QDir::fromNativeSeparators(EdtArchivo->text().trimmed());
    if (!acceptableTarget(path)) {
        BtnImprimir->setEnabled(true);
        return;
    }
    bool ok = ReporteSalida != nullptr;
    try {
        if (ok) {
            const Document pages = ReporteSalida->render();
            const bool asText = salida == Archivo && filterIndex_ == 3;
            ok = writeFile(path, asText ? pages.toText() : pages.toHtml());
            if (ok && salida == Excel)
                openFile(path);
        }
    } catch (...) {
        ok = false;
    }
    BtnImprimir->setEnabled(true);
    // A failed output closes the dialog without a message of its own; a spreadsheet output leaves
    // it open so the report can be sent again.
    if (!ok || salida == Archivo)
        close();
}

void TFrmInforme::BtnCancelarClick() { close(); }

}  // namespace kv
