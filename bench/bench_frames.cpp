// Frame benchmark: runs the real game (its start-up, frame and shutdown procedures in the real
// window and paced loop) for ten seconds on the current X display, muted and with its sound on,
// and beside it a bare window that only clears and swaps under the same pacing. Each runs in a
// process of its own so that CPU time and peak memory are its own. Then the sound output's delay:
// from a sound handed over to the pull that mixes it, plus the pulled buffer's own length, which
// plays before the buffer's first sample leaves the device. The sound goes to SDL's audio device
// (SDL_AUDIODRIVER; on a machine without one, "disk" with SDL_DISKAUDIOFILE=/dev/null keeps a
// device's pace). Run it under Xvfb: xvfb-run -a build/bench/bench_frames
#include "OGLWnd.h"
#include "game/SoundOutput.h"
#include "game/scenes/Scenes.h"
#include "platform/PlatformLayer.h"

#include "GlApi.h"
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

TClock::time_point ProcessStart;
TClock::time_point FirstFrameShown;
std::vector<TClock::time_point> FrameStarts;
double Seconds = 10;
TProc RealFrame;

void TimedFrame() {
  const TClock::time_point Now = TClock::now();
  FrameStarts.push_back(Now);
  // After the menu's first frame has started a new game, play it.
  if (FrameStarts.size() == 2 && GameScene != nullptr) {
    CurrentScene = GameScene;
  }
  RealFrame();
  if (FrameStarts.size() == 1) {
    glFinish();
    FirstFrameShown = TClock::now();
  }
  if (std::chrono::duration<double>(Now - FrameStarts.front()).count() >= Seconds) {
    Done = true;
  }
}

void GameFrame() {
  DoFrame();
  HearFrame();
}

void NoStartUp() {}
void NoShutDown() {}
void BareFrame() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Platform().SwapWindowBuffers();
}

double Millis(TClock::duration Span) {
  return std::chrono::duration<double, std::milli>(Span).count();
}

// Runs one subject in this process and prints one result line.
int RunSubject(bool Game, bool Sound) {
  RealFrame = Game ? GameFrame : BareFrame;
  if (Game) {
    StartSound(TSettings{.Sound = Sound});
  }
  const bool Ran = Game ? RunMainLoop(StartUp, TimedFrame, ShutDown)
                        : RunMainLoop(NoStartUp, TimedFrame, NoShutDown);
  if (!Ran || FrameStarts.size() < 2) {
    std::fprintf(stderr, "no frames ran\n");
    return 1;
  }
  std::vector<double> Intervals;
  for (std::size_t i = 1; i < FrameStarts.size(); ++i) {
    Intervals.push_back(Millis(FrameStarts[i] - FrameStarts[i - 1]));
  }
  std::sort(Intervals.begin(), Intervals.end());
  const double Wall =
      std::chrono::duration<double>(FrameStarts.back() - FrameStarts.front()).count();
  rusage Usage{};
  getrusage(RUSAGE_SELF, &Usage);
  const double Cpu = Usage.ru_utime.tv_sec + Usage.ru_utime.tv_usec / 1e6 + Usage.ru_stime.tv_sec +
                     Usage.ru_stime.tv_usec / 1e6;
  const double Total = std::chrono::duration<double>(TClock::now() - ProcessStart).count();
  StopSound();
  // CPU per frame as well: on a busy machine the frame rate varies, the cost of a frame less.
  std::printf("%-12s %8.1f %10.2f %10.2f %8.1f %8.2f %12.1f %12.1f\n",
              Game ? (Sound ? "game, sound" : "game, muted") : "bare window",
              (FrameStarts.size() - 1) / Wall, Intervals[Intervals.size() / 2],
              Intervals[std::min(Intervals.size() - 1, Intervals.size() * 99 / 100)],
              100.0 * Cpu / Total, 1000.0 * Cpu / static_cast<double>(FrameStarts.size()),
              Millis(FirstFrameShown - ProcessStart), Usage.ru_maxrss / 1024.0);
  return 0;
}

