// Every seed of the fuzz targets (tests/fuzz) and every input that once broke
// one, through the target's own checks: a broken promise aborts the test.
#include "support/Harness.h"

#include <cstdint>
#include <filesystem>

extern "C" int replay_config(const uint8_t*, size_t), replay_text(const uint8_t*, size_t), replay_texture(const uint8_t*, size_t),
    replay_heightmap(const uint8_t*, size_t), replay_model(const uint8_t*, size_t);

TEST(FuzzReplay, SeedsAndOldCrashersKeepEveryPromise) {
    for (auto [name, target] : {std::pair{"config", replay_config}, {"text", replay_text}, {"texture", replay_texture},
                                {"heightmap", replay_heightmap}, {"model", replay_model}}) {
        int inputs = 0;
        std::error_code none;  // a target without regressions has no directory for them
        for (const std::string dir : {"/fuzz/corpus/", "/fuzz/regressions/"})
            for (const auto& entry : std::filesystem::directory_iterator(QM_TEST_DIR + dir + name, none)) {
                const std::string bytes = readFile(entry.path());
                inputs += target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) == 0;
            }
        EXPECT_GE(inputs, 3) << name;
    }
}
