// Every folder under examples/ is run as a user would, and must give the
// console text, result files and exit status kept in its expected/ folder.

#include "harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(Examples, EachGivesItsExpectedOutput)
{
    int seen = 0;
    for (const fs::directory_entry &e : fs::directory_iterator(HAZARD_SIM_EXAMPLES)) {
        if (!fs::exists(e.path() / "expected" / "status"))
            continue;
        SCOPED_TRACE(e.path().filename().string());
        std::string src = e.path().string();
        std::string want = src + "/expected/";
        test::run_result r = test::run_with(test::read_file(src + "/config.txt"),
                                            test::read_file(src + "/program.txt"));
        EXPECT_EQ(r.out, test::read_file(want + "console.txt"));
        EXPECT_EQ(r.analysis, test::read_file(want + "analiza_hazard.txt"));
        EXPECT_EQ(r.schedule, test::read_file(want + "eliminare_hazard.txt"));
        EXPECT_EQ(std::to_string(r.status) + "\n", test::read_file(want + "status"));
        seen++;
    }
    EXPECT_GE(seen, 5);
}

} // namespace
