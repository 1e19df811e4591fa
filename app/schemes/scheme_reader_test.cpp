#include "app/schemes/scheme_reader.h"

#include <unistd.h>

#include "app/schemes/codes_dump.h"
#include "app/schemes/schemes_test_support.h"
#include "app/template/node_pool.h"

namespace snapcrate {
namespace {

using testing::ReadFile;
using testing::SchemesTest;
using testing::WriteFile;

class SchemeReaderTest : public SchemesTest {};

TEST_F(SchemeReaderTest, BrokenSchemeFilesEndTheProgramWithTheirMessage) {
  const struct {
    const char* what;
    std::string scheme_ini;
    std::vector<std::string> messages;  // "%" stands for the scheme.ini path
  } cases[] = {
      {"no description", "[Name]\nA\n[ShortName]\nA\n[PageSchemes]\nindex=p\n",
       {"Invalid Schemefile % (Errorcode #0)"}},
      {"blank name", "[Name]\n  \n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nindex=p\n",
       {"Invalid Schemefile % (Errorcode #0)"}},
      {"no page schemes", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n",
       {"Invalid Schemefile % (Errorcode #1)"}},
      {"no equals sign", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nindex p\n",
       {"Invalid Schemefile % (Errorcode #2)"}},
      {"equals sign first", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\n = p\n",
       {"Invalid Schemefile % (Errorcode #2)"}},
      {"empty list", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nindex = \n",
       {"Invalid Schemefile % (Errorcode #3)"}},
      {"unknown kind", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nIndex=p\n",
       {"Invalid Schemefile % (Errorcode #4)"}},
      {"thirteen page schemes",
       "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nindex=p,p,p,p,p,p\n"
       "picture=p,p,p,p,p,p\nindexmain=p\n",
       {"Too much page schemes!"}},
      {"missing page file", "[Name]\nA\n[ShortName]\nA\n[Description]\nd\n[PageSchemes]\nindex=p,nope\n",
       {"Can't open %nope.ini"}},
  };
  for (const auto& c : cases) {
    testing::TempDir home;
    Program().home_dir = home.path();
    const std::string dir = home / "etc/scheme_a/";
    WriteFile(dir + "scheme.ini", WithCrLf(c.scheme_ini));
    WriteFile(dir + "p.ini", "[MainSection]\r\nx\r\n");
    ui_.messages.clear();
    ui_.fatal_messages.clear();
    EXPECT_THROW(LoadSchemes(), FatalEndError) << c.what;
    std::vector<std::string> expected;
    for (std::string message : c.messages) {
      const size_t p = message.find('%');
      if (p != std::string::npos)
        message.replace(p, 1, message.find("nope") != std::string::npos ? dir : dir + "scheme.ini");
      expected.push_back(message);
    }
    EXPECT_EQ(ui_.messages, expected) << c.what;
    EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"Abnormal program termination"}) << c.what;
  }
}

TEST_F(SchemeReaderTest, UnreadableSchemeIniIsReportedByPath) {
  WriteFile(home_ / "etc/scheme_empty/readme.txt", "no scheme.ini here");
  EXPECT_THROW(LoadSchemes(), FatalEndError);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Can't open " + SchemeIniPath("empty")});
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"Abnormal program termination"});
}

TEST_F(SchemeReaderTest, NoSchemeEndsTheProgramAndPlainFilesAreNoSchemes) {
  WriteFile(home_ / "etc/scheme_file.ini", "[Name]\r\nX\r\n");
  EXPECT_THROW(LoadSchemesAndConfigs(), FatalEndError);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"No Snapcrate Schemes found!"});
}

TEST_F(SchemeReaderTest, MissingConfigurationIsOnlyAWarning) {
  WriteSchemeIni("a", "Alpha", "index=p\n");
  WritePage("a", "p");
  LoadSchemesAndConfigs();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Warning: No Snapcrate Configurations found!"});
  EXPECT_EQ(ui_.log_lines, std::vector<std::string>{"Reading Scheme Alpha ..."});
}

