#pragma once

#include <QString>

// The string table: every text the user reads, by its resource ID.
namespace Str {
inline constexpr int NotFound = 101;     // "が見つかりません"
inline constexpr int SaveQuestion = 102; // "への変更を保存しますか？"
inline constexpr int CannotSave = 103;
inline constexpr int CannotLoad = 104;
inline constexpr int SaveTooLarge = 105;
inline constexpr int LoadTooLarge = 106;
inline constexpr int TemplateExists = 108;
inline constexpr int CopiedAll = 109;
inline constexpr int DocumentString = 128;

inline constexpr int SectionSettings = 1000;
inline constexpr int SectionUserWord = 1001;
inline constexpr int SectionFont = 1002;
inline constexpr int SectionOption = 1003;
inline constexpr int SectionToolBar = 1004;
inline constexpr int SectionFormat = 1005;
inline constexpr int SectionRecovery = 1006;
inline constexpr int SectionPreview = 1014;

inline constexpr int AppTitle = 57344;
inline constexpr int Ready = 57345;
inline constexpr int IndicatorCaps = 59137;
inline constexpr int IndicatorNum = 59138;
inline constexpr int IndicatorScroll = 59139;
inline constexpr int IndicatorKana = 59142;

// Texts of our own that the Windows platform used to supply.
inline constexpr int Untitled = 20002;           // "無題"
inline constexpr int FileFilter = 20003;         // the open/save filter string
inline constexpr int CreatePrompt = 20007;       // the Open dialog's question for a new name
inline constexpr int ProposedNamePrefix = 20004; // "ブログ"
inline constexpr int AboutCaption = 20005;       // "バージョン情報"
inline constexpr int Version = 20006;            // "version 1.10"
inline constexpr int FindCaption = 20010;
inline constexpr int ReplaceCaption = 20011;
inline constexpr int FindWhatLabel = 20012;
inline constexpr int ReplaceWithLabel = 20013;
inline constexpr int MatchCaseLabel = 20014;
inline constexpr int DirectionLabel = 20015;
inline constexpr int DirectionUp = 20016;
inline constexpr int DirectionDown = 20017;
inline constexpr int FindNextButton = 20018;
inline constexpr int ReplaceButton = 20019;
inline constexpr int ReplaceAllButton = 20020;
inline constexpr int CancelButton = 20021;
inline constexpr int MainToolBarTitle = 20040;   // "標準"
inline constexpr int FormatToolBarTitle = 20041; // "書式"
inline constexpr int UserToolBarTitle = 20042;   // "ユーザー書式"
inline constexpr int AboutNotice1 = 20043;
inline constexpr int AboutNotice2 = 20044;
inline constexpr int CloseToolBar = 20045;     // close button of a floating toolbar
inline constexpr int RecoveryQuestion = 20050; // %1 the document's name, %2 the time of the copy
inline constexpr int RecoverySetAside = 20051; // %1 where the unreadable copy now lies
inline constexpr int RecoverySkipFile = 20052; // %1 the file named on the command line, not opened
inline constexpr int CountsWhole = 20140;      // characters, visible characters, bytes of the limit
inline constexpr int CountsSelection = 20141;  // the selection's counts before the whole text's
inline constexpr int PreviewTitle = 20142;     // "プレビュー"
inline constexpr int PreviewImage = 20143;     // placeholder of an image not shown
inline constexpr int PreviewExcerpt = 20144;   // note over a preview of part of the text
inline constexpr int LossIntro = 20060;        // the character-loss question, %1 the encoding
inline constexpr int LossLine = 20061;         // one listed character
inline constexpr int LossMore = 20062;         // the number of characters not listed
inline constexpr int LossSaveUtf8 = 20063;
inline constexpr int LossSaveQuestionMarks = 20064;
inline constexpr int CopiedAllLost = 20065;   // after 109: how many characters became "?"
inline constexpr int SectionEncoding = 20066; // the settings section of the encodings
inline constexpr int EncodingPaneTip = 20067;
inline constexpr int LineBreakPaneTip = 20068;
} // namespace Str

// The text of string resource `id`; empty when there is none.
QString resString(int id);

// A string over `text`, a literal that lives as long as the program: nothing is copied
// until the string is changed.
QString staticText(const char16_t* text);

// The status-bar prompt and the tooltip of a command's string (the parts before and after "\n").
QString promptOf(int id);
QString tooltipOf(int id);
