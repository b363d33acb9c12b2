// The SDL layer's translation of events into the window procedure's messages.
#include "platform/sdl/SdlMessages.h"

#include <gtest/gtest.h>

namespace {

SDL_Event KeyEvent(Uint32 Type, SDL_Keycode Key, Uint16 Modifiers = KMOD_NONE) {
  SDL_Event Event{Type};
  Event.key.keysym = {SDL_SCANCODE_UNKNOWN, Key, Modifiers, 0};
  return Event;
}

SDL_Event WindowEvent(Uint8 Kind, int Data1 = 0, int Data2 = 0) {
  SDL_Event Event{};
  Event.window = {SDL_WINDOWEVENT, 0, 0, Kind, 0, 0, 0, Data1, Data2};
  return Event;
}

TMessage Translate(const SDL_Event& Event) {
  TMessage Message{};
  EXPECT_TRUE(TranslateSdlEvent(Event, nullptr, Message));
  return Message;
}

} // namespace

TEST(SdlTranslation, KeysGetTheirVirtualKeyCodesAndAltMakesSystemKeys) {
  const std::pair<SDL_Keycode, int> Cases[] = {
      {SDLK_w, 'W'},     {SDLK_z, 'Z'},   {SDLK_0, '0'},   {SDLK_9, '9'},  {SDLK_ESCAPE, 27},
      {SDLK_RETURN, 13}, {SDLK_LEFT, 37}, {SDLK_DOWN, 40}, {SDLK_F1, 112}, {SDLK_F12, 123},
  };
  for (const auto& [Key, Code] : Cases) {
    const TMessage Down = Translate(KeyEvent(SDL_KEYDOWN, Key));
    EXPECT_EQ(Down.Code, WM_KEYDOWN) << Code;
    EXPECT_EQ(Down.wParam, static_cast<TWParam>(Code));
    EXPECT_EQ(Translate(KeyEvent(SDL_KEYUP, Key)).Code, WM_KEYUP) << Code;
  }
  TMessage Ignored{};
  EXPECT_FALSE(TranslateSdlEvent(KeyEvent(SDL_KEYDOWN, SDLK_CAPSLOCK), nullptr, Ignored));
  // AZERTY: "&" on the place of 1 is a digit, "," on the place of M stays punctuation.
  EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_1, '&', KMOD_NONE, 0}), '1');
  EXPECT_EQ(VirtualKeyOf({SDL_SCANCODE_M, ',', KMOD_NONE, 0}), 0);

  for (const SDL_Event& Event :
       {KeyEvent(SDL_KEYDOWN, SDLK_LALT), KeyEvent(SDL_KEYDOWN, SDLK_F10),
        KeyEvent(SDL_KEYDOWN, SDLK_w, KMOD_LALT), KeyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_RALT)}) {
    EXPECT_EQ(Translate(Event).Code, WM_SYSKEYDOWN);
  }
  EXPECT_EQ(Translate(KeyEvent(SDL_KEYUP, SDLK_LALT)).Code, WM_SYSKEYUP);
  // F11, and either Enter with either Alt, switch fullscreen, down and up; nothing else does.
  for (const auto& [Event, Switch] : {std::pair{KeyEvent(SDL_KEYUP, SDLK_F11), true},
                                      {KeyEvent(SDL_KEYDOWN, SDLK_F12), false},
                                      {KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_RALT), true},
                                      {KeyEvent(SDL_KEYUP, SDLK_RETURN), false},
                                      {KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_LALT), true}}) {
    EXPECT_EQ(IsFullscreenSwitch(Event), Switch) << Event.key.keysym.sym;
  }
}

TEST(SdlTranslation, MouseAndWindowEvents) {
  SDL_Event Motion{}, Press{}, Quit{SDL_QUIT};
  Motion.motion = {SDL_MOUSEMOTION, 0, 0, 0, 0, -2, 599, 0, 0};
  TMessage Message = Translate(Motion);
  EXPECT_EQ(Message.Code, WM_MOUSEMOVE);
  EXPECT_EQ(Message.lParam, (599 << 16) | 65534);

  Press.type = SDL_MOUSEBUTTONDOWN;
  Press.button.button = SDL_BUTTON_RIGHT;
  EXPECT_EQ(Translate(Press).Code, WM_RBUTTONDOWN);
  Press.type = SDL_MOUSEBUTTONUP;
  Press.button.button = SDL_BUTTON_LEFT;
  EXPECT_EQ(Translate(Press).Code, WM_LBUTTONUP);
  Press.button.button = SDL_BUTTON_MIDDLE;
  EXPECT_FALSE(TranslateSdlEvent(Press, nullptr, Message));

  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)).wParam, 1u);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST)).wParam, 0u);
  Message = Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700));
  EXPECT_EQ(Message.Code, WM_SIZE);
  EXPECT_EQ(Message.lParam, (700 << 16) | 1024);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_MINIMIZED)).lParam, 0);
  SDL_Event Restored = WindowEvent(SDL_WINDOWEVENT_RESTORED); // the fixture's 800 x 600 window
  Restored.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
  EXPECT_EQ(Translate(Restored).lParam, (600 << 16) | 800);
  EXPECT_EQ(Translate(WindowEvent(SDL_WINDOWEVENT_CLOSE)).Code, WM_CLOSE);
  EXPECT_EQ(Translate(Quit).Code, WM_QUIT);
}
