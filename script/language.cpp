// The language table, searched first row to last. Names are used verbatim
// in file names (note the blank of "Catalan ") and in the runtime's
// settings; code 26 is listed twice and the first row, Croatian, wins.
#include "script/language.h"

#include "script/journal.h"

#include "script/engine.h"
#include "script/script_file.h"
#include "script/text.h"

// The names in table order (a list for NextItem) and the code of each: one
// block of text and one of numbers, with no pointer per row to keep.
constexpr char kLanguageNames[] =
    "Neutral\0" "Arabic\0" "Bulgarian\0" "Catalan \0" "Chinese\0" "ChineseT\0"
    "Czech\0" "Danish\0" "German\0" "Greek\0" "English\0" "Spanish\0"
    "Finnish\0" "French\0" "Hebrew\0" "Hungarian\0" "Icelandic\0" "Italian\0"
    "Japanese\0" "Korean\0" "Dutch\0" "Norwegian\0" "Polish\0" "Portuguese\0"
    "Romanian\0" "Russian\0" "Croatian\0" "Serbian\0" "Slovak\0" "Albanian\0"
    "Swedish\0" "Thai\0" "Turkish\0" "Urdu\0" "Indonesian\0" "Ukrainian\0"
    "Belarusian\0" "Slovenian\0" "Estonian\0" "Latvian\0" "Lithuanian\0"
    "Farsi\0" "Vietnamese\0" "Armenian\0" "Azeri\0" "Basque\0" "Macedonian\0"
    "Afrikaans\0" "Georgian\0" "Faeroese\0" "Hindi\0" "Malay\0" "Kazak\0"
    "Swahili\0" "Uzbek\0" "Tatar\0" "Bengali\0" "Punjabi\0" "Gujarati\0"
    "Oriya\0" "Tamil\0" "Telugu\0" "Kannada\0" "Malayalam\0" "Assamese\0"
    "Marathi\0" "Sanskrit\0" "Konkani\0" "Manipuri\0" "Sindhi\0" "Kashmiri\0"
    "Nepali\0";

const unsigned short kLanguageCodes[] = {
    0, 1, 2, 3, 4, 260, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
    20, 21, 22, 24, 25, 26, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38,
    39, 41, 42, 43, 44, 45, 47, 54, 55, 56, 57, 62, 63, 65, 67, 68, 69, 70, 71,
    72, 73, 74, 75, 76, 77, 78, 79, 87, 88, 89, 96, 97,
};

constexpr size_t CountNames(const char* names, size_t size) {
  size_t count = 0;
  for (size_t i = 0; i + 1 < size; ++i) count += names[i] == 0;
  return count;
}

static_assert(sizeof(kLanguageCodes) / sizeof(kLanguageCodes[0]) == 72,
              "the language table has 72 rows");
static_assert(CountNames(kLanguageNames, sizeof kLanguageNames) == 72,
              "each row has its name");

const char* LanguageName(unsigned short code) {
  const char* name = kLanguageNames;
  for (unsigned short rowCode : kLanguageCodes) {
    if (rowCode == code) return name;
    name = NextItem(name);
  }
  return "English";
}

unsigned short LanguageCodeFor(unsigned short languageId) {
  unsigned short primary = languageId & 0x3FF;
  if (primary != 4) return primary;
  switch (languageId >> 10) {
    case 1: return kLangChineseTraditional;
    case 2: return 4;
    default: return 9;
  }
}

void ChooseLanguageFile(Engine& engine) {
  engine.languageCode = LanguageCodeFor(engine.host->UserLanguageId());
  char fileName[kPathMax];
  bool joined = JoinText(fileName,
                         {"setup.", LanguageName(engine.languageCode), ".txt"});
  const char* chosen = joined && IsReadableFile(*engine.effects, fileName)
                           ? fileName
                           : "setup.English.txt";
  VarSet(engine.vars, "languagefile", chosen);
  Journal(engine, "language file", {chosen});
}
