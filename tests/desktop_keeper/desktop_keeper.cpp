// Keeps Wine's virtual desktop up for a whole run of the Windows tests. Wine ends the desktop a
// moment after the last program that uses it has ended, and a program that starts in that
// moment is handed a desktop whose window is already gone: its first window fails with an X
// error and the program dies before it shows anything. A program with a window on the desktop
// for the whole run, a message-only one that nothing else sees, keeps it from ending between
// tests. It runs until it is killed.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"TessalineTestDesktopKeeper";
  RegisterClassW(&window_class);
  CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                  instance, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
