// Shortcut files made with the shell's own link object, as a setup program
// makes them.
#pragma once

#include <windows.h>

#include <string>

// Saves a shortcut to `target` at `linkPath` (in the ANSI code page); without
// `workingDirectory` the link names none. The component object library must
// be initialised on this thread. False when it could not be saved.
bool SaveShortcut(const std::string& linkPath, const std::string& target,
                  const char* workingDirectory);
// The same in UTF-16, for names outside the ANSI code page.
bool SaveShortcut(const std::wstring& linkPath, const std::wstring& target,
                  const wchar_t* workingDirectory);

// The descriptor an advertised shortcut of Windows Installer holds: the
// product's code, the feature, '>' and the component's code, each code
// compressed to 20 characters (four little-endian 32-bit words of the GUID,
// each as five base-85 digits, lowest first).
std::wstring InstallerDescriptor(const GUID& product, const wchar_t* feature,
                                 const GUID& component);

// Writes an advertised shortcut at `linkPath` byte by byte, from the shell
// link format ([MS-SHLLINK]): no target, a Darwin data block holding
// `descriptor`, and `workingDirectory` unless it is empty. (The shell's link
// object cannot make one, under Wine.) False when it could not be written.
bool SaveAdvertisedShortcut(const std::wstring& linkPath, const std::wstring& descriptor,
                            const std::wstring& workingDirectory);

// Writes a shortcut at `linkPath` that names `target` by the shell's item list
// alone, as the shell links any item, with `workingDirectory` unless it is
// empty. Wine's link object keeps a target's path only in the ANSI code page
// when it saves one, so a name outside it needs this form there. False when
// it could not be written.
bool SaveItemListShortcut(const std::wstring& linkPath, const std::wstring& target,
                          const std::wstring& workingDirectory);

// The data blocks with which a 64-bit setup stores a link relative to the
// program-files folder ([MS-SHLLINK] 2.5): a KnownFolder block naming
// FOLDERID_ProgramFiles, and an EnvironmentVariable block holding the target
// as %ProgramFiles%\... (the HasExpString flag with it).
enum StoredLinkBlocks : unsigned { kNoBlocks = 0, kKnownFolderBlock = 1, kEnvironmentBlock = 2 };

// Writes a shortcut at `linkPath` byte by byte, as a 32-bit program on 64-bit
// Windows is shown one that a 64-bit setup made relative to the program-files
// folder: `target` (in the ANSI code page) as the stored path of its link
// information, `workingDirectory` unless it is empty, and the data `blocks`,
// the environment block holding `environmentTarget`. It carries no target
// item list: without one, the link objects of Windows and of Wine both give
// the stored path. An empty `target` leaves the link information out, so the
// environment block alone names the target. False when it could not be
// written.
bool SaveStoredTargetShortcut(const std::wstring& linkPath, const std::string& target,
                              const std::wstring& workingDirectory, unsigned blocks,
                              const std::wstring& environmentTarget = L"");
