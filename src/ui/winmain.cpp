// Program entry. The main window arrives with the user-interface layer; until
// then the program starts and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
