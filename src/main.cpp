// korvelapos: the point-of-sale program.
//
//   korvelapos                   reads the database locations from $TAVRO_HOME/DireccionBd.txt, or
//                                from the installation's fixed place (/opt/tavro, C:\Tavro)
//   korvelapos --location FILE   reads them from FILE
//   korvelapos --version         prints the program's version
//   korvelapos --demo [DIR]      creates the demo shop in DIR when it is missing (by default in the
//                                user's data folder) and starts on it
#include "app/UntAboutBox.h"
#include "app/UntInforme.h"
#include "app/UntLogin.h"
#include "app/UntPos.h"
#include "backoffice/BackofficePrograms.h"
#include "catalog/CatalogPrograms.h"
#include "common/Errors.h"
#include "data/DemoData.h"
#include "data/UntDMGeneral.h"
#include "einvoice/DemoElectronic.h"
#include "einvoice/DianSender.h"
#include "einvoice/Settings.h"
#include "orders/UntDmPedidos.h"
#include "orders/UntPedido.h"
#include "platform/QtDialogs.h"
#include "platform/ReportOutput.h"
#include "pos/UntDmVentas.h"
#include "pos/UntVenta.h"
#include "pos/variants/UntVentaRegistradora.h"
#include "pos/variants/VariantScreens.h"

#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace {

// The demo's folder: the one given after --demo, else "demo" in the user's data folder.
QString demoFolder(const QStringList& args, int at)
{
    if (at + 1 < args.size() && !args[at + 1].startsWith(QLatin1String("--")))
        return QDir(args[at + 1]).absolutePath();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("demo"));
}

// Set when a stop signal came: the start-up goes no further than the message it was showing.
bool g_stopped = false;

#ifdef Q_OS_LINUX
// A logout or a service manager asks the program to stop with SIGTERM, a terminal with SIGINT.
// Delivered the ordinary way, such a signal lands on whichever thread the kernel picks, often one
// of the database engine's, whose interrupted wait leaves the engine spinning for ever when the
// connection is later closed (and the database library's own handler only shuts the engine down
// under the program's feet). So both signals are blocked in every thread from the first line on
// and read from a descriptor by the event loop, which then ends the run as "&Salir" does, without
// the question, closing the connections in order. Child processes started through QProcess get
// their signal mask reset by Qt. The descriptor is read from the moment the application exists,
// so a stop also ends the messages shown before any window ("Falta Instalacion", an older
// database, a database that cannot be opened); a signal that came even earlier waits in it.
int blockStopSignals()
{
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    return ::signalfd(-1, &stop, SFD_NONBLOCK | SFD_CLOEXEC);
}

void quitOnStopSignals(int fd, QObject* owner)
{
    if (fd < 0)
        return;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, [fd] {
        signalfd_siginfo info;
        [[maybe_unused]] const auto got = ::read(fd, &info, sizeof info);
        g_stopped = true;
        // Ends every event loop running, a message box's included; quit() would ask the exit
        // question first.
        QCoreApplication::exit(0);
    });
}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_LINUX
    // Before anything starts a thread, so that every thread inherits the blocked signals.
    const int stopSignals = blockStopSignals();
#endif
    // Answered before any window system is needed, so it works on a bare terminal.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("korvelapos %s\n", KV_VERSION);
            return 0;
        }
    kv::Application app(argc, argv);
#ifdef Q_OS_LINUX
    quitOnStopSignals(stopSignals, &app);
