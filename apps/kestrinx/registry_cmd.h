// kestrinx registry register|unregister|list [--registry FILE] [--library FILE]: registers the
// component library libKestrinX.so, removes its registration, or lists the registry.
//
// register and unregister load the library (dlopen) and call its DllRegisterServer or
// DllUnregisterServer, so they exercise the library as any host would. The library finds the
// registry file the way the runtime does; --registry FILE chooses it (handed to the library as
// $KESTRINX_REGISTRY). The library file is --library FILE, else $KESTRINX_LIBRARY, else
// libKestrinX.so.1 beside the tool, in ../packaging/ (the build tree) or ../lib/ from it, else
// wherever the dynamic loader finds it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestrinx::cli {

// Runs `kestrinx registry` with the arguments after "registry": 0, 1 when the library cannot be
// loaded or the registry cannot be read or written (one line on `err` saying why), 2 for bad
// arguments.
int registryCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

std::string registryHelp();

}  // namespace kestrinx::cli
