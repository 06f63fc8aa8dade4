#include "render/Avx2.h"

#include <cstdlib>

namespace fw {

bool useAvx2() {
#if defined(FW_AVX2_PATHS)
  static const bool use =
      __builtin_cpu_supports("avx2") && std::getenv("FERROWRIT_NO_AVX2") == nullptr;
  return use;
#else
  return false;
#endif
}

}  // namespace fw
