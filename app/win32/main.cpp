#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "app/win32/main_window.h"
#include "platform/win32/com_resources.h"
#include "platform/win32/win32_program_location.h"
#include "save/save_folder.h"

namespace {

constexpr const wchar_t* kPrintSaveFolder = L"--print-save-folder";

// The program has no console of its own: the text goes to the output it was given, or else to the
// console of whoever started it. False when neither takes it.
bool WriteToStdout(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                      nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
  }
  DWORD written = 0;
  return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
         written == text.size();
}

// Tab, Shift+Tab and the mnemonics walk the main window's controls, as in a dialog.
int RunMessageLoop(HWND window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window != nullptr && IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR command_line,
                    int show_command) {
  if (command_line != nullptr && std::wcscmp(command_line, kPrintSaveFolder) == 0) {
    const trawlbox::platform::Win32ProgramLocation location;
    return WriteToStdout(trawlbox::save::StartUpSaveFolder(location) + "\n") ? 0 : 1;
  }

  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  // The folder dialog is a shell object, which wants the thread in a single-threaded apartment.
  const trawlbox::platform::ComApartment apartment;

  trawlbox::app::win32::MainWindow window;
  if (window.Handle() == nullptr) return 1;
  window.Show(show_command);
  return RunMessageLoop(window.Handle());
}
