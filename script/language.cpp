// The language table, searched first row to last. Names are used verbatim
// in file names (note the blank of "Catalan ") and in the runtime's
// settings; code 26 is listed twice and the first row, Croatian, wins.
#include "script/language.h"

#include "script/journal.h"

#include "script/engine.h"
#include "script/script_file.h"

struct LanguageRow {
  unsigned short code;
  const char* name;
};

static const LanguageRow kLanguages[] = {
    {0, "Neutral"},     {1, "Arabic"},      {2, "Bulgarian"},
    {3, "Catalan "},    {4, "Chinese"},     {260, "ChineseT"},
    {5, "Czech"},       {6, "Danish"},      {7, "German"},
    {8, "Greek"},       {9, "English"},     {10, "Spanish"},
    {11, "Finnish"},    {12, "French"},     {13, "Hebrew"},
    {14, "Hungarian"},  {15, "Icelandic"},  {16, "Italian"},
    {17, "Japanese"},   {18, "Korean"},     {19, "Dutch"},
    {20, "Norwegian"},  {21, "Polish"},     {22, "Portuguese"},
    {24, "Romanian"},   {25, "Russian"},    {26, "Croatian"},
    {26, "Serbian"},    {27, "Slovak"},     {28, "Albanian"},
    {29, "Swedish"},    {30, "Thai"},       {31, "Turkish"},
    {32, "Urdu"},       {33, "Indonesian"}, {34, "Ukrainian"},
    {35, "Belarusian"}, {36, "Slovenian"},  {37, "Estonian"},
    {38, "Latvian"},    {39, "Lithuanian"}, {41, "Farsi"},
    {42, "Vietnamese"}, {43, "Armenian"},   {44, "Azeri"},
    {45, "Basque"},     {47, "Macedonian"}, {54, "Afrikaans"},
    {55, "Georgian"},   {56, "Faeroese"},   {57, "Hindi"},
    {62, "Malay"},      {63, "Kazak"},      {65, "Swahili"},
    {67, "Uzbek"},      {68, "Tatar"},      {69, "Bengali"},
    {70, "Punjabi"},    {71, "Gujarati"},   {72, "Oriya"},
    {73, "Tamil"},      {74, "Telugu"},     {75, "Kannada"},
    {76, "Malayalam"},  {77, "Assamese"},   {78, "Marathi"},
    {79, "Sanskrit"},   {87, "Konkani"},    {88, "Manipuri"},
    {89, "Sindhi"},     {96, "Kashmiri"},   {97, "Nepali"},
};

static_assert(sizeof(kLanguages) / sizeof(kLanguages[0]) == 72,
              "the language table has 72 rows");

const char* LanguageName(unsigned short code) {
  for (const LanguageRow& row : kLanguages) {
    if (row.code == code) return row.name;
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
