// Holds one file open with no sharing, as another program (a backup tool, an
// editor, a virus scanner) can, until its standard input closes. Prints
// "holding" once the file is held, so a script knows when the lock is on.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count != 2) {
        std::fputs("usage: file_holder <file>\n", stderr);
        return 2;
    }
    HANDLE file = CreateFileW(args[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LocalFree(args);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot hold the file: error %lu\n", GetLastError());
        return 1;
    }
    std::puts("holding");
    std::fflush(stdout);
    char buffer[64];
    DWORD read = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
    CloseHandle(file);
    return 0;
}
