// Program entry: the application, the main window, the message loop.
#include <windows.h>

#include <exception>
#include <memory>

#include "core/error.h"
#include "settings/options.h"
#include "ui/main.h"
#include "wingui/app.h"
#include "wingui/shbffex.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ixo::TApplication app;
  app.SetTitle("Ixo");
  // The folder browser is owned by the taskbar window, which it disables
  // while it is open, so that no other window of the program can be used.
  ixo::TSHBrowseForFolderEx::SetApplicationWindow(app.Handle());

  std::unique_ptr<ixo::TForm1> form;
  ixo::TOptionRecord own;
  try {
    form = std::make_unique<ixo::TForm1>(ixo::ProgramFolder());
    form->Show();
    // The program's own reading of the settings, for the taskbar button.
    own = ixo::LoadOptions();
  } catch (...) {
    // Settings that exist but cannot be read (or no memory to start in):
    // said once, and the program ends without writing any settings over them.
    app.ShowException(std::current_exception());
    return 1;
  }
  if (own.Tray) ShowWindow(app.Handle(), SW_HIDE);
  if (form->WindowState() == ixo::TWindowState::Minimized) app.Minimize();
  app.Run();
  return 0;
}
