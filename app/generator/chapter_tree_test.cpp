#include "app/generator/chapter_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/program_state.h"
#include "app/progress.h"
#include "tests/support/recording_ui_port.h"
#include "tests/support/temp_dir.h"

namespace snapcrate {
namespace {

// Pictures are recognised by name only; their contents do not matter here.
PictureProbe NameProbe() {
  PictureProbe probe;
  probe.image_type = [](const std::string& name) {
    return name.size() > 4 && name.substr(name.size() - 4) == ".jpg" ? 1 : -1;
  };
  probe.image_info = [](int32_t, const std::string&, int32_t& w, int32_t& h, int32_t&) {
    w = 640, h = 480;
    return 1;
  };
  return probe;
}

class ChapterTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program().own_index_page_sub_nodes_threshold = 2;
    Program().gen_html_root_dir = "_snapcrate_";
    request_.source_path = src_.path();
    request_.destination_path = src_ / "out/";
    request_.root_dir_name = "_snapcrate_";
  }
  void Picture(const std::string& relative) { testing::WriteFile(src_ / relative, "x"); }
  // Each processed chapter as "relative|parent|previous|next".
  std::vector<std::string> Walk() {
    std::vector<std::string> order;
    ChapterTreeWalk walk(
        request_,
        [&](const ChapterRecord& c, const std::vector<std::string>&) {
          order.push_back(c.relative_path + "|" + c.parent_relative_path + "|" + c.previous_sibling + "|" +
                          c.next_sibling);
          return false;
        },
        NameProbe());
    aborted_ = walk.ProcessChapterTree("", "", "", "");
    return order;
  }

  testing::RecordingUiPort ui_;
  testing::TempDir src_;
  GenerationRequest request_;
  bool aborted_ = false;
};

TEST_F(ChapterTreeTest, ChildrenComeBeforeParentsInSortedOrder) {
  Picture("root.jpg");
  Picture("b/x.jpg");
  Picture("B/x.jpg");
  Picture("a/_extra/y.jpg");  // pictures only in a subchapter still make a chapter
  Picture("a/_extra/z.jpg");
  Picture("a/deep/z.jpg");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"B/|||a", "a/deep/|a/||", "a/||B|b", "b/||a|", "|||"}));
  EXPECT_FALSE(aborted_);
}

TEST_F(ChapterTreeTest, DirectoryWithoutPicturesFlattensBelowTheThreshold) {
  Picture("2004/rome/a.jpg");  // one chapter below "2004": it moves up a level
  Picture("2005/paris/a.jpg");
  Picture("2005/nice/a.jpg");  // two: "2005" gets an index page of its own
  EXPECT_EQ(Walk(), (std::vector<std::string>{"2004/rome/|||2005", "2005/nice/|2005/||2005/paris",
                                              "2005/paris/|2005/|2005/nice|", "2005/||2004/rome|", "|||"}));
}

TEST_F(ChapterTreeTest, ThresholdBelowOneMeansNoOwnIndexPages) {
  Program().own_index_page_sub_nodes_threshold = 861;
  Picture("2005/paris/a.jpg");
  Picture("2005/nice/a.jpg");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"2005/nice/|||2005/paris", "2005/paris/||2005/nice|", "|||"}));
}

TEST_F(ChapterTreeTest, AlbumRootAndQuillboxDirectoriesAreNeverEntered) {
  Picture("_snapcrate_/sub/a.jpg");
  Picture("_quillbox_/sub/a.jpg");
  Picture("trip/a.jpg");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"trip/|||", "|||"}));
}

TEST_F(ChapterTreeTest, LinkBackToAnAncestorEndsTheWalk) {
  Picture("a/x.jpg");
  ASSERT_EQ(symlink(src_.path().c_str(), (src_ / "a/loop").c_str()), 0);
  ASSERT_EQ(symlink(src_.path().c_str(), (src_ / "empty_loop").c_str()), 0);
  const auto order = Walk();
  EXPECT_FALSE(order.empty());
  EXPECT_EQ(order.back(), "|||");
}

TEST_F(ChapterTreeTest, AbortEndsTheWalk) {
  Picture("a/x.jpg");
  Picture("b/x.jpg");
  ProgressShow(1, 2);
  RequestAbort();
  // The throttled check fires once half a second has passed since the last update.
  usleep(600 * 1000);
  EXPECT_TRUE(Walk().empty());
  EXPECT_TRUE(aborted_);
  ClearAbort();
}

}  // namespace
}  // namespace snapcrate
