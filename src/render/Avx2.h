#pragma once

// Whether the drawing code may use AVX2, apart from the canvas so that the canvas and the masks
// it draws can both ask without including each other.

namespace fw {

// Code paths that use AVX2 when the processor has it are built on x86 with GCC or Clang.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define FW_AVX2_PATHS 1
#endif
// Whether the processor has AVX2 and nobody asked not to use it (FERROWRIT_NO_AVX2 set, which
// the tests use to check the other paths too).
bool useAvx2();

}  // namespace fw
