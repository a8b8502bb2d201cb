// Every user-visible text of the library, as code page 932 bytes.
// Texts.cpp is compiled with -fexec-charset=CP932 (see cmake/Charset.cmake).
#pragma once

extern const char BoxCaption[];         // caption of every message box
extern const char TextCannotRead[];     // appended to a path that cannot be opened
extern const char TextSizeZero[];       // empty or unreadable file
extern const char TextNotText[];        // binary file
extern const char TextCannotCreate[];   // failure suffix: folder cannot be made
extern const char TextCannotRename[];   // failure suffix: item cannot be renamed
extern const char StatusTemplate[];     // wsprintf template of the copy status
extern const char StatusMoveWord[];     // six bytes that replace "copy" in line 2
extern const char StatusCopyWord[];     // the six bytes they replace
extern const char ClosingCancelled[];   // closing sentence after a cancel
extern const char ClosingErrors[];      // closing sentence after errors
extern const char LargeFileFormat[];    // log line while a large file is copied
extern const char MarkCopied[];         // log marks, two bytes each
extern const char MarkReplaced[];
extern const char MarkFolderMade[];
extern const char MarkFailed[];
extern const char ButtonOk[];           // "&OK"
// Dialog and browser texts.
extern const char TitleNameCreate[];    // name dialog, creating a file
extern const char TitleNameRename[];    // name dialog, renaming
extern const char TitleProgressCopy[];  // progress dialog while copying
extern const char TitleProgressMove[];  // progress dialog while moving
extern const char TitleBrowserCopy[];   // folder browser, copying
extern const char TitleBrowserMove[];   // folder browser, moving
extern const char HostTextCopy[];       // host window text while the browser is open, copying
extern const char HostTextMove[];       // the same, moving
extern const char LabelMove[];          // browser check boxes
extern const char LabelNew[];
extern const char LabelUpdate[];
extern const char LabelBelow[];
extern const char MenuCopyLog[];        // the progress window's one menu item
extern const char NewFileName[];        // name proposed by CgName for a new file
extern const char HistoryFileName[];    // "\TavimoreCP.dst"