#endif
    QCoreApplication::setOrganizationName(QStringLiteral("Korvela"));
    QCoreApplication::setApplicationName(QStringLiteral("korvelapos"));
    kv::QtDialogs qtDialogs;
    kv::installDialogs(&qtDialogs);

    const QStringList args = QCoreApplication::arguments();
    QString locationFile;
    const int demo = int(args.indexOf(QStringLiteral("--demo")));
    if (demo >= 0) {
        const QString dir = demoFolder(args, demo);
        try {
            QDir().mkpath(dir);
            locationFile = kv::createDemoInstallation(dir);
            kv::setUpDemoElectronicDocuments(locationFile);
        } catch (const kv::Failure& f) {
            kv::dialogs().error(f.text());
            return 1;
        }
    } else {
        locationFile = kv::TDMGeneral::locationFilePath(args);
    }

    // The sealed secrets of the electronic documents open with the key kept beside the location file.
    kv::useKeyFileBeside(locationFile);

    // 1. The general data module: the location file and the two connections.
    kv::TDMGeneral dmGeneral;
    if (!dmGeneral.DataModuleCreate(locationFile))
        return 1;  // "Falta Instalacion" was shown; no window opens
    // A database older than the program would fail on its first missing column deep inside a
    // screen; say so now and name the command that brings it up to date.
    const QString outdated = dmGeneral.outdatedDatabases();
    if (!outdated.isEmpty()) {
        kv::ShowMessage(outdated);
        return 1;
    }

    // 2. The sales data module. Its cursors open at creation; on an unreachable database that
    //    fails like every other read (the error box) and the run goes on without it.
    std::unique_ptr<kv::TDmVentas> dmVentas;
    try {
        dmVentas = std::make_unique<kv::TDmVentas>(dmGeneral.DbPos);
    } catch (const kv::Failure& f) {
        kv::dialogs().error(f.text());
    }
    // 3. The orders data module, the same way.
    std::unique_ptr<kv::TDmPedidos> dmPedidos;
    try {
        dmPedidos = std::make_unique<kv::TDmPedidos>(dmGeneral.DbPos);
    } catch (const kv::Failure& f) {
        kv::dialogs().error(f.text());
    }

    // A stop during the messages above: no window opens.
    if (g_stopped) {
        dmPedidos.reset();
        dmVentas.reset();
        dmGeneral.DataModuleDestroy();
        return 0;
    }

    // The sender of the electronic POS documents, in a thread of its own with its own connection,
    // so that a sale never waits for the DIAN and documents go out whenever the service can be
    // reached. On the embedded engine only this process may open the database, so the sender
    // must live here; on a server each register runs one, and the claim a sender puts on each
    // document before sending keeps two of them from sending the same one.
    std::unique_ptr<kv::dian::SenderThread> dianSender;
    if (dmGeneral.DbPos.isOpen()) {
        dianSender = std::make_unique<kv::dian::SenderThread>(dmGeneral.DbPos.location(), [](kv::Connection& c) {
            return kv::dian::settingsConfig(c, kv::defaultKeyFile());
        });
        dianSender->start(QThread::LowPriority);
    }

    // Each folder's screens register the program numbers they open (registerProgram) here,
    // before the main window can dispatch to them.
    kv::registerCatalogPrograms();     // 1 to 8
    kv::registerOrderPrograms();       // 9
    kv::registerPosPrograms();         // 10
    kv::registerVariantScreens();      // the sale screens of cashier levels "2", "R" and "8"
    kv::registerCollectionRegister();  // cashier level "C"
    kv::registerBackofficePrograms();  // 11, 12, 13, 20, 21, 22
    // Reports that screens of earlier folders hand over go through the report output dialog.
    kv::setReportOutput(kv::ShowReport);

    // 4. The main window, the first window created: closing it ends the program.
    kv::TFrmPos frmPos(dmGeneral);
    // 5-6. The login window and the about box, created once.
    kv::TFrmLogin frmLogin(dmGeneral, &frmPos);
    kv::TFrmAboutBox frmAboutBox(&frmPos);
    // 7. The calendar is created here once its unit is in the program.

    frmPos.show();
    // Activated from the start, window manager or not: the activation builds the caption.
    frmPos.activateWindow();
    const int code = g_stopped ? 0 : app.exec();
    dianSender.reset();  // ends the round under way and closes its connection first
    dmPedidos.reset();
    dmVentas.reset();
    dmGeneral.DataModuleDestroy();
    return code;
}
