// The window procedure's message table and the SDL-to-message translation in front of it.
#include "OGLWnd.h"
#include "platform/sdl/SdlMessages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int ShutdownCalls;
void CountShutdown() {
  ++ShutdownCalls;
}

int KeysDown() {
  return static_cast<int>(std::count(std::begin(Keys), std::end(Keys), true));
}

SDL_Event KeyEvent(Uint32 Type, SDL_Keycode Key, Uint16 Modifiers = KMOD_NONE) {
  SDL_Event Event{};
  Event.type = Type;
  Event.key.keysym.sym = Key;
  Event.key.keysym.mod = Modifiers;
  return Event;
}

SDL_Event WindowEvent(Uint8 Kind, int Data1 = 0, int Data2 = 0) {
  SDL_Event Event{};
  Event.type = SDL_WINDOWEVENT;
  Event.window.event = Kind;
  Event.window.data1 = Data1;
  Event.window.data2 = Data2;
  return Event;
}

MSG Translate(const SDL_Event& Event) {
  MSG Message{};
  EXPECT_TRUE(TranslateSdlEvent(Event, nullptr, Message));
  return Message;
}

} // namespace

TEST(WindowProc, InputStateFollowsMessages) {
  ResetWindowState();
  EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, 'W', 0), 0);
  WindowProc(nullptr, WM_KEYDOWN, 'W', 0); // auto-repeat: still down
  WindowProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  WindowProc(nullptr, WM_KEYUP, 'W', 0);
  EXPECT_TRUE(Keys[27]);
  EXPECT_EQ(KeysDown(), 1);

  // Mouse words are zero-extended: a pointer above and left of the window is a large number.
  WindowProc(nullptr, WM_MOUSEMOVE, 0, MakeLParam(-3, 599));
  EXPECT_EQ(MouseX, 65533);
  EXPECT_EQ(MouseY, 599);
  WindowProc(nullptr, WM_LBUTTONDOWN, 0, MakeLParam(5, 5));
  WindowProc(nullptr, WM_RBUTTONDOWN, 0, 0);
  EXPECT_TRUE(MouseLeft && MouseRight);
  EXPECT_EQ(MouseX, 65533) << "a button message does not move the pointer";
  WindowProc(nullptr, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(!MouseLeft && MouseRight);

  // System keys, double clicks and anything else go to the default handling.
  for (UINT Message : {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDBLCLK, 0x0400u}) {
    WindowProc(nullptr, Message, 'A', MakeLParam(7, 9));
  }
  EXPECT_FALSE(Keys['A']);
  EXPECT_FALSE(MouseLeft);

  for (WPARAM Value : {1u, 0u, 2u, 3u}) {
    WindowProc(nullptr, WM_ACTIVATEAPP, Value, 0);
    EXPECT_EQ(IsAppActive(), Value == 1 || Value == 2) << Value;
  }
}

TEST(WindowProc, DestroyRunsShutdownAndCloseAsksToQuit) {
  ShutdownCalls = 0;
  OnShutdown = CountShutdown;
  WindowProc(nullptr, WM_DESTROY, 0, 0);
  EXPECT_EQ(ShutdownCalls, 1);
  OnShutdown = nullptr;

  // Closing destroys nothing: it posts the quit message that ends the loop, once.
  WindowProc(nullptr, WM_CLOSE, 0, 0);
  MSG Message{};
  ASSERT_TRUE(PlatformMessagePump().Peek(Message));
  EXPECT_EQ(Message.message, WM_QUIT);
  EXPECT_FALSE(PlatformMessagePump().Peek(Message));
}

TEST(SdlTranslation, KeysGetTheirVirtualKeyCodesAndAltMakesSystemKeys) {
  const std::pair<SDL_Keycode, int> Cases[] = {
      {SDLK_w, 'W'},     {SDLK_z, 'Z'},    {SDLK_0, '0'},   {SDLK_9, '9'},       {SDLK_ESCAPE, 27},
      {SDLK_RETURN, 13}, {SDLK_SPACE, 32}, {SDLK_TAB, 9},   {SDLK_BACKSPACE, 8}, {SDLK_LEFT, 37},
      {SDLK_DOWN, 40},   {SDLK_F1, 112},   {SDLK_F12, 123}, {SDLK_LSHIFT, 16},   {SDLK_RCTRL, 17},
  };
  for (const auto& [Key, Code] : Cases) {
    const MSG Down = Translate(KeyEvent(SDL_KEYDOWN, Key));
    EXPECT_EQ(Down.message, WM_KEYDOWN) << Code;
    EXPECT_EQ(Down.wParam, static_cast<WPARAM>(Code));
    EXPECT_EQ(Translate(KeyEvent(SDL_KEYUP, Key)).message, WM_KEYUP) << Code;
  }
  MSG Ignored{};
  EXPECT_FALSE(TranslateSdlEvent(KeyEvent(SDL_KEYDOWN, SDLK_CAPSLOCK), nullptr, Ignored));

  for (const SDL_Event& Event :
       {KeyEvent(SDL_KEYDOWN, SDLK_LALT), KeyEvent(SDL_KEYDOWN, SDLK_F10),
        KeyEvent(SDL_KEYDOWN, SDLK_w, KMOD_LALT), KeyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_RALT)}) {
    EXPECT_EQ(Translate(Event).message, WM_SYSKEYDOWN);
  }
  EXPECT_EQ(Translate(KeyEvent(SDL_KEYUP, SDLK_LALT)).message, WM_SYSKEYUP);
}

TEST(SdlTranslation, MouseAndWindowEvents) {
  SDL_Event Motion{};
  Motion.type = SDL_MOUSEMOTION;
  Motion.motion.x = -2;
  Motion.motion.y = 599;
  MSG Message = Translate(Motion);
  EXPECT_EQ(Message.message, WM_MOUSEMOVE);
  EXPECT_EQ(Message.lParam, (599 << 16) | 65534);

  SDL_Event Press{};
  Press.type = SDL_MOUSEBUTTONDOWN;
  Press.button.button = SDL_BUTTON_RIGHT;
  EXPECT_EQ(Translate(Press).message, WM_RBUTTONDOWN);
  Press.type = SDL_MOUSEBUTTONUP;
  Press.button.button = SDL_BUTTON_LEFT;
  EXPECT_EQ(Translate(Press).message, WM_LBUTTONUP);
  Press.button.button = SDL_BUTTON_MIDDLE;
  EXPECT_FALSE(TranslateSdlEvent(Press, nullptr, Message));

  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)).wParam, 1u);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)).wParam, 0u);
  Message = Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700));
  EXPECT_EQ(Message.message, WM_SIZE);
  EXPECT_EQ(Message.lParam, (700 << 16) | 1024);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_MINIMIZED)).lParam, 0);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_CLOSE)).message, WM_CLOSE);
  SDL_Event Quit{};
  Quit.type = SDL_QUIT;
  EXPECT_EQ(Translate(Quit).message, WM_QUIT);
}
