#pragma once

// Where the toolchain can, hot loops are also compiled for AVX2 and AVX-512
// and the best version is picked at load time. Only the vector width
// changes: every result is formed by the same IEEE operations in the same
// order (no fused multiply-add; see the build's floating-point flags), so
// output is bit-identical on every x86-64.
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && ! defined(__clang__) && ! defined(__SANITIZE_THREAD__)
#define QEN_VECTOR_CLONES __attribute__ ((target_clones ("avx512f", "avx2", "default")))
#else
#define QEN_VECTOR_CLONES
#endif
