// Removing a process's own temporary files when it is interrupted: every staged file registers its
// temporary name here while it exists, and the handlers of SIGINT, SIGTERM and SIGHUP unlink the
// registered names (async-signal-safe) before the process ends with the signal's usual status.
// Only names this process created are ever removed.
#pragma once

#include <csignal>

namespace tarkemo {

// Installs the handlers for the signals that are not ignored. Call once, early in main().
void InstallStagedFileCleanup();

// Remembers `path` for removal on a signal; returns the slot to forget it by, or -1 when it could
// not be remembered (then it is simply not removed on a signal). Never throws.
int RememberStagedPath(const char* path) noexcept;

// Forgets a remembered name (slot -1 is ignored).
void ForgetStagedPath(int slot) noexcept;

// Holds SIGINT, SIGTERM and SIGHUP back in the calling thread while it lives, so the renames of an
// export set are never cut in half by them; a held signal arrives when the object goes away.
class SignalsHeld {
  public:
    SignalsHeld() noexcept;
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t saved_;  // the thread's previous signal mask
};

}  // namespace tarkemo
