// Windows process and file services (module lookup, directory walks), Windows-style path translation, and the
// Windows types and host signatures that differ between the host's Windows and Linux interfaces.
#ifndef PORTABLE_H
#define PORTABLE_H

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32

#include <windows.h>

// Windows opens Windows paths as they are.
inline bool TranslatePath(const char* winPath, char* out, size_t outSize) {
    if (!winPath || !out || outSize == 0) return false;
    size_t n = strlen(winPath);
    if (n >= outSize) {
        out[0] = '\0';
        return false;
    }
    memcpy(out, winPath, n + 1);
    return true;
}

inline FILE* PortableOpen(const char* winPath, const char* mode) {
    return fopen(winPath, mode);
}

#else

#include <stdint.h>

// The Win32 types module code is written in, with the sizes they have on Windows. The host's Linux interface
// defines none of them; its headers make UINT a macro, so UINT is left to them.
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef void* HINSTANCE;
typedef void* HANDLE;
typedef void* HMODULE;
// A pointer to a function of no arguments, which converts to any other function pointer without a warning.
typedef void (*FARPROC)(void);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define MAX_PATH 260
#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// "X.dll" (any directory, any case) is the module loaded as "libX.so" (the host's plugin name on Linux) or
// "X.so"; NULL is the program itself. The handle
// holds no reference, as on Windows: it stays valid while the module stays loaded.
HMODULE GetModuleHandleA(const char* lpModuleName);
// Also accepts the load address of a module, as Windows module handles are.
FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName);
// The name part of the pattern may hold '*' and '?', matched without regard to case; entries come in name
// order, without "." and "..". INVALID_HANDLE_VALUE when nothing matches.
HANDLE FindFirstFileA(const char* lpFileName, WIN32_FIND_DATAA* lpFindFileData);
BOOL FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Backslashes become slashes and each existing path component takes the spelling it has on disk, found
// without regard to case; components that do not exist keep theirs. False (and an empty out) when the result
// does not fit.
bool TranslatePath(const char* winPath, char* out, size_t outSize);
// fopen of the translated path; mode may carry Windows' text-mode letter 't'.
FILE* PortableOpen(const char* winPath, const char* mode);

#endif

// Where the host's Windows and Linux interfaces give one callback two signatures, module code writes these.
#ifdef _WIN32
typedef DWORD BufferedKeyCode;     // the key of clbkConsumeBufferedKey
typedef char* InputBoxText;        // the text an input box hands its callback
typedef char* HostDateText;        // the build date Date2Int reads
#else
typedef int BufferedKeyCode;
typedef const char* InputBoxText;
typedef const char* HostDateText;
#endif

// The host's own exports that no interface header declares: the module's load hook calls them.
void InitLib(HINSTANCE hModule); // registers and starts a module that has just been loaded
int Date2Int(HostDateText date); // a build date "Mmm dd yyyy" as yymmdd

#endif // PORTABLE_H
