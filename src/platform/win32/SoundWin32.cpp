// The sound output over waveOut (winmm, which the game links for its timer already). A thread of
// its own keeps a few short buffers queued at the device and refills each one the moment the
// device is done with it, whatever the game's frames do (dragging the window stops them). While
// sound is wanted without a device, the thread looks for one again once a second.
#include "Win32Platform.h"

#include <mmsystem.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace {

constexpr DWORD BufferFrames = 512; // about 11 ms at 48000 frames a second
constexpr std::size_t BufferCount = 3;
constexpr DWORD RetryMs = 1000;

struct TWaveOut {
  TWaveOut() { InitializeCriticalSection(&Lock); }

  TSoundSource* Source = nullptr; // set while the game wants sound
  DWORD Rate = 0;
  CRITICAL_SECTION Lock;
  HANDLE Thread = nullptr;
  HANDLE Wake = nullptr; // signalled by the device when a buffer is done, and to stop
  std::atomic<bool> Stopping{false};
  HWAVEOUT Device = nullptr;
  std::array<WAVEHDR, BufferCount> Headers{};
  std::array<std::vector<std::int16_t>, BufferCount> Buffers;
};
TWaveOut Out;

std::string WaveOutErrorText(MMRESULT Result) {
  char Text[MAXERRORLENGTH] = {};
  if (waveOutGetErrorTextA(Result, Text, sizeof Text) != MMSYSERR_NOERROR) {
    return "waveOut error " + std::to_string(Result);
  }
  return Text;
}

void CloseDevice() {
  if (Out.Device == nullptr) {
    return;
  }
  waveOutReset(Out.Device);
  for (WAVEHDR& Header : Out.Headers) {
    if ((Header.dwFlags & WHDR_PREPARED) != 0) {
      waveOutUnprepareHeader(Out.Device, &Header, sizeof Header);
    }
  }
  waveOutClose(Out.Device);
  Out.Device = nullptr;
}

// Mixes into a free buffer and queues it; false when the device refuses it.
bool Queue(std::size_t i, std::string& Reason) {
  WAVEHDR& Header = Out.Headers[i];
  EnterCriticalSection(&Out.Lock);
  Out.Source->Pull(Out.Buffers[i].data(), static_cast<std::int32_t>(BufferFrames),
                   static_cast<std::int32_t>(Out.Rate));
  LeaveCriticalSection(&Out.Lock);
  const MMRESULT Result = waveOutWrite(Out.Device, &Header, sizeof Header);
  if (Result != MMSYSERR_NOERROR) {
    Reason = WaveOutErrorText(Result);
    return false;
  }
  return true;
}

// Opens the default output and queues every buffer; false with the reason when it cannot.
bool OpenDevice(std::string& Reason) {
  WAVEFORMATEX Format{};
  Format.wFormatTag = WAVE_FORMAT_PCM;
  Format.nChannels = 2;
  Format.nSamplesPerSec = Out.Rate;
  Format.wBitsPerSample = 16;
  Format.nBlockAlign = 4;
  Format.nAvgBytesPerSec = Out.Rate * 4;
  MMRESULT Result = waveOutOpen(&Out.Device, WAVE_MAPPER, &Format,
                                reinterpret_cast<DWORD_PTR>(Out.Wake), 0, CALLBACK_EVENT);
  if (Result != MMSYSERR_NOERROR) {
    Out.Device = nullptr;
    Reason = WaveOutErrorText(Result);
    return false;
  }
  for (std::size_t i = 0; i < BufferCount; ++i) {
    Out.Buffers[i].assign(2 * BufferFrames, 0);
    Out.Headers[i] = WAVEHDR{};
    Out.Headers[i].lpData = reinterpret_cast<LPSTR>(Out.Buffers[i].data());
    Out.Headers[i].dwBufferLength = BufferFrames * 4;
    Result = waveOutPrepareHeader(Out.Device, &Out.Headers[i], sizeof(WAVEHDR));
    if (Result != MMSYSERR_NOERROR || !Queue(i, Reason)) {
      Reason = Result != MMSYSERR_NOERROR ? WaveOutErrorText(Result) : Reason;
      CloseDevice();
      return false;
    }
  }
  return true;
}

DWORD WINAPI Play(LPVOID) {
  std::string Reason;
  while (!Out.Stopping) {
    if (Out.Device == nullptr) {
      if (!OpenDevice(Reason)) {
        Out.Source->Lost(Reason);
        WaitForSingleObject(Out.Wake, RetryMs);
      }
      continue;
    }
    WaitForSingleObject(Out.Wake, INFINITE);
    for (std::size_t i = 0; i < BufferCount && Out.Device != nullptr; ++i) {
      if ((Out.Headers[i].dwFlags & WHDR_DONE) != 0 && !Queue(i, Reason)) {
        // The device went away (unplugged): given up, and looked for again.
        CloseDevice();
        Out.Source->Lost(Reason);
      }
    }
  }
  CloseDevice();
  return 0;
}

} // namespace

void TPlatformLayer::OpenSound(TSoundSource& Source, std::int32_t Rate) {
  if (Out.Source != nullptr) {
    return;
  }
  Out.Wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (Out.Wake == nullptr) {
    Source.Lost(SystemErrorText(GetLastError()));
    return;
  }
  Out.Source = &Source;
  Out.Rate = static_cast<DWORD>(Rate);
  Out.Stopping = false;
  Out.Thread = CreateThread(nullptr, 0, Play, nullptr, 0, nullptr);
  if (Out.Thread == nullptr) {
    Source.Lost(SystemErrorText(GetLastError()));
    CloseHandle(Out.Wake);
    Out.Wake = nullptr;
    Out.Source = nullptr;
  }
}

void TPlatformLayer::CloseSound() {
  if (Out.Source == nullptr) {
    return;
  }
  Out.Stopping = true;
  SetEvent(Out.Wake);
  WaitForSingleObject(Out.Thread, INFINITE);
  CloseHandle(Out.Thread);
  CloseHandle(Out.Wake);
  Out.Thread = Out.Wake = nullptr;
  Out.Source = nullptr;
}

void TPlatformLayer::LockSound() {
  if (Out.Source != nullptr) {
    EnterCriticalSection(&Out.Lock);
  }
}

void TPlatformLayer::UnlockSound() {
  if (Out.Source != nullptr) {
    LeaveCriticalSection(&Out.Lock);
  }
}
