#include "SdlMessages.h"

int VirtualKeyOf(const SDL_Keysym& KeySym) {
  // As on Windows: a key gives the layout's Latin letter or digit where it has one. The digit row
  // is read as digits on every layout (AZERTY writes symbols there), and a key that writes another
  // script (Cyrillic, Greek) gives the letter of its place on a US keyboard, so W A S D stay under
  // the same fingers. A Latin layout's punctuation on a letter's place stays punctuation.
  const SDL_Keycode Key = KeySym.sym;
  const SDL_Scancode Place = KeySym.scancode;
  if (Key >= SDLK_a && Key <= SDLK_z) {
    return 'A' + (Key - SDLK_a);
  }
  if (Key >= SDLK_0 && Key <= SDLK_9) {
    return '0' + (Key - SDLK_0);
  }
  if (Place >= SDL_SCANCODE_1 && Place <= SDL_SCANCODE_0) {
    return Place == SDL_SCANCODE_0 ? '0' : '1' + (Place - SDL_SCANCODE_1);
  }
  // Keycodes below 0x80 are ASCII characters; every other script's letters lie above.
  if (Key >= 0x80 && Place >= SDL_SCANCODE_A && Place <= SDL_SCANCODE_Z) {
    return 'A' + (Place - SDL_SCANCODE_A);
  }
  if (Key >= SDLK_F1 && Key <= SDLK_F12) {
    return VK_F1 + (Key - SDLK_F1);
  }
  switch (Key) {
  case SDLK_ESCAPE:
    return VK_ESCAPE;
  case SDLK_RETURN:
  case SDLK_KP_ENTER:
    return VK_RETURN;
  case SDLK_SPACE:
    return VK_SPACE;
  case SDLK_TAB:
    return VK_TAB;
  case SDLK_BACKSPACE:
    return VK_BACK;
  case SDLK_LEFT:
    return VK_LEFT;
  case SDLK_UP:
    return VK_UP;
  case SDLK_RIGHT:
    return VK_RIGHT;
  case SDLK_DOWN:
    return VK_DOWN;
  case SDLK_LSHIFT:
  case SDLK_RSHIFT:
    return VK_SHIFT;
  case SDLK_LCTRL:
  case SDLK_RCTRL:
    return VK_CONTROL;
  case SDLK_LALT:
  case SDLK_RALT:
    return VK_MENU;
  default:
    return 0;
  }
}

bool IsFullscreenSwitch(const SDL_Event& Event) {
  if (Event.type != SDL_KEYDOWN && Event.type != SDL_KEYUP) {
    return false;
  }
  const SDL_Keycode Key = Event.key.keysym.sym;
  const bool Enter = Key == SDLK_RETURN || Key == SDLK_KP_ENTER;
  return Key == SDLK_F11 || (Enter && (Event.key.keysym.mod & KMOD_ALT) != 0);
}

bool TranslateSdlEvent(const SDL_Event& Event, TWindowHandle Window, TMessage& Message) {
  Message = TMessage{Window, 0, 0, 0};
  switch (Event.type) {
  case SDL_KEYDOWN:
  case SDL_KEYUP: {
    const int Code = VirtualKeyOf(Event.key.keysym);
    if (Code == 0) {
      return false;
    }
    const bool Down = Event.type == SDL_KEYDOWN;
    // Alt, F10 and anything pressed with Alt are system keys, as Windows reports them.
    const bool System = Code == VK_MENU || Code == VK_F10 || (Event.key.keysym.mod & KMOD_ALT) != 0;
    if (System) {
      Message.Code = Down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    } else {
      Message.Code = Down ? WM_KEYDOWN : WM_KEYUP;
    }
    Message.wParam = static_cast<TWParam>(Code);
    return true;
  }
  case SDL_MOUSEMOTION:
    Message.Code = WM_MOUSEMOVE;
    Message.lParam = MakeLParam(Event.motion.x, Event.motion.y);
    return true;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: {
    const bool Down = Event.type == SDL_MOUSEBUTTONDOWN;
    if (Event.button.button == SDL_BUTTON_LEFT) {
      Message.Code = Down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    } else if (Event.button.button == SDL_BUTTON_RIGHT) {
      Message.Code = Down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    } else {
      return false;
    }
    Message.lParam = MakeLParam(Event.button.x, Event.button.y);
    return true;
  }
  case SDL_QUIT:
    Message.Code = WM_QUIT;
    return true;
  case SDL_WINDOWEVENT:
    switch (Event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Message.Code = WM_ACTIVATEAPP;
      Message.wParam = 1;
      return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      Message.Code = WM_ACTIVATEAPP;
      Message.wParam = 0;
      return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Message.Code = WM_SIZE;
      Message.lParam = MakeLParam(Event.window.data1, Event.window.data2);
      return true;
    case SDL_WINDOWEVENT_MINIMIZED:
      Message.Code = WM_SIZE;
      Message.lParam = 0;
      return true;
    case SDL_WINDOWEVENT_RESTORED: {
      int Width = 0;
      int Height = 0;
      SDL_GetWindowSize(SDL_GetWindowFromID(Event.window.windowID), &Width, &Height);
      Message.Code = WM_SIZE;
      Message.lParam = MakeLParam(Width, Height);
      return true;
    }
    case SDL_WINDOWEVENT_CLOSE:
      Message.Code = WM_CLOSE;
      return true;
    default:
      return false;
    }
  default:
    return false;
  }
}
