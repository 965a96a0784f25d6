// The main() of every test program: the program's own application object, offscreen, so that
// screens can be shown and driven without a display and every event goes through the same
// error guard as in the program.
#include "platform/QtDialogs.h"

#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <thread>
#endif

namespace {

#ifdef Q_OS_LINUX
// A test run stopped with SIGTERM or SIGINT (a timeout, Ctrl+C) must end at once. Delivered the
// ordinary way the signal may land on one of the embedded database engine's threads, whose
// interrupted wait leaves the process spinning while it holds the engine's start-up lock, and then
// every other test process on the machine waits for it. So the signals are blocked in every
// thread before any starts, and one thread of our own waits for them and ends the process; the
// kernel releases the engine's file locks with it.
void endOnStopSignals()
{
    static sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    std::thread([] {
        int sig = 0;
        sigwait(&stop, &sig);
        std::_Exit(128 + sig);
    }).detach();
}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_LINUX
    endOnStopSignals();
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KORVELA_NO_OPEN", "1");
    kv::Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
