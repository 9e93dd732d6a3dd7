// Platform definitions for Linux on x86-64 with the GNU compiler.
#ifndef Pegasus_Platform_LINUX_X86_64_GNU_h
#define Pegasus_Platform_LINUX_X86_64_GNU_h

#include <stdio.h>
#include <stdlib.h>

#define PEGASUS_OS_TYPE_UNIX
#define PEGASUS_OS_LINUX
#define PEGASUS_ARCHITECTURE_X86_64
#define PEGASUS_COMPILER_GNU

#define PEGASUS_UINT64 unsigned long long
#define PEGASUS_SINT64 long long

// Classes shared across library boundaries must keep default visibility even when a
// module is built with -fvisibility=hidden, so that exceptions and typeinfo match.
#define PEGASUS_EXPORT __attribute__((visibility("default")))
#define PEGASUS_IMPORT __attribute__((visibility("default")))
#define PEGASUS_HIDDEN_LINKAGE __attribute__((visibility("hidden")))

#endif
