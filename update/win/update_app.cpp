// UpDate.exe: started by the client as "<folder>\UpDate.exe" VERSION, it
// shows the updater's dialog and ends when the dialog closes.
#include <windows.h>

#include <commctrl.h>

#include "platform/win/wide_text.h"
#include "update/win/update_app.h"
#include "update/win/update_dialog.h"

namespace update {

BOOL CUpDateApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CUpDateDlg dialog(platform::WideToGbk(GetCommandLineW()));
    dialog.DoModal();
    // The program ends with the dialog.
    return FALSE;
}

}  // namespace update

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    update::CUpDateApp app;
    app.InitInstance();
    return 0;
}
