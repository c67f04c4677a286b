#pragma once

// The seed of a test that makes random choices. Each run takes a fresh one,
// unless DULMERI_TEST_SEED=<number> is set to replay a run; a failure names
// the seed it ran with (SeedTrace) and the XML report records it.
//
//   const std::uint64_t seed = dulmeri_testing::TestSeed();
//   SCOPED_TRACE(dulmeri_testing::SeedTrace(seed));
//   std::mt19937_64 random(seed);

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace dulmeri_testing {

inline constexpr const char* kSeedVariable = "DULMERI_TEST_SEED";

inline std::uint64_t TestSeed() {
    if (const char* fixed = std::getenv(kSeedVariable); fixed != nullptr && *fixed != '\0') {
        char* end = nullptr;
        errno = 0;
        const unsigned long long seed = std::strtoull(fixed, &end, 10);
        if (*end == '\0' && errno == 0) return seed;
        ADD_FAILURE() << kSeedVariable << "=" << fixed << " is not a seed (a whole number)";
    }
    std::random_device device;
    return (std::uint64_t{device()} << 32) | device();
}

// The trace that makes every failure of the test name its seed.
inline std::string SeedTrace(std::uint64_t seed) {
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return "seed " + std::to_string(seed) + ": replay with " + kSeedVariable + "=" + std::to_string(seed);
}

}  // namespace dulmeri_testing
