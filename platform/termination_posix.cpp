#include <atomic>
#include <csignal>

#include "platform/termination.h"

namespace platform {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;
std::atomic<bool> requestTaken{false};

void onTerminationSignal(int signalNumber) {
    caughtSignal = signalNumber;
    // A program that does not answer the first is ended by the second.
    std::signal(signalNumber, SIG_DFL);
}

}  // namespace

void watchTerminationSignals() {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

int terminationSignal() { return caughtSignal; }

bool takeTerminationRequest() { return caughtSignal != 0 && !requestTaken.exchange(true); }

void clearTerminationRequest() {
    caughtSignal = 0;
    requestTaken = false;
}

}  // namespace platform
