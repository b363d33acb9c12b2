// The error box. It waits for its button, and while it does the game's loop does not run, so SDL's
// own handling of termination (a quit event) would wait with it: a service manager or a logout
// would hang on the box. For as long as the box is up, SIGTERM, SIGINT and SIGHUP end the program
// at once with the status of a failed run; the report is on standard error already.
#include "platform/PlatformLayer.h"

#include <SDL.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <iterator>

namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The process showing a box, while it does; 0 otherwise.
pid_t BoxOwner = 0;

extern "C" void EndAtOnce(int) {
  _exit(1);
}

// On X11 SDL shows the box from a child process of its own, which would keep the box up after the
// program has ended. Every child forked while a box is up ends with the process that showed it.
extern "C" void TieChildToBoxOwner() {
  if (BoxOwner == 0) {
    return;
  }
#ifdef __linux__
  prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
  if (getppid() != BoxOwner) {
    _exit(1); // the owner ended before the tie was made
  }
}

} // namespace

void TPlatformLayer::ShowErrorBox(const std::string& Text) {
  static const bool Tied = pthread_atfork(nullptr, nullptr, TieChildToBoxOwner) == 0;
  static_cast<void>(Tied);
  struct sigaction Ending = {};
  Ending.sa_handler = EndAtOnce;
  sigemptyset(&Ending.sa_mask);
  struct sigaction Before[std::size(EndingSignals)];
  for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
    // A signal ignored from the start (nohup, a background job) stays ignored.
    sigaction(EndingSignals[i], nullptr, &Before[i]);
    if (Before[i].sa_handler != SIG_IGN) {
      sigaction(EndingSignals[i], &Ending, nullptr);
    }
  }
  BoxOwner = getpid();
  // Without a display there is nowhere to show it; standard error has the report already.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", Text.c_str(), nullptr);
  BoxOwner = 0;
  for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
    sigaction(EndingSignals[i], &Before[i], nullptr);
  }
}
