#include <windows.h>

#include <cwchar>
#include <string>

#include "app/win32/common_controls.h"
#include "app/win32/main_window.h"
#include "platform/win32/com_resources.h"
#include "platform/win32/message_pump.h"
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

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR command_line,
                    int show_command) {
  if (command_line != nullptr && std::wcscmp(command_line, kPrintSaveFolder) == 0) {
    const trawlbox::platform::Win32ProgramLocation location;
    return WriteToStdout(trawlbox::save::StartUpSaveFolder(location) + "\n") ? 0 : 1;
  }

  trawlbox::app::win32::StartCommonControls();
  // The folder dialog is a shell object, which wants the thread in a single-threaded apartment.
  const trawlbox::platform::ComApartment apartment;

  trawlbox::app::win32::MainWindow window;
  if (window.Handle() == nullptr) return 1;
  window.Show(show_command);
  return trawlbox::platform::MessagePump(window.Handle()).RunUntilQuit();
}
