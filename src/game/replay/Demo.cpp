#include "Demo.h"

#include "MyUnit.h"
#include "OGLWnd.h"
#include "game/model/Registry.h"
#include "game/shared/GameFlow.h"
#include "game/units/Units.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

std::string DemoSummary(std::int64_t Ticks, std::int32_t Score) {
  return "demo: " + std::to_string(Ticks) + " ticks, score " + std::to_string(Score);
}

TDemoRecorder::TDemoRecorder(std::string FileName) : FileName(std::move(FileName)) {}

TDemoRecorder::~TDemoRecorder() {
  // Reached only when the program ends without closing the demo (an error report ended it): what
  // was played is kept, and there is no one left to tell about a failure.
  if (File != nullptr) {
    std::fwrite(Pending.data(), 1, Pending.size(), File);
    std::fclose(File);
  }
}

void TDemoRecorder::Record(const TReplayInput& Input, std::uint32_t NowMs) {
  const bool First = StepCount == 0;
  ++StepCount;
  if (First) {
    errno = 0;
    File = std::fopen(FileName.c_str(), "wb");
    if (File == nullptr) {
      Fail();
      return;
    }
    // Each write goes out whole, so the file never ends in half a line.
    std::setvbuf(File, nullptr, _IONBF, 0);
    Pending = std::string(DemoHeader) + '\n';
  }
  if (File == nullptr) {
    return;
  }
  Pending += FormatReplayInput(Input);
  Pending += '\n';
  if (First || NowMs - LastFlushMs >= FlushIntervalMs) {
    Flush(NowMs);
  }
}

void TDemoRecorder::Flush(std::uint32_t NowMs) {
  LastFlushMs = NowMs;
  if (File != nullptr && !Pending.empty() && Write(Pending)) {
    Pending.clear();
  }
}

void TDemoRecorder::Close() {
  Flush(LastFlushMs);
  if (File != nullptr) {
    errno = 0;
    std::FILE* Closing = std::exchange(File, nullptr);
    if (std::fclose(Closing) != 0) {
      Fail();
    } else {
      Platform().OfferFile(FileName);
    }
  }
}

bool TDemoRecorder::Write(std::string_view Bytes) {
  errno = 0;
  if (std::fwrite(Bytes.data(), 1, Bytes.size(), File) != Bytes.size() || std::fflush(File) != 0) {
    Fail();
    return false;
  }
  return true;
}

void TDemoRecorder::Fail() {
  const int Error = errno != 0 ? errno : EIO;
  if (File != nullptr) {
    std::fclose(File);
    File = nullptr;
  }
  Pending.clear();
  ReportError("cannot write " + FileName + ": " + std::strerror(Error));
}

