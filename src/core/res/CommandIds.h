#pragma once

#include <cstdint>

// Command identifiers: the numbers every menu item, toolbar button and key sends.
namespace Cmd {
using Id = std::uint16_t;

inline constexpr Id None = 0;

// File
inline constexpr Id FileNew = 57600;
inline constexpr Id FileOpen = 57601;
inline constexpr Id FileSave = 57603;
inline constexpr Id FileSaveAs = 57604;
inline constexpr Id FilePrintSetup = 57606;
inline constexpr Id FilePrint = 57607;
inline constexpr Id FilePrintDirect = 57608;
inline constexpr Id FilePrintPreview = 57609;
inline constexpr Id SaveAsTemplate = 32808;
inline constexpr Id AppExit = 57665;

// Edit
inline constexpr Id EditUndo = 57643;
inline constexpr Id EditCut = 57635;
inline constexpr Id EditCopy = 57634;
inline constexpr Id EditPaste = 57637;
inline constexpr Id EditSelectAll = 57642;
inline constexpr Id Find = 32773;
inline constexpr Id Replace = 32774;
inline constexpr Id FindNextDown = 32775;
inline constexpr Id FindNextUp = 32777;
inline constexpr Id WordDialog = 32803;
inline constexpr Id BaseFormatDialog = 32832;
inline constexpr Id UserFormatDialog = 32833;
inline constexpr Id OptionDialog = 32849;

// View
inline constexpr Id ViewToolBar = 59392;
inline constexpr Id ViewStatusBar = 59393;
inline constexpr Id AlwaysOnTop = 32782;
inline constexpr Id ChooseFont = 32784;
inline constexpr Id SymbolPicker = 32790;
inline constexpr Id Translucency = 32804;
inline constexpr Id ViewPreview = 32920;

// Base formats, in base format order 1..15.
inline constexpr Id BaseBold = 32819;
inline constexpr Id BaseItalic = 32820;
inline constexpr Id BaseBoldItalic = 32821;
inline constexpr Id BaseUnderline = 32822;
inline constexpr Id BaseStrike = 32817;
inline constexpr Id BaseColor = 32823;
inline constexpr Id BaseBackground = 32824;
inline constexpr Id BaseSize = 32825;
inline constexpr Id BaseLeft = 32829;
inline constexpr Id BaseCenter = 32830;
inline constexpr Id BaseRight = 32831;
inline constexpr Id BaseImage = 32826;
inline constexpr Id BaseLink = 32827;
inline constexpr Id BaseHeading = 32834;
inline constexpr Id BaseQuote = 32835;

inline constexpr Id BaseFormats[15] = {BaseBold,  BaseItalic,     BaseBoldItalic, BaseUnderline, BaseStrike,
                                       BaseColor, BaseBackground, BaseSize,       BaseLeft,      BaseCenter,
                                       BaseRight, BaseImage,      BaseLink,       BaseHeading,   BaseQuote};

// User formats 1..10 are 32836..32845.
inline constexpr Id UserFormatFirst = 32836;
inline constexpr Id UserFormatLast = 32845;

// Registered words, indexed by the digit of Ctrl+digit.
inline constexpr Id Words[10] = {32802, 32793, 32795, 32794, 32796, 32797, 32798, 32799, 32800, 32801};

// Handled by the view without doing anything.
inline constexpr Id NoAction1 = 32783;
inline constexpr Id NoAction2 = 32788;

// Toolbar-only commands
inline constexpr Id CopyAll = 32850;
inline constexpr Id OpenBlogPage = 32847;

// Encodings, each group in the order of Encodings::choices(): reopen the file in one, save
// the document in one, start new documents in one.
inline constexpr int EncodingChoiceCount = 5;
inline constexpr Id ReopenEncodingFirst = 32900;
inline constexpr Id SaveEncodingFirst = 32905;
inline constexpr Id NewEncodingFirst = 32910;

// Help
inline constexpr Id DonationLink = 32852;
inline constexpr Id About = 57664;

// Pane switching (one pane: nothing happens)
inline constexpr Id NextPane = 57680;
inline constexpr Id PrevPane = 57681;

// Base format number (1..15) of a command, 0 when it is none.
constexpr int baseFormatOf(Id id)
{
    for (int i = 0; i < 15; ++i)
        if (BaseFormats[i] == id)
            return i + 1;
    return 0;
}
} // namespace Cmd
