// test_data_folder.cpp -- the game moves into the first folder that holds its font, or says
// which file it could not find.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "game/game.h"

namespace {

std::string working_directory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

std::string make_folder(const std::string& root, const char* name, bool with_font) {
    std::string folder = root + "/" + name;
    EXPECT_EQ(mkdir(folder.c_str(), 0755), 0);
    if (with_font) std::fclose(std::fopen((folder + "/terminal.png").c_str(), "w"));
    return folder;
}

}  // namespace

TEST(DataFolder, EntersTheFirstFolderWithTheFontOrNamesIt) {
    char root_template[] = "/tmp/cragmoor-data-XXXXXX";
    std::string root = mkdtemp(root_template);
    std::string bare = make_folder(root, "bare", false);
    std::string first = make_folder(root, "first", true);
    std::string second = make_folder(root, "second", true);
    std::string gone = root + "/gone";
    struct Case {
        std::vector<std::string> folders;
        std::string entered;  // empty: none holds the font
    } cases[] = {
        {{bare, first, second}, first},
        {{gone, second, first}, second},
        {{bare, gone}, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> folders;
        for (const std::string& folder : c.folders) folders.push_back(folder.c_str());
        std::string before = working_directory();
        testing::internal::CaptureStdout();
        bool found = enter_first_data_folder(folders.data(), static_cast<int>(folders.size()));
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(found, !c.entered.empty()) << c.folders[0];
        EXPECT_EQ(working_directory(), found ? c.entered : before);
        EXPECT_EQ(said, found ? "" : "cannot find terminal.png in " + bare + ", " + gone + "\n");
    }
    EXPECT_EQ(std::system(("rm -rf " + root).c_str()), 0);
}
