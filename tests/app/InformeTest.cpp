// The report output dialog driven as a user would: output choices, the save dialog, file names.
#include "app/UntInforme.h"
#include "common/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace kv;

namespace {

std::unique_ptr<Report> sampleReport(const QString& title)
{
    auto r = std::make_unique<Report>(title);
    r->titleBand().setHeight(6).addText(0, 0, 100, 5, QStringLiteral("LISTA DE USUARIOS"));
    Band& d = r->detail().setHeight(5);
    d.addField(0, 0, 40, 5, QStringLiteral("NOMBRE"));
    d.addField(60, 0, 30, 5, QStringLiteral("NIVEL"), QStringLiteral("###,###.00")).right();
    r->setRows({{{"NOMBRE", "ANA"}, {"NIVEL", 1500.0}}, {{"NOMBRE", "LUIS & CIA"}, {"NIVEL", 2.0}}});
    return r;
}

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// While alive, runs `handle` on each save dialog that shows, from inside its modal loop.
class SaveDialogDriver {
public:
    explicit SaveDialogDriver(std::function<void(QFileDialog*)> handle)
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [handle] {
            auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            // Each handling closes the dialog at once, so a visible one is always a fresh showing.
            if (dlg && dlg->isVisible())
                handle(dlg);
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

// Types a name into the save dialog's file name box and presses "Save", as a user does.
void saveAs(QFileDialog* dlg, const QString& name)
{
    auto* box = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(box, nullptr);
    box->setText(name);
    static_cast<QDialog*>(dlg)->accept();
}

class InformeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TituloInforme = QStringLiteral("Menu");
        ReporteSalida = sampleReport(QStringLiteral("MENU"));
        form = new TFrmInforme;
    }
    void TearDown() override
    {
        delete form.data();
        ReporteSalida.reset();
        QDir::setCurrent(previousDir_);
    }
    template <class T>
    T* child(const char* name) const
    {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void choose(const char* item) { child<QRadioButton>(item)->click(); }
    void imprimir() { child<QPushButton>("BtnImprimir")->click(); }
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    DialogsScope scope{&dialogs};
    QPointer<TFrmInforme> form;

private:
    QString previousDir_;
};

}  // namespace

TEST_F(InformeTest, OpensAtOnceWithCaptionDefaultNameAndScreenChosen)
{
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("MENU"));
    EXPECT_EQ(child<QLineEdit>("EdtArchivo")->text(), path(QStringLiteral("Menu.xls")));
    EXPECT_TRUE(child<QRadioButton>("TipoSalidaPantalla")->isChecked());
    EXPECT_TRUE(child<QPushButton>("BtnImprimir")->isDefault());
    EXPECT_EQ(child<QPushButton>("BtnImprimir")->accessibleName(), QStringLiteral("IMPRIMIR"));
    EXPECT_EQ(child<QLineEdit>("EdtArchivo")->accessibleName(), QStringLiteral("Salvar como:"));
    EXPECT_EQ(child<QToolButton>("SpeedButton1")->toolTip(), QStringLiteral("Explorar"));

    // The file controls show only while the output goes to a file.
    const struct {
        const char* item;
        bool fileControls;
    } cases[] = {{"TipoSalidaArchivo", true}, {"TipoSalidaPantalla", false}, {"TipoSalidaExcel", true}};
    for (const auto& c : cases) {
        choose(c.item);
        EXPECT_EQ(child<QLineEdit>("EdtArchivo")->isVisible(), c.fileControls) << c.item;
        EXPECT_EQ(child<QToolButton>("SpeedButton1")->isVisible(), c.fileControls) << c.item;
    }
}

TEST_F(InformeTest, EnterOnAButtonPressesIt)
{
    auto* cancel = child<QPushButton>("BtnCancelar");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_TRUE(closed());
    EXPECT_NE(ReporteSalida, nullptr);
}

TEST_F(InformeTest, FileWithoutBrowsingWritesHtmlUnderTheDefaultXlsNameAndCloses)
{
    choose("TipoSalidaArchivo");
    imprimir();
    const QString html = readAll(dir.filePath(QStringLiteral("Menu.xls")));
    EXPECT_TRUE(html.startsWith(QLatin1String("<!DOCTYPE html>")));
    EXPECT_TRUE(html.contains(QLatin1String("LUIS &amp; CIA")));
    EXPECT_TRUE(html.contains(QLatin1String("1,500.00")));
    EXPECT_TRUE(closed());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(InformeTest, TextFilterAndABareNameGiveATxtFileOfPlainText)
{
    QString title;
    SaveDialogDriver driver([&](QFileDialog* dlg) {
        title = dlg->windowTitle();
        EXPECT_EQ(dlg->nameFilters().size(), 3);
        dlg->selectNameFilter(dlg->nameFilters().at(2));
        saveAs(dlg, QStringLiteral("informe"));
    });
    choose("TipoSalidaArchivo");
    child<QToolButton>("SpeedButton1")->click();
    EXPECT_EQ(title, QStringLiteral("Grabar Menu como: "));
    EXPECT_EQ(child<QLineEdit>("EdtArchivo")->text(), path(QStringLiteral("informe.txt")));
    EXPECT_EQ(form->filterIndex(), 3);

    imprimir();
    const QString text = readAll(dir.filePath(QStringLiteral("informe.txt")));
    EXPECT_TRUE(text.startsWith(QLatin1String("LISTA DE USUARIOS\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\nANA +1,500.00\n"))));
    EXPECT_FALSE(text.contains(QLatin1Char('<')));
    EXPECT_TRUE(closed());
}

