#include "app/schemes/page_scheme_reader.h"

#include "app/schemes/scheme_reader.h"
#include "app/schemes/schemes_test_support.h"

namespace snapcrate {
namespace {

using testing::SchemesTest;

class PageSchemeReaderTest : public SchemesTest {
 protected:
  const PageScheme& Page(size_t i) { return Schemes().at(0).page_schemes.at(i); }
  std::string CommonFile(const PageScheme& page, const std::string& name) {
    const int slot = FindFileName(name);
    return slot < 0 ? "<no slot>" : page.common_files[static_cast<size_t>(slot)];
  }
};

TEST_F(PageSchemeReaderTest, InheritingKeepsAbsentSectionsAndReplacesGivenOnes) {
  WriteSchemeIni("a", "Alpha", "index=base\npicture=child\n");
  WriteSchemeFile("a", "base.ini",
                  "[CommonFiles]\ncss=base.css\nno equals sign\nlogo=logo.png \n"
                  "[HeadSection]\n\n  <head>  \n\n[MainSection]\nbase main\n[FooterSection]\nbase footer\n"
                  "[GenIfDefined]\nPIC_TITLE\n");
  WriteSchemeFile("a", "child.ini",
                  "[InheritFrom]\n base \n[MainSection]\nchild main\n[FooterSection]\n"
                  "[CommonFiles]\njs=child.js\ncss=child.css\n");
  LoadSchemes();
  ASSERT_TRUE(ui_.messages.empty()) << ui_.messages[0];
  const PageScheme& base = Page(0);
  const PageScheme& child = Page(1);
  EXPECT_EQ(base.sections.text[section::HeadSection], "<head>");
  EXPECT_EQ(child.sections.text[section::HeadSection], "<head>");
  EXPECT_EQ(child.sections.text[section::MainSection], "child main");
  // A header with no lines under it replaces the inherited text with nothing.
  EXPECT_EQ(child.sections.text[section::FooterSection], "");
  EXPECT_TRUE(IsSectionEmpty(child, section::FooterSection));
  EXPECT_FALSE(IsSectionEmpty(base, section::FooterSection));
  EXPECT_EQ(CommonFile(child, "logo"), "logo.png ");
  EXPECT_EQ(CommonFile(child, "js"), "child.js");
  EXPECT_EQ(CommonFile(child, "css"), "child.css");
  EXPECT_EQ(CommonFile(base, "css"), "base.css");
  EXPECT_EQ(CommonFile(base, "js"), "");
  EXPECT_EQ(FindFileName("no equals sign"), -1);
  // Conditions, kind and name are never inherited.
  EXPECT_EQ(base.gen_if_defined, builtin::PIC_TITLE);
  EXPECT_EQ(child.gen_if_defined, -1);
  EXPECT_EQ(child.kind, kPagePicture);
  EXPECT_EQ(child.name, "child");
  VarSet set;
  EXPECT_EQ(ExpandSection(set, child, section::HeadSection), "<head>\r\n");
}

TEST_F(PageSchemeReaderTest, InheritingFromALaterPageSchemeFails) {
  WriteSchemeIni("a", "Alpha", "index=first,second\n");
  WriteSchemeFile("a", "first.ini", "[InheritFrom]\nsecond\n");
  WritePage("a", "second");
  EXPECT_THROW(LoadSchemes(), FatalEndError);
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              "Scheme 'Alpha': Pagescheme 'second' not found!",
                              "Scheme 'Alpha': Error while reading '" + home_ / "etc/scheme_a/first.ini" + "'!"}));
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"Abnormal program termination"});
}

TEST_F(PageSchemeReaderTest, ConditionsTakeGenIfDefinedFirstAndReportUnknownNames) {
  WriteSchemeIni("a", "Alpha", "picture=both,dont,unknown,renamed\n");
  WriteSchemeFile("a", "both.ini", "[GenIfDefined]\n PIC_DESC \n[DontGenIfDefined]\nPIC_TITLE\n");
  WriteSchemeFile("a", "dont.ini", "[DontGenIfDefined]\nPIC_ISORIGIMAGE\n");
  WriteSchemeFile("a", "unknown.ini", "[GenIfDefined]\nNO_SUCH_VAR\n[DontGenIfDefined]\nPIC_TITLE\n");
  WriteSchemeFile("a", "renamed.ini", "[Name]\n slides \n[DontGenIfDefined]\nNOR_THIS\n");
  LoadSchemes();
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              "\"unknown\" definitions: Didn't found variable NO_SUCH_VAR!",
                              "\"slides\" definitions: Didn't found variable NOR_THIS!"}));
  const struct {
    const char* name;
    int gen_if;
    int dont_gen_if;
  } expected[] = {{"both", builtin::PIC_DESC, -1},
                  {"dont", -1, builtin::PIC_ISORIGIMAGE},
                  {"unknown", -1, -1},
                  {"slides", -1, -1}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(Page(i).name, expected[i].name);
    EXPECT_EQ(Page(i).gen_if_defined, expected[i].gen_if) << expected[i].name;
    EXPECT_EQ(Page(i).gen_if_not_defined, expected[i].dont_gen_if) << expected[i].name;
  }
  // The file's Name is the page's name everywhere, also for its page variable.
  EXPECT_EQ(Names().page[Page(3).page_var], "$(PAGES[slides])");
  EXPECT_EQ(FindPageName("renamed"), -1);
}

TEST_F(PageSchemeReaderTest, SectionNamesAreExactAndSlot23StaysEmpty) {
  WriteSchemeIni("a", "Alpha", "index=p\n");
  WriteSchemeFile("a", "p.ini",
                  "[PicThumbnailTabEnd]\nfull spelling\n[PicThumbailTabEnd]\n</table>\n"
                  "[mainsection]\nwrong case\n[]\nnameless\n[SubChapterEnd]\n  </div>  \n");
  LoadSchemes();
  const PageScheme& page = Page(0);
  EXPECT_EQ(page.sections.text[section::PicThumbailTabEnd], "</table>");
  EXPECT_EQ(page.sections.text[section::MainSection], "");
  EXPECT_EQ(page.sections.text[section::SubChapterEnd], "</div>");
  EXPECT_EQ(page.sections.text[kSectionSlots], "");
  EXPECT_TRUE(IsSectionEmpty(page, kSectionSlots));
}

TEST_F(PageSchemeReaderTest, FiftySecondCommonFileNameEndsTheProgram) {
  for (int i = 1; i <= kFileSlots; ++i) AddFileName("f" + std::to_string(i));
  WriteSchemeIni("a", "Alpha", "index=p\n");
  WriteSchemeFile("a", "p.ini", "[CommonFiles]\nf7=seven.css\nnew=new.css\n");
  EXPECT_THROW(LoadSchemes(), FatalEndError);
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"too much common files definitions"});
}

TEST_F(PageSchemeReaderTest, NamelessCommonFileLinesAreSkipped) {
  WriteSchemeIni("a", "Alpha", "index=p\n");
  WriteSchemeFile("a", "p.ini", "[CommonFiles]\n=orphan.css\ncss=a.css\n");
  LoadSchemes();
  EXPECT_EQ(FindFileName("css"), 1);
  EXPECT_EQ(Page(0).common_files[1], "a.css");
  EXPECT_EQ(Page(0).common_files[2], "");
}

}  // namespace
}  // namespace snapcrate
