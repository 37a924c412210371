// Choice of the language file setup.<Language>.txt from the user's Windows
// language, and the language code kept for the runtime's settings.
#pragma once

struct Engine;

// Code used for Traditional Chinese, which is no Windows primary language.
const unsigned short kLangChineseTraditional = 260;

// Name of the first table row with `code`, or "English" when none has it.
const char* LanguageName(unsigned short code);

// Language code for a Windows language identifier: its primary language,
// with Chinese split by sublanguage (Traditional 260, Simplified 4, any
// other 9, English).
unsigned short LanguageCodeFor(unsigned short languageId);

// Sets the engine's language code from the user's language and the variable
// languagefile to "setup.<Name>.txt" when that file can be opened in the
// current directory, else to "setup.English.txt".
void ChooseLanguageFile(Engine& engine);