TEST_F(SchemeReaderTest, PageSchemeLinesAreTrimmedAndKeepTheirOrder) {
  WriteSchemeIni("a", "Alpha", "\n  picture = pic1,pic2  \nindexmain=main\n\nindex= idx\n[Other]\nindex=ignored\n");
  for (const char* page : {"pic1", "pic2", "main", "idx"}) WritePage("a", page);
  LoadSchemes();
  ASSERT_EQ(Schemes().size(), 1u);
  const Scheme& scheme = Schemes()[0];
  EXPECT_EQ(scheme.name, "Alpha");
  EXPECT_EQ(scheme.short_name, "Alp");
  EXPECT_EQ(scheme.dir, home_ / "etc/scheme_a");
  ASSERT_EQ(scheme.page_schemes.size(), 4u);
  const struct {
    const char* name;
    int kind;
  } expected[] = {{"pic1", kPagePicture}, {"pic2", kPagePicture}, {"main", kPageIndexMain}, {"idx", kPageIndex}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(scheme.page_schemes[i].name, expected[i].name);
    EXPECT_EQ(scheme.page_schemes[i].kind, expected[i].kind);
    EXPECT_EQ(Names().page[scheme.page_schemes[i].page_var], "$(PAGES[" + std::string(expected[i].name) + "])");
    EXPECT_FALSE(IsSectionEmpty(scheme.page_schemes[i], section::MainSection));
  }
  EXPECT_EQ(FindPageScheme("main", scheme), 3);
  EXPECT_EQ(FindPageScheme("Main", scheme), -1);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Scheme 'Alpha': Pagescheme 'Main' not found!"});
}

TEST_F(SchemeReaderTest, SchemesSharePageVariablesByName) {
  WriteSchemeIni("a", "Alpha", "index=index\npicture=pic\n");
  WriteSchemeIni("b", "Beta", "index=index\npicture=photo\n");
  for (const char* page : {"index", "pic"}) WritePage("a", page);
  for (const char* page : {"index", "photo"}) WritePage("b", page);
  LoadSchemes();
  ASSERT_EQ(Schemes().size(), 2u);
  EXPECT_EQ(Schemes()[0].page_schemes[0].page_var, Schemes()[1].page_schemes[0].page_var);
  EXPECT_NE(Schemes()[0].page_schemes[1].page_var, Schemes()[1].page_schemes[1].page_var);
  EXPECT_EQ(FindSchemeByName("Beta"), Schemes()[1].name == "Beta" ? 2 : 1);
  EXPECT_EQ(FindSchemeByName("beta"), 0);
  // Reading again resets the pool and keeps the names.
  const int counter = NodeCounter();
  LoadSchemes();
  EXPECT_EQ(NodeCounter(), counter);
  EXPECT_EQ(Names().page_bare[4], "");
}

TEST_F(SchemeReaderTest, EleventhSchemeIsRefusedWithAMessage) {
  for (int i = 1; i <= 11; ++i) {
    const std::string dir = "s" + std::to_string(i);
    WriteSchemeIni(dir, "Scheme " + std::to_string(i), "index=p\n");
    WritePage(dir, "p");
  }
  LoadSchemes();
  EXPECT_EQ(Schemes().size(), 10u);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.messages[0].starts_with("Too much schemes! '" + home_ / "etc/scheme_s"))
      << ui_.messages[0];
  EXPECT_TRUE(ui_.messages[0].ends_with("' is not loaded (at most 10).")) << ui_.messages[0];
  EXPECT_EQ(ui_.log_lines.size(), 10u);
}

TEST_F(SchemeReaderTest, FiftyFirstPageNameEndsTheProgram) {
  for (int i = 1; i <= kPageSlots; ++i) AddPageName("taken" + std::to_string(i));
  WriteSchemeIni("a", "Alpha", "index=p\n");
  WritePage("a", "p");
  EXPECT_THROW(LoadSchemes(), FatalEndError);
  EXPECT_EQ(ui_.fatal_messages, std::vector<std::string>{"too much page file definitions"});
}