namespace {

// "# kelto demo " and a version number.
bool IsDemoHeader(std::string_view Line) {
  constexpr std::string_view Prefix = "# kelto demo ";
  if (!Line.starts_with(Prefix) || Line.size() == Prefix.size()) {
    return false;
  }
  for (const char c : Line.substr(Prefix.size())) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

} // namespace

bool ReadDemo(std::string_view Text, std::vector<TReplayInput>& Steps, std::string& Error) {
  std::vector<TReplayInput> Read;
  std::int64_t LineNumber = 0;
  while (!Text.empty()) {
    const std::size_t End = Text.find('\n');
    const std::string_view Line = Text.substr(0, End);
    Text.remove_prefix(End == std::string_view::npos ? Text.size() : End + 1);
    ++LineNumber;
    // A demo of another version of the format is refused rather than misread. The line itself
    // goes to the replay format as it stands, which drops a carriage return of its own.
    const std::string_view Header = Line.ends_with('\r') ? Line.substr(0, Line.size() - 1) : Line;
    if (LineNumber == 1 && IsDemoHeader(Header) && Header != DemoHeader) {
      Error = "line 1: not a demo this build plays ('" + std::string(DemoHeader) + "')";
      return false;
    }
    TReplayInput Input;
    std::string Reason;
    const TReplayLine Kind = ParseReplayLine(Line, Input, Reason);
    if (Kind == TReplayLine::Bad) {
      Error = "line " + std::to_string(LineNumber) + ": " + Reason;
      return false;
    }
    if (Kind == TReplayLine::Tick) {
      Read.push_back(Input);
    }
  }
  Steps = std::move(Read);
  return true;
}

namespace {

// Where the demo of this run stands. A recording waits for its game, records it and is finished
// when the game ends, another one starts or the program ends. A playback waits for the game the
// menu starts, feeds it the demo's lines, and when they run out before the game ends holds the
// last frame until Esc; after that the game goes on under the player's own input.
enum class TPhase { Waiting, Running, Held, Released, Finished };

struct TDemoRun {
  std::unique_ptr<TDemoRecorder> Recorder;
  bool Playing = false;
  TPhase Phase = TPhase::Waiting;
  std::vector<TReplayInput> Steps;
  std::size_t Next = 0;
  TReplayInput Live; // the player's own input, put aside while a step reads the demo's
  std::int32_t RecordedScore = 0;
  // A trap's lightning moves on as it is drawn: each held frame puts it back where it was before
  // the last frame, so every draw shows that very frame again.
  std::vector<std::pair<TTrap*, float>> HeldFrames;
};
TDemoRun Run;

std::uint32_t Now() {
  return Platform().MessagePump().TickCount();
}

// Standard output, at once: whoever watches it may compare while the window is still open.
void PrintSummary(std::int64_t Ticks, std::int32_t Score) {
  std::fputs((DemoSummary(Ticks, Score) + '\n').c_str(), stdout);
  std::fflush(stdout);
}

void FinishRecording() {
  Run.Recorder->Close();
  Run.Phase = TPhase::Finished;
  PrintSummary(Run.Recorder->Ticks(), Run.RecordedScore);
}

bool BeforeRecordedStep(bool FirstStep) {
  if (FirstStep && Run.Phase == TPhase::Running) {
    FinishRecording();
  } else if (FirstStep && Run.Phase == TPhase::Waiting) {
    Run.Phase = TPhase::Running;
  }
  if (Run.Phase == TPhase::Running) {
    Run.Recorder->Record(CaptureReplayInput(), Now());
  }
  return true;
}

void AfterRecordedStep() {
  if (Run.Phase != TPhase::Running) {
    return;
  }
  Run.RecordedScore = Score;
  if (GameOver) {
    FinishRecording();
  } else if (CurrentScene != GameScene) {
    // Off to the menu, maybe for long: nothing played so far waits in memory meanwhile.
    Run.Recorder->Flush(Now());
  }
}

// Called before the draw of the demo's last frame.
void HoldLastFrame() {
  PrintSummary(static_cast<std::int64_t>(Run.Next), Score);
  Run.Phase = TPhase::Held;
  for (TUnit* Unit : Units) {
    if (auto* Trap = dynamic_cast<TTrap*>(Unit)) {
      Run.HeldFrames.emplace_back(Trap, Trap->Frame);
    }
  }
}

bool BeforePlayedStep(bool FirstStep) {
  if (FirstStep) {
    if (Run.Phase != TPhase::Waiting) {
      Run.Phase = TPhase::Finished; // a game of the player's own
    } else if (Run.Steps.empty()) {
      HoldLastFrame();
    } else {
      Run.Phase = TPhase::Running;
    }
  }
  if (Run.Phase == TPhase::Running) {
    Run.Live = CaptureReplayInput();
    ApplyReplayInput(Run.Steps[Run.Next++]);
    return true;
  }
  if (Run.Phase == TPhase::Held) {
    for (const auto& [Trap, Frame] : Run.HeldFrames) {
      Trap->Frame = Frame;
    }
    // Esc leaves for the menu, as it does in a game.
    if (Keys[VK_ESCAPE]) {
      Keys[VK_ESCAPE] = false;
      CurrentScene = MenuScene;
      Run.Phase = TPhase::Released;
      Run.HeldFrames.clear();
    }
    return false;
  }
  return true;
}

void AfterPlayedStep() {
  if (Run.Phase != TPhase::Running && Run.Phase != TPhase::Released) {
    return;
  }
  // A played-back game never enters the score file, not even when the player finishes it.
  SaveScores = false;
  if (Run.Phase == TPhase::Released) {
    Run.Phase = GameOver ? TPhase::Finished : TPhase::Released;
    return;
  }
  ApplyReplayInput(Run.Live);
  // The recording's visits to the menu were no world steps: the demo's Esc is played as a
  // step and nothing more.
  if (CurrentScene == MenuScene) {
    CurrentScene = GameScene;
  }
  if (GameOver) {
    PrintSummary(static_cast<std::int64_t>(Run.Next), Score);
    Run.Phase = TPhase::Finished;
  } else if (Run.Next == Run.Steps.size()) {
    HoldLastFrame();
  }
}

} // namespace

void RecordDemo(const std::string& FileName) {
  Run = TDemoRun{};
  Run.Recorder = std::make_unique<TDemoRecorder>(FileName);
}

bool PlayDemo(const std::string& FileName, std::string& Error) {
  // A FIFO or a device is refused rather than read: it could block or never end.
  std::FILE* File = OpenRegularFile(FileName, Error);
  if (File == nullptr) {
    Error = "cannot read " + FileName + ": " + Error;
    return false;
  }
  std::string Text;
  errno = 0;
  char Buffer[1 << 16];
  std::size_t Got = 0;
  while ((Got = std::fread(Buffer, 1, sizeof Buffer, File)) > 0) {
    Text.append(Buffer, Got);
  }
  const int ReadError = std::ferror(File) != 0 ? (errno != 0 ? errno : EIO) : 0;
  std::fclose(File);
  if (ReadError != 0) {
    Error = "cannot read " + FileName + ": " + std::strerror(ReadError);
    return false;
  }
  Run = TDemoRun{};
  Run.Playing = true;
  return ReadDemo(Text, Run.Steps, Error);
}

bool BeforeDemoStep(bool FirstStep) {
  if (Run.Recorder != nullptr) {
    return BeforeRecordedStep(FirstStep);
  }
  return Run.Playing ? BeforePlayedStep(FirstStep) : true;
}

void AfterDemoStep() {
  if (Run.Recorder != nullptr) {
    AfterRecordedStep();
  } else if (Run.Playing) {
    AfterPlayedStep();
  }
}

bool DemoWaitsForGame() {
  return Run.Playing && Run.Phase == TPhase::Waiting;
}

void EndDemo() {
  if (Run.Recorder != nullptr && Run.Phase == TPhase::Running) {
    FinishRecording();
  }
}
