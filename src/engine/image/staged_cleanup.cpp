#include "image/staged_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace tarkemo {
namespace {

// One slot per temporary file that exists at one time; a batch of many jobs stages three files each.
constexpr int kSlots = 1024;
std::atomic<char*> gSlots[kSlots];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveStagedFiles(int signal) {
    for (std::atomic<char*>& slot : gSlots) {
        // Taking the name out of its slot keeps a second signal from unlinking it again.
        if (char* path = slot.exchange(nullptr)) unlink(path);
    }
    // The handler was installed with SA_RESETHAND: raising again ends the process as the signal does.
    raise(signal);
}

sigset_t CleanupSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kSignals) sigaddset(&set, s);
    return set;
}

}  // namespace

void InstallStagedFileCleanup() {
    for (const int s : kSignals) {
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;  // e.g. under nohup
        struct sigaction action {};
        action.sa_handler = RemoveStagedFiles;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(s, &action, nullptr);
    }
}

int RememberStagedPath(const char* path) noexcept {
    char* copy = strdup(path);
    if (!copy) return -1;
    for (int i = 0; i < kSlots; ++i) {
        char* expected = nullptr;
        if (gSlots[i].compare_exchange_strong(expected, copy)) return i;
    }
    std::free(copy);
    return -1;
}

void ForgetStagedPath(int slot) noexcept {
    if (slot < 0 || slot >= kSlots) return;
    std::free(gSlots[slot].exchange(nullptr));
}

SignalsHeld::SignalsHeld() noexcept {
    const sigset_t set = CleanupSignals();
    pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

SignalsHeld::~SignalsHeld() {
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace tarkemo