// Hands a sound over at moments spread across the pulls' period, like frames that run on their
// own clock, and times each to the pull that takes it.
class TDelayProbe final : public TSoundSource {
public:
  void Pull(std::int16_t* Out, std::int32_t Frames, std::int32_t Rate) override {
    std::fill(Out, Out + 2 * Frames, std::int16_t{0});
    const auto Now = TClock::now().time_since_epoch().count();
    if (const auto Handed = Pending.exchange(0); Handed != 0) {
      Delays.push_back(Millis(TClock::duration(Now - Handed)) + 1000.0 * Frames / Rate);
    }
    BufferMs = 1000.0 * Frames / Rate;
  }
  void Lost(const std::string& Reason) override { std::fprintf(stderr, "%s\n", Reason.c_str()); }

  std::atomic<TClock::rep> Pending{0};
  std::vector<double> Delays; // written by the pulls only, read once they have stopped
  double BufferMs = 0;
};

int MeasureDelay() {
  TDelayProbe Probe;
  Platform().OpenSound(Probe, 48000);
  for (int i = 0; i < 300; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(11000 + 317 * (i % 7)));
    Probe.Pending.store(TClock::now().time_since_epoch().count());
  }
  Platform().CloseSound();
  if (Probe.Delays.size() < 100) {
    std::fprintf(stderr, "the sound output pulled too little\n");
    return 1;
  }
  std::sort(Probe.Delays.begin(), Probe.Delays.end());
  std::printf("sound delay: buffer %.1f ms; handed over to leaving the device: median %.1f ms, "
              "max %.1f ms\n",
              Probe.BufferMs, Probe.Delays[Probe.Delays.size() / 2], Probe.Delays.back());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  ProcessStart = TClock::now();
  InstallPlatform(&PlatformLayer());
  if (const char* Value = std::getenv("KELTO_BENCH_SECONDS")) {
    Seconds = std::atof(Value);
  }
  if (argc == 2 && std::strcmp(argv[1], "--muted") == 0) {
    return RunSubject(true, false);
  }
  if (argc == 2 && std::strcmp(argv[1], "--sound") == 0) {
    return RunSubject(true, true);
  }
  if (argc == 2 && std::strcmp(argv[1], "--bare") == 0) {
    return RunSubject(false, false);
  }
  // The game runs in a scratch folder holding its pictures, so no score file is disturbed.
  const std::filesystem::path Scratch =
      std::filesystem::temp_directory_path() / ("kelto-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(Scratch);
  for (const char* Folder : {"picture", "sound"}) {
    std::filesystem::create_directory_symlink(std::filesystem::path(KELTO_RUN_DIR) / Folder,
                                              Scratch / Folder);
  }
  const std::string Self = std::filesystem::canonical("/proc/self/exe");
  std::printf("%-12s %8s %10s %10s %8s %8s %12s %12s\n", "subject", "fps", "median ms", "p99 ms",
              "cpu %", "cpu ms", "start-up ms", "peak RSS MiB");
  int Status = 0;
  for (const char* Mode : {"--bare", "--muted", "--sound"}) {
    std::fflush(stdout);
    const pid_t Child = fork();
    if (Child == 0) {
      if (chdir(Scratch.c_str()) != 0) {
        _exit(1);
      }
      execl(Self.c_str(), Self.c_str(), Mode, static_cast<char*>(nullptr));
      _exit(127);
    }
    int ChildStatus = 0;
    waitpid(Child, &ChildStatus, 0);
    if (!WIFEXITED(ChildStatus) || WEXITSTATUS(ChildStatus) != 0) {
      Status = 1;
    }
  }
  std::filesystem::remove_all(Scratch);
  return MeasureDelay() != 0 ? 1 : Status;
}
