// Creates each file named on its command line and says which it could; tests/host_untouched then
// looks for them on the host. Fails when it was not started with its current directory on a drive.
#include <windows.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    char dir[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    bool onDrive = n >= 3 && n < sizeof dir && dir[1] == ':' && dir[2] == '\\';
    printf("current directory: %s\n", n && n < sizeof dir ? dir : "?");
    for (int i = 1; i < argc; i++) {
        HANDLE h = CreateFileA(argv[i], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        printf("%s: %s\n", argv[i], h == INVALID_HANDLE_VALUE ? "refused" : "created");
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    return onDrive ? 0 : 1;
}
