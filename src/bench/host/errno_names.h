// errno names that some C libraries (Windows' among them) lack. Such a host
// never reports them, but the error table and the tests name them on every
// host; the values lie above any that C library uses.
#pragma once

#include <cerrno>

#ifndef ENOMEDIUM
#define ENOMEDIUM 2001
#endif
#ifndef ESTALE
#define ESTALE 2002
#endif
#ifndef EHOSTDOWN
#define EHOSTDOWN 2003
#endif
#ifndef EDQUOT
#define EDQUOT 2004
#endif
