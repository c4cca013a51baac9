#include <signal.h>

#include "host/x11/LinuxSaver.h"

namespace {

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

}  // namespace

void CatchStopSignals() {
    struct sigaction action{};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopRequested() { return stopRequested != 0; }
