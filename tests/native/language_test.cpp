// Language codes, names and the choice of the language file.
#include "script/language.h"

#include <gtest/gtest.h>

#include "tests/native/engine_fixture.h"

TEST(Language, CodesFromLanguageIdentifiers) {
  struct Case { unsigned short id; unsigned short code; const char* name; };
  const Case cases[] = {
      {0x0407, 7, "German"},     {0x0409, 9, "English"},
      {0x0404, 260, "ChineseT"}, {0x0804, 4, "Chinese"},
      {0x0C04, 9, "English"},    {0x041A, 26, "Croatian"},
      {0x081A, 26, "Croatian"},  {0x0403, 3, "Catalan "},
      {0x0461, 97, "Nepali"},    {0x0000, 0, "Neutral"},
      {0x0440, 64, "English"},   {0x0417, 23, "English"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(LanguageCodeFor(c.id), c.code);
    EXPECT_STREQ(LanguageName(c.code), c.name);
  }
}

using LanguageFile = EngineTest;

TEST_F(LanguageFile, ThePresentFileOrTheEnglishFallback) {
  host_.languageId = 0x0407;
  ChooseLanguageFile(*engine_);
  EXPECT_STREQ(Var("languagefile"), "setup.English.txt");
  EXPECT_EQ(engine_->languageCode, 7);
  WriteFile("setup.German.txt", "[Messages]\n");
  ChooseLanguageFile(*engine_);
  EXPECT_STREQ(Var("languagefile"), "setup.German.txt");
  host_.languageId = 0x0403;
  WriteFile("setup.Catalan .txt", "");
  ChooseLanguageFile(*engine_);
  EXPECT_STREQ(Var("languagefile"), "setup.Catalan .txt");
  host_.languageId = 0x0440;  // not in the table
  ChooseLanguageFile(*engine_);
  EXPECT_STREQ(Var("languagefile"), "setup.English.txt");
  EXPECT_EQ(engine_->languageCode, 64);
}
