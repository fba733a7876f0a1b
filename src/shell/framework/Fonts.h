#pragma once

class QString;

// The Windows face names the settings and dialogs use, mapped onto fonts this desktop has.
// The names themselves stay as stored; only what draws them changes.
void registerFontSubstitutes();
