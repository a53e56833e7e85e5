// data_folder_test.cpp -- the game moves into the first folder that holds its font, or says
// which file it could not find and where it looked.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "game/game.h"
#include "support/support.h"

TEST(DataFolder, EntersTheFirstFolderWithTheFontOrNamesIt) {
    start_test();
    char root[] = "/tmp/cragmoor-data-XXXXXX";
    ASSERT_TRUE(mkdtemp(root));
    std::string bare = std::string(root) + "/bare", font = std::string(root) + "/font";
    mkdir(bare.c_str(), 0755);
    mkdir(font.c_str(), 0755);
    std::fclose(std::fopen((font + "/terminal.png").c_str(), "w"));
    const char* none[] = {bare.c_str(), "/nowhere"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(enter_first_data_folder(none, 2));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "cannot find terminal.png in " + bare + ", /nowhere\n");
    const char* some[] = {bare.c_str(), font.c_str(), CRAGMOOR_DATA_DIR};
    EXPECT_TRUE(enter_first_data_folder(some, 3));
    char here[4096];
    EXPECT_EQ(std::string(getcwd(here, sizeof here)), font);
    std::remove((font + "/terminal.png").c_str());
    rmdir(font.c_str());
    rmdir(bare.c_str());
    rmdir(root);
}
