// The posix implementations of the platform services, for the native tools and
// tests: real files, message boxes printed to stderr, and no windows at all.
#pragma once

#include "platform/services.h"

namespace platform {

IFileSystem& PosixFileSystem();
IMessageBoxes& StderrMessageBoxes();
IWindows& NoWindows();
IWaitCursor& NoWaitCursor();
IUi& NoUi();

// Installs all of the above as the services in force.
void InstallPosixServices();

}  // namespace platform
