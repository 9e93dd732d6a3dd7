#ifndef SMIMO_SMIMOTypes_h
#define SMIMO_SMIMOTypes_h

// Library classes keep default visibility so that modules built with -fvisibility=hidden share
// their typeinfo.
#define SMIMO_LINKAGE __attribute__((visibility("default")))

#endif
