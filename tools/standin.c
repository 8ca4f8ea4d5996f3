// Stands in for a product program on the sample media, so that the shortcuts
// the installers create open something that says what it is.
#include <windows.h>
#include <strsafe.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)show;
    // A screen saver is asked for a preview (/p) and settings (/c) unprompted.
    if (strstr(commandLine, "/p") || strstr(commandLine, "/P"))
        return 0;
    char path[MAX_PATH] = "";
    char text[MAX_PATH + 100];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    StringCchPrintfA(text, sizeof text, "This sample program stands in for\n%s.", path);
    MessageBoxA(NULL, text, "Sample product", MB_OK | MB_ICONINFORMATION);
    return 0;
}
