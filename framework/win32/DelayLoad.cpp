// The hooks of the linker's delay-load helper, for an executable whose calls into some system
// libraries load them at first use. Linked into that executable as an object of its own: the
// helper reads these two variables, and a static library's member defining them would lose to the
// run-time library's empty ones.
//
// A library is taken from the system folder only. A library or function that cannot be had
// becomes an Exception naming it, instead of the helper's system exception, which no handler of
// ours would catch on its way out of a window procedure.
#include <windows.h>
#include <delayimp.h>

#include <string>

#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"
#include "framework/win32/SystemLibrary.h"

namespace {

FARPROC WINAPI BeforeLoading(unsigned notice, PDelayLoadInfo info) {
  if (notice != dliNotePreLoadLibrary) return nullptr;
  return reinterpret_cast<FARPROC>(RequireSystemLibrary(Utf8ToWide(info->szDll).c_str()));
}

// Only a function can be missing here: a library that cannot be loaded threw above.
FARPROC WINAPI Failed(unsigned, PDelayLoadInfo info) {
  const std::string function =
      info->dlp.fImportByName ? std::string(info->dlp.szProcName) : "#" + std::to_string(info->dlp.dwOrdinal);
  throw Exception("The system library " + std::string(info->szDll) + " has no function " + function + ": " +
                  SystemErrorMessage(info->dwLastError));
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = BeforeLoading;
PfnDliHook __pfnDliFailureHook2 = Failed;
}