TEST_F(InformeTest, FilterExtensionsForBareNames)
{
    EXPECT_EQ(TFrmInforme::saveFilters(), QStringList({"Hoja Excel (*.xls)", "Archivo de Internet (*.hml)",
                                                       "Archivo de texto (*.txt)"}));
    const char* expected[] = {"xls", "html", "txt"};
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(TFrmInforme::extensionOf(i), QString::fromLatin1(expected[i - 1]));
}

TEST_F(InformeTest, SpreadsheetWritesHtmlUnderXlsAndStaysOpen)
{
    choose("TipoSalidaExcel");
    imprimir();  // KORVELA_NO_OPEN=1: the file is written, no application is started
    EXPECT_TRUE(readAll(dir.filePath(QStringLiteral("Menu.xls"))).contains(QLatin1String("<table")));
    EXPECT_FALSE(closed());
    EXPECT_TRUE(child<QPushButton>("BtnImprimir")->isEnabled());
    EXPECT_NE(ReporteSalida, nullptr);  // it may be sent again
    QFile::remove(dir.filePath(QStringLiteral("Menu.xls")));
    imprimir();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Menu.xls"))));
}

TEST_F(InformeTest, ScreenPreviewReleasesTheReportAndCloses)
{
    QTemporaryDir printed;
    qputenv("KORVELA_PRINT_TO", printed.path().toUtf8());
    imprimir();
    qunsetenv("KORVELA_PRINT_TO");
    EXPECT_EQ(QDir(printed.path()).entryList(QDir::Files), QStringList({"0001-MENU.pdf"}));
    EXPECT_EQ(ReporteSalida, nullptr);
    EXPECT_TRUE(closed());
}

TEST_F(InformeTest, MissingFolderAndReadOnlyFileAreRefused)
{
    choose("TipoSalidaArchivo");
    const QString readOnly = dir.filePath(QStringLiteral("fijo.xls"));
    QFile f(readOnly);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("viejo");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);

    // Typed names.
    child<QLineEdit>("EdtArchivo")->setText(path(QStringLiteral("falta/Menu.xls")));
    imprimir();
    ASSERT_EQ(dialogs.texts(QStringLiteral("message")).size(), 1);
    EXPECT_EQ(dialogs.last(), QStringLiteral("La carpeta %1 no existe.\nElija una carpeta existente.")
                                  .arg(path(QStringLiteral("falta"))));
    child<QLineEdit>("EdtArchivo")->setText(QDir::toNativeSeparators(readOnly));
    imprimir();
    EXPECT_EQ(dialogs.last(), QStringLiteral("El archivo %1 es de solo lectura.\nElija otro nombre.")
                                  .arg(QDir::toNativeSeparators(readOnly)));
    EXPECT_EQ(readAll(readOnly), QStringLiteral("viejo"));
    EXPECT_FALSE(closed());

    // Chosen in the save dialog: refused, and the dialog comes back until cancelled.
    int shown = 0;
    SaveDialogDriver driver([&](QFileDialog* dlg) {
        ++shown;
        if (shown == 1)
            saveAs(dlg, dir.filePath(QStringLiteral("falta/otro.txt")));
        else if (shown == 2)
            saveAs(dlg, readOnly);
        else
            dlg->reject();
    });
    child<QLineEdit>("EdtArchivo")->setText(path(QStringLiteral("antes.xls")));
    child<QToolButton>("SpeedButton1")->click();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(dialogs.texts(QStringLiteral("message")).size(), 4) << dialogs.texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(child<QLineEdit>("EdtArchivo")->text(), path(QStringLiteral("antes.xls")));
}

TEST_F(InformeTest, ReplacingAnExistingFileIsAsked)
{
    const QString existing = dir.filePath(QStringLiteral("viejo.html"));
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    for (bool answer : {false, true}) {
        dialogs.clear();
        dialogs.answers = {answer};
        bool secondTime = false;
        SaveDialogDriver driver([&](QFileDialog* dlg) {
            if (dlg->property("again").toBool()) {
                secondTime = true;
                return dlg->reject();
            }
            dlg->setProperty("again", true);
            saveAs(dlg, existing);
        });
        choose("TipoSalidaArchivo");
        child<QToolButton>("SpeedButton1")->click();
        ASSERT_EQ(dialogs.texts(QStringLiteral("confirm")).size(), 1);
        EXPECT_TRUE(dialogs.last().contains(QLatin1String("ya existe"))) << dialogs.last().toStdString();
        EXPECT_EQ(child<QLineEdit>("EdtArchivo")->text() == QDir::toNativeSeparators(existing), answer);
        EXPECT_EQ(secondTime, !answer);  // "No" brings the save dialog back
    }
}

TEST_F(InformeTest, AFailingReportClosesTheDialogSilently)
{
    ReporteSalida->detail().beforePrint = [](BandEvent&) { throw std::runtime_error("sin datos"); };
    choose("TipoSalidaArchivo");
    imprimir();
    EXPECT_TRUE(closed());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Menu.xls"))));
    EXPECT_NE(ReporteSalida, nullptr);
}