TEST_F(SchemeReaderTest, UserVariablesAreReadBeforeThePageSchemes) {
  WriteSchemeIni("a", "Alpha", "picture=p\n");
  WriteSchemeFile("a", "uservar.txt", "// options\nSHOW_EXTRA=1\n");
  WriteSchemeFile("a", "p.ini", "[GenIfDefined]\nSHOW_EXTRA\n[MainSection]\n$(SHOW_EXTRA)\n");
  LoadSchemes();
  EXPECT_TRUE(ui_.messages.empty());
  const PageScheme& page = Schemes()[0].page_schemes[0];
  EXPECT_EQ(page.gen_if_defined, FindBuiltinIndex("$(SHOW_EXTRA)"));
  EXPECT_EQ(ExpandSection(VarSet{}, page, section::MainSection), "1\r\n");
}

class CodesDumpTest : public SchemesTest {};

TEST_F(CodesDumpTest, DumpListsEverySectionAndFlagsSyntaxErrors) {
  WriteSchemeIni("a", "Alpha", "index=idx\n");
  WriteSchemeFile("a", "idx.ini",
                  "[HeadSection]\n<title>$(CHAPTER_TITLE)</title>\n"
                  "[MainSection]\n$$IFDEF$(PIC_TITLE)$$THEN<b>$$ENDIF\n$$IFDEF $(PIC_DESC)$$THENx$$ENDIF\n");
  Program().debug_level = 1;
  LoadSchemes();
  const std::string path = CodesDumpPath();
  EXPECT_EQ(path, home_ / ("tmp/snapcrate-" + std::to_string(geteuid()) + "/snapcrate_codes.txt"));
  EXPECT_EQ(ui_.messages,
            std::vector<std::string>{"Probably syntax error(s) found!\r\nCheck \"" + path + "\"!!"});
  std::string expected = "####\r\n#### Alpha\r\n####\r\n\r\n\r\n## idx (Type 2)\r\n\r\n";
  for (int i = 1; i <= kSectionSlots; ++i) {
    expected += "\r\n<!-- " + Names().section[i] + " idx Alpha -->\r\n";
    if (i == section::HeadSection) {
      expected += "STR \"<title>\"\r\nVAR $(CHAPTER_TITLE)\r\nSTR \"</title>\"\r\n";
    } else if (i == section::MainSection) {
      expected +=
          "IFDEF $(PIC_TITLE) THEN\r\n  STR \"<b>\"\r\nENDIF\r\nSTR \"\r\n\"\r\n"
          "STR \"+++ IF SYNTAX ERROR +++ \" $(PIC_DESC)\" not found\"\r\n"
          "+++ Warning: Misspelled variable??\r\n+++ SYNTAX ERROR ?!\r\n";
    } else {
      expected += "<!-- [EMPTY] -->\r\n\r\n";
    }
  }
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(CodesDumpTest, CleanSchemesAreReportedWrittenAndDebugOffWritesNothing) {
  WriteSchemeIni("a", "Alpha", "index=idx\n");
  WritePage("a", "idx", "<p>$(CHAPTER_TITLE)</p>");
  LoadSchemes();
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ReadFile(CodesDumpPath()), "");

  Program().debug_level = 2;
  LoadSchemes();
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"\"" + CodesDumpPath() + "\" written!"});
}

TEST_F(CodesDumpTest, DumpIsNotWrittenThroughASymbolicLink) {
  WriteSchemeIni("a", "Alpha", "index=idx\n");
  WritePage("a", "idx");
  WriteFile(home_ / "victim.txt", "keep");
  ASSERT_EQ(symlink((home_ / "victim.txt").c_str(), CodesDumpPath().c_str()), 0);
  Program().debug_level = 1;
  LoadSchemes();
  EXPECT_EQ(ReadFile(home_ / "victim.txt"), "keep");
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace snapcrate
