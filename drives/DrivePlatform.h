// The four system calls the drive catalogue makes, plus the release of the
// icons they hand out, behind one small interface so that tests can script
// the machine's drives. The default implementation calls Win32.
//
// Every call but the root list is made on a thread of the drive engine,
// several drives side by side, so an implementation must allow calls from
// several threads at once.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <memory>

class DrivePlatform {
public:
    virtual ~DrivePlatform() = default;

    // GetLogicalDriveStringsA: the drive roots ("C:\") as consecutive
    // NUL-terminated strings ending with an empty one. Returns the length
    // written without the final NUL, 0 on failure, or the size needed when
    // `length` is too small (the buffer is then not filled).
    virtual DWORD LogicalDriveStrings(DWORD length, char* buffer);
    // SHGetFileInfoW: icon, display name and type name of a drive root, the
    // icon made for `iconSize` pixels (the system's large icon up to its
    // size, else the nearest larger one of the system image lists). A
    // failure leaves `sfi` as it was; an icon that could not be copied
    // whole is null. The caller is in a single-threaded COM apartment, as
    // the shell asks of its callers.
    // The names come in UTF-16, so a label in any script arrives whole.
    virtual void ShellFileInfo(const char* root, SHFILEINFOW* sfi, int iconSize);
    // The three byte counts of the drive with this root ("C:\", with its
    // backslash: "C:" alone names the current directory on that drive).
    // Writes them only on success.
    virtual BOOL DiskFreeSpace(const char* root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                               uint64_t* totalFreeBytes);
    // GetDriveTypeA on a drive root ("C:\").
    virtual UINT DriveType(const char* root);
    // GetVolumeInformationW's file-system name ("NTFS") of a drive root into
    // `name` (`size` characters); writes it only on success.
    virtual BOOL FileSystemName(const char* root, WCHAR* name, DWORD size);
    // Releases an icon handed out by ShellFileInfo; null is ignored.
    virtual void ReleaseIcon(HICON icon);
};

// The platform's real drive calls. Shared: a worker still asking a slow
// drive when the program ends keeps it alive.
std::shared_ptr<DrivePlatform> Win32DrivePlatform();

// Makes the shell's first-use set-up on the calling thread, which is in an
// apartment, or waits for the thread that makes it. Every thread's first
// shell call comes after it; the drive engine's first job makes it.
void WaitForShellSetUp();

// True when `icon` is null or both its mask and its colour bitmaps are all
// zero: what a copy that failed half-way gives (a black square).
bool IsBlankIcon(HICON icon);
