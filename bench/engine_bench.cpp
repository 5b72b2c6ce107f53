// Throughput of the MD5 engine on 32 KiB buffers, the size the file digest reads. Built
// natively it also runs OpenSSL's EVP md5 on the same data. Many short runs: the best run of
// each gives its speed, and since the two alternate run by run, each pair saw the same
// machine load, so the median of the pairs' ratios is steady even on a busy machine.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "digest/md5.h"

#ifdef VELMORA_BENCH_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

const uint32_t kChunk = 32768;
unsigned char Buffer[kChunk];

void FillBuffer() {
  uint64_t state = 0x9e3779b97f4a7c15ull;  // xorshift: the same bytes in every build
  for (uint32_t i = 0; i < kChunk; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    Buffer[i] = static_cast<unsigned char>(state >> 24);
  }
}

double Now() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// Seconds for one run of `chunks` buffers; the digest text goes to `text`.
double RunEngine(uint32_t chunks, char text[33]) {
  double start = Now();
  Md5Context context;
  Md5Init(&context);
  for (uint32_t i = 0; i < chunks; ++i) Md5Update(&context, Buffer, kChunk);
  unsigned char digest[16];
  Md5Final(digest, &context);
  double seconds = Now() - start;
  DigestToHex(text, digest);
  return seconds;
}

#ifdef VELMORA_BENCH_OPENSSL
double RunOpenSsl(uint32_t chunks, char text[33]) {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  double start = Now();
  EVP_DigestInit_ex(context, EVP_md5(), nullptr);
  for (uint32_t i = 0; i < chunks; ++i) EVP_DigestUpdate(context, Buffer, kChunk);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context, digest, &length);
  double seconds = Now() - start;
  EVP_MD_CTX_free(context);
  DigestToHex(text, digest);
  return seconds;
}
#endif

}  // namespace

// Arguments: MiB per run (default 8), number of runs (default 60).
int main(int argc, char** argv) {
  uint32_t mebibytes = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 8;
  int runs = argc > 2 ? std::atoi(argv[2]) : 60;
  if (mebibytes == 0 || runs <= 0) {
    std::fprintf(stderr, "usage: engine_bench [MiB per run] [runs]\n");
    return 2;
  }
  FillBuffer();
  const uint32_t chunks = mebibytes * 32;  // 32 chunks of 32 KiB per MiB
  const double megabytes = mebibytes * 1048576.0 / 1e6;
  char engineText[33] = "";
  double engineBest = 1e30;
  RunEngine(chunks, engineText);  // warm-up: caches, clock speed
#ifdef VELMORA_BENCH_OPENSSL
  char sslText[33] = "";
  double sslBest = 1e30;
  std::vector<double> ratios;
  RunOpenSsl(chunks, sslText);
  for (int run = 0; run < runs; ++run) {
    // Alternate which goes first, so neither always follows the other.
    double engine, ssl;
    if (run % 2 == 0) {
      engine = RunEngine(chunks, engineText);
      ssl = RunOpenSsl(chunks, sslText);
    } else {
      ssl = RunOpenSsl(chunks, sslText);
      engine = RunEngine(chunks, engineText);
    }
    engineBest = std::min(engineBest, engine);
    sslBest = std::min(sslBest, ssl);
    ratios.push_back(ssl / engine);
  }
  std::sort(ratios.begin(), ratios.end());
  double median = ratios[ratios.size() / 2];
  std::printf("engine_mbps=%.1f openssl_mbps=%.1f paired_ratio=%.4f best_ratio=%.4f\n",
              megabytes / engineBest, megabytes / sslBest, median, sslBest / engineBest);
  std::printf("engine_digest=%s openssl_digest=%s\n", engineText, sslText);
  if (std::strcmp(engineText, sslText) != 0) {
    std::fprintf(stderr, "engine_bench: the two digests differ\n");
    return 1;
  }
#else
  for (int run = 0; run < runs; ++run) engineBest = std::min(engineBest, RunEngine(chunks, engineText));
  std::printf("engine_mbps=%.1f engine_digest=%s\n", megabytes / engineBest, engineText);
#endif
  return 0;
}
