// kestrinx_typelib_gen OUTPUT: writes the KestrinX type library to OUTPUT (run by the build,
// which embeds the file later). Exit status 1 when the file cannot be written.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "packaging/kestrinx_typelib.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrinx_typelib_gen OUTPUT\n");
    return 2;
  }
  const std::string out = argv[1];
  const std::string temp = out + ".tmp";
  try {
    const std::vector<std::uint8_t> bytes = kestrinx::packaging::kestrinxTypeLibrary();
    {
      std::ofstream f(temp, std::ios::binary | std::ios::trunc);
      f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      f.close();
      if (!f) {
        std::fprintf(stderr, "kestrinx_typelib_gen: cannot write %s\n", temp.c_str());
        std::remove(temp.c_str());
        return 1;
      }
    }
    if (std::rename(temp.c_str(), out.c_str()) != 0) {
      std::fprintf(stderr, "kestrinx_typelib_gen: cannot replace %s\n", out.c_str());
      std::remove(temp.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrinx_typelib_gen: %s\n", e.what());
    return 1;
  }
  return 0;
}
